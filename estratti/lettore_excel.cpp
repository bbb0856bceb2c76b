#include "estratti/lettore_excel.h"

#include <expat.h>
#include <freexl.h>
#include <zip.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

namespace estratti {

namespace {

// ---- calendar days ----------------------------------------------------------------------

// Days from 1970-01-01 to a day of the proleptic Gregorian calendar, and back (H. Hinnant's
// algorithms): no time zone can move a day here.
constexpr std::int64_t GiorniDaCivile(std::int64_t a, int m, int g) {
    a -= m <= 2;
    const std::int64_t era = (a >= 0 ? a : a - 399) / 400;
    const std::int64_t aoe = a - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + g - 1;
    const std::int64_t doe = aoe * 365 + aoe / 4 - aoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

core::Data CivileDaGiorni(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int g = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {static_cast<int>(yoe + era * 400 + (m <= 2)), m, g};
}

constexpr std::int64_t kGiorno0Del1900 = GiorniDaCivile(1899, 12, 30);
constexpr std::int64_t kGiorno0Del1904 = GiorniDaCivile(1904, 1, 1);
constexpr double kSerialeMassimo = 2958465;  // 31/12/9999

// ---- cells into rows --------------------------------------------------------------------

struct RigaFoglio {
    int numero = 0;  // 1-based, as the sheet shows it
    std::vector<std::string> celle;
};

struct Foglio {
    std::vector<RigaFoglio> righe;  // ascending numbers
    std::vector<bool> nascoste;     // per column
    struct Unione {
        int riga1, col1, riga2, col2;
    };
    std::vector<Unione> unioni;

    void Metti(int riga, int col, std::string valore) {
        if (col < 0 || col >= kExcelColonneMassime || valore.empty()) return;
        RigaFoglio* r = nullptr;
        if (righe.empty() || righe.back().numero < riga) {
            r = &righe.emplace_back(RigaFoglio{riga, {}});
        } else if (righe.back().numero == riga) {
            r = &righe.back();
        } else {
            // Rows come in order; one out of order is placed where it belongs.
            auto it = std::lower_bound(righe.begin(), righe.end(), riga,
                                       [](const RigaFoglio& x, int n) { return x.numero < n; });
            if (it->numero != riga) it = righe.insert(it, RigaFoglio{riga, {}});
            r = &*it;
        }
        if (static_cast<int>(r->celle.size()) <= col) r->celle.resize(col + 1);
        r->celle[col] = std::move(valore);
    }

    RigaFoglio* Riga(int numero) {
        auto it = std::lower_bound(righe.begin(), righe.end(), numero,
                                   [](const RigaFoglio& r, int n) { return r.numero < n; });
        return it != righe.end() && it->numero == numero ? &*it : nullptr;
    }
};

const std::string& CellaDi(const RigaFoglio* r, int c) {
    static const std::string vuota;
    return r && c >= 0 && c < static_cast<int>(r->celle.size()) ? r->celle[c] : vuota;
}

// A row with no cell that reads as an amount or a date: a header, a title.
bool SenzaValori(const RigaFoglio& r) {
    for (const auto& c : r.celle) {
        const std::string_view v = SenzaSpazi(c);
        if (!v.empty() &&
            (LeggiImportoBanca(v, ',') || LeggiDataBanca(v, FormatoData::GiornoMeseAnno) ||
             LeggiDataBanca(v, FormatoData::AnnoMeseGiorno)))
            return false;
    }
    return true;
}

bool SoloNomi(const RigaFoglio& r) {
    return SenzaValori(r) &&
           std::count_if(r.celle.begin(), r.celle.end(),
                         [](const std::string& c) { return !SenzaSpazi(c).empty(); }) >= 2;
}

void ApplicaUnioni(Foglio& f) {
    std::size_t riempite = 0;
    for (const auto& u : f.unioni) {
        RigaFoglio* alto = f.Riga(u.riga1);
        const std::string valore = CellaDi(alto, u.col1);
        if (valore.empty()) continue;
        if (u.col2 > u.col1) {
            // A heading over sub-headings ("Importo" over "Dare" and "Avere"): the row
            // below is the header, completed with the upper row's other names.
            RigaFoglio* sotto = f.Riga(u.riga2 + 1);
            int sottoTitoli = 0;
            for (int c = u.col1; c <= u.col2; ++c) sottoTitoli += !CellaDi(sotto, c).empty();
            // Only between rows of names: a range merged among movements moves nothing.
            if (sottoTitoli >= 2 && SenzaValori(*alto) && SenzaValori(*sotto)) {
                alto->celle[u.col1].clear();
                if (sotto->celle.size() < alto->celle.size())
                    sotto->celle.resize(alto->celle.size());
                for (std::size_t c = 0; c < alto->celle.size(); ++c)
                    if (sotto->celle[c].empty()) sotto->celle[c] = std::move(alto->celle[c]);
                alto->celle.clear();
                continue;
            }
        }
        auto it = std::lower_bound(f.righe.begin(), f.righe.end(), u.riga1,
                                   [](const RigaFoglio& r, int n) { return r.numero < n; });
        for (; it != f.righe.end() && it->numero <= u.riga2; ++it) {
            // Down a column always (one date for several movements); across only among
            // names: a description merged over an amount column must not become an amount.
            const int fine = SenzaValori(*it) ? u.col2 : u.col1;
            for (int c = u.col1; c <= fine && c < kExcelColonneMassime; ++c) {
                if (++riempite > kExcelCelleUniteMassime) return;
                if (static_cast<int>(it->celle.size()) <= c) it->celle.resize(c + 1);
                if (it->celle[c].empty()) it->celle[c] = valore;
            }
        }
    }
}

// A header of two rows, the lower naming what the upper one's heading spans ("Importo" over
// "Dare" and "Avere"), becomes one row: the lower, completed with the upper's other names.
// Where the merged range is known this has been done already; .xls and unmerged headings
// come here as they are.
void UnisciIntestazioni(Foglio& f) {
    for (std::size_t i = 0; i + 1 < f.righe.size() && i < 50; ++i) {
        RigaFoglio& alto = f.righe[i];
        RigaFoglio& sotto = f.righe[i + 1];
        if (sotto.numero != alto.numero + 1 || !SoloNomi(alto) || !SoloNomi(sotto)) continue;
        // Sub-headings stand under the heading and the empty cells it spans; a row of
        // movements would fill the columns under the other names too.
        int sottoVuote = 0, sottoNomi = 0;
        for (int c = 0; c < static_cast<int>(sotto.celle.size()); ++c) {
            if (sotto.celle[c].empty()) continue;
            ++(CellaDi(&alto, c).empty() ? sottoVuote : sottoNomi);
        }
        if (sottoVuote == 0 || sottoNomi > sottoVuote) continue;
        if (sotto.celle.size() < alto.celle.size()) sotto.celle.resize(alto.celle.size());
        for (std::size_t c = 0; c < alto.celle.size(); ++c)
            if (sotto.celle[c].empty()) sotto.celle[c] = std::move(alto.celle[c]);
        alto.celle.clear();
        return;
    }
}

TabellaCsv InTabella(Foglio& f) {
    ApplicaUnioni(f);
    UnisciIntestazioni(f);
    TabellaCsv t;
    for (auto& r : f.righe) {
        std::vector<std::string> celle;
        celle.reserve(r.celle.size());
        for (int c = 0; c < static_cast<int>(r.celle.size()); ++c) {
            if (c < static_cast<int>(f.nascoste.size()) && f.nascoste[c]) continue;
            celle.push_back(std::move(r.celle[c]));
        }
        while (!celle.empty() && celle.back().empty()) celle.pop_back();
        if (celle.empty()) continue;
        t.record.push_back(std::move(celle));
        t.linee.push_back(r.numero);
    }
    return t;
}

bool HaMovimenti(const TabellaCsv& t) {
    const MappaturaCsv m = RilevaColonne(t, ';');
    return m.colData >= 0 && (m.colImporto >= 0 || m.colDare >= 0 || m.colAvere >= 0);
}

std::string TestoData(const core::Data& d) {
    return core::FormatoData(d);
}

// "2024-07-24" or "2024-07-24T10:00:00" (a date cell of the strict format, libfreexl's
// dates) as "24/07/2024"; anything else unchanged.
std::string DataIso(std::string_view v) {
    int a = 0, m = 0, g = 0;
    if (v.size() >= 10 && v[4] == '-' && v[7] == '-' &&
        std::from_chars(v.data(), v.data() + 4, a).ptr == v.data() + 4 &&
        std::from_chars(v.data() + 5, v.data() + 7, m).ptr == v.data() + 7 &&
        std::from_chars(v.data() + 8, v.data() + 10, g).ptr == v.data() + 10 &&
        core::DataEsistente(a, m, g))
        return TestoData({a, m, g});
    return std::string(v);
}

ErroreEstratto Errore(const std::string& nomeFile, const std::string& motivo) {
    return ErroreEstratto{"Il file \"" + nomeFile + "\" non può essere importato: " + motivo};
}

const char* const kCifrato =
    "è protetto da password. Lo apra con Excel o LibreOffice, tolga la password e lo salvi "
    "di nuovo.";
const char* const kDanneggiato = "il file Excel è danneggiato o incompleto.";
const char* const kTroppoGrande =
    "una volta espanso supererebbe i limiti di un estratto conto (il file potrebbe essere "
    "costruito per esaurire la memoria).";

// ---- .xlsx: XML through expat -----------------------------------------------------------

// The local name of an element or attribute ("uri|name" with the namespace separator).
std::string_view Locale(const XML_Char* nome) {
    std::string_view n = nome;
    const auto barra = n.rfind('|');
    return barra == std::string_view::npos ? n : n.substr(barra + 1);
}

const char* Attributo(const XML_Char** attr, std::string_view nome) {
    for (; *attr; attr += 2)
        if (Locale(attr[0]) == nome) return attr[1];
    return nullptr;
}

class LettoreXml {
  public:
    virtual ~LettoreXml() = default;
    virtual void Inizio(std::string_view nome, const XML_Char** attr) = 0;
    virtual void Fine(std::string_view nome) = 0;
    virtual void Testo(std::string_view) {}
};

enum class EsitoParte { Ok, Assente, Danneggiata, TroppoGrande, Cifrata };

class Pacchetto {
  public:
    explicit Pacchetto(zip_t* z) : z_(z) {}
    Pacchetto(const Pacchetto&) = delete;
    Pacchetto& operator=(const Pacchetto&) = delete;
    ~Pacchetto() { zip_discard(z_); }

    [[nodiscard]] bool Contiene(const std::string& nome) const {
        return zip_name_locate(z_, nome.c_str(), 0) >= 0;
    }

    bool ContieneSotto(std::string_view cartella) const {
        const zip_int64_t n = zip_get_num_entries(z_, 0);
        for (zip_int64_t i = 0; i < n; ++i) {
            const char* nome = zip_get_name(z_, static_cast<zip_uint64_t>(i), 0);
            if (nome && std::string_view(nome).starts_with(cartella)) return true;
        }
        return false;
    }

    // Streams one part through expat; the limits are checked before a byte is expanded.
    EsitoParte Leggi(const std::string& nome, LettoreXml& lettore) {
        const zip_int64_t indice = zip_name_locate(z_, nome.c_str(), 0);
        if (indice < 0) return EsitoParte::Assente;
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(z_, static_cast<zip_uint64_t>(indice), 0, &st) != 0)
            return EsitoParte::Danneggiata;
        if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
            return EsitoParte::Cifrata;
        if (!(st.valid & ZIP_STAT_SIZE) || !(st.valid & ZIP_STAT_COMP_SIZE))
            return EsitoParte::Danneggiata;
        if (st.size > kExcelEspansoMassimo - espanso_ ||
            (st.size > kExcelRapportoDa &&
             st.size / std::max<zip_uint64_t>(st.comp_size, 1) > kExcelRapportoMassimo))
            return EsitoParte::TroppoGrande;
        zip_file_t* file = zip_fopen_index(z_, static_cast<zip_uint64_t>(indice), 0);
        if (!file) return EsitoParte::Danneggiata;
        std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> chiudi(file, zip_fclose);

        std::unique_ptr<std::remove_pointer_t<XML_Parser>, void (*)(XML_Parser)> parser(
            XML_ParserCreateNS(nullptr, '|'), XML_ParserFree);
        XML_SetUserData(parser.get(), &lettore);
        XML_SetElementHandler(
            parser.get(),
            [](void* l, const XML_Char* n, const XML_Char** a) {
                static_cast<LettoreXml*>(l)->Inizio(Locale(n), a);
            },
            [](void* l, const XML_Char* n) { static_cast<LettoreXml*>(l)->Fine(Locale(n)); });
        XML_SetCharacterDataHandler(parser.get(), [](void* l, const XML_Char* s, int n) {
            static_cast<LettoreXml*>(l)->Testo({s, static_cast<std::size_t>(n)});
        });
        std::uint64_t letti = 0;
        std::vector<char> blocco(1 << 16);
        for (;;) {
            const zip_int64_t n = zip_fread(file, blocco.data(), blocco.size());
            if (n < 0) return EsitoParte::Danneggiata;
            letti += static_cast<std::uint64_t>(n);
            // A part that yields more than it declared is not trusted for a byte more.
            if (letti > st.size) return EsitoParte::TroppoGrande;
            if (XML_Parse(parser.get(), blocco.data(), static_cast<int>(n), n == 0) !=
                XML_STATUS_OK)
                return EsitoParte::Danneggiata;
            if (n == 0) break;
        }
        espanso_ += letti;
        return EsitoParte::Ok;
    }

  private:
    zip_t* z_;
    std::uint64_t espanso_ = 0;
};

struct Relazione {
    std::string id, tipo, destinazione;
};

class LettoreRelazioni : public LettoreXml {
  public:
    std::vector<Relazione> relazioni;
    void Inizio(std::string_view nome, const XML_Char** a) override {
        if (nome != "Relationship") return;
        const char* id = Attributo(a, "Id");
        const char* tipo = Attributo(a, "Type");
        const char* dest = Attributo(a, "Target");
        if (id && tipo && dest) relazioni.push_back({id, tipo, dest});
    }
    void Fine(std::string_view) override {}
};

struct VoceFoglio {
    std::string id;
    bool nascosto = false;
};

class LettoreCartella : public LettoreXml {
  public:
    std::vector<VoceFoglio> fogli;
    bool epoca1904 = false;
    void Inizio(std::string_view nome, const XML_Char** a) override {
        if (nome == "workbookPr") {
            const char* v = Attributo(a, "date1904");
            epoca1904 = v && (std::strcmp(v, "1") == 0 || std::strcmp(v, "true") == 0);
        } else if (nome == "sheet" && fogli.size() < kExcelFogliMassimi) {
            const char* id = Attributo(a, "id");
            const char* stato = Attributo(a, "state");
            if (id) fogli.push_back({id, stato && std::strcmp(stato, "visible") != 0});
        }
    }
    void Fine(std::string_view) override {}
};

// A custom number format shows a date when it has a day or a year outside quotes,
// escapes and brackets ("m" alone may be minutes).
bool FormatoDiData(std::string_view codice) {
    bool virgolette = false, parentesi = false;
    for (std::size_t i = 0; i < codice.size(); ++i) {
        const char c = codice[i];
        if (virgolette) {
            virgolette = c != '"';
        } else if (parentesi) {
            parentesi = c != ']';
        } else if (c == '"') {
            virgolette = true;
        } else if (c == '[') {
            parentesi = true;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;
        } else if (c == ';') {
            break;  // the first section decides
        } else if (c == 'd' || c == 'D' || c == 'y' || c == 'Y') {
            return true;
        }
    }
    return false;
}

bool FormatoPredefinitoDiData(int id) {
    // 14-17 and 22 are dates (22 with a time); 27-36 and 50-58 the East Asian dates.
    return (id >= 14 && id <= 17) || id == 22 || (id >= 27 && id <= 36) || (id >= 50 && id <= 58);
}

class LettoreStili : public LettoreXml {
  public:
    std::vector<bool> diData;  // per cell style (the "s" of a cell)
    void Inizio(std::string_view nome, const XML_Char** a) override {
        if (nome == "numFmt") {
            const char* id = Attributo(a, "numFmtId");
            const char* codice = Attributo(a, "formatCode");
            if (id && codice) personalizzati_[std::atoi(id)] = FormatoDiData(codice);
        } else if (nome == "cellXfs") {
            inXfs_ = true;
        } else if (nome == "xf" && inXfs_) {
            const char* v = Attributo(a, "numFmtId");
            const int id = v ? std::atoi(v) : 0;
            const auto it = personalizzati_.find(id);
            diData.push_back(it != personalizzati_.end() ? it->second
                                                         : FormatoPredefinitoDiData(id));
        }
    }
    void Fine(std::string_view nome) override {
        if (nome == "cellXfs") inXfs_ = false;
    }

