#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <map>
#include <variant>

#include "core/importi.h"
#include "estratti/anteprima.h"
#include "estratti/apertura.h"

// Statements and exports published by other projects (tests/data/README): what the preview
// of an empty euro register shows for each, written by reading the file.
namespace {

const std::filesystem::path kReali = QUIBORA_DATI_REALI;

// "rifiutato", the columns still to choose, or: rows shown, rows ticked, the sum of the
// ticked amounts, first and last date, the closing balance stated (only when something is
// booked) and the exclusions by reason. A file of several accounts is read for `conto`.
std::string Riassunto(const std::string& file, const char* conto) {
    const auto aperto = estratti::ApriEstratto(core::FileSystemReale(), kReali / file, nullptr);
    if (const auto* e = std::get_if<estratti::ErroreEstratto>(&aperto))
        return e->messaggio.find(file) == std::string::npos ? "rifiutato senza nome del file"
                                                            : "rifiutato";
    const auto& f = std::get<estratti::FileEstratto>(aperto);
    if (!f.ofx && !estratti::ColonneMancanti(f.mappatura).empty())
        return f.mappatura.colImporto < 0 && f.mappatura.colDare < 0 && f.mappatura.colAvere < 0
                   ? "colonne mancanti (importo)"
                   : "colonne mancanti";
    const auto letto = estratti::LeggiEstratto(f);
    if (const auto* e = std::get_if<estratti::ErroreEstratto>(&letto))
        return e->messaggio.find(file) == std::string::npos ? "rifiutato senza nome del file"
                                                            : "rifiutato";
    auto e = std::get<estratti::Estratto>(letto);
    std::string s;
    if (e.conti.size() > 1) {
        s = std::to_string(e.conti.size()) + " conti";
        if (conto) {
            estratti::SceltaConto(e, conto);
            s += ", il " + std::string(conto);
            if (e.saldoFinale)
                s += " con saldo " + core::FormatoEuro(e.saldoFinale->saldo) + " al " +
                     core::FormatoData(e.saldoFinale->data);
        }
        s += ": ";
    }
    core::StatoConto stato;
    stato.ModoValuta = "Euro";
    const auto a = estratti::PreparaAnteprima(e, {}, stato);
    if (a.righe.empty()) return s + "nessuna riga";

    int incluse = 0;
    core::Money somma;
    std::map<std::string, int> escluse;
    for (const auto& r : a.righe) {
        if (r.inclusa) {
            ++incluse;
            somma = r.credito ? *somma.plus(r.importo) : *somma.minus(r.importo);
            continue;
        }
        ++escluse[estratti::TestoEsclusione(r)];
    }
    s += std::to_string(a.righe.size()) + " righe, " + std::to_string(incluse) +
         " da importare, somma " + core::FormatoEuro(somma) + ", dal " +
         core::FormatoData(a.righe.front().data) + " al " + core::FormatoData(a.righe.back().data);
    if (a.saldoFinale && incluse > 0)
        s += ", saldo " + core::FormatoEuro(a.saldoFinale->saldo) + " al " +
             core::FormatoData(a.saldoFinale->data);
    for (const auto& [motivo, n] : escluse) s += "; " + motivo + ": " + std::to_string(n);
    return s;
}

struct Caso {
    const char* file;
    const char* atteso;
    const char* conto = nullptr;
};

void PrintTo(const Caso& c, std::ostream* os) {
    *os << c.file;
}

class FileReali : public testing::TestWithParam<Caso> {};

// The machine's time zone, then the two farthest from UTC: a bank's day is the same in all.
TEST_P(FileReali, AnteprimaComeLaLeggeUnaPersona) {
    EXPECT_EQ(Riassunto(GetParam().file, GetParam().conto), GetParam().atteso);
    const char* prima = std::getenv("TZ");
    const std::string salvato = prima ? prima : "";
    for (const char* zona : {"SST11", "LINT-14"}) {
        SCOPED_TRACE(zona);
        setenv("TZ", zona, 1);
        tzset();
        EXPECT_EQ(Riassunto(GetParam().file, GetParam().conto), GetParam().atteso);
    }
    if (prima)
        setenv("TZ", salvato.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

// clang-format off
const Caso kCasi[] = {
    // OFX 1.x SGML, one line per movement, times with a zone: the bank's own day.
    {"ofxparse_bank_medium.ofx", "3 righe, 0 da importare, somma 0,00, dal 01/04/2009 al 03/04/2009; In valuta diversa (CAD): 3"},
    // 2.x header over an SGML body, credit card.
    {"ofxparse_anzcc.ofx", "1 righe, 0 da importare, somma 0,00, dal 08/05/2017 al 08/05/2017; In valuta diversa (AUD): 1"},
    // 2.x XML with CDATA, CRLF.
    {"ofxparse_suncorp.ofx", "1 righe, 0 da importare, somma 0,00, dal 15/12/2013 al 15/12/2013; In valuta diversa (AUD): 1"},
    // Euro, newest first, closing tags on some elements only.
    {"asgrim_bpbfc.ofx", "6 righe, 6 da importare, somma -53,49, dal 22/04/2016 al 29/04/2016, saldo 10.000,00 al 20/07/2016"},
    // Euro, the whole file on one line; DIRECTDEP carrying debits.
    {"asgrim_oneline.ofx", "8 righe, 8 da importare, somma -1.977,10, dal 16/02/2016 al 19/07/2016, saldo 100,00 al 19/07/2016"},
    // Euro, every movement with the same name; two pairs share day and amount but not FITID.
    {"asgrim_cmfr.ofx", "10 righe, 10 da importare, somma -11.964,09, dal 01/06/2016 al 03/06/2016, saldo 10.000,00 al 27/06/2016"},
    {"asgrim_credit_card.ofx", "1 righe, 0 da importare, somma 0,00, dal 23/08/2016 al 23/08/2016; In valuta diversa (GBP): 1"},
    // No account element, no period: libofx delivers no movement of it.
    {"asgrim_empty_datetime.ofx", "rifiutato"},
    // Three accounts: the one chosen, with its own balance only.
    {"asgrim_multiple_accounts_xml.ofx", "3 conti, il 546582659855 con saldo 3.000,25 al 11/05/2014: 2 righe, 0 da importare, somma 0,00, dal 16/07/2014 al 17/07/2014; In valuta diversa (GBP): 2", "546582659855"},
    // Investment statement: not a bank account.
    {"asgrim_invest_oneline.ofx", "rifiutato"},
    // Windows-1252 text in an SGML file, a time at [0:GMT].
    {"autosync_latin1.ofx", "1 righe, 0 da importare, somma 0,00, dal 20/09/2014 al 20/09/2014; In valuta diversa (USD): 1"},
    // BancoPosta: "SALDO INIZIALE"/"SALDO FINALE" lines with an amount in the credits column,
    // two-digit years, debits and credits in two columns.
    {"bancoposta.csv", "4 righe, 4 da importare, somma 996,10, dal 03/01/2018 al 23/01/2018, saldo 28.359,05 al 31/01/2018"},
    // Three debits of 500,50 on one day with different texts, and a credit of the same amount.
    {"bancoposta_bonifici.csv", "8 righe, 8 da importare, somma 899,00, dal 01/08/2018 al 05/08/2018, saldo 2.000,95 al 31/08/2018"},
    // Revolut: ISO dates with a time, point decimals, amounts without decimals, a balance
    // column. A movement's day is the one the bank completed it.
    {"revolut_2021_10.csv", "7 righe, 7 da importare, somma 165,31, dal 05/09/2021 al 08/09/2021"},
    // Revolut: PENDING rows without a completion date (shown at the day they started), a zero
    // hold.
    {"revolut_2022_01.csv", "9 righe, 6 da importare, somma 86,56, dal 02/01/2022 al 15/01/2022; Importo uguale a zero: 1; Non contabilizzato: 2"},
    // PayPal in French (trimmed): month first, "Devise" column, "Net" beside "Brut" and
    // "Solde", no-break space grouping, each payment paired with its conversion.
    {"paypal_fr.csv", "48 righe, 22 da importare, somma 0,00, dal 02/01/2020 al 23/09/2020; In valuta diversa (USD): 26"},
    // An order history, not a statement: no amount column to take.
    {"autosync_amazon_ordini.csv", "colonne mancanti (importo)"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Reali, FileReali, testing::ValuesIn(kCasi),
                         [](const testing::TestParamInfo<Caso>& i) {
                             std::string nome = i.param.file;
                             for (char& c : nome)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return nome;
                         });

}  // namespace
