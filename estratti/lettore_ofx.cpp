#include "estratti/lettore_ofx.h"

#include <fcntl.h>
#include <libofx/libofx.h>
#include <strings.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include "estratti/testi.h"

namespace estratti {

namespace {

core::Data DataDaTempo(time_t t) {
    // libofx turns a date without a time into midday, so the local day is the stated one.
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

core::Money DenaroDaDouble(double v) {
    return core::Money::FromRaw(std::llround(v * static_cast<double>(core::Money::kScala)));
}

struct Lettura {
    Estratto estratto;
    bool dichiarazione = false;
};

int Transazione_cb(const OfxTransactionData d, void* dati) {
    auto* l = static_cast<Lettura*>(dati);
    if (!d.amount_valid || !d.date_posted_valid) return 0;
    Transazione t;
    t.data = DataDaTempo(d.date_posted);
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
    if (d.account_id_valid && l->estratto.chiaveBanca.empty())
        l->estratto.chiaveBanca = std::string("ofx:") + d.account_id;
    l->estratto.transazioni.push_back(std::move(t));
    return 0;
}

int Dichiarazione_cb(const OfxStatementData d, void* dati) {
    auto* l = static_cast<Lettura*>(dati);
    l->dichiarazione = true;
    if (d.account_id_valid) l->estratto.chiaveBanca = std::string("ofx:") + d.account_id;
    if (d.ledger_balance_valid) {
        const time_t quando = d.ledger_balance_date_valid ? d.ledger_balance_date
                              : d.date_end_valid          ? d.date_end
                                                          : 0;
        if (quando != 0)
            l->estratto.saldoFinale =
                SaldoDichiarato{DataDaTempo(quando), DenaroDaDouble(d.ledger_balance)};
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
std::size_t Trova(std::string_view testo, std::string_view tag, std::size_t da = 0) {
    for (std::size_t p = testo.find('<', da); p != std::string_view::npos;
         p = testo.find('<', p + 1)) {
        if (testo.size() - p < tag.size()) break;
        if (strncasecmp(testo.data() + p, tag.data(), tag.size()) == 0) return p;
    }
    return std::string_view::npos;
}

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
    Lettura l;
    l.estratto.nomeFile = nome;
    std::string_view testa, coda;
    const std::vector<std::string_view> fette = Fette(byte, testa, coda);
    if (fette.empty()) {
        const std::optional<bool> letto =
            file ? std::optional<bool>(Elabora(*file, l)) : ElaboraTesto(byte, l);
        if (!letto) return SenzaSpazio(nome);
        if (!*letto) return Illeggibile(nome);
    }
    std::string documento;
    for (const std::string_view fetta : fette) {
        documento.assign(testa).append(fetta).append(coda);
        const std::optional<bool> letto = ElaboraTesto(documento, l);
        if (!letto) return SenzaSpazio(nome);
        if (!*letto) return Illeggibile(nome);
    }
    if (!l.dichiarazione && l.estratto.transazioni.empty()) return Illeggibile(nome);
    return std::move(l.estratto);
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