  private:
    std::map<int, bool> personalizzati_;
    bool inXfs_ = false;
};

class LettoreStringhe : public LettoreXml {
  public:
    std::vector<std::string> stringhe;
    void Inizio(std::string_view nome, const XML_Char**) override {
        if (nome == "si") {
            stringhe.emplace_back();
            inSi_ = true;
        } else if (nome == "rPh") {
            fonetica_ = true;  // the reading of Japanese text, not the text
        } else if (nome == "t") {
            inT_ = inSi_ && !fonetica_;
        }
    }
    void Fine(std::string_view nome) override {
        if (nome == "si") inSi_ = false;
        if (nome == "rPh") fonetica_ = false;
        if (nome == "t") inT_ = false;
    }
    void Testo(std::string_view s) override {
        if (inT_) stringhe.back().append(s);
    }

  private:
    bool inSi_ = false, inT_ = false, fonetica_ = false;
};

// "AB12" → column 27 (0-based) and row 12; the row is 0 when the reference has none.
bool Riferimento(std::string_view r, int& colonna, int& riga) {
    std::size_t i = 0;
    int c = 0;
    while (i < r.size() && r[i] >= 'A' && r[i] <= 'Z' && c <= 16384)
        c = c * 26 + (r[i++] - 'A' + 1);
    if (i == 0) return false;
    colonna = c - 1;
    riga = 0;
    if (i < r.size() &&
        std::from_chars(r.data() + i, r.data() + r.size(), riga).ptr != r.data() + r.size())
        return false;
    return true;
}

// A stored number as the text the CSV reader takes.
std::string TestoNumeroSalvato(std::string_view v) {
    double d = 0;
    if (std::from_chars(v.data(), v.data() + v.size(), d).ec != std::errc()) return std::string(v);
    return TestoNumero(d);
}

class LettoreFoglio : public LettoreXml {
  public:
    LettoreFoglio(Foglio& f, const std::vector<std::string>& stringhe,
                  const std::vector<bool>& diData, bool epoca1904)
        : f_(f), stringhe_(stringhe), diData_(diData), epoca1904_(epoca1904) {}

