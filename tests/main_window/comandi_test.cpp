#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <limits>

#include "core/amounts.h"
#include "entry/form_inserimento.h"
#include "main_window/form1.h"
#include "support/contesto_finto.h"

namespace {

namespace fs = std::filesystem;
using core::Money;

Money Unita(std::int64_t u) {
    return Money::FromUnits(u);
}

class NessunaFinestra : public main_window::ApriFinestre {
  public:
    void ApriInserimento(const core::TipoMovimento&) override {}
    void ApriPassword() override {}
    void ApriStampa() override {}
};

class ComandiTest : public ::testing::Test, public test::ContestoFinto {
  protected:
    ComandiTest() {
        form1["Grid"].posizione = {143, 480, 8985, 3135};
        form1["Label1"].posizione = {4020, 120, 1455, 375};
    }

    // Puts the window's captions in step with `modo`, as loading does.
    void modo(std::string_view m) {
        stato.ModoValuta = m;
        const bool lire = m == "Lire";
        form1.ImpostaTesto("CmdEuro", lire ? "&Gestisci in €uro" : "&Gestisci in Lire");
        form1.ImpostaTesto("Label2", lire ? "£." : "€.");
        form1.ImpostaTesto("Label6", lire ? "£ire" : "€uro");
    }
    // CmdEuro, Label2 and Label6.
    std::vector<std::string> didascalie() {
        return {form1.Testo("CmdEuro"), form1.Testo("Label2"), form1.Testo("Label6")};
    }

    void entra(std::string_view tipo, std::string_view importo) {
        const core::TipoMovimento* t = nullptr;
        for (const auto& x : core::TipiMovimento())
            if (x.caption == tipo) t = &x;
        test::FinestraFinta finestra;
        entry::FormInserimento form(*t, contesto, finestra);
        form.Form_Load();
        finestra.ImpostaTesto("txtImporto", importo);
        form.cmdOk_Click();
        ASSERT_TRUE(finestra.chiusa);
    }

