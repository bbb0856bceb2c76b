#include "estratti/lettore_ofx.h"

#include <fcntl.h>
#include <libofx/libofx.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <ctime>

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

std::variant<Estratto, ErroreEstratto> LeggiOfx(const std::filesystem::path& file) {
    Silenzia();
    const std::string nome = file.filename().string();
    Lettura l;
    l.estratto.nomeFile = nome;
    LibofxContextPtr contesto = libofx_get_new_context();
    ofx_set_transaction_cb(contesto, Transazione_cb, &l);
    ofx_set_statement_cb(contesto, Dichiarazione_cb, &l);
    const int esito = libofx_proc_file(contesto, file.c_str(), OFX);
    libofx_free_context(contesto);
    if (esito != 0 || (!l.dichiarazione && l.estratto.transazioni.empty()))
        return ErroreEstratto{"Il file \"" + nome +
                              "\" non può essere importato: non contiene un estratto conto OFX "
                              "leggibile."};
    return std::move(l.estratto);
}

std::variant<Estratto, ErroreEstratto> LeggiOfxDaTesto(std::string_view byte,
                                                       const std::string& nomeFile) {
    std::string modello = (std::filesystem::temp_directory_path() / "quibora-ofx-XXXXXX").string();
    const int fd = mkstemp(modello.data());
    if (fd < 0)
        return ErroreEstratto{"Il file \"" + nomeFile +
                              "\" non può essere importato: manca lo spazio per leggerlo."};
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
    std::variant<Estratto, ErroreEstratto> esito =
        scritto ? LeggiOfx(modello)
                : ErroreEstratto{"Il file \"" + nomeFile +
                                 "\" non può essere importato: manca lo spazio per leggerlo."};
    ::unlink(modello.c_str());
    if (auto* e = std::get_if<Estratto>(&esito)) e->nomeFile = nomeFile;
    if (auto* e = std::get_if<ErroreEstratto>(&esito)) {
        const auto da = e->messaggio.find('"');
        const auto a = e->messaggio.find('"', da + 1);
        e->messaggio.replace(da + 1, a - da - 1, nomeFile);
    }
    return esito;
}

}  // namespace estratti
