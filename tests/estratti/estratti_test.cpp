#include <gtest/gtest.h>

#include <variant>

#include "core/importi.h"
#include "estratti/anteprima.h"
#include "estratti/apertura.h"
#include "estratti/esportazione.h"
#include "estratti/lettore_ofx.h"
#include "estratti/ricerca.h"
#include "support/contesto_finto.h"

namespace {

using core::Data;
using core::Money;
using estratti::Esclusione;

const std::filesystem::path kDati = QUIBORA_DATI_ESTRATTI;

Money Euro(double v) {
    return Money::FromRaw(static_cast<std::int64_t>(v * 10000 + (v < 0 ? -0.5 : 0.5)));
}

estratti::Estratto Leggi(const std::filesystem::path& p) {
    auto f = estratti::ApriEstratto(core::FileSystemReale(), p, nullptr);
    if (auto* e = std::get_if<estratti::ErroreEstratto>(&f)) ADD_FAILURE() << e->messaggio;
    auto letto = estratti::LeggiEstratto(std::get<estratti::FileEstratto>(f));
    if (auto* e = std::get_if<estratti::ErroreEstratto>(&letto)) ADD_FAILURE() << e->messaggio;
    return std::get<estratti::Estratto>(letto);
}

// One row per bank style: what the reader must find in the file.
struct CasoFile {
    const char* file;
    std::size_t movimenti;
    double somma;
    Data prima;  // the oldest movement
    const char* descrizionePrima;
    const char* tipoPrima;
};

class LetturaFile : public testing::TestWithParam<CasoFile> {};

TEST_P(LetturaFile, MovimentiImportiDateETipi) {
    const CasoFile& c = GetParam();
    const estratti::Estratto e = Leggi(kDati / c.file);
    ASSERT_EQ(e.transazioni.size(), c.movimenti);
    Money somma;
    for (const auto& t : e.transazioni) somma = *somma.plus(t.importo);
    EXPECT_EQ(core::FormatoEuro(somma), core::FormatoEuro(Euro(c.somma)));
    core::StatoConto stato;
    const auto a = estratti::PreparaAnteprima(e, {}, stato);
    EXPECT_EQ(a.righe.front().data, c.prima);
    EXPECT_EQ(a.righe.front().descrizione, c.descrizionePrima);
    EXPECT_EQ(a.righe.front().tipo->caption, c.tipoPrima);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Estratti, LetturaFile,
    testing::Values(
        CasoFile{"conto_102.ofx", 4, 1850 - 250 - 84.37 * 2, {2024, 1, 5}, "PRELIEVO BANCOMAT", "Prelievo"},
        CasoFile{"conto_2x.ofx", 2, 254.10, {2024, 3, 2}, "BONIFICO DA ROSSI MARIO", "Bonifico a credito"},
        CasoFile{"carta.qfx", 1, -19.99, {2024, 4, 3}, "ABBONAMENTO", "Addebito generico"},
        CasoFile{"titoli_dare_avere_1252.csv", 4, 1000 - 62.10 - 2.50 - 10, {2024, 1, 3},
                 "Commissione tenuta c/c à saldo", "Addebito generico"},
        CasoFile{"bom_importo.csv", 3, -100 - 650 + 1.23, {2024, 2, 2}, "Prelievo ATM via Roma", "Prelievo"},
        CasoFile{"entrate_uscite.csv", 2, 1465, {2024, 3, 10}, "ADDEBITO Pagamento carta di credito",
                 "Addebito carta di credito"},
        CasoFile{"iso_punto.csv", 2, 1879.5, {2024, 4, 1}, "Assegno n. 123, studio", "Assegno"}));
// clang-format on

TEST(LetturaFile, SaldoDichiaratoEChiaveDellaBanca) {
    const auto e = Leggi(kDati / "conto_102.ofx");
    ASSERT_TRUE(e.saldoFinale.has_value());
    EXPECT_EQ(e.saldoFinale->data, (Data{2024, 2, 29}));
    EXPECT_EQ(e.saldoFinale->saldo, Euro(1515.63));
    EXPECT_EQ(e.chiaveBanca, "ofx:03069  IT60X0542811101000000123456");
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
    ASSERT_TRUE(e.saldoFinale.has_value());
    EXPECT_EQ(e.saldoFinale->saldo, Euro(7));
}

struct CasoErrore {
    const char* file;
    const char* testo;  // part of the message besides the file's name
};
class FileErrati : public testing::TestWithParam<CasoErrore> {};

TEST_P(FileErrati, MessaggioConFileERiga) {
    auto f = estratti::ApriEstratto(core::FileSystemReale(), kDati / GetParam().file, nullptr);
    std::string messaggio;
    if (auto* e = std::get_if<estratti::ErroreEstratto>(&f)) {
        messaggio = e->messaggio;
    } else {
        auto letto = estratti::LeggiEstratto(std::get<estratti::FileEstratto>(f));
        ASSERT_TRUE(std::holds_alternative<estratti::ErroreEstratto>(letto));
        messaggio = std::get<estratti::ErroreEstratto>(letto).messaggio;
    }
    EXPECT_NE(messaggio.find(std::string("\"") + GetParam().file + "\""), std::string::npos)
        << messaggio;
    EXPECT_NE(messaggio.find(GetParam().testo), std::string::npos) << messaggio;
}

INSTANTIATE_TEST_SUITE_P(
    Estratti, FileErrati,
    testing::Values(CasoErrore{"data_errata.csv", "alla riga 3 la data \"31/02/2024\""},
                    CasoErrore{"importo_errato.csv", "alla riga 2 l'importo \"dieci\""},
                    CasoErrore{"troncato.ofx", "non contiene un estratto conto OFX"},
                    CasoErrore{"mancante.csv", "Impossibile leggere"}));

struct CasoTipo {
    const char* descrizione;
    bool credito;
    const char* tipo;
};
class Tipi : public testing::TestWithParam<CasoTipo> {};
TEST_P(Tipi, DallaDescrizione) {
    EXPECT_EQ(estratti::IndovinaTipo(GetParam().descrizione, GetParam().credito).caption,
              GetParam().tipo);
}
INSTANTIATE_TEST_SUITE_P(
    Estratti, Tipi,
    testing::Values(CasoTipo{"Bonifico stipendio febbraio", true, "Accredito stipendio"},
                    CasoTipo{"BANCOMAT 12/03 ROMA", false, "Prelievo"},
                    CasoTipo{"BONIFICO SEPA", false, "Bonifico a debito"},
                    CasoTipo{"Gastronomia Rossi", false, "Addebito generico"},
                    CasoTipo{"SDD Gas e luce", false, "Addebito bolletta gas"},
                    CasoTipo{"Fornitura ENERGIA elettrica", false, "Addebito bolletta elettricità"},
                    CasoTipo{"Canone telefonico", false, "Addebito bolletta telefonica"},
                    CasoTipo{"Acquedotto pugliese", false, "Addebito bolletta acqua"},
                    CasoTipo{"Interessi", true, "Interessi a credito"},
                    CasoTipo{"Interessi passivi", false, "Interessi a debito"},
                    CasoTipo{"Versamento", true, "Versamento"},
                    CasoTipo{"Rimborso", true, "Accredito generico"}));

estratti::Transazione T(Data d, double importo, std::string descrizione, std::string id = "") {
    estratti::Transazione t;
    t.data = d;
    t.importo = Euro(importo);
    t.descrizione = std::move(descrizione);
    t.idBanca = std::move(id);
    return t;
}

// The register's rules, one statement row per reason.
TEST(Anteprima, EsclusioniRiferimentiESaldi) {
    test::ContestoFinto c;
    c.stato.ModoValuta = "Euro";
    c.stato.SaldoConto = Euro(100);
    c.stato.FidoConto = Euro(-50);
    c.righe({{"10/01/2024", "Prelievo", "PRELIEVO", "20,00", "120,00"},
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
    const std::vector<Esclusione> attese{Esclusione::DataPrecedente, Esclusione::GiaNelRegistro,
                                         Esclusione::Nessuna,        Esclusione::Nessuna,
                                         Esclusione::DoppiaNelFile,  Esclusione::ImportoNullo,
                                         Esclusione::Nessuna};
    ASSERT_EQ(a.righe.size(), attese.size());
    for (std::size_t i = 0; i < attese.size(); ++i)
        EXPECT_EQ(a.righe[i].esclusione, attese[i]) << i;
    const auto& ultima = a.righe.back();
    EXPECT_EQ(ultima.riferimento, "Bonifico 'casa' ");
    EXPECT_TRUE(ultima.accorciato);
    EXPECT_TRUE(ultima.riparato);
    EXPECT_EQ(ultima.saldo, Euro(-137));
    EXPECT_TRUE(ultima.fuoriFido);

    // A duplicate may be ticked back in; a date before the last movement may not.
    estratti::ImpostaInclusa(a, 4, true);
    estratti::ImpostaInclusa(a, 0, true);
    EXPECT_FALSE(a.righe[0].inclusa);
    EXPECT_EQ(a.righe.back().saldo, Euro(-167));

    const auto esito = estratti::ApplicaAnteprima(a, c.contesto);
    EXPECT_EQ(esito.aggiunte, 4);
    EXPECT_TRUE(esito.salvato);
    EXPECT_EQ(c.griglia.righe().riga(5),
              (core::RigaRegistro{"22/01/2024", "Bonifico a debito", "Bonifico 'casa' ", "200,00",
                                  "-167,00"}));
    EXPECT_EQ(c.stato.SaldoConto, Euro(-167));
    EXPECT_EQ(c.form1.Testo("txtSaldo"), "-167,00");
    EXPECT_NE(esito.riepilogo.find("ATTENZIONE! SEI FUORI FIDO dopo i movimenti del 22/01/2024"),
              std::string::npos)
        << esito.riepilogo;
    EXPECT_NE(esito.riepilogo.find("Data precedente all'ultimo movimento del registro: 1"),
              std::string::npos);
    core::Registro salvato;
    ASSERT_EQ(c.file.LeggiRegistro(salvato), 0);
    EXPECT_EQ(salvato, c.griglia.righe());
}

TEST(Anteprima, RegistroInLireConverteComeIlCambio) {
    core::StatoConto stato;
    stato.ModoValuta = "Lire";
    estratti::Estratto e;
    e.transazioni = {T({2024, 1, 2}, -100, "Prelievo")};
    const auto a = estratti::PreparaAnteprima(e, {}, stato);
    EXPECT_EQ(a.righe[0].importo, *core::EuroInLire(Euro(100)));
    EXPECT_EQ(core::FormatoModo(a.righe[0].importo, "Lire"), "193.627");
}

struct CasoRiconciliazione {
    double dichiarato;
    Data data;
    const char* atteso;
};
class Riconciliazione : public testing::TestWithParam<CasoRiconciliazione> {};
TEST_P(Riconciliazione, ConfrontaIlSaldoAllaData) {
    core::StatoConto stato;
    stato.ModoValuta = "Euro";
    stato.SaldoConto = Euro(70);
    core::Registro r;
    r.aggiungi({"01/01/2001", "Versamento", "", "193.627", "193.627"});  // still in lire
    r.aggiungi({"01/02/2024", "Versamento", "", "100,00", "100,00"});
    r.aggiungi({"05/02/2024", "Prelievo", "", "30,00", "70,00"});
    estratti::Anteprima a;
    a.nomeFile = "x.ofx";
    a.saldoFinale = estratti::SaldoDichiarato{GetParam().data, Euro(GetParam().dichiarato)};
    const std::string t = estratti::Riepilogo(a, r, stato, true);
    EXPECT_NE(t.find(GetParam().atteso), std::string::npos) << t;
}
INSTANTIATE_TEST_SUITE_P(
    Estratti, Riconciliazione,
    testing::Values(CasoRiconciliazione{70, {2024, 2, 29}, "coincide."},
                    CasoRiconciliazione{100, {2001, 1, 1}, "coincide."},
                    CasoRiconciliazione{
                        75, {2024, 2, 29}, "è 70,00 €: NON coincide (differenza -5,00 €)"},
                    CasoRiconciliazione{0, {2000, 12, 31}, "non è confrontabile"}));

TEST(Esportazione, IlRegistroTornaUgualeInUnContoVuoto) {
    test::ContestoFinto origine;
    origine.stato.ModoValuta = "Euro";
    origine.righe({{"01/02/2024", "Versamento", "contanti; cassa", "1.000,00", "1.000,00"},
                   {"03/02/2024", "Addebito boll. eletricità", "Enel luce", "62,10", "937,90"},
                   {"03/02/2024", "Interessi a credito", "", "0,50", "938,40"},
                   {"09/02/2024", "Assegno", "n. 12", "1.200,00", "-261,60"}});
    const auto file = origine.dir / "registro.csv";
    ASSERT_FALSE(estratti::Esporta(origine.disco, file, origine.griglia.righe(), {}, {}));
    const std::string testo = test::LeggiByte(file);
    EXPECT_TRUE(
        testo.starts_with("\xEF\xBB\xBF"
                          "Data;Causale;Riferimento;Importo;Valuta;Saldo\r\n"
                          "01/02/2024;Versamento;\"contanti; cassa\";1000,00;EUR;1000,00\r\n"
                          "03/02/2024;Addebito boll. eletricità;Enel luce;-62,10;EUR;937,90\r\n"));
    EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    test::ContestoFinto destinazione;
    destinazione.stato.ModoValuta = "Euro";
    const auto a = estratti::PreparaAnteprima(Leggi(file), {}, destinazione.stato);
    ASSERT_EQ(estratti::ApplicaAnteprima(a, destinazione.contesto).aggiunte, 4);
    EXPECT_EQ(destinazione.griglia.righe(), origine.griglia.righe());

    // A row in lire whose balance was turned into euro by the switch: one currency per row.
    core::Registro cambio;
    cambio.aggiungi({"01/01/2001", "Versamento", "", "193.627", "100,00"});
    EXPECT_EQ(estratti::TestoEsportazione(cambio, {}, {}),
              "\xEF\xBB\xBF"
              "Data;Causale;Riferimento;Importo;Valuta;Saldo\r\n"
              "01/01/2001;Versamento;;193627;ITL;193627\r\n");

    // A date range keeps only its rows.
    const std::string parte =
        estratti::TestoEsportazione(origine.griglia.righe(), Data{2024, 2, 3}, Data{2024, 2, 3});
    EXPECT_EQ(std::count(parte.begin(), parte.end(), '\n'), 3);
}

TEST(Mappature, RicordatePerBanca) {
    test::ContestoFinto c;
    const auto conf = c.dir / estratti::kFileMappature;
    estratti::MemoriaMappature memoria(c.disco, conf);
    const auto aperto = std::get<estratti::FileEstratto>(
        estratti::ApriEstratto(c.disco, kDati / "bom_importo.csv", &memoria));
    EXPECT_FALSE(aperto.mappaturaRicordata);
    estratti::MappaturaCsv corretta = aperto.mappatura;
    corretta.colDescrizione = 0;
    corretta.formatoData = estratti::FormatoData::AnnoMeseGiorno;
    ASSERT_FALSE(memoria.Ricorda(aperto.banca, corretta));

    estratti::MemoriaMappature riletta(c.disco, conf);
    riletta.Carica();
    const auto dopo = std::get<estratti::FileEstratto>(
        estratti::ApriEstratto(c.disco, kDati / "bom_importo.csv", &riletta));
    EXPECT_TRUE(dopo.mappaturaRicordata);
    EXPECT_EQ(dopo.mappatura, corretta);
}

TEST(Ricerca, TestoImportoDateESuccessivo) {
    core::Registro r;
    r.aggiungi({"01/02/2024", "Versamento", "Cassa", "1.000,00", "1.000,00"});
    r.aggiungi({"03/02/2024", "Prelievo", "bancomat", "50,00", "950,00"});
    r.aggiungi({"04/02/2024", "Prelievo", "BANCOMAT", "1.000", "x"});
    EXPECT_EQ(estratti::Cerca(r, {"Bancomat", {}, {}, {}}), (std::vector<int>{1, 2}));
    EXPECT_EQ(estratti::Cerca(r, {"", Euro(1000), {}, {}}), (std::vector<int>{0, 2}));
    EXPECT_EQ(estratti::Cerca(r, {"", {}, Data{2024, 2, 2}, Data{2024, 2, 3}}),
              (std::vector<int>{1}));
    const std::vector<int> trovati{1, 4};
    EXPECT_EQ(estratti::Successivo(trovati, 1, true), 4);
    EXPECT_EQ(estratti::Successivo(trovati, 4, true), 1);
    EXPECT_EQ(estratti::Successivo(trovati, 1, false), 4);
    EXPECT_EQ(estratti::Successivo(trovati, 3, false), 1);
}

}  // namespace
