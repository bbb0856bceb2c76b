#include "setup/form17.h"

#include <gtest/gtest.h>

#include "support/contesto_finto.h"

namespace {

struct Caso {
    const char* nome;
    const char* conto;
    const char* banca;
    bool conPassword;
    const char* password;
    std::string messaggio;  // empty: the account is saved and the main window opens
    const char* focus;
};

// OK refuses an empty or unstorable field with its message and the focus on it, and then
// writes nothing; a ticked password box asks for a storable password, an unticked one
// ignores what its hidden box holds.
class Form17Ok : public testing::TestWithParam<Caso>, public test::ContestoFinto {};

TEST_P(Form17Ok, RifiutaOSalva) {
    const Caso& c = GetParam();
    test::FinestraFinta f;
    f["TxtConto"].testo = c.conto;
    f["TxtBanca"].testo = c.banca;
    f["txtPass"].testo = c.password;
    f["ChPass"].selezionato = c.conPassword;
    bool aperta = false;
    setup::Form17 form(f, stato, file, dialoghi, [&] { aperta = true; });
    form.ChPass_Click();
    form.CmdOk_Click();
    if (c.messaggio.empty()) {
        std::string numero, banca;
        ASSERT_EQ(file.LeggiConto(numero, banca), 0);
        EXPECT_EQ(numero + "|" + banca, std::string(c.conto) + "|" + c.banca);
        EXPECT_EQ(file.esistePassword(), c.conPassword);
        EXPECT_EQ(stato.PasswordSalvata, c.conPassword ? "segreta" : "");
        EXPECT_TRUE(aperta && f.chiusa);
        return;
    }
    EXPECT_EQ(dialoghi.testiMessaggi(), std::vector<std::string>{c.messaggio});
    EXPECT_EQ(f.focus, c.focus);
    EXPECT_FALSE(aperta || f.chiusa || file.esisteConto() || file.esistePassword());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Tabella, Form17Ok, testing::Values(
    Caso{"ContoMancante", "  ", "Banca", false, "", setup::kMsgMancaConto, "TxtConto"},
    Caso{"ContoConVirgolette", "12\"3", "Banca", false, "", setup::kMsgContoNonValido, "TxtConto"},
    Caso{"BancaMancante", "123", " ", false, "", setup::kMsgMancaBanca, "TxtBanca"},
    Caso{"BancaConVirgolette", "123", "Banca \"Uno\"", false, "", setup::kMsgBancaNonValida, "TxtBanca"},
    Caso{"PasswordMancante", "123", "Banca", true, "  ", setup::kMsgMancaPassword, ""},
    Caso{"PasswordNonMemorizzabile", "123", "Banca", true, "!a",
         "Questa password non può essere memorizzata: il carattere \"!\" in posizione 1 non può "
         "essere scritto nel file della password. Sceglierne un'altra.", "txtPass"},
    Caso{"ConPassword", "123", "Banca Uno", true, " segreta ", "", ""},
    Caso{"SenzaPassword", "123", "Banca Uno", false, "nascosta", "", ""}),
    [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

}  // namespace