    void Inizio(std::string_view nome, const XML_Char** a) override {
        if (nome == "row") {
            const char* r = Attributo(a, "r");
            riga_ = r ? std::atoi(r) : riga_ + 1;
            colonna_ = -1;
        } else if (nome == "c") {
            const char* r = Attributo(a, "r");
            int c = colonna_ + 1, rr = 0;
            if (r && Riferimento(r, c, rr) && rr > 0) riga_ = rr;
            colonna_ = c;
            const char* t = Attributo(a, "t");
            tipo_ = t ? t : "n";
            const char* s = Attributo(a, "s");
            stile_ = s ? std::atoi(s) : 0;
            valore_.clear();
        } else if (nome == "v" || (nome == "t" && tipo_ == "inlineStr")) {
            inValore_ = true;
        } else if (nome == "col") {
            const char* h = Attributo(a, "hidden");
            const char* min = Attributo(a, "min");
            const char* max = Attributo(a, "max");
            if (h && min && max && (std::strcmp(h, "1") == 0 || std::strcmp(h, "true") == 0)) {
                const int da = std::max(1, std::atoi(min));
                const int a2 = std::min(kExcelColonneMassime, std::atoi(max));
                if (a2 >= da && static_cast<int>(f_.nascoste.size()) < a2) f_.nascoste.resize(a2);
                for (int c = da; c <= a2; ++c) f_.nascoste[c - 1] = true;
            }
        } else if (nome == "mergeCell") {
            const char* ref = Attributo(a, "ref");
            if (!ref) return;
            std::string_view r = ref;
            const auto due = r.find(':');
            Foglio::Unione u{};
            if (due == std::string_view::npos || !Riferimento(r.substr(0, due), u.col1, u.riga1) ||
                !Riferimento(r.substr(due + 1), u.col2, u.riga2) || u.riga1 < 1 ||
                u.riga2 < u.riga1 || u.col2 < u.col1)
                return;
            f_.unioni.push_back(u);
        }
    }

