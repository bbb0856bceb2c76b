#include "estratti/testi.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "core/cp1252.h"
#include "core/importi.h"

namespace estratti {

bool Utf8Valido(std::string_view t) {
    std::size_t i = 0;
    while (i < t.size()) {
        const auto c = static_cast<unsigned char>(t[i]);
        int seguito = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF)
            seguito = 1;
        else if (c >= 0xE0 && c <= 0xEF)
            seguito = 2;
        else if (c >= 0xF0 && c <= 0xF4)
            seguito = 3;
        else
            return false;
        if (i + seguito >= t.size()) return false;
        for (int k = 1; k <= seguito; ++k)
            if ((static_cast<unsigned char>(t[i + k]) & 0xC0) != 0x80) return false;
        i += seguito + 1;
    }
    return true;
}

std::string TestoUtf8(std::string_view byte) {
    if (byte.starts_with("\xEF\xBB\xBF")) byte.remove_prefix(3);
    if (Utf8Valido(byte)) return std::string(byte);
    return core::Cp1252InUtf8(byte);
}

std::string_view SenzaSpazi(std::string_view t) {
    const auto inizio = t.find_first_not_of(" \t\r\n");
    if (inizio == std::string_view::npos) return {};
    const auto fine = t.find_last_not_of(" \t\r\n");
    return t.substr(inizio, fine - inizio + 1);
}

