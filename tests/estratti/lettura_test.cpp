#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <variant>

#include "core/file_system.h"
#include "core/importi.h"
#include "estratti/anteprima.h"
#include "estratti/apertura.h"
#include "estratti/lettore_csv.h"
#include "estratti/lettore_ofx.h"
#include "estratti/testi.h"
#include "support/cartella_temporanea.h"

namespace {

using estratti::FormatoData;

const std::filesystem::path kDati = QUIBORA_DATI_ESTRATTI;

std::string Testo(const std::optional<core::Data>& d) {
    return d ? core::FormatoData(*d) : "-";
}

// Every way a bank writes a day; the format matters only for two small numbers first.
TEST(Date, FormeDelleBanche) {
    const std::vector<std::tuple<const char*, FormatoData, const char*>> casi{
        {"24 lug 2024", FormatoData::GiornoMeseAnno, "24/07/2024"},
        {"24-Jul-2024", FormatoData::GiornoMeseAnno, "24/07/2024"},
        {"Jul 24, 2024", FormatoData::MeseGiornoAnno, "24/07/2024"},
        {"mar 5 giugno 2024", FormatoData::GiornoMeseAnno, "05/06/2024"},
        {"1 settembre 24", FormatoData::GiornoMeseAnno, "01/09/2024"},
        {"2024-07-24T10:00:00", FormatoData::GiornoMeseAnno, "24/07/2024"},
        {"2021-09-06 6:11:59", FormatoData::GiornoMeseAnno, "06/09/2021"},
        {"03/04/2024", FormatoData::GiornoMeseAnno, "03/04/2024"},
        {"03/04/2024", FormatoData::MeseGiornoAnno, "04/03/2024"},
        {"31/12/17", FormatoData::GiornoMeseAnno, "31/12/2017"},
        {"20240724", FormatoData::AnnoMeseGiorno, "24/07/2024"},
        {"31 feb 2024", FormatoData::GiornoMeseAnno, "-"},
        {"13/13/2024", FormatoData::MeseGiornoAnno, "-"},
        {"Saldo", FormatoData::GiornoMeseAnno, "-"}};
    for (const auto& [testo, formato, atteso] : casi)
        EXPECT_EQ(Testo(estratti::LeggiDataBanca(testo, formato)), atteso) << testo;
}

struct Colonne {
    const char* nome;
    std::string csv;
    std::string atteso;  // data importo dare avere descrizione valuta stato formato ambigua
};

std::string Descrivi(const estratti::MappaturaCsv& m) {
    return std::to_string(m.colData) + " " + std::to_string(m.colImporto) + " " +
           std::to_string(m.colDare) + " " + std::to_string(m.colAvere) + " " +
           std::to_string(m.colDescrizione) + " " + std::to_string(m.colValuta) + " " +
           std::to_string(m.colStato) + " " + std::to_string(static_cast<int>(m.formatoData)) +
           (m.dataAmbigua ? " ?" : "");
}

// Columns are known by their whole name; nothing is guessed from the values.
TEST(Colonne, DalNomeIntero) {
    const std::vector<Colonne> casi{
        {"revolut",
         "Type,Product,Started Date,Completed Date,Description,Amount,Fee,Currency,State,Balance\n"
         "CARD_PAYMENT,Current,2021-09-03 18:13:48,2021-09-05 18:22:20,food,-9.5,0,EUR,"
         "COMPLETED,156.02\n",
         "3 5 -1 -1 4 7 8 0"},
        {"bancoposta: Valuta is the value date",
         "Data;Valuta;Addebiti;Accrediti;Descrizione operazioni\n"
         "03/01/18;03/01/18;2,90;;IMPOSTA DI BOLLO\n31/12/17;;;1,00;SALDO INIZIALE\n",
         "0 -1 2 3 4 -1 -1 0"},
        {"paypal: net, not gross; month first proven",
         "Data,Nome,Stato,Valuta,Lordo,Netto,Saldo\n1/7/2020,A,Completato,USD,\"-1,00\",\"-1,00\","
         "\"0,00\"\n1/17/2020,B,In attesa,EUR,\"2,00\",\"2,00\",\"2,00\"\n",
         "0 5 -1 -1 1 3 2 2"},
        {"balance and a longer name are never the amount",
         "Data;Descrizione;Importo spese di spedizione;Saldo\n01/02/2024;x;1,00;5,00\n",
         "0 -1 -1 -1 1 -1 -1 0 ?"},
        {"signed debits/credits column, no day over 12",
         "Data operazione;Data valuta;Causale;Entrate/Uscite (EUR)\n03/04/2024;03/04/2024;x;-1\n",
         "0 3 -1 -1 2 -1 -1 0 ?"},
        {"a 12 second proves no month first",
         "Data;Descrizione;Importo\n03/12/2024;x;1,00\n05/12/2024;y;2,00\n",
         "0 2 -1 -1 1 -1 -1 0 ?"},
        {"no header", "01/02/2024;Spesa;-10,00\n02/02/2024;Pane;-2,00\n",
         "-1 -1 -1 -1 -1 -1 -1 0"}};
    for (const auto& c : casi)
        EXPECT_EQ(Descrivi(estratti::RilevaMappatura(c.csv)), c.atteso) << c.nome;
}

TEST(Colonne, MancantiNominate) {
    estratti::MappaturaCsv m;
    EXPECT_EQ(estratti::ColonneMancanti(m),
              "Mancano le colonne della data, dell'importo e della descrizione: non sono state "
              "riconosciute dalla loro intestazione. Le scelga nelle caselle qui sopra per poter "
              "importare.");
    m.colData = 0;
    m.colDare = 1;
    EXPECT_EQ(estratti::ColonneMancanti(m).substr(0, 40),
              "Manca la colonna della descrizione: non ");
    m.colDescrizione = 2;
    EXPECT_EQ(estratti::ColonneMancanti(m), "");
    // The preview opens all the same: the file is not refused for it.
    auto f = estratti::ApriEstrattoDaByte("01/02/2024;Spesa;-10,00\n", "senza.csv", nullptr);
    ASSERT_TRUE(std::holds_alternative<estratti::FileEstratto>(f));
    auto letto = estratti::LeggiEstratto(std::get<estratti::FileEstratto>(f));
    EXPECT_EQ(std::get<estratti::ErroreEstratto>(letto).messaggio.substr(0, 83),
              "Il file \"senza.csv\" non può ancora essere importato. Mancano le colonne della "
              "data");
}

// Debits written with the minus after the number, as some banks print them.
TEST(Importi, MenoInFondo) {
    EXPECT_EQ(core::FormatoEuro(*estratti::LeggiImportoBanca("12,50-", ',')), "-12,50");
    EXPECT_EQ(core::FormatoEuro(*estratti::LeggiImportoBanca("-12,50", ',')), "-12,50");
}

// Of two closing balances the later one is the statement's.
TEST(Saldi, IlPiuRecenteDeiSaldiFinali) {
    const std::string csv =
        "Data;Descrizione;Importo\n"
        "10/01/2024;Spesa;-10,00\n"
        "31/01/2024;Saldo finale;90,00\n"
        "10/02/2024;Spesa;-5,00\n"
        "29/02/2024;Saldo finale;85,00\n";
    const auto e = std::get<estratti::Estratto>(
        estratti::LeggiCsv(csv, estratti::RilevaMappatura(csv), "due.csv"));
    ASSERT_TRUE(e.saldoFinale.has_value());
    EXPECT_EQ(
        core::FormatoData(e.saldoFinale->data) + " " + core::FormatoEuro(e.saldoFinale->saldo),
        "29/02/2024 85,00");
}

TEST(Riferimenti, ISedicCaratteriPiuUtili) {
    const std::vector<std::pair<const char*, const char*>> casi{
        {"ADDEBITO SDD ENEL ENERGIA SPA", "ENEL ENERGIA SPA"},
        {"BONIFICO A VOSTRO FAVORE - DA Rossi Mario", "DA Rossi Mario"},
        {"PAGAMENTO POS COOP ROMA 12/03", "COOP ROMA 12/03"},
        {"ASSEGNO N. 123456", "ASSEGNO 123456"},
        {"ASSEGNO NUMERO 12345678", "ASSEGNO 12345678"},
        {"RATA MUTUO 1234567 FEBBRAIO", "RATA 1234567"},
        {"MUTUO 123456789012345678", "MUTUO"},
        {"PAGAMENTO", "PAGAMENTO"},
        {"PRELIEVO BANCOMAT VIA ROMA", "PRELIEVO BANCOMA"}};
    for (const auto& [testo, atteso] : casi)
        EXPECT_EQ(estratti::RiferimentoBreve(testo, 16), atteso) << testo;
}

// A bank's corrected mapping comes back whole; a line written before the state column
// existed still loads.
TEST(Colonne, MappaturaRicordata) {
    test::CartellaTemporanea dir;
    estratti::MappaturaCsv m;
    m.separatore = ',';
    m.colData = 3;
    m.colImporto = 5;
    m.colDescrizione = 4;
    m.colStato = 8;
    m.formatoData = FormatoData::MeseGiornoAnno;
    estratti::MemoriaMappature scritta(core::FileSystemReale(), dir / "m.conf");
    ASSERT_FALSE(scritta.Ricorda("csv|a", m));
    std::ofstream(dir / "m.conf", std::ios::app)
        << "csv|b\t59\t0\t0\t1\t-1\t-1\t2\t-1\t-1\t-1\t44\t1\n";
    estratti::MemoriaMappature letta(core::FileSystemReale(), dir / "m.conf");
    letta.Carica();
    ASSERT_NE(letta.Trova("csv|a"), nullptr);
    EXPECT_EQ(*letta.Trova("csv|a"), m);
    ASSERT_NE(letta.Trova("csv|b"), nullptr);
    EXPECT_EQ(letta.Trova("csv|b")->colStato, -1);
    EXPECT_EQ(letta.Trova("csv|b")->formatoData, FormatoData::AnnoMeseGiorno);
}

// libofx stops at a broken element: what it delivered is shown, with a warning.
TEST(Ofx, ErroreConMovimenti) {
    auto f = estratti::ApriEstratto(core::FileSystemReale(), kDati / "errore_sgml.ofx", nullptr);
    auto letto = estratti::LeggiEstratto(std::get<estratti::FileEstratto>(f));
    const auto& e = std::get<estratti::Estratto>(letto);
    EXPECT_EQ(e.transazioni.size(), 2u);
    EXPECT_EQ(e.avvisi, (std::vector<std::string>{
                            "Il file \"errore_sgml.ofx\" contiene errori: sono stati letti 2 "
                            "movimenti, controlli che ci siano tutti.",
                            "Movimenti senza importo, non letti: 1."}));
}

// Bounds checked before any parser sees the file.
TEST(Limiti, FileOstili) {
    std::string annidato = "OFXHEADER:100\n<OFX>";
    for (int i = 0; i < 200; ++i) annidato += "<A>";
    EXPECT_EQ(
        std::get<estratti::ErroreEstratto>(estratti::LeggiOfxDaTesto(annidato, "n.ofx")).messaggio,
        "Il file \"n.ofx\" non può essere importato: i suoi elementi sono annidati oltre "
        "40 livelli, non è un estratto conto OFX.");
    std::string vero;
    ASSERT_FALSE(core::FileSystemReale().leggi(kDati / "conto_2x.ofx", vero));
    EXPECT_LT(estratti::ProfonditaOfx(vero), 12u);
    const std::string colonne = "Data;Importo;Descrizione\n" + std::string(100000, ';') + "\n";
    EXPECT_EQ(std::get<estratti::ErroreEstratto>(
                  estratti::ApriEstrattoDaByte(colonne, "/x/largo.csv", nullptr))
                  .messaggio,
              "Il file \"largo.csv\" non può essere importato: ha righe di oltre 512 colonne, non "
              "è un estratto conto.");
    EXPECT_EQ(std::get<estratti::ErroreEstratto>(
                  estratti::ApriEstrattoDaByte(std::string((32 << 20) + 1, 'a'), "g.csv", nullptr))
                  .messaggio,
              "Il file \"g.csv\" non può essere importato: è di 32 MB, più di quanto sia un "
              "estratto conto (al massimo 32 MB).");
}

}  // namespace