    void Fine(std::string_view nome) override {
        if (nome == "v" || nome == "t") {
            inValore_ = false;
        } else if (nome == "c") {
            f_.Metti(riga_, colonna_, Valore());
        }
    }

    void Testo(std::string_view s) override {
        if (inValore_) valore_.append(s);
    }

  private:
    std::string Valore() {
        if (tipo_ == "s") {
            std::size_t i = 0;
            const auto fine = valore_.data() + valore_.size();
            if (std::from_chars(valore_.data(), fine, i).ptr == fine && i < stringhe_.size())
                return stringhe_[i];
            return {};
        }
        if (tipo_ == "inlineStr" || tipo_ == "str" || tipo_ == "e" || tipo_ == "b") return valore_;
        if (tipo_ == "d") return DataIso(valore_);
        const std::string_view v = SenzaSpazi(valore_);
        if (v.empty()) return {};
        if (stile_ >= 0 && stile_ < static_cast<int>(diData_.size()) && diData_[stile_]) {
            double d = 0;
            if (std::from_chars(v.data(), v.data() + v.size(), d).ec == std::errc())
                if (const auto data = DataSeriale(d, epoca1904_)) return TestoData(*data);
        }
        return TestoNumeroSalvato(v);
    }

    Foglio& f_;
    const std::vector<std::string>& stringhe_;
    const std::vector<bool>& diData_;
    bool epoca1904_;
    int riga_ = 0, colonna_ = -1, stile_ = 0;
    std::string tipo_;
    std::string valore_;
    bool inValore_ = false;
};

// A target of a relationship, relative to the folder of the part that names it.
std::string Percorso(const std::string& cartella, const std::string& destinazione) {
    if (destinazione.starts_with('/')) return destinazione.substr(1);
    std::string p = cartella + destinazione;
    // "xl/../x" and "xl/./x" as plain names.
    std::vector<std::string> parti;
    std::size_t inizio = 0;
    while (inizio <= p.size()) {
        auto fine = p.find('/', inizio);
        if (fine == std::string::npos) fine = p.size();
        const std::string parte = p.substr(inizio, fine - inizio);
        if (parte == "..") {
            if (!parti.empty()) parti.pop_back();
        } else if (!parte.empty() && parte != ".") {
            parti.push_back(parte);
        }
        inizio = fine + 1;
    }
    std::string r;
    for (const auto& x : parti) r += (r.empty() ? "" : "/") + x;
    return r;
}

bool TipoFinisceCon(const std::string& tipo, std::string_view fine) {
    return tipo.size() > fine.size() && tipo.ends_with(fine) &&
           tipo[tipo.size() - fine.size() - 1] == '/';
}

std::optional<ErroreEstratto> ErroreParte(EsitoParte e, const std::string& nomeFile) {
    switch (e) {
        case EsitoParte::Ok:
            return std::nullopt;
        case EsitoParte::Cifrata:
            return Errore(nomeFile, kCifrato);
        case EsitoParte::TroppoGrande:
            return Errore(nomeFile, kTroppoGrande);
        case EsitoParte::Assente:
        case EsitoParte::Danneggiata:
            break;
    }
    return Errore(nomeFile, kDanneggiato);
}

// The first bytes of an OLE2 compound file.
constexpr std::string_view kOle2("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);

// An encrypted .xlsx is an OLE2 file holding a stream of this name (UTF-16 in its
// directory); finding the name is enough to tell the user what the file is.
bool XlsxCifrato(std::string_view byte) {
    static const std::string nome = [] {
        std::string n;
        for (const char c : std::string_view("EncryptedPackage")) {
            n.push_back(c);
            n.push_back('\0');
        }
        return n;
    }();
    return byte.starts_with(kOle2) && byte.find(nome) != std::string_view::npos;
}

// An encrypted .xls has its FILEPASS record right after the workbook's first BOF record
// (BIFF8, workbook globals); libfreexl refuses such a file without saying why.
bool XlsCifrato(std::string_view byte) {
    constexpr std::string_view kBof("\x09\x08\x10\x00\x00\x06\x05\x00", 8);
    const auto i = byte.find(kBof);
    if (i == std::string_view::npos || i + 24 > byte.size()) return false;
    return byte[i + 20] == '\x2F' && byte[i + 21] == '\x00';
}

}  // namespace

std::optional<core::Data> DataSeriale(double seriale, bool epoca1904) {
    if (!std::isfinite(seriale) || seriale < (epoca1904 ? 0 : 1) || seriale > kSerialeMassimo)
        return std::nullopt;
    const auto giorno = static_cast<std::int64_t>(std::floor(seriale));
    if (epoca1904) return CivileDaGiorni(kGiorno0Del1904 + giorno);
    if (giorno == 60) return std::nullopt;  // 29/02/1900
    // Before the day that never was, every serial is one day later than its count.
    return CivileDaGiorni(kGiorno0Del1900 + giorno + (giorno < 60 ? 1 : 0));
}

std::string TestoNumero(double valore) {
    if (!std::isfinite(valore)) return {};
    // Excel keeps 15 significant digits; the 16th and 17th a writer may store (80.07 as
    // 80.06999999999999) are the binary fraction's noise, not the bank's.
    const int intere =
        valore == 0 ? 1 : static_cast<int>(std::floor(std::log10(std::fabs(valore)))) + 1;
    char testo[400];
    const auto r = std::to_chars(testo, testo + sizeof testo, valore, std::chars_format::fixed,
                                 std::clamp(kExcelCifre - intere, 0, kExcelCifre));
    std::string t(testo, r.ec == std::errc() ? r.ptr : testo);
    if (t.find('.') != std::string::npos) {
        while (t.back() == '0') t.pop_back();
        if (t.back() == '.') t.pop_back();
    }
    if (t == "-0") t = "0";
    std::replace(t.begin(), t.end(), '.', ',');
    return t;
}

std::string TestoCsv(const TabellaCsv& t) {
    std::string testo;
    for (const auto& record : t.record) {
        for (std::size_t c = 0; c < record.size(); ++c) {
            if (c) testo += ';';
            const std::string& v = record[c];
            if (v.find_first_of(";\"\r\n") == std::string::npos) {
                testo += v;
                continue;
            }
            testo += '"';
            for (const char ch : v) {
                if (ch == '"') testo += '"';
                testo += ch;
            }
            testo += '"';
        }
        testo += "\r\n";
    }
    return testo;
}

FormatoExcel RiconosciExcel(std::string_view byte) {
    if (byte.starts_with("PK\x03\x04") || byte.starts_with("PK\x05\x06")) return FormatoExcel::Xlsx;
    if (byte.starts_with(kOle2)) return FormatoExcel::Xls;
    return FormatoExcel::Nessuno;
}

std::variant<TabellaCsv, ErroreEstratto> LeggiFoglioXlsx(std::string_view byte,
                                                         const std::string& nomeFile) {
    zip_error_t errore;
    zip_error_init(&errore);
    zip_source_t* sorgente = zip_source_buffer_create(byte.data(), byte.size(), 0, &errore);
    if (!sorgente) return Errore(nomeFile, kDanneggiato);
    zip_t* z = zip_open_from_source(sorgente, ZIP_RDONLY | ZIP_CHECKCONS, &errore);
    if (!z) {
        zip_source_free(sorgente);
        const int codice = zip_error_code_zip(&errore);
        zip_error_fini(&errore);
        if (codice == ZIP_ER_ENCRNOTSUPP || codice == ZIP_ER_NOPASSWD)
            return Errore(nomeFile, kCifrato);
        return Errore(nomeFile, kDanneggiato);
    }
    zip_error_fini(&errore);
    Pacchetto p(z);

    // The workbook is where the package's relationships say (xl/workbook.xml as a rule).
    std::string cartella = "xl/workbook.xml";
    {
        LettoreRelazioni rel;
        if (p.Leggi("_rels/.rels", rel) == EsitoParte::Ok)
            for (const auto& r : rel.relazioni)
                if (TipoFinisceCon(r.tipo, "officeDocument"))
                    cartella = Percorso("", r.destinazione);
    }
    if (!p.Contiene(cartella)) {
        if (p.Contiene("mimetype") && p.ContieneSotto("content.xml"))
            return Errore(nomeFile,
                          "è un foglio di calcolo OpenDocument (.ods): lo salvi in formato "
                          "Excel (.xlsx) e lo importi di nuovo.");
        if (p.Contiene("xl/workbook.bin"))
            return Errore(nomeFile,
                          "è in formato Excel binario (.xlsb): lo salvi in formato Excel "
                          "(.xlsx) e lo importi di nuovo.");
        return Errore(nomeFile, "non è un file Excel (manca la cartella di lavoro).");
    }
    const std::string cartellaLavoro = cartella;
    const std::string base = cartella.substr(0, cartella.rfind('/') + 1);
    const std::string nomeRel =
        base + "_rels/" + cartella.substr(cartella.rfind('/') + 1) + ".rels";

    LettoreCartella lavoro;
    if (auto e = ErroreParte(p.Leggi(cartellaLavoro, lavoro), nomeFile)) return *e;
    LettoreRelazioni rel;
    if (auto e = ErroreParte(p.Leggi(nomeRel, rel), nomeFile)) return *e;

    std::string parteStringhe = base + "sharedStrings.xml", parteStili = base + "styles.xml";
    std::map<std::string, std::string> fogliPerId;
    bool soloMacro = false;
    for (const auto& r : rel.relazioni) {
        if (TipoFinisceCon(r.tipo, "sharedStrings"))
            parteStringhe = Percorso(base, r.destinazione);
        else if (TipoFinisceCon(r.tipo, "styles"))
            parteStili = Percorso(base, r.destinazione);
        else if (TipoFinisceCon(r.tipo, "worksheet"))
            fogliPerId[r.id] = Percorso(base, r.destinazione);
        else if (TipoFinisceCon(r.tipo, "xlMacrosheet") ||
                 TipoFinisceCon(r.tipo, "xlIntlMacrosheet") || TipoFinisceCon(r.tipo, "vbaProject"))
            soloMacro = true;
    }

    LettoreStringhe stringhe;
    if (auto e = p.Leggi(parteStringhe, stringhe); e != EsitoParte::Assente)
        if (auto err = ErroreParte(e, nomeFile)) return *err;
    LettoreStili stili;
    if (auto e = p.Leggi(parteStili, stili); e != EsitoParte::Assente)
        if (auto err = ErroreParte(e, nomeFile)) return *err;

    // Visible sheets first: a hidden one is the bank's working, not the list it shows.
    std::vector<std::string> fogli;
    for (const bool nascosti : {false, true})
        for (const auto& v : lavoro.fogli)
            if (v.nascosto == nascosti && fogliPerId.count(v.id)) fogli.push_back(fogliPerId[v.id]);
    if (fogli.empty() && soloMacro)
        return Errore(nomeFile, "contiene solo macro e nessun foglio con i movimenti.");

    std::optional<TabellaCsv> primo;
    for (const auto& nome : fogli) {
        Foglio f;
        LettoreFoglio lettore(f, stringhe.stringhe, stili.diData, lavoro.epoca1904);
        if (auto err = ErroreParte(p.Leggi(nome, lettore), nomeFile)) return *err;
        TabellaCsv t = InTabella(f);
        if (t.record.empty()) continue;
        if (HaMovimenti(t)) return t;
        if (!primo) primo = std::move(t);
    }
    if (primo) return *std::move(primo);
    return Errore(nomeFile, "il file Excel non contiene dati.");
}

std::variant<TabellaCsv, ErroreEstratto> LeggiFoglioExcel(std::string_view byte,
                                                          const std::filesystem::path& file,
                                                          const std::string& nomeFile) {
    switch (RiconosciExcel(byte)) {
        case FormatoExcel::Xlsx:
            return LeggiFoglioXlsx(byte, nomeFile);
        case FormatoExcel::Xls:
            if (XlsxCifrato(byte) || XlsCifrato(byte)) return Errore(nomeFile, kCifrato);
            return LeggiFoglioXls(file, nomeFile);
        case FormatoExcel::Nessuno:
            break;
    }
    return Errore(nomeFile, "non è un file Excel.");
}

std::variant<TabellaCsv, ErroreEstratto> LeggiFoglioXls(const std::filesystem::path& file,
                                                        const std::string& nomeFile) {
    const void* h = nullptr;
    const int aperto = freexl_open(file.c_str(), &h);
    std::unique_ptr<const void, int (*)(const void*)> chiudi(h, freexl_close);
    if (aperto != FREEXL_OK) {
        if (aperto == FREEXL_INSUFFICIENT_MEMORY)
            return Errore(nomeFile, "memoria insufficiente per leggere il file Excel.");
        if (aperto == FREEXL_FILE_NOT_FOUND)
            return Errore(nomeFile, "il file non può essere letto.");
        return Errore(nomeFile, kDanneggiato);
    }
    // libfreexl answers some workbooks it cannot follow with success and no handle.
    if (!h)
        return Errore(nomeFile,
                      "questo file .xls non può essere letto: lo apra con Excel o LibreOffice, "
                      "lo salvi in formato .xlsx e lo importi di nuovo.");
    unsigned int info = 0;
    if (freexl_get_info(h, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK &&
        info == FREEXL_BIFF_OBFUSCATED)
        return Errore(nomeFile, kCifrato);
    unsigned int fogli = 0;
    if (freexl_get_info(h, FREEXL_BIFF_SHEET_COUNT, &fogli) != FREEXL_OK)
        return Errore(nomeFile, kDanneggiato);
    std::optional<TabellaCsv> primo;
    for (unsigned int s = 0; s < fogli && s < static_cast<unsigned>(kExcelFogliMassimi); ++s) {
        unsigned int righe = 0;
        unsigned short colonne = 0;
        if (freexl_select_active_worksheet(h, static_cast<unsigned short>(s)) != FREEXL_OK ||
            freexl_worksheet_dimensions(h, &righe, &colonne) != FREEXL_OK)
            return Errore(nomeFile, kDanneggiato);
        Foglio f;
        for (unsigned int r = 0; r < righe; ++r) {
            for (unsigned short c = 0; c < colonne && c < kExcelColonneMassime; ++c) {
                FreeXL_CellValue v;
                if (freexl_get_cell_value(h, r, c, &v) != FREEXL_OK) continue;
                std::string testo;
                switch (v.type) {
                    case FREEXL_CELL_INT:
                        testo = std::to_string(v.value.int_value);
                        break;
                    case FREEXL_CELL_DOUBLE:
                        testo = TestoNumero(v.value.double_value);
                        break;
                    case FREEXL_CELL_TEXT:
                    case FREEXL_CELL_SST_TEXT:
                    case FREEXL_CELL_TIME:
                        testo = v.value.text_value ? v.value.text_value : "";
                        break;
                    case FREEXL_CELL_DATE:
                    case FREEXL_CELL_DATETIME:
                        testo = DataIso(v.value.text_value ? v.value.text_value : "");
                        break;
                    default:
                        break;
                }
                f.Metti(static_cast<int>(r) + 1, c, std::move(testo));
            }
        }
        TabellaCsv t = InTabella(f);
        if (t.record.empty()) continue;
        if (HaMovimenti(t)) return t;
        if (!primo) primo = std::move(t);
    }
    if (primo) return *std::move(primo);
    return Errore(nomeFile, "il file Excel non contiene dati.");
}

}  // namespace estratti
