#include "main_window/frm_pass.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "main_window/form1.h"
#include "support/finti.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

class FrmPassTest : public ::testing::Test {
  protected:
    FrmPassTest() { form1["cmdPass"].testo = "Inserisci Pass&word"; }

    fs::path Vorn() const { return sistema / "Vorn.lst"; }

    test::CartellaTemporanea programma, sistema;
    core::FileDati file{core::FileSystemReale(), programma.path(), sistema.path()};
    core::StatoConto stato;
    grid::Griglia griglia;
    test::DialoghiFinti dialoghi;
    test::FinestraFinta form1, frmPass;
    ui::Contesto contesto{stato, griglia, file, dialoghi, form1, [] { return core::Data{}; }};
    main_window::FrmPass logica{frmPass, contesto};
};

enum class Azione { Ok, Invio, Annulla, Chiusura };  // Invio must behave exactly as Ok

// verifica: the start-up role (check the typed password), else setting a new one.
struct Caso {
    bool verifica;
    Azione azione;
    const char *testo, *messaggio, *vorn, *inserita;  // vorn nullptr: no password file
    bool terminato = false;
};

class FrmPassCasi : public FrmPassTest, public ::testing::WithParamInterface<Caso> {};

TEST_P(FrmPassCasi, MessaggioFileEChiusura) {
    const Caso& c = GetParam();
    stato.VerificaPassword = c.verifica;
    frmPass["txtPass1"].testo = c.testo;
    c.azione == Azione::Ok        ? logica.cmdOk_Click()
    : c.azione == Azione::Invio   ? logica.txtPass1_KeyPress(main_window::kTastoInvio)
    : c.azione == Azione::Annulla ? logica.cmdAnnulla_Click()
                                  : logica.Form_Chiusura();

    const bool rifiutata = *c.messaggio != '\0';
    EXPECT_EQ(dialoghi.testiMessaggi(),
              rifiutata ? std::vector<std::string>{c.messaggio} : std::vector<std::string>{});
    EXPECT_EQ(frmPass.focus, rifiutata ? "txtPass1" : "");
    EXPECT_EQ(frmPass.chiusa, !rifiutata);
    EXPECT_EQ(dialoghi.terminato, c.terminato);
    EXPECT_EQ(stato.PasswordInserita, c.inserita);
    std::ostringstream vorn;
    if (fs::exists(Vorn())) vorn << std::ifstream(Vorn(), std::ios::binary).rdbuf();
    EXPECT_EQ(vorn.str(), c.vorn ? c.vorn : "");
    EXPECT_EQ(fs::exists(Vorn()), c.vorn != nullptr);
    EXPECT_EQ(form1["cmdPass"].testo, c.vorn ? "Rimuovi Pass&word" : "Inserisci Pass&word");
}

constexpr const char* kNonMemorizzabile =
    "Questa password non può essere memorizzata: lo spazio in posizione 2 non può essere "
    "scritto nel file della password. Sceglierne un'altra.";
constexpr auto kOk = Azione::Ok, kInvio = Azione::Invio;

// At start-up nothing is stored: the typed text is only handed over. Only Cancel at
// start-up ends the program.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Casi, FrmPassCasi, ::testing::Values(
    Caso{false, kOk, "   ", "Manca la Password", nullptr, ""},
    Caso{true, kInvio, "", "Manca la Password", nullptr, ""},
    Caso{false, kInvio, "  Segreto  ", "", "\"Tgjvjzv\"\r\n", ""},
    Caso{false, kOk, "Segreto ", "", "\"Tgjvjzv\"\r\n", ""},
    Caso{true, kOk, " a b ", "", nullptr, "a b"},
    Caso{false, kOk, "a b", kNonMemorizzabile, nullptr, ""},
    Caso{false, kOk, "x!", "", "\"y#\"\r\n", ""},
    Caso{false, kOk, "!x", "Questa password non può essere memorizzata: il carattere \"!\" in "
         "posizione 1 non può essere scritto nel file della password. Sceglierne un'altra.",
         nullptr, ""},
    Caso{false, kInvio, "\xC5\x81", "La password contiene caratteri non ammessi: usare solo "
                                   "lettere, cifre e segni comuni", nullptr, ""},
    Caso{true, Azione::Annulla, "Segreto", "", nullptr, "", true},
    Caso{false, Azione::Annulla, "Segreto", "", nullptr, ""},
    Caso{true, Azione::Chiusura, "Segreto", "", nullptr, ""},
    Caso{false, Azione::Chiusura, "Segreto", "", nullptr, ""}));
// clang-format on

struct FinestreFinte : main_window::ApriFinestre {
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

TEST_F(CmdPassTest, NoAllaDomandaTieneLaPassword) {
    std::ofstream(Vorn()) << "\"Tgjvjzv\"\r\n";
    dialoghi.risposte = {ui::Risposta::No};
    principale.cmdPass_Click();
    ASSERT_EQ(dialoghi.messaggi.size(), 1u);
    EXPECT_EQ(dialoghi.messaggi[0].titolo, "Rimuovi password");
    EXPECT_EQ(dialoghi.messaggi[0].predefinita, ui::Risposta::Si);
    EXPECT_TRUE(fs::exists(Vorn()));
    EXPECT_EQ(finestre.aperturePassword, 0);
}

// With the file gone behind the program's back the window must not open in its start-up
// role, where Cancel would end the program and OK would store nothing.
TEST_F(CmdPassTest, LaFinestraDalBottoneImpostaSempreUnaNuovaPassword) {
    principale.cmdPass_Click();
    EXPECT_EQ(finestre.aperturePassword, 1);
    EXPECT_FALSE(stato.VerificaPassword);
}

}  // namespace
