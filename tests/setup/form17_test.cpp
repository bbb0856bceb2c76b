#include "setup/form17.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/failing_file_system.h"
#include "support/finti.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

std::string Leggi(const fs::path& p) {
    std::ostringstream s;
    s << std::ifstream(p, std::ios::binary).rdbuf();
    return s.str();
}

class Form17Test : public ::testing::Test {
  protected:
    void Ok(const char* conto, const char* banca, const char* pass, bool conPassword = true) {
        f["TxtConto"].testo = conto;
        f["TxtBanca"].testo = banca;
        f["txtPass"].testo = pass;
        f["ChPass"].selezionato = conPassword;
        logica.ChPass_Click();
        f.focus = "-";
        logica.CmdOk_Click();
    }

    test::CartellaTemporanea programma, sistema;
    test::FileSystemDifettoso disco;
    core::FileDati file{disco, programma.path(), sistema.path()};
    core::StatoConto stato;
    test::FinestraFinta f;
    test::DialoghiFinti dialoghi;
    std::vector<bool> chiusaAllApertura;  // the window's state when the main window opens
    setup::Form17 logica{f, stato, file, dialoghi,
                         [this] { chiusaAllApertura.push_back(f.chiusa); }};
};

struct Rifiuto {
    const char *conto, *banca, *password, *messaggio, *focus;  // focus "-": not moved
};

class Form17Rifiuto : public Form17Test, public ::testing::WithParamInterface<Rifiuto> {};

TEST_P(Form17Rifiuto, SoloIlPrimoProblemaENessunFile) {
    const Rifiuto& r = GetParam();
    Ok(r.conto, r.banca, r.password);
    EXPECT_EQ(dialoghi.testiMessaggi(), std::vector<std::string>{r.messaggio});
    EXPECT_EQ(dialoghi.messaggi[0].icona, ui::Icona::Esclamazione);
    EXPECT_EQ(f.focus, r.focus);
    EXPECT_FALSE(f.chiusa);
    EXPECT_TRUE(chiusaAllApertura.empty());
    EXPECT_EQ(stato.NumeroConto, "");
    EXPECT_TRUE(fs::is_empty(programma.path()));
    EXPECT_TRUE(fs::is_empty(sistema.path()));
}

// A blank second, or "!" first, would scramble into a double quote.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Controlli, Form17Rifiuto, ::testing::Values(
    Rifiuto{"", "", "", setup::kMsgMancaConto, "TxtConto"},
    Rifiuto{"   ", "Banca", "pw", setup::kMsgMancaConto, "TxtConto"},
    Rifiuto{"12\"3", "", "", setup::kMsgContoNonValido, "TxtConto"},
    Rifiuto{"123", "  ", "", setup::kMsgMancaBanca, "TxtBanca"},
    Rifiuto{"123", "Bank \xc5\x81\xc3\xb3\x64\xc5\xba", "pw", setup::kMsgBancaNonValida, "TxtBanca"},
    Rifiuto{"123", "Banca\nUno", "pw", setup::kMsgBancaNonValida, "TxtBanca"},
    Rifiuto{"123", "Banca", "   ", setup::kMsgMancaPassword, "-"},
    Rifiuto{"123", "Banca", "a b", "Questa password non può essere memorizzata: lo spazio in "
            "posizione 2 non può essere scritto nel file della password. Sceglierne un'altra.",
            "txtPass"}));
// clang-format on

TEST_F(Form17Test, ScriveITestiComeDigitatiELaPasswordSenzaSpaziCodificata) {
    Ok(" 12345", "Banca Società ", "  Segreto  ");
    EXPECT_TRUE(dialoghi.messaggi.empty());
    EXPECT_EQ(Leggi(programma / "dati.txt"), "\" 12345\",\"Banca Societ\xe0 \"\r\n");
    EXPECT_EQ(Leggi(sistema / "Vorn.lst"), "\"Tgjvjzv\"\r\n");  // S+1 e+2 g+3 r+4 ...
    EXPECT_EQ(stato.NumeroConto, " 12345");
    EXPECT_EQ(chiusaAllApertura, std::vector<bool>{false});
    EXPECT_TRUE(f.chiusa);
}

TEST_F(Form17Test, SenzaLaCasellaUnaVecchiaPasswordRestaComEra) {
    std::ofstream(sistema / "Vorn.lst", std::ios::binary) << "\"vecchia\"\r\n";
    Ok("123", "Banca", "", false);
    EXPECT_FALSE(f["txtPass"].visibile);
    EXPECT_FALSE(f["lblPass"].visibile);
    EXPECT_EQ(Leggi(programma / "dati.txt"), "\"123\",\"Banca\"\r\n");
    EXPECT_EQ(Leggi(sistema / "Vorn.lst"), "\"vecchia\"\r\n");
}

// The account file must not appear without the password asked for, or the next start
// would open an unprotected register.
TEST_F(Form17Test, UnaPasswordNonScrittaNonLasciaIlConto) {
    disco.Guasta({.operazione = test::Operazione::Scrivi, .nome = "Vorn"});
    Ok("123", "Banca", "pw");
    ASSERT_EQ(dialoghi.messaggi.size(), 1u);
    EXPECT_NE(dialoghi.messaggi[0].testo.find("Vorn.lst"), std::string::npos);
    EXPECT_FALSE(f.chiusa);
    EXPECT_FALSE(fs::exists(programma / "dati.txt"));
}

}  // namespace