std::string Normalizza(std::string_view testo) {
    std::string r(SenzaSpazi(testo));
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

std::optional<core::Money> LeggiImportoBanca(std::string_view testo, char decimale) {
    std::string t;
    t.reserve(testo.size());
    for (std::size_t i = 0; i < testo.size(); ++i) {
        const char c = testo[i];
        if (c == ' ' || c == '\t' || c == '\'') continue;
        if (testo.substr(i).starts_with("\xE2\x82\xAC")) {  // €
            i += 2;
            continue;
        }
        if (testo.substr(i).starts_with("\xC2\xA0")) {  // no-break space
            ++i;
            continue;
        }
        if (testo.substr(i).starts_with("EUR")) {
            i += 2;
            continue;
        }
        t += c;
    }
    bool negativo = false;
    if (!t.empty() && (t.front() == '-' || t.front() == '+')) {
        negativo = t.front() == '-';
        t.erase(0, 1);
    } else if (!t.empty() && t.back() == '-') {
        negativo = true;
        t.pop_back();
    }
    if (t.empty()) return std::nullopt;
    const char gruppo = decimale == ',' ? '.' : ',';
    std::int64_t intero = 0;
    std::int64_t frazione = 0;
    int cifreFrazione = 0;
    bool arrotondaSu = false;
    bool inFrazione = false;
    bool cifre = false;
    for (const char c : t) {
        if (c == gruppo && !inFrazione) continue;
        if (c == decimale && !inFrazione) {
            inFrazione = true;
            continue;
        }
        if (c < '0' || c > '9') return std::nullopt;
        cifre = true;
        const int d = c - '0';
        if (!inFrazione) {
            if (intero > (INT64_MAX / core::Money::kScala - 9) / 10) return std::nullopt;
            intero = intero * 10 + d;
        } else if (cifreFrazione < 4) {
            frazione = frazione * 10 + d;
            ++cifreFrazione;
        } else if (cifreFrazione == 4) {
            arrotondaSu = d >= 5;
            ++cifreFrazione;
        }
    }
    if (!cifre) return std::nullopt;
    for (int k = cifreFrazione; k < 4; ++k) frazione *= 10;
    std::int64_t raw = intero * core::Money::kScala + frazione + (arrotondaSu ? 1 : 0);
    return core::Money::FromRaw(negativo ? -raw : raw);
}

namespace {

bool Cifra(char c) {
    return c >= '0' && c <= '9';
}
bool Alfa(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// 1 to 12 for an Italian or English month name or its abbreviation, else 0.
int Mese(std::string parola) {
    for (char& c : parola)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    static constexpr std::string_view kNomi[12][2] = {
        {"gennaio", "january"}, {"febbraio", "february"}, {"marzo", "march"},
        {"aprile", "april"},    {"maggio", "may"},        {"giugno", "june"},
        {"luglio", "july"},     {"agosto", "august"},     {"settembre", "september"},
        {"ottobre", "october"}, {"novembre", "november"}, {"dicembre", "december"}};
    static constexpr std::string_view kAbbreviati[12][2] = {
        {"gen", "jan"}, {"feb", "feb"}, {"mar", "mar"}, {"apr", "apr"},
        {"mag", "may"}, {"giu", "jun"}, {"lug", "jul"}, {"ago", "aug"},
        {"set", "sep"}, {"ott", "oct"}, {"nov", "nov"}, {"dic", "dec"}};
    if (parola.size() < 3) return 0;
    for (int m = 0; m < 12; ++m)
        for (int l = 0; l < 2; ++l)
            if (parola == kAbbreviati[m][l] || kNomi[m][l].starts_with(parola)) return m + 1;
    return 0;
}

// "24 lug 2024", "24-Jul-2024", "Jul 24, 2024", "lunedì 24 luglio 2024 10:00".
std::optional<core::Data> DataConNomeMese(std::string_view testo) {
    int mese = 0, giorno = 0, anno = 0, cifreAnno = 0;
    std::size_t i = 0;
    while (i < testo.size() && !(giorno && anno)) {
        const std::size_t inizio = i;
        if (Cifra(testo[i])) {
            while (i < testo.size() && Cifra(testo[i])) ++i;
            const std::string_view n = testo.substr(inizio, i - inizio);
            const int v = n.size() <= 4 ? std::stoi(std::string(n)) : -1;
            if (n.size() <= 2 && !giorno && (!mese || !anno))
                giorno = v;
            else if ((n.size() == 4 || (n.size() == 2 && mese)) && !anno && giorno) {
                anno = v;
                cifreAnno = static_cast<int>(n.size());
            } else
                return std::nullopt;
        } else if (Alfa(testo[i])) {
            while (i < testo.size() && Alfa(testo[i])) ++i;
            const int m = Mese(std::string(testo.substr(inizio, i - inizio)));
            // A weekday may come first ("mar 24 lug"): the later name is the month.
            if (m) mese = m;
        } else {
            ++i;
        }
    }
    if (!mese || !giorno || !anno) return std::nullopt;
    if (cifreAnno == 2) anno += anno >= 30 ? 1900 : 2000;
    if (!core::DataEsistente(anno, mese, giorno)) return std::nullopt;
    return core::Data{anno, mese, giorno};
}

// The numbers of a numeric date split by "-", "/" or "."; false for anything else.
bool Parti(std::string_view testo, int parti[3], int cifre[3]) {
    int p = 0;
    for (const char c : testo) {
        if (Cifra(c)) {
            parti[p] = parti[p] * 10 + (c - '0');
            if (++cifre[p] > 4) return false;
        } else if ((c == '-' || c == '/' || c == '.') && p < 2 && cifre[p] > 0) {
            ++p;
        } else {
            return false;
        }
    }
    return p == 2 && cifre[2] > 0;
}

std::string_view SoloData(std::string_view testo) {
    testo = SenzaSpazi(testo);
    const auto fine = testo.find_first_of(" T");
    return fine == std::string_view::npos ? testo : testo.substr(0, fine);
}

}  // namespace

std::optional<std::pair<int, int>> PrimiDueNumeri(std::string_view testo) {
    int parti[3] = {0, 0, 0};
    int cifre[3] = {0, 0, 0};
    if (!Parti(SoloData(testo), parti, cifre) || cifre[0] > 2 || cifre[1] > 2) return std::nullopt;
    return std::pair{parti[0], parti[1]};
}

std::optional<core::Data> LeggiDataBanca(std::string_view testo, FormatoData formato) {
    testo = SenzaSpazi(testo);
    if (std::any_of(testo.begin(), testo.end(), [](char c) { return Alfa(c) && c != 'T'; }))
        return DataConNomeMese(testo);
    testo = SoloData(testo);
    int parti[3] = {0, 0, 0};
    int cifre[3] = {0, 0, 0};
    // The compact aaaammgg of some exports.
    if (formato == FormatoData::AnnoMeseGiorno && testo.size() == 8 &&
        testo.find_first_not_of("0123456789") == std::string_view::npos) {
        for (int k = 0; k < 8; ++k) {
            const int idx = k < 4 ? 0 : (k < 6 ? 1 : 2);
            parti[idx] = parti[idx] * 10 + (testo[k] - '0');
        }
    } else {
        if (!Parti(testo, parti, cifre)) return std::nullopt;
        if (cifre[0] != 4) {
            // Day and month first: the year last, with two or four digits.
            if (cifre[0] > 2 || cifre[1] > 2 || (cifre[2] != 2 && cifre[2] != 4))
                return std::nullopt;
            if (formato == FormatoData::MeseGiornoAnno) std::swap(parti[0], parti[1]);
            if (cifre[2] == 2) parti[2] += parti[2] >= 30 ? 1900 : 2000;
            std::swap(parti[0], parti[2]);
        } else if (cifre[1] > 2 || cifre[2] > 2) {
            return std::nullopt;
        }
    }
    if (!core::DataEsistente(parti[0], parti[1], parti[2])) return std::nullopt;
    return core::Data{parti[0], parti[1], parti[2]};
}

std::size_t LunghezzaUtf8(std::string_view testo) {
    std::size_t n = 0;
    for (const char c : testo)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

std::string TroncaUtf8(std::string_view testo, std::size_t caratteri) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < testo.size(); ++i) {
        if ((static_cast<unsigned char>(testo[i]) & 0xC0) != 0x80) {
            if (n == caratteri) return std::string(testo.substr(0, i));
            ++n;
        }
    }
    return std::string(testo);
}

std::string RiferimentoBreve(std::string_view descrizione, std::size_t caratteri) {
    // Words the bank puts before what tells the movement apart, longest first.
    static constexpr std::string_view kPrefissi[] = {"vostra disposizione di bonifico",
                                                     "vostra dispos. di bonifico",
                                                     "bonifico a vostro favore",
                                                     "bonifico a vs. favore",
                                                     "bonifico a vs favore",
                                                     "bonifico a vostro carico",
                                                     "disposizione di bonifico",
                                                     "addebito diretto sdd",
                                                     "addebito preautorizzato",
                                                     "pagamento tramite pos",
                                                     "operazione carta pos",
                                                     "addebito diretto",
                                                     "pagamento carta",
                                                     "bonifico sepa",
                                                     "pagamento pos",
                                                     "addebito sdd",
                                                     "sepa direct debit",
                                                     "operazione pos",
                                                     "pagamento",
                                                     "addebito",
                                                     "accredito"};
    std::string t(SenzaSpazi(descrizione));
    for (bool tolto = true; tolto;) {
        tolto = false;
        const std::string n = Normalizza(t);
        for (const std::string_view p : kPrefissi) {
            if (!n.starts_with(p) || n.size() == p.size()) continue;
            const char dopo = n[p.size()];
            if (Alfa(dopo) || Cifra(dopo)) continue;
            std::string resto(SenzaSpazi(std::string_view(t).substr(p.size())));
            while (!resto.empty() && (resto.front() == '-' || resto.front() == ':' ||
                                      resto.front() == ',' || resto.front() == '.'))
                resto = std::string(SenzaSpazi(std::string_view(resto).substr(1)));
            if (resto.empty()) break;
            t = std::move(resto);
            // The transfer's code ("TRN 0306…") tells the user nothing.
            if (Normalizza(t).starts_with("trn ")) {
                const auto fine = t.find(' ', 4);
                if (fine != std::string::npos) t = std::string(SenzaSpazi(t.substr(fine)));
            }
            tolto = true;
            break;
        }
    }
    // "N. 123456" says no more than "123456"; runs of blanks are one.
    std::string c;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] == ' ' && (c.empty() || c.back() == ' ')) continue;
        const std::string_view resto = std::string_view(t).substr(i);
        std::size_t salto = 0;
        for (const std::string_view numero : {"n. ", "n.", "nr. ", "nr.", "n° ", "n°"})
            if (Normalizza(resto.substr(0, numero.size())) == numero &&
                (c.empty() || c.back() == ' ') && resto.size() > numero.size() &&
                Cifra(resto[numero.size()])) {
                salto = numero.size();
                break;
            }
        if (salto) {
            i += salto - 1;
            continue;
        }
        c += t[i];
    }
    if (LunghezzaUtf8(c) <= caratteri) return c;
    std::string corto = TroncaUtf8(c, caratteri);
    const std::size_t taglio = corto.size();
    if (!Cifra(c[taglio]) || !Cifra(c[taglio - 1])) return std::string(SenzaSpazi(corto));
    // A number across the cut: the first word and the whole number when they fit, else
    // the text before the number.
    std::size_t inizio = taglio;
    while (inizio > 0 && Cifra(c[inizio - 1])) --inizio;
    std::size_t fine = taglio;
    while (fine < c.size() && Cifra(c[fine])) ++fine;
    const std::string numero = c.substr(inizio, fine - inizio);
    const std::string parola = c.substr(0, std::min(c.find(' '), inizio));
    if (inizio == 0) return corto;
    if (LunghezzaUtf8(parola) + 1 + numero.size() <= caratteri && !SenzaSpazi(parola).empty())
        return std::string(SenzaSpazi(parola)) + " " + numero;
    return std::string(SenzaSpazi(std::string_view(c).substr(0, inizio)));
}

std::optional<core::Money> ValoreCella(std::string_view testo) {
    if (SenzaSpazi(testo).empty()) return core::Money{};
    return core::ValoreImportoRegistrato(testo);
}

}  // namespace estratti
