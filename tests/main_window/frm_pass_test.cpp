#include "main_window/frm_pass.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "main_window/form1.h"
#include "support/finti.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

class FrmPassTest : public ::testing::Test {
  protected:
    FrmPassTest() { form1["cmdPass"].testo = "Inserisci Pass&word"; }

    fs::path Vorn() const { return sistema / "Vorn.lst"; }
    std::string LeggiVorn() const {
        std::ifstream in(Vorn(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // Enter in the text box must behave exactly as the OK button.
    void Conferma(const char* testo, bool invio) {
        frmPass["txtPass1"].testo = testo;
        if (invio)
            logica.txtPass1_KeyPress(main_window::kTastoInvio);
        else
            logica.cmdOk_Click();
    }

    test::CartellaTemporanea programma, sistema;
    core::FileDati file{core::FileSystemReale(), programma.path(), sistema.path()};
    core::StatoConto stato;
    grid::Griglia griglia;
    test::DialoghiFinti dialoghi;
    test::FinestraFinta form1, frmPass;
    ui::Contesto contesto{stato, griglia, file, dialoghi, form1, [] { return core::Data{}; }};
    main_window::FrmPass logica{frmPass, contesto};
};

class FrmPassInvioTest : public FrmPassTest, public ::testing::WithParamInterface<bool> {};

TEST_P(FrmPassInvioTest, ABlankPasswordIsRefusedInBothRoles) {
    for (bool verifica : {false, true}) {
        stato.VerificaPassword = verifica;
        frmPass.focus.clear();
        Conferma("   ", GetParam());
        EXPECT_EQ(frmPass.focus, "txtPass1");
    }
    EXPECT_EQ(dialoghi.testiMessaggi(),
              (std::vector<std::string>{"Manca la Password", "Manca la Password"}));
    EXPECT_FALSE(frmPass.chiusa);
    EXPECT_EQ(stato.PasswordInserita, "");
    EXPECT_FALSE(fs::exists(Vorn()));
}

TEST_P(FrmPassInvioTest, ANewPasswordIsStoredTrimmedAndScrambled) {
    Conferma("  Segreto  ", GetParam());

    EXPECT_TRUE(dialoghi.messaggi.empty());
    EXPECT_EQ(LeggiVorn(), "\"Tgjvjzv\"\r\n");
    EXPECT_EQ(form1["cmdPass"].testo, "Rimuovi Pass&word");
    EXPECT_TRUE(frmPass.chiusa);
}

// At start-up nothing is checked for storing, and the main window (which may not exist
// yet) is left to its loading.
TEST_P(FrmPassInvioTest, AtStartUpThePasswordIsOnlyHandedOver) {
    stato.VerificaPassword = true;
    Conferma(" a b ", GetParam());

    EXPECT_EQ(stato.PasswordInserita, "a b");
    EXPECT_TRUE(frmPass.chiusa);
    EXPECT_TRUE(dialoghi.messaggi.empty());
    EXPECT_FALSE(fs::exists(Vorn()));
    EXPECT_EQ(form1["cmdPass"].testo, "Inserisci Pass&word");
}

INSTANTIATE_TEST_SUITE_P(Modi, FrmPassInvioTest, ::testing::Bool());

TEST_F(FrmPassTest, AnUnstorablePasswordIsRefused) {
    Conferma("a b", false);
    EXPECT_EQ(dialoghi.messaggi.size(), 1u);
    EXPECT_EQ(frmPass.focus, "txtPass1");
    EXPECT_FALSE(frmPass.chiusa);
    EXPECT_FALSE(fs::exists(Vorn()));
}

struct CasoChiusura {
    bool verifica, annulla, terminato;  // annulla: the button, else the close box
};

class FrmPassChiusuraTest : public FrmPassTest,
                            public ::testing::WithParamInterface<CasoChiusura> {};

TEST_P(FrmPassChiusuraTest, OnlyCancelAtStartUpEndsTheProgram) {
    const CasoChiusura& caso = GetParam();
    stato.VerificaPassword = caso.verifica;
    frmPass["txtPass1"].testo = "Segreto";
    caso.annulla ? logica.cmdAnnulla_Click() : logica.Form_Chiusura();

    EXPECT_TRUE(frmPass.chiusa);
    EXPECT_EQ(dialoghi.terminato, caso.terminato);
    EXPECT_EQ(stato.PasswordInserita, "");
    EXPECT_FALSE(fs::exists(Vorn()));
}

INSTANTIATE_TEST_SUITE_P(Casi, FrmPassChiusuraTest,
                         ::testing::Values(CasoChiusura{true, true, true},
                                           CasoChiusura{false, true, false},
                                           CasoChiusura{true, false, false},
                                           CasoChiusura{false, false, false}));

class FinestreFinte : public main_window::ApriFinestre {
  public:
    void ApriInserimento(const core::TipoMovimento&) override {}
    void ApriPassword() override { ++aperturePassword; }
    void ApriStampa() override {}
    int aperturePassword = 0;
};

class CmdPassTest : public FrmPassTest {
  protected:
    CmdPassTest() { stato.VerificaPassword = true; }
    FinestreFinte finestre;
    main_window::Form1 principale{contesto, finestre};
};

TEST_F(CmdPassTest, NoToTheRemovalQuestionKeepsThePassword) {
    std::ofstream(Vorn()) << "\"Tgjvjzv\"\r\n";
    dialoghi.risposte = {ui::Risposta::No};
    principale.cmdPass_Click();

    ASSERT_EQ(dialoghi.messaggi.size(), 1u);
    EXPECT_EQ(dialoghi.messaggi[0].titolo, "Rimuovi password");
    EXPECT_EQ(dialoghi.messaggi[0].predefinita, ui::Risposta::Si);
    EXPECT_TRUE(fs::exists(Vorn()));
    EXPECT_TRUE(stato.VerificaPassword);
    EXPECT_EQ(finestre.aperturePassword, 0);
}

// With the file gone behind the program's back the window must not open in its start-up
// role, where Cancel would end the program and OK would store nothing.
TEST_F(CmdPassTest, TheWindowFromTheButtonAlwaysSetsANewPassword) {
    principale.cmdPass_Click();
    EXPECT_EQ(finestre.aperturePassword, 1);
    EXPECT_FALSE(stato.VerificaPassword);
}

}  // namespace
