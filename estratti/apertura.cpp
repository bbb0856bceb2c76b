#include "estratti/apertura.h"

#include <sstream>

#include "estratti/lettore_excel.h"
#include "estratti/lettore_ofx.h"
#include "estratti/testi.h"

namespace estratti {

namespace {

// One line per bank: the key, then the mapping's fields, tab-separated.
std::string Riga(const std::string& banca, const MappaturaCsv& m) {
    std::ostringstream s;
    s << banca << '\t' << static_cast<int>(m.separatore) << '\t' << m.rigaIntestazione << '\t'
      << m.colData << '\t' << m.colDescrizione << '\t' << m.colRiferimento << '\t' << m.colTipo
      << '\t' << m.colImporto << '\t' << m.colDare << '\t' << m.colAvere << '\t' << m.colValuta
      << '\t' << static_cast<int>(m.decimale) << '\t' << static_cast<int>(m.formatoData) << '\t'
      << m.colStato << '\n';
    return s.str();
}

}  // namespace

void MemoriaMappature::Carica() {
    mappature_.clear();
    std::string testo;
    if (!fs_.esiste(file_) || fs_.leggi(file_, testo)) return;
    std::istringstream righe(testo);
    std::string riga;
    while (std::getline(righe, riga)) {
        const auto tab = riga.find('\t');
        if (tab == std::string::npos) continue;
        std::istringstream campi(riga.substr(tab + 1));
        int v[13] = {};
        bool ok = true;
        for (int k = 0; k < 12; ++k) ok = ok && static_cast<bool>(campi >> v[k]);
        // The state column came later: older lines have none.
        if (!(campi >> v[12])) v[12] = -1;
        if (!ok || (v[0] != ';' && v[0] != ',' && v[0] != '\t' && v[0] != '|') ||
            (v[10] != ',' && v[10] != '.') || v[11] < 0 || v[11] > 2)
            continue;
        MappaturaCsv m;
        m.separatore = static_cast<char>(v[0]);
        m.rigaIntestazione = v[1];
        m.colData = v[2];
        m.colDescrizione = v[3];
        m.colRiferimento = v[4];
        m.colTipo = v[5];
        m.colImporto = v[6];
        m.colDare = v[7];
        m.colAvere = v[8];
        m.colValuta = v[9];
        m.decimale = static_cast<char>(v[10]);
        m.formatoData = static_cast<FormatoData>(v[11]);
        m.colStato = v[12];
        mappature_[riga.substr(0, tab)] = m;
    }
}

const MappaturaCsv* MemoriaMappature::Trova(const std::string& banca) const {
    const auto it = mappature_.find(banca);
    return it == mappature_.end() ? nullptr : &it->second;
}

core::EsitoFile MemoriaMappature::Ricorda(const std::string& bancaGrezza, const MappaturaCsv& m) {
    std::string banca = bancaGrezza;
    for (char& c : banca)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    mappature_[banca] = m;
    std::string testo;
    for (const auto& [b, mappa] : mappature_) testo += Riga(b, mappa);
    std::filesystem::path provvisorio = file_;
    provvisorio += ".tmp";
    if (auto e = fs_.scrivi(provvisorio, testo)) return e;
    if (auto e = fs_.rinomina(provvisorio, file_)) return e;
    return fs_.sincronizzaCartella(file_.has_parent_path() ? file_.parent_path() : ".");
}

std::string NonEstratto(std::string_view byte, const std::string& nome) {
    auto no = [&](std::string_view cosa) {
        return "Il file \"" + nome + "\" non può essere importato: " + std::string(cosa) +
               ": esporti dalla banca il file Excel o CSV dei movimenti, oppure OFX.";
    };
    if (SenzaSpazi(byte.starts_with("\xEF\xBB\xBF") ? byte.substr(3) : byte).empty())
        return "Il file \"" + nome + "\" non può essere importato: è vuoto.";
    const std::string inizio = Normalizza(byte.substr(0, 512));
    auto comincia = [&](std::string_view firma) { return byte.starts_with(firma); };
    if (comincia("%PDF")) return no("è un PDF");
    if (comincia("\x89PNG") || comincia("\xFF\xD8\xFF") || comincia("GIF8") || comincia("II*") ||
        comincia(std::string_view("MM\0*", 4)) || (comincia("RIFF") && byte.substr(8, 4) == "WEBP"))
        return no("è un'immagine");
    const auto html = inizio.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
    if (html != std::string::npos &&
        (inizio.compare(html, 14, "<!doctype html") == 0 || inizio.compare(html, 5, "<html") == 0))
        return no("è una pagina web (HTML)");
    if (byte.substr(0, 4096).find('\0') != std::string_view::npos && !comincia("PK\x03\x04") &&
        !comincia("\xD0\xCF\x11\xE0"))
        return no("non è un file di testo");
    return {};
}

std::variant<FileEstratto, ErroreEstratto> ApriEstratto(core::FileSystem& fs,
                                                        const std::filesystem::path& percorso,
                                                        const MemoriaMappature* memoria) {
    std::string byte;
    if (auto e = fs.leggi(percorso, byte))
        return ErroreEstratto{"Impossibile leggere il file \"" + percorso.filename().string() +
                              "\": " + e->motivo};
    return ApriEstrattoDaByte(byte, percorso, memoria);
}

std::variant<FileEstratto, ErroreEstratto> ApriEstrattoDaByte(std::string_view byte,
                                                              const std::filesystem::path& percorso,
                                                              const MemoriaMappature* memoria) {
    FileEstratto f;
    f.percorso = percorso;
    f.nome = percorso.filename().string();
    if (byte.size() > kMassimaDimensioneEstratto)
        return ErroreEstratto{"Il file \"" + f.nome + "\" non può essere importato: è di " +
                              std::to_string(byte.size() >> 20) +
                              " MB, più di quanto sia un estratto conto (al massimo " +
                              std::to_string(kMassimaDimensioneEstratto >> 20) + " MB)."};
    if (std::string no = NonEstratto(byte, f.nome); !no.empty()) return ErroreEstratto{no};
    if (SembraOfx(byte)) {
        f.ofx = true;
        return f;
    }
    if (RiconosciExcel(byte) != FormatoExcel::Nessuno) {
        auto foglio = LeggiFoglioExcel(byte, percorso, f.nome);
        if (auto* e = std::get_if<ErroreEstratto>(&foglio)) return std::move(*e);
        f.excel = true;
        f.foglio = std::get<TabellaCsv>(std::move(foglio));
        f.testo = TestoCsv(f.foglio);  // the same records, for windows that split the text
        f.mappatura = RilevaColonne(f.foglio, ';');
        // Date cells arrive written day first, so their order needs no question.
        f.mappatura.dataAmbigua = false;
        f.banca = "excel" + FirmaIntestazione(f.foglio, f.mappatura).substr(3);
    } else {
        f.testo = TestoUtf8(byte);
        f.mappatura = RilevaMappatura(f.testo);
        const TabellaCsv tabella = SeparaCsv(f.testo, f.mappatura.separatore);
        if (tabella.troppeColonne)
            return ErroreEstratto{
                "Il file \"" + f.nome + "\" non può essere importato: ha righe di oltre " +
                std::to_string(kMassimoColonne) + " colonne, non è un estratto conto."};
        f.banca = FirmaIntestazione(tabella, f.mappatura);
    }
    if (memoria) {
        if (const MappaturaCsv* m = memoria->Trova(f.banca)) {
            f.mappatura = *m;
            f.mappaturaRicordata = true;
        }
    }
    return f;
}

std::variant<Estratto, ErroreEstratto> LeggiEstratto(const FileEstratto& f) {
    std::variant<Estratto, ErroreEstratto> e;
    if (f.ofx) {
        e = f.letto ? std::variant<Estratto, ErroreEstratto>(*f.letto) : LeggiOfx(f.percorso);
        if (auto* estratto = std::get_if<Estratto>(&e)) {
            estratto->nomeFile = f.nome;
            if (!f.conto.empty()) SceltaConto(*estratto, f.conto);
        }
    } else {
        e = f.excel ? LeggiTabella(f.foglio, f.mappatura, f.nome)
                    : LeggiCsv(f.testo, f.mappatura, f.nome);
        if (auto* estratto = std::get_if<Estratto>(&e)) estratto->chiaveBanca = f.banca;
    }
    if (auto* estratto = std::get_if<Estratto>(&e)) estratto->registroInEuro = f.registroInEuro;
    return e;
}

TabellaCsv CelleEstratto(const FileEstratto& f) {
    return f.excel ? f.foglio : SeparaCsv(f.testo, f.mappatura.separatore);
}

}  // namespace estratti
