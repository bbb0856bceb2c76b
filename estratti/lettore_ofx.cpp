#include "estratti/lettore_ofx.h"

#include <fcntl.h>
#include <libofx/libofx.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <unordered_set>
#include <vector>

#include "estratti/testi.h"

namespace estratti {

namespace {

// Where the tag (upper case) starts at or after `da`, in any case as SGML allows.
std::size_t Trova(std::string_view testo, std::string_view tag, std::size_t da = 0,
                  std::size_t a = std::string_view::npos) {
    testo = testo.substr(0, a);
    for (std::size_t p = testo.find('<', da); p != std::string_view::npos;
         p = testo.find('<', p + 1)) {
        if (testo.size() - p < tag.size()) break;
        if (strncasecmp(testo.data() + p, tag.data(), tag.size()) == 0) return p;
    }
    return std::string_view::npos;
}

// The text of the element `tag` ("<DTPOSTED>") within [da, a): up to the next tag.
std::string Valore(std::string_view testo, std::string_view tag, std::size_t da, std::size_t a) {
    const std::size_t p = Trova(testo, tag, da, a);
    if (p == std::string_view::npos || p >= a) return {};
    const std::size_t inizio = p + tag.size();
    const std::size_t fine = std::min(testo.find('<', inizio), a);
    return std::string(SenzaSpazi(testo.substr(inizio, fine - inizio)));
}

// The bank's calendar day of an OFX date (aaaammgg[hhmmss[.xxx]][[±h:ZONA]]), as written: a
// time and its zone never move it to another day.
std::optional<core::Data> GiornoOfx(std::string_view t) {
    if (t.size() < 8 || t.substr(0, 8).find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    if (t.size() > 8 && t[8] >= '0' && t[8] <= '9' && t.size() < 12) return std::nullopt;
    const int anno = std::atoi(std::string(t.substr(0, 4)).c_str());
    const int mese = std::atoi(std::string(t.substr(4, 2)).c_str());
    const int giorno = std::atoi(std::string(t.substr(6, 2)).c_str());
    if (!core::DataEsistente(anno, mese, giorno)) return std::nullopt;
    return core::Data{anno, mese, giorno};
}

// The day of a time libofx made, without the machine's time zone: only where the text
// could not be matched to it.
core::Data GiornoUtc(time_t t) {
    long long giorni = static_cast<long long>(t) / 86400;
    if (static_cast<long long>(t) % 86400 < 0) --giorni;
    // Days since 1970-01-01 to a civil date (proleptic Gregorian).
    giorni += 719468;
    const long long era = (giorni >= 0 ? giorni : giorni - 146096) / 146097;
    const long long doe = giorni - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const int giorno = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int mese = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {static_cast<int>(yoe + era * 400 + (mese <= 2)), mese, giorno};
}

core::Money DenaroDaDouble(double v) {
    return core::Money::FromRaw(std::llround(v * static_cast<double>(core::Money::kScala)));
}

// What the text says that libofx does not hand over: each movement's date as written, in
// file order, and each account's closing-balance date.
struct DateScritte {
    std::vector<std::string> movimenti;
    std::vector<std::string> valute;           // each movement's CURRENCY or ORIGCURRENCY, if any
    std::map<std::string, std::string> saldi;  // ACCTID -> DTASOF (or DTEND)
    std::vector<std::string> conti;            // each statement's ACCTID, whole
};

DateScritte LeggiDateScritte(std::string_view t) {
    DateScritte d;
    // Each statement's own currency (CURDEF), where it starts.
    std::vector<std::pair<std::size_t, std::string>> valuteConto;
    for (std::size_t p = Trova(t, "<CURDEF>"); p != std::string_view::npos;
         p = Trova(t, "<CURDEF>", p + 1))
        valuteConto.emplace_back(p, Valore(t, "<CURDEF>", p, t.size()));
    std::size_t conto = 0;
    for (std::size_t p = Trova(t, "<STMTTRN>"); p != std::string_view::npos;
         p = Trova(t, "<STMTTRN>", p + 1)) {
        while (conto + 1 < valuteConto.size() && valuteConto[conto + 1].first < p) ++conto;
        std::size_t fine = Trova(t, "<STMTTRN>", p + 1);
        if (fine == std::string_view::npos) fine = t.size();
        fine = std::min(fine, Trova(t, "</STMTTRN>", p + 1, fine));
        d.movimenti.push_back(Valore(t, "<DTPOSTED>", p, fine));
        // Within this movement only: a scan to the end for each would take the square.
        std::size_t valuta = Trova(t, "<CURRENCY>", p, fine);
        if (valuta >= fine) valuta = Trova(t, "<ORIGCURRENCY>", p, fine);
        std::string codice = valuta < fine ? Valore(t, "<CURSYM>", valuta, fine) : "";
        if (codice.empty() && !valuteConto.empty() && valuteConto[conto].first < p)
            codice = valuteConto[conto].second;
        d.valute.push_back(std::move(codice));
    }
    for (const std::string_view aggregato : {"<STMTRS>", "<CCSTMTRS>"})
        for (std::size_t p = Trova(t, aggregato); p != std::string_view::npos;
             p = Trova(t, aggregato, p + 1)) {
            std::size_t fine = Trova(t, aggregato, p + 1);
            if (fine == std::string_view::npos) fine = t.size();
            const std::string conto = Valore(t, "<ACCTID>", p, fine);
            d.conti.push_back(conto);
            const std::size_t saldo = Trova(t, "<LEDGERBAL>", p, fine);
            std::string quando = saldo < fine ? Valore(t, "<DTASOF>", saldo, fine) : "";
            if (quando.empty()) quando = Valore(t, "<DTEND>", p, fine);
            if (!d.saldi.contains(conto)) d.saldi[conto] = quando;
        }
    return d;
}

struct Lettura {
    Estratto estratto;
    bool dichiarazione = false;
    const DateScritte* date = nullptr;
    std::size_t movimenti = 0;  // transaction callbacks so far, to match the written dates
    int senzaImporto = 0;
};

// The account number as written: libofx cuts an IBAN short.
std::string NumeroConto(const Lettura& l, const OfxAccountData* conto, const char* id,
                        bool idValido) {
    std::string numero;
    if (conto && conto->account_number_valid)
        numero = conto->account_number;
    else if (idValido)
        numero = id;
    if (numero.empty() || !l.date) return numero;
    const auto& conti = l.date->conti;
    if (std::find(conti.begin(), conti.end(), numero) != conti.end()) return numero;
    for (const auto& scritto : conti)
        if (scritto.starts_with(numero)) return scritto;
    return numero;
}

void ImpostaValuta(Transazione& t, std::string codice) {
    for (char& c : codice)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (codice == "ITL")
        t.valuta = Valuta::Lire;
    else if (!codice.empty() && codice != "EUR")
        t.valutaEstera = std::move(codice);
}

int Transazione_cb(const OfxTransactionData d, void* dati) {
    auto* l = static_cast<Lettura*>(dati);
    const std::size_t indice = l->movimenti++;
    if (!d.amount_valid) {
        ++l->senzaImporto;
        return 0;
    }
    Transazione t;
    const bool scritta = l->date && l->date->movimenti.size() > indice;
    const std::string testoData = scritta ? l->date->movimenti[indice] : std::string();
    if (const auto giorno = scritta ? GiornoOfx(testoData) : std::nullopt)
        t.data = *giorno;
    else if (scritta || !d.date_posted_valid)
        t.dataNonValida = testoData.empty() ? "mancante" : testoData;
    else
        t.data = GiornoUtc(d.date_posted);
    t.importo = DenaroDaDouble(d.amount);
    std::string descrizione;
    if (d.name_valid) descrizione = d.name;
    if (d.memo_valid && descrizione.find(d.memo) == std::string::npos) {
        if (!descrizione.empty()) descrizione.push_back(' ');
        descrizione.append(d.memo);
    }
    t.descrizione = TestoUtf8(SenzaSpazi(descrizione));
    if (d.check_number_valid && d.check_number[0]) t.riferimento = d.check_number;
    if (d.fi_id_valid) t.idBanca = d.fi_id;
    t.conto = NumeroConto(*l, d.account_ptr, d.account_id, d.account_id_valid);
    if (d.account_id_valid && l->estratto.chiaveBanca.empty())
        l->estratto.chiaveBanca = std::string("ofx:") + d.account_id;
    // The movement's CURRENCY or ORIGCURRENCY, else its statement's CURDEF.
    if (d.currency_valid)
        ImpostaValuta(t, d.currency);
    else if (scritta)
        ImpostaValuta(t, l->date->valute[indice]);
    l->estratto.transazioni.push_back(std::move(t));
    return 0;
}

std::string TipoConto(const OfxAccountData* conto) {
    if (!conto || !conto->account_type_valid) return "conto";
    switch (conto->account_type) {
        case OfxAccountData::OFX_CHECKING:
            return "conto corrente";
        case OfxAccountData::OFX_SAVINGS:
            return "conto di risparmio";
        case OfxAccountData::OFX_MONEYMRKT:
            return "conto monetario";
        case OfxAccountData::OFX_CREDITLINE:
            return "linea di credito";
        case OfxAccountData::OFX_CMA:
            return "conto di liquidità";
        case OfxAccountData::OFX_CREDITCARD:
            return "carta di credito";
        case OfxAccountData::OFX_INVESTMENT:
        case OfxAccountData::OFX_401K:
            return "conto titoli";
    }
    return "conto";
}

int Dichiarazione_cb(const OfxStatementData d, void* dati) {
    auto* l = static_cast<Lettura*>(dati);
    l->dichiarazione = true;
    if (d.account_id_valid) l->estratto.chiaveBanca = std::string("ofx:") + d.account_id;
    const std::string numero = NumeroConto(*l, d.account_ptr, d.account_id, d.account_id_valid);
    auto& conti = l->estratto.conti;
    auto conto = std::find_if(conti.begin(), conti.end(),
                              [&](const ContoEstratto& c) { return c.numero == numero; });
    if (conto == conti.end()) {
        conti.push_back({numero, TipoConto(d.account_ptr), std::nullopt});
        conto = conti.end() - 1;
    }
    if (d.ledger_balance_valid) {
        std::optional<core::Data> quando;
        if (l->date && l->date->saldi.contains(numero))
            quando = GiornoOfx(l->date->saldi.at(numero));
        else if (d.ledger_balance_date_valid)
            quando = GiornoUtc(d.ledger_balance_date);
        if (quando) conto->saldoFinale = SaldoDichiarato{*quando, DenaroDaDouble(d.ledger_balance)};
    }
    return 0;
}

void Silenzia() {
    // libofx reports every parser step on the terminal unless told not to.
    ofx_PARSER_msg = ofx_DEBUG_msg = ofx_DEBUG1_msg = ofx_DEBUG2_msg = ofx_DEBUG3_msg =
        ofx_DEBUG4_msg = ofx_DEBUG5_msg = ofx_STATUS_msg = ofx_INFO_msg = ofx_WARNING_msg =
            ofx_ERROR_msg = 0;
}

}  // namespace

bool SembraOfx(std::string_view byte) {
    const std::string_view inizio = byte.substr(0, 4096);
    return inizio.find("OFXHEADER") != std::string_view::npos ||
           inizio.find("<OFX>") != std::string_view::npos ||
           inizio.find("<?OFX") != std::string_view::npos;
}

std::size_t ProfonditaOfx(std::string_view t) {
    // Aggregates are the elements that close; leaf elements (SGML) never do.
    std::unordered_set<std::string> chiusi;
    for (std::size_t p = t.find("</"); p != std::string_view::npos; p = t.find("</", p + 2)) {
        const std::size_t fine = t.find('>', p);
        if (fine == std::string_view::npos) break;
        chiusi.insert(Normalizza(t.substr(p + 2, fine - p - 2)));
    }
    std::size_t profondita = 0, massima = 0, fila = 0;
    for (std::size_t p = t.find('<'); p != std::string_view::npos; p = t.find('<', p + 1)) {
        const std::size_t fine = t.find('>', p);
        if (fine == std::string_view::npos) break;
        const std::string_view tag = t.substr(p + 1, fine - p - 1);
        if (tag.empty() || tag[0] == '?' || tag[0] == '!') continue;
        // Tags one after the other with no text between open ever deeper, closed or not.
        const std::string_view prima = SenzaSpazi(t.substr(0, p));
        fila = !prima.empty() && prima.back() == '>' && tag[0] != '/' ? fila + 1 : 0;
        if (tag[0] == '/') {
            if (profondita > 0) --profondita;
        } else if (chiusi.contains(Normalizza(tag))) {
            ++profondita;
        }
        massima = std::max({massima, profondita, fila});
        p = fine;
    }
    return massima;
}

namespace {

ErroreEstratto Illeggibile(const std::string& nome) {
    return ErroreEstratto{"Il file \"" + nome +
                          "\" non può essere importato: non contiene un estratto conto OFX "
                          "leggibile."};
}

ErroreEstratto SenzaSpazio(const std::string& nome) {
    return ErroreEstratto{"Il file \"" + nome +
                          "\" non può essere importato: manca lo spazio per leggerlo."};
}

// Runs libofx over one document, adding what it finds to the reading; false if libofx fails.
bool Elabora(const std::filesystem::path& file, Lettura& l) {
    LibofxContextPtr contesto = libofx_get_new_context();
    ofx_set_transaction_cb(contesto, Transazione_cb, &l);
    ofx_set_statement_cb(contesto, Dichiarazione_cb, &l);
    const int esito = libofx_proc_file(contesto, file.c_str(), OFX);
    libofx_free_context(contesto);
    return esito == 0;
}

// libofx hands the bytes to its parser through a file: a private one, removed at once.
std::optional<bool> ElaboraTesto(std::string_view byte, Lettura& l) {
    std::string modello = (std::filesystem::temp_directory_path() / "quibora-ofx-XXXXXX").string();
    const int fd = mkstemp(modello.data());
    if (fd < 0) return std::nullopt;
    bool scritto = true;
    for (std::size_t fatto = 0; fatto < byte.size();) {
        const ssize_t n = ::write(fd, byte.data() + fatto, byte.size() - fatto);
        if (n <= 0) {
            scritto = false;
            break;
        }
        fatto += static_cast<std::size_t>(n);
    }
    ::close(fd);
    std::optional<bool> esito;
    if (scritto) esito = Elabora(modello, l);
    ::unlink(modello.c_str());
    return esito;
}

// Where the tag (upper case) starts at or after `da`, in any case as SGML allows.
// libofx files every movement in a tree whose size it recounts for each new one, so its time
// grows with the square of the movements: 10,000 take seconds. A statement with one list of
// movements is therefore read as several documents that share its head and tail, each with a
// slice of the list; libofx still reads every byte. Each document costs a fresh reading of the
// OFX DTD, about what recounting 2,000 movements costs: slices of that size balance the two.
// Anything else is read whole.
constexpr std::size_t kMovimentiPerDocumento = 2000;

std::vector<std::string_view> Fette(std::string_view byte, std::string_view& testa,
                                    std::string_view& coda) {
    std::vector<std::string_view> fette;
    const std::size_t lista = Trova(byte, "<BANKTRANLIST>");
    const std::size_t fine = Trova(byte, "</BANKTRANLIST>");
    if (lista == std::string_view::npos || fine == std::string_view::npos || fine < lista ||
        Trova(byte, "<BANKTRANLIST>", lista + 1) != std::string_view::npos)
        return fette;
    std::vector<std::size_t> inizi;
    for (std::size_t p = Trova(byte, "<STMTTRN>", lista); p < fine;
         p = Trova(byte, "<STMTTRN>", p + 1))
        inizi.push_back(p);
    if (inizi.size() <= kMovimentiPerDocumento ||
        Trova(byte, "<STMTTRN>", fine) != std::string_view::npos)
        return fette;
    testa = byte.substr(0, inizi.front());
    coda = byte.substr(fine);
    for (std::size_t i = 0; i < inizi.size(); i += kMovimentiPerDocumento) {
        const std::size_t a =
            i + kMovimentiPerDocumento < inizi.size() ? inizi[i + kMovimentiPerDocumento] : fine;
        fette.push_back(byte.substr(inizi[i], a - inizi[i]));
    }
    return fette;
}

std::variant<Estratto, ErroreEstratto> Leggi(std::string_view byte,
                                             const std::filesystem::path* file,
                                             const std::string& nome) {
    Silenzia();
    auto rifiuta = [&](std::string perche) {
        return ErroreEstratto{"Il file \"" + nome + "\" non può essere importato: " + perche};
    };
    if (ProfonditaOfx(byte) > kMassimaProfonditaOfx)
        return rifiuta("i suoi elementi sono annidati oltre " +
                       std::to_string(kMassimaProfonditaOfx) +
                       " livelli, non è un estratto conto OFX.");
    const bool banca = Trova(byte, "<STMTRS>") != std::string_view::npos ||
                       Trova(byte, "<CCSTMTRS>") != std::string_view::npos;
    const bool titoli = Trova(byte, "<INVSTMTRS>") != std::string_view::npos;
    if (titoli && !banca)
        return rifiuta(
            "è l'estratto di un conto titoli (investimenti). Si importano solo gli estratti di "
            "conto corrente e di carta di credito.");
    const DateScritte date = LeggiDateScritte(byte);
    Lettura l;
    l.date = &date;
    l.estratto.nomeFile = nome;
    bool errori = false;
    std::string_view testa, coda;
    const std::vector<std::string_view> fette = Fette(byte, testa, coda);
    if (fette.empty()) {
        const std::optional<bool> letto =
            file ? std::optional<bool>(Elabora(*file, l)) : ElaboraTesto(byte, l);
        if (!letto) return SenzaSpazio(nome);
        errori = !*letto;
    }
    std::string documento;
    for (const std::string_view fetta : fette) {
        documento.assign(testa).append(fetta).append(coda);
        const std::optional<bool> letto = ElaboraTesto(documento, l);
        if (!letto) return SenzaSpazio(nome);
        errori = errori || !*letto;
    }
    Estratto& e = l.estratto;
    if (e.transazioni.empty() && (errori || !l.dichiarazione)) return Illeggibile(nome);
    if (l.movimenti != date.movimenti.size()) {
        // The written dates cannot be matched to the movements: libofx's are used, by UTC.
        for (auto& t : e.transazioni) t.dataNonValida.clear();
        e.avvisi.push_back(
            "Le date dei movimenti non sono state lette dal testo del file: "
            "le controlli.");
    }
    if (errori)
        e.avvisi.push_back("Il file \"" + nome + "\" contiene errori: sono stati letti " +
                           std::to_string(e.transazioni.size()) +
                           " movimenti, controlli che ci siano tutti.");
    if (titoli)
        e.avvisi.emplace_back("La parte del file che riguarda un conto titoli non è stata letta.");
    if (l.senzaImporto > 0)
        e.avvisi.push_back("Movimenti senza importo, non letti: " + std::to_string(l.senzaImporto) +
                           ".");
    if (e.conti.size() == 1) {
        e.numeroConto = e.conti.front().numero;
        e.saldoFinale = e.conti.front().saldoFinale;
    } else if (e.conti.empty() && !e.transazioni.empty()) {
        e.numeroConto = e.transazioni.front().conto;
    }
    return std::move(e);
}

}  // namespace

std::variant<Estratto, ErroreEstratto> LeggiOfx(const std::filesystem::path& file) {
    const std::string nome = file.filename().string();
    std::ifstream in(file, std::ios::binary);
    std::string byte{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in.is_open()) return Illeggibile(nome);
    return Leggi(byte, &file, nome);
}

std::variant<Estratto, ErroreEstratto> LeggiOfxDaTesto(std::string_view byte,
                                                       const std::string& nomeFile) {
    return Leggi(byte, nullptr, nomeFile);
}

}  // namespace estratti