    NessunaFinestra finestre_;
    main_window::Form1 form1Logica_{contesto, finestre_};
};

TEST_F(ComandiTest, RegistroMistoRimossoAllIndietro) {
    modo("Lire");
    entra("Versamento", "1.000.000");
    entra("Prelievo", "200.000");
    form1Logica_.CmdEuro_Click();
    EXPECT_EQ(stato.SaldoConto, Money::FromRaw(4131655));
    EXPECT_EQ(griglia.TextMatrix(2, 4), "413,17");
    entra("Versamento", "100,00");
    EXPECT_EQ(griglia.TextMatrix(3, 4), "513,17");

    form1Logica_.Rimuoviu_Click();
    EXPECT_EQ(stato.SaldoConto, Money::FromRaw(4131655));
    EXPECT_EQ(stato.ModoValuta, "Euro");
    EXPECT_EQ(form1.Testo("txtSaldo"), "413,17");

    form1Logica_.Rimuoviu_Click();
    EXPECT_EQ(stato.SaldoConto, Money::FromRaw(9999999627));
    EXPECT_EQ(stato.ModoValuta, "Lire");
    EXPECT_EQ(didascalie(), (std::vector<std::string>{"&Gestisci in €uro", "£", "£ire"}));
    EXPECT_EQ(form1.Testo("txtSaldo"), "1.000.000");
    EXPECT_EQ(form1.ColoreTesto("txtSaldo"), ui::kNero);
    EXPECT_EQ(griglia.Rows(), 2);
    EXPECT_TRUE(dialoghi.messaggi.empty());
}

// The last row reversed: the balance by its cause, the mode from the new last row's balance
// text, the credit line converted past the 600,000 threshold.
struct CasoStorno {
    const char* nome;
    const char* modo;
    const char* causale;         // of the row removed
    const char* importo;         // its amount
    const char* saldoPenultima;  // its comma decides the new mode
    Money saldo, fido, saldoDopo, fidoDopo;
};

class Storno : public ComandiTest, public ::testing::WithParamInterface<CasoStorno> {};

TEST_P(Storno, SaldoFidoEDivisa) {
    const auto& c = GetParam();
    modo(c.modo);
    stato.SaldoConto = c.saldo;
    stato.FidoConto = c.fido;
    righe({{"01/01/2003", "Versamento", "", "1", "1"},
           {"01/01/2003", "Versamento", "", "1", c.saldoPenultima},
           {"02/01/2003", c.causale, "", c.importo, "0"}});
    form1Logica_.Rimuoviu_Click();
    const std::string modoDopo = std::strchr(c.saldoPenultima, ',') ? "Euro" : "Lire";
    EXPECT_EQ(griglia.Rows(), 3);
    EXPECT_EQ(stato.SaldoConto, c.saldoDopo);
    EXPECT_EQ(stato.FidoConto, c.fidoDopo);
    EXPECT_EQ(stato.ModoValuta, modoDopo);
    EXPECT_EQ(form1.Testo("txtSaldo"), core::FormatoModo(c.saldoDopo, modoDopo));
}

const Money kNulla{};

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Tabella, Storno,
    ::testing::Values(
        CasoStorno{"Prelievo", "Lire", "Prelievo", "200.000", "1", Unita(1000000), kNulla, Unita(1200000), kNulla},
        CasoStorno{"Versamento", "Lire", "Versamento", "200.000", "1", Unita(1000000), kNulla, Unita(800000), kNulla},
        CasoStorno{"BonificoADebito", "Lire", "Bonifico a debito", "200.000", "1", Unita(1000000), kNulla, Unita(1200000), kNulla},
        CasoStorno{"FidoEuroDaLireGrandi", "Euro", "Versamento", "1,00", "1,00", kNulla, Unita(-2000000), Unita(-1), Money::FromRaw(-10329138)},
        CasoStorno{"FidoEuroSogliaEsattaNonConvertita", "Euro", "Versamento", "1,00", "1,00", kNulla, Unita(-600000), Unita(-1), Unita(-600000)},
        CasoStorno{"FidoEuroPiccoloRestaEuro", "Euro", "Versamento", "1,00", "1,00", kNulla, Unita(-500), Unita(-1), Unita(-500)},
        CasoStorno{"FidoLireDaEuro", "Euro", "Versamento", "1,00", "1", kNulla, Unita(-500), Unita(-1), Unita(-968135)},
        CasoStorno{"FidoLireSogliaEsattaNonConvertita", "Euro", "Versamento", "1,00", "1", kNulla, Unita(-600000), Unita(-1), Unita(-600000)},
        CasoStorno{"FidoLireGrandiRestano", "Euro", "Versamento", "1,00", "1", kNulla, Unita(-2000000), Unita(-1), Unita(-2000000)}),
    [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

TEST_F(ComandiTest, RimozioniCheLascianoDodiciRigheStringono) {
    modo("Lire");
    for (int i = 0; i < 13; ++i) righe({{"01/01/2003", "Versamento", "", "1", "1"}});
    form1Logica_.Rimuovi_Click();  // 13 rows left
    EXPECT_EQ(form1.Posizione("Grid").width, 8985);
    form1Logica_.Rimuovi_Click();  // 12
    EXPECT_EQ(form1.Posizione("Grid").width, 8745);
    EXPECT_EQ(form1.Posizione("Label1").left, 3970);
    form1Logica_.Rimuoviu_Click();  // 11
    EXPECT_EQ(form1.Posizione("Grid").width, 8745);
    EXPECT_EQ(griglia.Rows(), 11);
}

TEST_F(ComandiTest, RimuoviPrimoLasciaIlSaldo) {
    modo("Lire");
    stato.SaldoConto = Unita(1000000);
    righe({{"01/01/2003", "Versamento", "primo", "1", "1"},
           {"02/01/2003", "Prelievo", "ultimo", "200.000", "1.000.000"}});
    form1Logica_.Rimuovi_Click();
    EXPECT_EQ(griglia.Rows(), 2);
    EXPECT_EQ(griglia.TextMatrix(1, 2), "ultimo");
    EXPECT_EQ(stato.SaldoConto, Unita(1000000));
}

// An unreadable amount, or a reversal that overflows, is reported and nothing changes.
class RimozioneImpossibile : public ComandiTest,
                             public ::testing::WithParamInterface<std::tuple<const char*, Money>> {
};

TEST_P(RimozioneImpossibile, NonRimuoveNulla) {
    const auto [importo, saldo] = GetParam();
    modo("Euro");
    stato.SaldoConto = saldo;
    righe(
        {{"01/01/2003", "Versamento", "", "1", "1"}, {"01/01/2003", "Prelievo", "", importo, "2"}});
    form1Logica_.Rimuoviu_Click();
    EXPECT_EQ(griglia.Rows(), 3);
    EXPECT_EQ(stato.SaldoConto, saldo);
    EXPECT_EQ(stato.ModoValuta, "Euro");
    EXPECT_EQ(dialoghi.messaggi.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Tabella, RimozioneImpossibile,
    ::testing::Values(std::make_tuple("x1", Unita(7)),
                      std::make_tuple("1", Money::FromRaw(std::numeric_limits<std::int64_t>::max() /
                                                          100))));

class Azzeramento : public ComandiTest, public ::testing::WithParamInterface<ui::Risposta> {};

TEST_P(Azzeramento, DomandaSullUnicoMovimento) {
    const bool si = GetParam() == ui::Risposta::Si;
    modo("Lire");
    stato.SaldoConto = Unita(5);
    righe({{"01/01/2003", "Versamento", "", "5", "5"}});
    ASSERT_FALSE(file.SalvaRegistro(griglia.righe()));
    ASSERT_FALSE(file.SalvaParametri({"Lire", Unita(5), Money{}}));
    ASSERT_FALSE(file.SalvaConto("123", "Banca"));
    ASSERT_FALSE(file.SalvaPassword("segreta"));

    for (auto comando : {&main_window::Form1::Rimuovi_Click, &main_window::Form1::Rimuoviu_Click}) {
        dialoghi.risposte.push_back(GetParam());
        (form1Logica_.*comando)();
        if (si) break;
    }
    ASSERT_FALSE(dialoghi.messaggi.empty());
    const auto& domanda = dialoghi.messaggi[0];
    EXPECT_EQ(domanda.testo,
              "Attenzione rimuovendo l'ultima riga,verrà azzerato anche il Saldo e i vari "
              "parametri precedentemente impostati.Sarà comunque necessario riavviare "
              "l'applicazione. Procedere?");
    EXPECT_EQ(domanda.titolo, "Rimozione movimenti");
    EXPECT_EQ(domanda.pulsanti, ui::Pulsanti::SiNo);
    EXPECT_EQ(domanda.icona, ui::Icona::Esclamazione);
    EXPECT_EQ(domanda.predefinita, ui::Risposta::Si);
    EXPECT_EQ(dialoghi.terminato, si);
    EXPECT_EQ(griglia.Rows(), 2);
    EXPECT_EQ(stato.SaldoConto, Unita(5));

    // The shutdown that follows must not write the deleted files back.
    form1Logica_.Form_Unload();
    for (const char* nome : {"listcol1.txt", "listcol5.txt", "para.txt", "dati.txt"})
        EXPECT_EQ(fs::exists(dir / nome), !si) << nome;
    EXPECT_EQ(file.esistePassword(), !si);
}

TEST_F(ComandiTest, AzzeramentoConFileNonEliminabile) {
    righe({{"01/01/2003", "Versamento", "", "5", "5"}});
    ASSERT_FALSE(file.SalvaRegistro(griglia.righe()));
    disco.Guasta({.operazione = test::Operazione::Elimina, .nome = "listcol3"});
    dialoghi.risposte.push_back(ui::Risposta::Si);
    form1Logica_.Rimuoviu_Click();
    ASSERT_EQ(dialoghi.messaggi.size(), 2u);
    EXPECT_NE(dialoghi.messaggi[1].testo.find("listcol3.txt"), std::string::npos)
        << dialoghi.messaggi[1].testo;
    EXPECT_TRUE(dialoghi.terminato);
}

INSTANTIATE_TEST_SUITE_P(Tabella, Azzeramento,
                         ::testing::Values(ui::Risposta::Si, ui::Risposta::No));

struct CasoSaldo {
    const char* nome;
    const char* modo;
    Money saldo;
    std::string predefinito;
    std::string digitato;
    Money saldoDopo;
    std::string testoDopo;  // txtSaldo and the last row's "Saldo" cell
    ui::Colore colore;
    std::vector<std::string> messaggi;
};

class ModificaSaldo : public ComandiTest, public ::testing::WithParamInterface<CasoSaldo> {};

TEST_P(ModificaSaldo, PropostaEdEsito) {
    const auto& c = GetParam();
    modo(c.modo);
    stato.SaldoConto = c.saldo;
    form1.ImpostaTesto("txtSaldo", "prima");
    righe({{"01/01/2003", "Versamento", "", "1", "1"},
           {"01/01/2003", "Versamento", "", "1", "prima"}});
    dialoghi.inputDigitati.push_back(c.digitato);
    form1Logica_.CmdSaldo_Click();
    ASSERT_EQ(dialoghi.input.size(), 1u);
    EXPECT_EQ(dialoghi.input[0].prompt, "Modifica/imposta nuovo saldo.");
    EXPECT_EQ(dialoghi.input[0].titolo, "Quibora Lite Edition");
    EXPECT_EQ(dialoghi.input[0].predefinito, c.predefinito);
    EXPECT_EQ(stato.SaldoConto, c.saldoDopo);
    EXPECT_EQ(form1.Testo("txtSaldo"), c.testoDopo);
    EXPECT_EQ(griglia.TextMatrix(2, 4), c.testoDopo);
    EXPECT_EQ(griglia.TextMatrix(1, 4), "1");
    EXPECT_EQ(form1.ColoreTesto("txtSaldo"), c.colore);
    EXPECT_EQ(dialoghi.testiMessaggi(), c.messaggi);
}

const std::vector<std::string> kCifraNonValida{"Cifra non valida"};

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Tabella, ModificaSaldo,
    ::testing::Values(
        CasoSaldo{"LireZeroProponeZero", "Lire", kNulla, "0", "", kNulla, "prima", ui::kNero, {}},
        CasoSaldo{"LireProponeGruppi", "Lire", Unita(1500000), "1.500.000", "1.500.000", Unita(1500000), "1.500.000",
                  ui::kNero, {}},
        CasoSaldo{"EuroZero", "Euro", kNulla, "0,00", "-250", Unita(-250), "-250,00", ui::kRosso, {}},
        CasoSaldo{"EuroArrotondaLaProposta", "Euro", Money::FromRaw(5164569), "516,46", "516,46",
                  Money::FromRaw(5164600), "516,46", ui::kNero, {}},
        CasoSaldo{"LireZeroSvuota", "Lire", Unita(10), "10", "0", kNulla, "", ui::kNero, {}},
        CasoSaldo{"LireConDecimali", "Lire", Unita(10), "10", "100,75", Money::FromRaw(1007500), "101", ui::kNero, {}},
        CasoSaldo{"NonValida", "Lire", Unita(10), "10", "abc", Unita(10), "prima", ui::kNero, kCifraNonValida},
        CasoSaldo{"FuoriIntervallo", "Euro", Unita(10), "10,00", "9999999999999999", Unita(10), "prima", ui::kNero,
                  kCifraNonValida}),
    [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

struct CasoFidoDigitato {
    const char* nome;
    const char* modo;
    Money fido;
    std::string prompt;
    std::string digitato;
    Money fidoDopo;
    std::vector<std::string> messaggi;
};

class ImpostaFido : public ComandiTest, public ::testing::WithParamInterface<CasoFidoDigitato> {};

TEST_P(ImpostaFido, PromptEdEsito) {
    const auto& c = GetParam();
    modo(c.modo);
    stato.FidoConto = c.fido;
    dialoghi.inputDigitati.push_back(c.digitato);
    form1Logica_.Cmdfido_Click();
    ASSERT_EQ(dialoghi.input.size(), 1u);
    EXPECT_EQ(dialoghi.input[0].prompt,
              "Imposta fido accordato. Fido impostato attualmente:\r\r" + c.prompt);
    EXPECT_EQ(dialoghi.input[0].titolo, "Quibora Lite Edition");
    EXPECT_EQ(dialoghi.input[0].predefinito, "");
    EXPECT_EQ(stato.FidoConto, c.fidoDopo);
    EXPECT_EQ(dialoghi.testiMessaggi(), c.messaggi);
}

const std::vector<std::string> kSegnoPiu{"Non è ammesso il segno '+' prima dell'importo"};

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Tabella, ImpostaFido,
    ::testing::Values(
        CasoFidoDigitato{"LireSenzaFido", "Lire", kNulla, "£.  ", "500", Unita(-500), {}},
        CasoFidoDigitato{"LireMostraIlModulo", "Lire", Unita(-500), "£.  500", "0", kNulla, {}},
        CasoFidoDigitato{"EuroSenzaFido", "Euro", kNulla, "€.  0,00", "1.000,5", Money::FromRaw(-10005000), {}},
        CasoFidoDigitato{"Annulla", "Euro", Unita(-5), "€.  5,00", "", Unita(-5), {}},
        CasoFidoDigitato{"PiuDavanti", "Lire", Unita(-5), "£.  5", "+500", Unita(-5), kSegnoPiu},
        CasoFidoDigitato{"MenoDiventaDoppioSegno", "Lire", Unita(-5), "£.  5", "-500", Unita(-5), kCifraNonValida}),
    [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

TEST_F(ComandiTest, CambioDivisaAndataERitorno) {
    modo("Lire");
    stato.SaldoConto = Unita(1000000);
    stato.FidoConto = Unita(-500000);
    righe({{"01/01/2003", "Versamento", "", "1.000.000", "1.000.000"}});

    form1Logica_.CmdEuro_Click();
    EXPECT_EQ(stato.SaldoConto, Money::FromRaw(5164569));
    EXPECT_EQ(stato.FidoConto, Money::FromRaw(-2582284));
    EXPECT_EQ(stato.ModoValuta, "Euro");
    EXPECT_EQ(form1.Testo("txtSaldo"), "516,46");
    EXPECT_EQ(griglia.TextMatrix(1, 4), "516,46");
    EXPECT_EQ(griglia.TextMatrix(1, 3), "1.000.000");
    EXPECT_EQ(didascalie(), (std::vector<std::string>{"&Gestisci in Lire", "€.", "€uro"}));

    form1Logica_.CmdEuro_Click();
    EXPECT_EQ(stato.SaldoConto, Money::FromRaw(10000000018));
    EXPECT_EQ(stato.ModoValuta, "Lire");
    EXPECT_EQ(form1.Testo("txtSaldo"), "1.000.000");
    EXPECT_EQ(didascalie(), (std::vector<std::string>{"&Gestisci in €uro", "£.", "£ire"}));
}

// A zero balance in lire shows "0" in the box and leaves the last row's cell empty.
TEST_F(ComandiTest, SaldoZeroInLire) {
    modo("Euro");
    form1Logica_.CmdEuro_Click();
    EXPECT_EQ(form1.Testo("txtSaldo"), "0");
    EXPECT_EQ(stato.ModoValuta, "Lire");
    EXPECT_EQ(test::LeggiByte(dir / "listcol1.txt"), "");
    ASSERT_TRUE(fs::exists(dir / "listcol1.txt"));

    modo("Euro");
    righe({{"01/01/2003", "Versamento", "", "1,00", "0,00"}});
    form1Logica_.CmdEuro_Click();
    EXPECT_EQ(form1.Testo("txtSaldo"), "0");
    EXPECT_EQ(griglia.TextMatrix(1, 4), "");
}

TEST_F(ComandiTest, ConversioneFuoriIntervalloNonCambiaNulla) {
    modo("Euro");
    const Money enorme = Money::FromRaw(std::numeric_limits<std::int64_t>::max() / 1000);
    stato.SaldoConto = enorme;
    form1.ImpostaTesto("txtSaldo", "prima");
    form1Logica_.CmdEuro_Click();
    EXPECT_EQ(stato.SaldoConto, enorme);
    EXPECT_EQ(stato.ModoValuta, "Euro");
    EXPECT_EQ(didascalie(), (std::vector<std::string>{"&Gestisci in Lire", "€.", "€uro"}));
    EXPECT_EQ(form1.Testo("txtSaldo"), "prima");
    EXPECT_EQ(dialoghi.messaggi.size(), 1u);
}

}  // namespace
