#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

#include "core/importi.h"
#include "main_window/form1.h"
#include "support/contesto_finto.h"

namespace {

namespace fs = std::filesystem;
using core::Money;
using main_window::Form1;
using Comando = void (Form1::*)();

Money U(std::int64_t unita) {
    return Money::FromUnits(unita);
}

class NessunaFinestra : public main_window::ApriFinestre {
  public:
    void ApriInserimento(const core::TipoMovimento&) override {}
    void ApriPassword() override {}
    void ApriStampa() override {}
};

class ComandiTest : public ::testing::Test, public test::ContestoFinto {
  protected:
    // Puts the window's captions in step with `m`, as loading does.
    void modo(std::string_view m) {
        stato.ModoValuta = m;
        const bool lire = m == "Lire";
        form1.ImpostaTesto("CmdEuro", lire ? "&Gestisci in €uro" : "&Gestisci in Lire");
        form1.ImpostaTesto("Label2", lire ? "£." : "€.");
        form1.ImpostaTesto("Label6", lire ? "£ire" : "€uro");
    }

    NessunaFinestra finestre_;
    Form1 logica_{contesto, finestre_};
};

// A register whose second row shows `penultima` and whose last row is `causale` `importo`.
std::vector<core::RigaRegistro> Reg(const char* penultima, const char* causale = "Versamento",
                                    const char* importo = "1") {
    return {{"01/01/2003", "Versamento", "", "1", "1"},
            {"01/01/2003", "Versamento", "", "1", penultima},
            {"02/01/2003", causale, "", importo, "0"}};
}
std::string ChiedeSaldo(std::string proposta) {
    return "Modifica/imposta nuovo saldo.|" + proposta;
}
std::string ChiedeFido(std::string attuale) {
    return "Imposta fido accordato. Fido impostato attualmente:\r\r" + attuale + "|";
}

struct Scenario {
    const char* nome;
    Comando comando;
    const char* modo;
    Money saldo, fido;
    std::vector<core::RigaRegistro> righe;
    std::string domanda;  // the input box's prompt, "|" and proposed text; empty: none
    std::string digitato;
    const char* modoDopo;
    const char* simbolo;  // Label2 afterwards
    Money saldoDopo, fidoDopo;
    std::string txtSaldo;  // "prima" when untouched
    std::string saldi;     // the register's balance cells, joined by "/"
    std::vector<std::string> messaggi;
};

class Comandi : public ComandiTest, public ::testing::WithParamInterface<Scenario> {};

// Every command on the balance, the credit line, the currency and the rows: what it asks,
// what it shows, what it tells, and that memory and files agree as soon as it is done.
TEST_P(Comandi, EsitoVisibileESalvato) {
    const Scenario& c = GetParam();
    modo(c.modo);
    stato.SaldoConto = c.saldo;
    stato.FidoConto = c.fido;
    form1.ImpostaTesto("txtSaldo", "prima");
    for (const auto& r : c.righe) righe({r});
    ASSERT_FALSE(file.SalvaRegistro(griglia.righe()));
    ASSERT_FALSE(file.SalvaParametri({c.modo, c.saldo, c.fido}));
    dialoghi.inputDigitati.push_back(c.digitato);

    (logica_.*c.comando)();
    std::string domanda;
    for (const auto& i : dialoghi.input)
        domanda += i.titolo + ": " + i.prompt + "|" + i.predefinito;
    EXPECT_EQ(domanda, c.domanda.empty() ? "" : "Quibora Lite Edition: " + c.domanda);
    EXPECT_EQ(dialoghi.testiMessaggi(), c.messaggi);
    std::string saldi;
    for (int r = 1; r < griglia.Rows(); ++r) saldi += (r > 1 ? "/" : "") + griglia.TextMatrix(r, 4);
    EXPECT_EQ(std::tie(stato.ModoValuta, stato.SaldoConto, stato.FidoConto, saldi),
              std::make_tuple(c.modoDopo, c.saldoDopo, c.fidoDopo, c.saldi));
    const bool lire = std::string_view(c.modoDopo) == "Lire";
    EXPECT_EQ(form1.Testo("CmdEuro") + form1.Testo("Label2") + form1.Testo("Label6"),
              (lire ? "&Gestisci in €uro" : "&Gestisci in Lire") + std::string(c.simbolo) +
                  (lire ? "£ire" : "€uro"));
    EXPECT_EQ(form1.Testo("txtSaldo"), c.txtSaldo);
    EXPECT_EQ(form1.ColoreTesto("txtSaldo"), c.txtSaldo.starts_with('-') ? ui::kRosso : ui::kNero);

    core::Parametri p;
    ASSERT_EQ(file.LeggiParametri(p), 0);
    EXPECT_EQ(std::tie(p.ModoValuta, p.SaldoConto, p.FidoConto),
              std::tie(stato.ModoValuta, stato.SaldoConto, stato.FidoConto));
    core::Registro registro;
    ASSERT_EQ(file.LeggiRegistro(registro), 0);
    EXPECT_EQ(registro, griglia.righe());
}

const Comando kEuro = &Form1::CmdEuro_Click, kSaldo = &Form1::CmdSaldo_Click,
              kFido = &Form1::Cmdfido_Click, kRimuovi = &Form1::Rimuovi_Click,
              kRimuoviu = &Form1::Rimuoviu_Click;
const Money k0{}, kEnorme = Money::FromRaw(std::numeric_limits<std::int64_t>::max() / 100);
const std::vector<std::string> kCifra{"Cifra non valida"};

// clang-format off
INSTANTIATE_TEST_SUITE_P(Tabella, Comandi, ::testing::Values(
    // The balance box reads dots only as thousands, rounds to the cent in euro, to the lira in lire.
    Scenario{"SaldoLireZeroProponeZero", kSaldo, "Lire", k0, k0, Reg("1"), ChiedeSaldo("0"), "", "Lire", "£.", k0, k0, "prima", "1/1/0", {}},
    Scenario{"SaldoLireAGruppi", kSaldo, "Lire", U(1500000), k0, Reg("1"), ChiedeSaldo("1.500.000"), "1.500.000", "Lire", "£.", U(1500000), k0, "1.500.000", "1/1/1.500.000", {}},
    Scenario{"SaldoPuntoNonDiMigliaia", kSaldo, "Lire", U(10), k0, Reg("1"), ChiedeSaldo("10"), "12.50", "Lire", "£.", U(10), k0, "prima", "1/1/0", kCifra},
    Scenario{"SaldoEuroNegativo", kSaldo, "Euro", k0, k0, Reg("1"), ChiedeSaldo("0,00"), "-250", "Euro", "€.", U(-250), k0, "-250,00", "1/1/-250,00", {}},
    Scenario{"SaldoEuroPropostaArrotondata", kSaldo, "Euro", Money::FromRaw(5164569), k0, Reg("1"), ChiedeSaldo("516,46"), "516,46", "Euro", "€.", Money::FromRaw(5164600), k0, "516,46", "1/1/516,46", {}},
    Scenario{"SaldoLireZeroSvuota", kSaldo, "Lire", U(10), k0, Reg("1"), ChiedeSaldo("10"), "0", "Lire", "£.", k0, k0, "", "1/1/", {}},
    Scenario{"SaldoLireConDecimali", kSaldo, "Lire", U(10), k0, Reg("1"), ChiedeSaldo("10"), "100,75", "Lire", "£.", Money::FromRaw(1007500), k0, "101", "1/1/101", {}},
    Scenario{"SaldoNonValido", kSaldo, "Lire", U(10), k0, Reg("1"), ChiedeSaldo("10"), "abc", "Lire", "£.", U(10), k0, "prima", "1/1/0", kCifra},
    Scenario{"SaldoFuoriIntervallo", kSaldo, "Euro", U(10), k0, Reg("1"), ChiedeSaldo("10,00"), "9999999999999999", "Euro", "€.", U(10), k0, "prima", "1/1/0", kCifra},
    // The credit line is typed without its sign and shown by its magnitude.
    Scenario{"FidoLireSenzaFido", kFido, "Lire", k0, k0, Reg("1"), ChiedeFido("£.  "), "500", "Lire", "£.", k0, U(-500), "prima", "1/1/0", {}},
    Scenario{"FidoLireAzzerato", kFido, "Lire", k0, U(-500), Reg("1"), ChiedeFido("£.  500"), "0", "Lire", "£.", k0, k0, "prima", "1/1/0", {}},
    Scenario{"FidoEuroAGruppi", kFido, "Euro", k0, k0, Reg("1"), ChiedeFido("€.  0,00"), "1.000,5", "Euro", "€.", k0, Money::FromRaw(-10005000), "prima", "1/1/0", {}},
    Scenario{"FidoAnnullato", kFido, "Euro", k0, U(-5), Reg("1"), ChiedeFido("€.  5,00"), "", "Euro", "€.", k0, U(-5), "prima", "1/1/0", {}},
    Scenario{"FidoConPiu", kFido, "Lire", k0, U(-5), Reg("1"), ChiedeFido("£.  5"), "+500", "Lire", "£.", k0, U(-5), "prima", "1/1/0", {"Non è ammesso il segno '+' prima dell'importo"}},
    Scenario{"FidoPuntoNonDiMigliaia", kFido, "Lire", k0, U(-5), Reg("1"), ChiedeFido("£.  5"), "12.50", "Lire", "£.", k0, U(-5), "prima", "1/1/0", kCifra},
    Scenario{"FidoConMeno", kFido, "Lire", k0, U(-5), Reg("1"), ChiedeFido("£.  5"), "-500", "Lire", "£.", k0, U(-5), "prima", "1/1/0", kCifra},
    // The currency switch converts balance and credit line and rewrites the last balance cell.
    Scenario{"InEuro", kEuro, "Lire", U(1000000), U(-500000), Reg("1"), "", "", "Euro", "€.", Money::FromRaw(5164569), Money::FromRaw(-2582284), "516,46", "1/1/516,46", {}},
    Scenario{"InLire", kEuro, "Euro", Money::FromRaw(5164569), k0, Reg("1"), "", "", "Lire", "£.", Money::FromRaw(10000000018), k0, "1.000.000", "1/1/1.000.000", {}},
    Scenario{"InLireSaldoZero", kEuro, "Euro", k0, k0, Reg("1"), "", "", "Lire", "£.", k0, k0, "0", "1/1/", {}},
    Scenario{"InLireRegistroVuoto", kEuro, "Euro", k0, k0, {}, "", "", "Lire", "£.", k0, k0, "0", "", {}},
    Scenario{"InLireFuoriIntervallo", kEuro, "Euro", Money::FromRaw(std::numeric_limits<std::int64_t>::max() / 1000), k0, Reg("1"), "", "", "Euro", "€.", Money::FromRaw(std::numeric_limits<std::int64_t>::max() / 1000), k0, "prima", "1/1/0",
             {"Il saldo o il fido convertiti in lire superano il limite consentito: la divisa non è stata cambiata."}},
    // Removing the first row leaves the balance as it is.
    Scenario{"RimuoviIlPrimo", kRimuovi, "Lire", U(1000000), k0, Reg("2", "Prelievo", "200.000"), "", "", "Lire", "£.", U(1000000), k0, "prima", "2/0", {}},
    // Removing the last row reverses it by its cause, in the currency it was entered in; the
    // new last row's balance text decides the mode, and the credit line follows it past the
    // 600.000 threshold.
    Scenario{"StornoPrelievo", kRimuoviu, "Lire", U(1000000), k0, Reg("1", "Prelievo", "200.000"), "", "", "Lire", "£", U(1200000), k0, "1.200.000", "1/1", {}},
    Scenario{"StornoBonificoADebito", kRimuoviu, "Lire", U(1000000), k0, Reg("1", "Bonifico a debito", "200.000"), "", "", "Lire", "£", U(1200000), k0, "1.200.000", "1/1", {}},
    Scenario{"StornoVersamento", kRimuoviu, "Lire", U(1000000), k0, Reg("1", "Versamento", "200.000"), "", "", "Lire", "£", U(800000), k0, "800.000", "1/1", {}},
    Scenario{"StornoInLireDaEuro", kRimuoviu, "Euro", Money::FromRaw(4131655), k0, Reg("1.000.000", "Prelievo", "200.000"), "", "", "Lire", "£", Money::FromRaw(9999999627), k0, "1.000.000", "1/1.000.000", {}},
    Scenario{"FidoEuroDaLireGrandi", kRimuoviu, "Euro", k0, U(-2000000), Reg("1,00", "Versamento", "1,00"), "", "", "Euro", "€.", U(-1), Money::FromRaw(-10329138), "-1,00", "1/1,00", {}},
    Scenario{"FidoEuroSogliaEsatta", kRimuoviu, "Euro", k0, U(-600000), Reg("1,00", "Versamento", "1,00"), "", "", "Euro", "€.", U(-1), U(-600000), "-1,00", "1/1,00", {}},
    Scenario{"FidoEuroPiccolo", kRimuoviu, "Euro", k0, U(-500), Reg("1,00", "Versamento", "1,00"), "", "", "Euro", "€.", U(-1), U(-500), "-1,00", "1/1,00", {}},
    Scenario{"FidoLireDaEuro", kRimuoviu, "Euro", k0, U(-500), Reg("1", "Versamento", "1,00"), "", "", "Lire", "£", U(-1), U(-968135), "-1", "1/1", {}},
    Scenario{"FidoLireSogliaEsatta", kRimuoviu, "Euro", k0, U(-600000), Reg("1", "Versamento", "1,00"), "", "", "Lire", "£", U(-1), U(-600000), "-1", "1/1", {}},
    Scenario{"FidoLireGrandi", kRimuoviu, "Euro", k0, U(-2000000), Reg("1", "Versamento", "1,00"), "", "", "Lire", "£", U(-1), U(-2000000), "-1", "1/1", {}},
    Scenario{"StornoIllegibile", kRimuoviu, "Euro", U(7), k0, Reg("2", "Prelievo", "x1"), "", "", "Euro", "€.", U(7), k0, "prima", "1/2/0",
             {"L'importo dell'ultimo movimento (\"x1\") non è un importo valido: il movimento non è stato rimosso."}},
    Scenario{"StornoOltreIlLimite", kRimuoviu, "Euro", kEnorme, k0, Reg("2", "Prelievo", "1"), "", "", "Euro", "€.", kEnorme, k0, "prima", "1/2/0",
             {"Il saldo risultante supererebbe il limite consentito: il movimento non è stato rimosso."}}),
    [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

// Down to twelve rows the window narrows again, once.
TEST_F(ComandiTest, RimozioniCheLascianoDodiciRigheStringono) {
    modo("Lire");
    form1["Grid"].posizione = {143, 480, 8985, 3135};
    for (int i = 0; i < 13; ++i) righe({{"01/01/2003", "Versamento", "", "1", "1"}});
    logica_.Rimuovi_Click();  // 13 rows left
    EXPECT_EQ(form1.Posizione("Grid").width, 8985);
    logica_.Rimuovi_Click();  // 12
    EXPECT_EQ(form1.Posizione("Grid").width, 8745);
    logica_.Rimuoviu_Click();  // 11
    EXPECT_EQ(form1.Posizione("Grid").width, 8745);
}

// Removing the only row asks first; Yes deletes every data file and ends the program
// without the shutdown save writing them back.
class Azzeramento : public ComandiTest, public ::testing::WithParamInterface<ui::Risposta> {};

TEST_P(Azzeramento, DomandaSullUnicoMovimento) {
    const bool si = GetParam() == ui::Risposta::Si;
    const core::RigaRegistro riga{"01/01/2003", "Versamento", "", "5", "5"};
    ASSERT_FALSE(file.SalvaRegistro(core::Registro(std::span(&riga, 1))));
    ASSERT_FALSE(file.SalvaParametri({"Lire", U(5), Money{}}));
    ASSERT_FALSE(file.SalvaConto("123", "Banca"));
    ASSERT_FALSE(file.SalvaPassword("segreta"));
    ASSERT_EQ(logica_.Form_Load(), 0);

    for (Comando comando : {kRimuovi, kRimuoviu}) {
        dialoghi.risposte.push_back(GetParam());
        (logica_.*comando)();
        if (si) break;
    }
    ASSERT_FALSE(dialoghi.messaggi.empty());
    const auto& d = dialoghi.messaggi[0];
    EXPECT_EQ(std::tie(d.testo, d.titolo, d.pulsanti, d.icona, d.predefinita),
              std::make_tuple("Attenzione rimuovendo l'ultima riga,verrà azzerato anche il Saldo "
                              "e i vari parametri precedentemente impostati.Sarà comunque "
                              "necessario riavviare l'applicazione. Procedere?",
                              "Rimozione movimenti", ui::Pulsanti::SiNo, ui::Icona::Esclamazione,
                              ui::Risposta::Si));
    EXPECT_EQ(dialoghi.terminato, si);
    EXPECT_EQ(griglia.Rows(), 2);

    logica_.Form_Unload();
    for (const char* nome : {"listcol1.txt", "listcol5.txt", "para.txt", "dati.txt"})
        EXPECT_EQ(fs::exists(dir / nome), !si) << nome;
    EXPECT_EQ(file.esistePassword(), !si);
}

INSTANTIATE_TEST_SUITE_P(Tabella, Azzeramento,
                         ::testing::Values(ui::Risposta::Si, ui::Risposta::No));

// A file that cannot be deleted is named; the program still ends.
TEST_F(ComandiTest, AzzeramentoConFileNonEliminabile) {
    righe({{"01/01/2003", "Versamento", "", "5", "5"}});
    ASSERT_FALSE(file.SalvaRegistro(griglia.righe()));
    disco.Guasta({.operazione = test::Operazione::Elimina, .nome = "listcol3"});
    dialoghi.risposte.push_back(ui::Risposta::Si);
    logica_.Rimuoviu_Click();
    ASSERT_EQ(dialoghi.messaggi.size(), 2u);
    EXPECT_NE(dialoghi.messaggi[1].testo.find("listcol3.txt"), std::string::npos)
        << dialoghi.messaggi[1].testo;
    EXPECT_TRUE(dialoghi.terminato);
}

}  // namespace
