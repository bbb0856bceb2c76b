#include <gtest/gtest.h>

#include <variant>

#include "core/importi.h"
#include "estratti/anteprima.h"
#include "estratti/apertura.h"
#include "estratti/esportazione.h"
#include "estratti/lettore_ofx.h"
#include "support/contesto_finto.h"
#include "support/file_system_difettoso.h"

namespace {

using core::Data;
using core::Money;

const std::filesystem::path kDati = QUIBORA_DATI_ESTRATTI;

Money Euro(double v) {
    return Money::FromRaw(static_cast<std::int64_t>(v * 10000 + (v < 0 ? -0.5 : 0.5)));
}

// The statement in `p`, or the message that refuses it.
std::variant<estratti::Estratto, std::string> Leggi(const std::filesystem::path& p) {
    auto f = estratti::ApriEstratto(core::FileSystemReale(), p, nullptr);
    if (auto* e = std::get_if<estratti::ErroreEstratto>(&f)) return e->messaggio;
    auto letto = estratti::LeggiEstratto(std::get<estratti::FileEstratto>(f));
    if (auto* e = std::get_if<estratti::ErroreEstratto>(&letto)) return e->messaggio;
    return std::get<estratti::Estratto>(letto);
}

// Count and sum of the movements, the oldest as the preview shows it first, the rows it leaves
// out, the closing balance the bank declares.
std::string Riassunto(const char* file) {
    auto letto = Leggi(kDati / file);
    if (auto* messaggio = std::get_if<std::string>(&letto)) return *messaggio;
    const auto& e = std::get<estratti::Estratto>(letto);
    Money somma;
    for (const auto& t : e.transazioni) somma = *somma.plus(t.importo);
    const auto anteprima = estratti::PreparaAnteprima(e, {}, core::StatoConto{});
    const auto& prima = anteprima.righe.front();
    std::string s = std::to_string(e.transazioni.size()) + " " + core::FormatoEuro(somma) + " " +
                    core::FormatoData(prima.data) + " " + prima.descrizione + " " +
                    std::string(prima.tipo->caption);
    for (const auto& r : anteprima.righe)
        if (!r.inclusa) s += " [" + estratti::TestoEsclusione(r) + "]";
    if (!e.numeroConto.empty()) s += " conto " + e.numeroConto;
    if (e.saldoFinale)
        s += " saldo " + core::FormatoEuro(e.saldoFinale->saldo) + " al " +
             core::FormatoData(e.saldoFinale->data);
    return s;
}

// One row per bank style and per refusal.
TEST(LetturaFile, MovimentiOErrore) {
    // clang-format off
    const std::vector<std::pair<const char*, std::string>> casi{
        {"conto_102.ofx", "4 1.431,26 05/01/2024 PRELIEVO BANCOMAT Prelievo [Presente due volte nell'estratto] conto IT60X0542811101000000012345 saldo 1.515,63 al 29/02/2024"},
        {"conto_2x.ofx", "2 254,10 02/03/2024 BONIFICO DA ROSSI MARIO Bonifico a credito conto 000012345678 saldo 254,10 al 31/03/2024"},
        {"carta.qfx", "1 -19,99 03/04/2024 ABBONAMENTO Addebito generico conto 4111 saldo -19,99 al 30/04/2024"},
        // The statement's currency holds for every row that names none.
        {"dollari.qfx", "1 -19,99 03/04/2024 ABBONAMENTO Addebito generico [In valuta diversa (USD)] conto 4111 saldo -19,99 al 30/04/2024"},
        {"titoli_dare_avere_1252.csv", "4 925,40 03/01/2024 Commissione tenuta c/c à saldo Addebito generico saldo 925,40 al 30/01/2024"},
        // Balance and total lines are no movements (the closing one is the bank's balance);
        // "Saldo fattura" is; the amount is the column named so, not one that contains it.
        {"saldi_stato_valuta.csv", "4 -365,10 03/06/2024 Spesa Coop Addebito generico [In valuta diversa (CHF)] [Non contabilizzato] saldo 654,90 al 06/06/2024"},
        // Several accounts: all movements until one is chosen, no balance to check against.
        // A pending payment has no booking date: its start date shows it, left out.
        {"in_attesa.csv", "2 96,50 04/01/2022 Top-Up by *1234 Accredito generico [Non contabilizzato]"},
        {"conti_zone.ofx", "6 35,00 05/01/2024 EDICOLA Addebito generico [Presente due volte nell'estratto] [In valuta diversa (CHF)] [Data non valida (20250231)]"},
        {"titoli.ofx", "Il file \"titoli.ofx\" non può essere importato: è l'estratto di un conto titoli (investimenti). Si importano solo gli estratti di conto corrente e di carta di credito."},
        {"estratto.pdf", "Il file \"estratto.pdf\" non può essere importato: è un PDF: esporti dalla banca il file Excel o CSV dei movimenti, oppure OFX."},
        {"estratto.csv.html", "Il file \"estratto.csv.html\" non può essere importato: è una pagina web (HTML): esporti dalla banca il file Excel o CSV dei movimenti, oppure OFX."},
        {"vuoto.csv", "Il file \"vuoto.csv\" non può essere importato: è vuoto."},
        {"bom_importo.csv", "3 -748,77 02/02/2024 Prelievo ATM via Roma Prelievo"},
        {"entrate_uscite.csv", "2 1.465,00 10/03/2024 ADDEBITO Pagamento carta di credito Addebito carta di credito"},
        {"iso_punto.csv", "2 1.879,50 01/04/2024 Assegno n. 123, studio Assegno"},
        {"data_errata.csv", "Il file \"data_errata.csv\" non può essere importato: alla riga 3 la data \"31/02/2024\" non è valida."},
        {"importo_errato.csv", "Il file \"importo_errato.csv\" non può essere importato: alla riga 2 l'importo \"dieci\" non è valido."},
        {"troncato.ofx", "Il file \"troncato.ofx\" non può essere importato: non contiene un estratto conto OFX leggibile."},
        {"mancante.csv", "Impossibile leggere il file \"mancante.csv\": file o cartella inesistente"}};
    // clang-format on
    for (const auto& [file, atteso] : casi) EXPECT_EQ(Riassunto(file), atteso) << file;
}

// A long statement is read in slices: none may be lost, doubled or reordered at the seams.
TEST(LetturaFile, EstrattoLungoLettoTutto) {
    std::string t =
        "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\n\r\n<OFX><SIGNONMSGSRSV1><SONRS>"
        "<STATUS><CODE>0<SEVERITY>INFO</STATUS><DTSERVER>20240101<LANGUAGE>ITA</SONRS>"
        "</SIGNONMSGSRSV1><BANKMSGSRSV1><STMTTRNRS><TRNUID>1<STATUS><CODE>0<SEVERITY>INFO"
        "</STATUS><STMTRS><CURDEF>EUR<BANKACCTFROM><BANKID>1<ACCTID>2<ACCTTYPE>CHECKING"
        "</BANKACCTFROM><BankTranList><DTSTART>20240101<DTEND>20240102\r\n";
    const int n = 4003;
    for (int i = 0; i < n; ++i)
        t += "<STMTTRN><TRNTYPE>DEBIT<DTPOSTED>20240101<TRNAMT>-" + std::to_string(i) + ".29" +
             "<FITID>" + std::to_string(i) + "<NAME>RATA<MEMO>" + (i % 2 ? "RATA" : "MUTUO") +
             "</STMTTRN>\r\n";
    t += "</BANKTRANLIST><LEDGERBAL><BALAMT>7<DTASOF>20240102</LEDGERBAL></STMTRS>"
         "</STMTTRNRS></BANKMSGSRSV1></OFX>";
    auto letto = estratti::LeggiOfxDaTesto(t, "lungo.ofx");
    ASSERT_TRUE(std::holds_alternative<estratti::Estratto>(letto));
    const auto& e = std::get<estratti::Estratto>(letto);
    ASSERT_EQ(e.transazioni.size(), static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        ASSERT_EQ(e.transazioni[i].idBanca, std::to_string(i));
        ASSERT_EQ(e.transazioni[i].importo, Euro(-i - 0.29));
        // A memo that repeats the name is not added to the description again.
        ASSERT_EQ(e.transazioni[i].descrizione, i % 2 ? "RATA" : "RATA MUTUO");
    }
    EXPECT_EQ(e.saldoFinale->saldo, Euro(7));
}

// Keywords count at the start of a word only; the direction picks the family.
TEST(Tipi, DallaDescrizione) {
    const std::vector<std::tuple<const char*, bool, const char*>> casi{
        {"Bonifico stipendio febbraio", true, "Accredito stipendio"},
        {"BANCOMAT 12/03 ROMA", false, "Prelievo"},
        {"Gastronomia Rossi", false, "Addebito generico"},
        {"Interessi", true, "Interessi a credito"},
        {"Interessi passivi", false, "Interessi a debito"}};
    for (const auto& [descrizione, credito, tipo] : casi)
        EXPECT_EQ(estratti::IndovinaTipo(descrizione, credito).caption, tipo) << descrizione;
}

estratti::Transazione T(Data d, double importo, std::string descrizione) {
    estratti::Transazione t;
    t.data = d;
    t.importo = Euro(importo);
    t.descrizione = std::move(descrizione);
    return t;
}

// The register's rules, one statement row per reason.
TEST(Anteprima, EsclusioniRiferimentiESaldi) {
    test::ContestoFinto c;
    c.stato.ModoValuta = "Euro";
    c.stato.SaldoConto = Euro(100);
    c.stato.FidoConto = Euro(-50);
    // The first balance is still in lire: the bank's balance is compared in euro.
    c.righe({{"10/01/2024", "Prelievo", "PRELIEVO", "20,00", "232.353"},
             {"15/01/2024", "Prelievo", "PRELIEVO BANCOMA", "20,00", "100,00"}});
    estratti::Estratto e;
    e.transazioni = {T({2024, 1, 20}, -30, "PRELIEVO"),
                     T({2024, 1, 15}, -20, "PRELIEVO BANCOMAT VIA ROMA"),
                     T({2024, 1, 15}, -7, "Edicola"),
                     T({2024, 1, 14}, 5, "Rimborso"),
                     T({2024, 1, 20}, -30, "PRELIEVO"),
                     T({2024, 1, 21}, 0, "Nulla"),
                     T({2024, 1, 22}, -200, "Bonifico \"casa\" al signor Rossi € trenta")};
    auto a = estratti::PreparaAnteprima(e, c.griglia.righe(), c.stato);
    // A duplicate may be ticked back in; a date before the last movement may not.
    estratti::ImpostaInclusa(a, 4, true);
    estratti::ImpostaInclusa(a, 0, true);
    std::vector<std::string> righe;
    for (const auto& r : a.righe)
        righe.push_back(estratti::TestoEsclusione(r.esclusione) + "|" + r.riferimento + "|" +
                        core::FormatoEuro(r.saldo) + (r.inclusa ? "" : " esclusa") +
                        (r.accorciato ? " accorciato" : "") + (r.riparato ? " riparato" : "") +
                        (r.fuoriFido ? " fuori fido" : ""));
    EXPECT_EQ(
        righe,
        (std::vector<std::string>{
            "Data precedente all'ultimo movimento del registro|Rimborso|100,00 esclusa",
            "Già presente nel registro|PRELIEVO BANCOMA|100,00 esclusa accorciato",
            "|Edicola|93,00", "|PRELIEVO|63,00", "Presente due volte nell'estratto|PRELIEVO|33,00",
            "Importo uguale a zero|Nulla|33,00 esclusa",
            "|Bonifico 'casa'|-167,00 accorciato riparato fuori fido"}));

    a.saldoFinale = estratti::SaldoDichiarato{{2024, 1, 10}, Euro(121)};
    const auto esito = estratti::ApplicaAnteprima(a, c.contesto);
    ASSERT_EQ(esito.aggiunte, 4);
    EXPECT_EQ(c.griglia.righe().riga(5),
              (core::RigaRegistro{"22/01/2024", "Bonifico a debito", "Bonifico 'casa'", "200,00",
                                  "-167,00"}));
    EXPECT_EQ(c.stato.SaldoConto, Euro(-167));
    EXPECT_EQ(c.form1.Testo("txtSaldo"), "-167,00");
    EXPECT_EQ(esito.riepilogo,
              "Estratto conto \"\".\n\nMovimenti aggiunti al registro: 4.\nMovimenti esclusi: 3:\n"
              "  - Data precedente all'ultimo movimento del registro: 1\n"
              "  - Già presente nel registro: 1\n  - Importo uguale a zero: 1\n\n"
              "ATTENZIONE! SEI FUORI FIDO dopo i movimenti del 22/01/2024.\n\n"
              "Saldo dichiarato dalla banca al 10/01/2024: 121,00 €.\nIl saldo del registro a "
              "quella data è 120,00 €: NON coincide (differenza -1,00 €).\n");
    core::Registro salvato;
    ASSERT_EQ(c.file.LeggiRegistro(salvato), 0);
    EXPECT_EQ(salvato, c.griglia.righe());
}

TEST(Anteprima, RegistroInLireConverteComeIlCambio) {
    core::StatoConto stato;
    stato.ModoValuta = "Lire";
    estratti::Estratto e;
    e.transazioni = {T({2024, 1, 2}, -100, "Prelievo")};
    EXPECT_EQ(core::FormatoModo(estratti::PreparaAnteprima(e, {}, stato).righe[0].importo, "Lire"),
              "193.627");
}

TEST(Esportazione, IlRegistroTornaUgualeInUnContoVuoto) {
    test::ContestoFinto origine;
    origine.stato.ModoValuta = "Euro";
    origine.righe({{"01/02/2024", "Versamento", "contanti; cassa", "1.000,00", "1.000,00"},
                   {"03/02/2024", "Addebito boll. eletricità", "Enel luce", "62,10", "937,90"},
                   {"03/02/2024", "Interessi a credito", "", "0,50", "938,40"},
                   {"09/02/2024", "Assegno", "n. 12", "1.200,00", "-261,60"}});
    const auto file = origine.dir / "registro.csv";
    ASSERT_FALSE(estratti::Esporta(origine.disco, file, origine.griglia.righe(), {}, {}));
    EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    test::ContestoFinto destinazione;
    destinazione.stato.ModoValuta = "Euro";
    const auto letto = std::get<estratti::Estratto>(Leggi(file));
    const auto a = estratti::PreparaAnteprima(letto, {}, destinazione.stato);
    ASSERT_EQ(estratti::ApplicaAnteprima(a, destinazione.contesto).aggiunte, 4);
    EXPECT_EQ(destinazione.griglia.righe(), origine.griglia.righe());

    // A date range keeps only its rows.
    EXPECT_EQ(estratti::TestoEsportazione(origine.griglia.righe(), Data{2024, 2, 3}, std::nullopt),
              "\xEF\xBB\xBF"
              "Data;Causale;Riferimento;Importo;Valuta;Saldo;Valuta saldo\r\n"
              "03/02/2024;Addebito boll. eletricità;Enel luce;-62,10;EUR;937,90;EUR\r\n"
              "03/02/2024;Interessi a credito;;0,50;EUR;938,40;EUR\r\n"
              "09/02/2024;Assegno;n. 12;-1200,00;EUR;-261,60;EUR\r\n");
    // Both ends of a range are in it.
    EXPECT_EQ(
        estratti::RigheDaEsportare(origine.griglia.righe(), Data{2024, 2, 3}, Data{2024, 2, 3})
            .size(),
        2u);
}

// A register whose export runs over several pieces is written whole, byte for byte the
// export's text; a disk that fills up at a later piece leaves neither the file nor a
// temporary one, and names the file.
TEST(Esportazione, APezziComeIlTestoIntero) {
    core::Registro registro;
    for (int i = 0; i < 90000; ++i)
        registro.aggiungi({"01/02/2024", "Versamento", "riferimento n. " + std::to_string(i),
                           "1.000,00", std::to_string(i) + ",00"});
    test::CartellaTemporanea dir(test::BaseVeloce());
    const auto file = dir / "registro.csv";
    ASSERT_FALSE(estratti::Esporta(core::FileSystemReale(), file, registro, {}, {}));
    EXPECT_EQ(test::LeggiByte(file), estratti::TestoEsportazione(registro, {}, {}));
    std::filesystem::remove(file);
    test::FileSystemDifettoso pieno;
    pieno.Guasta({test::Operazione::AggiungiIn, "", 1, false, ENOSPC, true});
    const auto errore = estratti::Esporta(pieno, file, registro, {}, {});
    ASSERT_TRUE(errore.has_value());
    EXPECT_EQ(errore->file, file);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
