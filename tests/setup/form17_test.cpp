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
    std::string numero, banca;
    static_cast<void>(file.LeggiConto(numero, banca));
    EXPECT_EQ(dialoghi.testiMessaggi(),
              c.messaggio.empty() ? std::vector<std::string>{} : std::vector{c.messaggio});
    EXPECT_EQ(f.focus, c.focus);
    const bool salvato = c.messaggio.empty();
    EXPECT_EQ(numero + "|" + banca, salvato ? std::string(c.conto) + "|" + c.banca : "|");
    EXPECT_EQ(std::make_tuple(aperta, f.chiusa, file.esistePassword(), stato.PasswordSalvata),
              std::make_tuple(salvato, salvato, salvato && c.conPassword,
                              salvato && c.conPassword ? "segreta" : ""));
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
