#include "main_window/form1.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "core/codifica.h"
#include "main_window/frm_pass.h"
#include "support/contesto_finto.h"

namespace {

namespace fs = std::filesystem;

class FinestreAperte : public main_window::ApriFinestre {
  public:
    void ApriInserimento(const core::TipoMovimento& t) override { aperte.emplace_back(t.finestra); }
    void ApriPassword() override { aperte.emplace_back("frmPass"); }
    void ApriStampa() override { aperte.emplace_back("frmStampa"); }
    std::vector<std::string> aperte;
};

// The main window's design layout.
const std::map<std::string, ui::Rettangolo> kProgetto{
    {"Form1", {0, 0, 9285, 7200}},          {"Label1", {4020, 120, 1455, 375}},
    {"Grid", {143, 480, 8985, 3135}},       {"Label4", {1080, 3720, 1095, 255}},
    {"List1", {150, 4080, 3015, 2985}},     {"cmdPass", {7320, 3720, 1815, 255}},
    {"Cmdfido", {7320, 4080, 1815, 255}},   {"Rimuovi", {7320, 4440, 1815, 255}},
    {"Rimuoviu", {7320, 4800, 1815, 255}},  {"CmdStampa", {7320, 5160, 1815, 255}},
    {"CmdEuro", {7320, 5520, 1815, 255}},   {"CmdSaldo", {7320, 5880, 1815, 255}},
    {"CmdEsci", {7320, 6240, 1815, 255}},   {"Label3", {7920, 6480, 735, 255}},
    {"Label2", {7020, 6840, 255, 255}},     {"txtSaldo", {7320, 6780, 1815, 345}},
    {"Label5", {3840, 6840, 2355, 315}},    {"Label6", {6300, 6840, 495, 255}},
    {"Image1", {4380, 3960, 1665, 1410}},   {"Label7", {3840, 5400, 2775, 255}},
    {"txtDitta", {4080, 5760, 2535, 1095}},
};

void Scrivi(const fs::path& p, std::string_view byte) {
    std::ofstream(p, std::ios::binary) << byte;
}
std::string Riga(std::string_view voce) {
    return "\"" + std::string(voce) + "\"\r\n";
}
std::string Parametri(std::string_view modo, std::string_view saldo, std::string_view fido) {
    return "\"" + std::string(modo) + "\",\"" + *core::Codifica(saldo) + "\",\"" +
           *core::Codifica(fido) + "\"\r\n";
}

class Form1Test : public ::testing::Test, public test::ContestoFinto {
  protected:
    Form1Test() {
        oggi = {2001, 2, 3};
        for (const auto& [nome, r] : kProgetto) form1[nome].posizione = r;
        for (const char* nome : {"Rimuovi", "Rimuoviu", "CmdStampa"}) form1[nome].abilitato = false;
    }
    // Commas and accents in the texts must load back intact.
    static core::RigaRegistro Movimento(int i) {
        return {"01/02/2001", "Addebito boll.elettricità", "a, b è", "1,50", std::to_string(i)};
    }
    void scriviMovimenti(int quanti) {
        std::vector<core::RigaRegistro> righe;
        for (int i = 0; i < quanti; ++i) righe.push_back(Movimento(i));
        ASSERT_FALSE(file.SalvaRegistro(core::Registro(righe)));
    }

    FinestreAperte finestre_;
    main_window::Form1 logica_{contesto, finestre_};
};

struct Caricamento {
    const char* nome;
    const char* file;
    std::string contenuto;  // "-": the file is removed; "/": a folder takes its place
    int errore;
    std::string modoDopo;
    std::string mostrato;  // CmdEuro, Label2, Label6 and txtSaldo, joined by "|"
};

// Loading shows the saved currency, its captions and the balance in its format and colour; a
// load that fails returns the reader's error number and changes nothing. Neither writes.
class Form1Caricamento : public Form1Test, public ::testing::WithParamInterface<Caricamento> {};

TEST_P(Form1Caricamento, ValutaSaldoOErrore) {
    const auto& c = GetParam();
    scriviMovimenti(2);
    if (c.contenuto == "-")
        fs::remove(dir / c.file);
    else if (c.contenuto == "/")
        fs::create_directories(dir / c.file / "x");
    else if (c.file)
        Scrivi(dir / c.file, c.contenuto);
    const int scritture = disco.Chiamate(test::Operazione::Scrivi);
    EXPECT_EQ(logica_.Form_Load(), c.errore);
    // Nor does closing after a failed load write over the files it could not read.
    if (c.errore != 0) static_cast<void>(logica_.Form_Unload());
    EXPECT_EQ(disco.Chiamate(test::Operazione::Scrivi), scritture) << "loading writes nothing";
    EXPECT_EQ(stato.ModoValuta, c.modoDopo);
    std::string mostrato;
    for (const char* nome : {"CmdEuro", "Label2", "Label6"}) mostrato += form1.Testo(nome) + "|";
    EXPECT_EQ(mostrato + form1.Testo("txtSaldo"), c.mostrato);
    const bool negativo = c.mostrato.find("|-") != std::string::npos;
    EXPECT_EQ(form1.ColoreTesto("txtSaldo"), negativo ? ui::kRosso : ui::kNero);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Tabella, Form1Caricamento, ::testing::Values(
    Caricamento{"SenzaParametri", nullptr, "", 0, "Euro", "&Gestisci in Lire|€.|€uro|0,00"},
    Caricamento{"LireZero", "para.txt", Parametri("Lire", "0", "0"), 0, "Lire", "&Gestisci in €uro|£.|£ire|0"},
    Caricamento{"LireNegativo", "para.txt", Parametri("Lire", "-1500", "0"), 0, "Lire", "&Gestisci in €uro|£.|£ire|-1.500"},
    Caricamento{"Euro", "para.txt", Parametri("Euro", "1234,5", "0"), 0, "Euro", "&Gestisci in Lire|€.|€uro|1.234,50"},
    Caricamento{"Minuscolo", "para.txt", Parametri("lire", "-0,5", "0"), 0, "lire", "&Gestisci in Lire|€.|€uro|-0,50"},
    Caricamento{"RegistroIncompleto", "listcol3.txt", "-", 53, "", "|||"},
    Caricamento{"ParametriCorti", "para.txt", "\"Lire\",\"1\"\r\n", 62, "", "|||"},
    // A save marker that cannot be cleared: the interrupted save cannot be finished.
    Caricamento{"SalvataggioNonRecuperabile", ".salvataggio", "/", 75, "", "|||"}),
    [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

// The grid's design; what the number of movements decides: the buttons, and past eleven the
// wide window scrolled to the end; the password button's caption follows the password file.
class Form1Movimenti : public Form1Test, public ::testing::WithParamInterface<int> {};

TEST_P(Form1Movimenti, GrigliaPulsantiELarghezza) {
    const int n = GetParam();
    scriviMovimenti(n);
    if (n == 1) Scrivi(dir / "sys" / "Vorn.lst", Riga("y"));
    ASSERT_EQ(logica_.Form_Load(), 0);
    ASSERT_EQ(griglia.Rows(), n + 1);
    EXPECT_EQ(griglia.intestazione(),
              (core::RigaRegistro{"Data", "Causale", "Riferimento", "Importo", "Saldo"}));
    if (n > 0) {
        EXPECT_EQ(griglia.righe().riga(0), Movimento(0));
    }
    EXPECT_EQ(std::make_tuple(griglia.ColWidth(1), griglia.ColAlignment(2),
                              griglia.FixedAlignment(3), griglia.ForeColorFixed()),
              std::make_tuple(2200, grid::Allineamento::Sinistra, grid::Allineamento::Centro,
                              grid::ColoreRgb{128, 0, 0}));
    for (const char* pulsante : {"Rimuovi", "Rimuoviu", "CmdStampa"})
        EXPECT_EQ(form1.Abilitato(pulsante), n > 0) << pulsante;
    EXPECT_EQ(form1.Testo("cmdPass"), n == 1 ? "Rimuovi Pass&word" : "Inserisci Pass&word");
    const bool larga = n >= 12;
    EXPECT_EQ(std::make_tuple(form1.Posizione("Form1").width, form1.Posizione("CmdEsci").left,
                              griglia.TopRow()),
              std::make_tuple(larga ? 9525 : 9285, larga ? 7560 : 7320, larga ? n : 1));
}

INSTANTIATE_TEST_SUITE_P(Movimenti, Form1Movimenti, ::testing::Values(0, 1, 11, 12));

TEST_F(Form1Test, AllargaEStringiSpostanoDiQuantoPrevisto) {
    ui::AllargaFinestra(form1);
    const std::map<std::string, double> spostamenti{
        {"Label1", 50},  {"cmdPass", 240}, {"Label2", 240}, {"txtSaldo", 240}, {"Label5", 120},
        {"Label7", 120}, {"Image1", 120},  {"List1", 0},    {"Label4", 0}};
    for (const auto& [nome, di] : spostamenti)
        EXPECT_EQ(form1.Posizione(nome).left, kProgetto.at(nome).left + di) << nome;
    EXPECT_EQ(form1.Posizione("Form1").width, 9525);
    EXPECT_EQ(form1.Posizione("Grid").width, 9225);
    ui::StringiFinestra(form1);
    for (const auto& [nome, r] : kProgetto) EXPECT_EQ(form1.Posizione(nome), r) << nome;
}

// Exit saves both files once, even though the window closes after the program ends.
TEST_F(Form1Test, LaChiusuraSalvaUnaVoltaSolaEntrambiIFile) {
    scriviMovimenti(1);
    Scrivi(dir / "para.txt", Parametri("Lire", "20", "-100"));
    ASSERT_EQ(logica_.Form_Load(), 0);
    griglia.AddItem({"05/02/2001", "Prelievo", "cassa", "5", "15"});
    stato.SaldoConto = core::Money::FromUnits(15);

    logica_.CmdEsci_Click();
    EXPECT_TRUE(dialoghi.terminato);
    EXPECT_EQ(test::LeggiByte(dir / "para.txt"), Parametri("Lire", "15", "-100"));
    EXPECT_EQ(test::LeggiByte(dir / "listcol5.txt"),
              Riga(*core::Codifica("0")) + Riga(*core::Codifica("15")));
    fs::remove(dir / "para.txt");
    logica_.Form_Unload();  // the close box after the end of the program
    EXPECT_FALSE(fs::exists(dir / "para.txt")) << "saved twice";
}

// A failed shutdown save asks, staying by default; the session manager's save never asks.
// (The files kept and the answer Yes are the acceptance tests' part.)
TEST_F(Form1Test, UnSalvataggioFallitoAllUscitaChiedeSeUscireSenzaSalvare) {
    scriviMovimenti(1);
    ASSERT_EQ(logica_.Form_Load(), 0);
    disco.Guasta({.operazione = test::Operazione::Scrivi, .nome = "listcol"});
    EXPECT_FALSE(logica_.SalvaPerUscire(false));
    EXPECT_TRUE(dialoghi.messaggi.empty());
    EXPECT_FALSE(logica_.Form_Unload());
    ASSERT_EQ(dialoghi.messaggi.size(), 1u);
    EXPECT_EQ(dialoghi.messaggi[0].pulsanti, ui::Pulsanti::SiNo);
    EXPECT_EQ(dialoghi.messaggi[0].predefinita, ui::Risposta::No);
    EXPECT_FALSE(dialoghi.terminato);
}

// The list opens the entry window of the type at the clicked position.
TEST_F(Form1Test, LaListaApreIlTipoDellaPosizione) {
    for (int p : {-1, 0, 2, 14, 15}) logica_.List1_Click(p);
    logica_.CmdStampa_Click();
    EXPECT_EQ(finestre_.aperte,
              (std::vector<std::string>{"Form3", "Form2", "Form16", "frmStampa"}));
}

// The password button: with a password it asks before removing it and the caption turns
// back; without one it opens the window to set one (never the start-up check), whose OK
// stores the trimmed password and turns the caption again.
TEST_F(Form1Test, PulsanteEFinestraPassword) {
    scriviMovimenti(1);
    ASSERT_FALSE(file.SalvaPassword("segreta"));
    ASSERT_EQ(logica_.Form_Load(), 0);
    dialoghi.risposte = {ui::Risposta::No, ui::Risposta::Si};
    logica_.cmdPass_Click();
    EXPECT_TRUE(file.esistePassword());
    logica_.cmdPass_Click();
    EXPECT_FALSE(file.esistePassword());
    EXPECT_EQ(form1.Testo("cmdPass"), "Inserisci Pass&word");
    stato.VerificaPassword = true;
    logica_.cmdPass_Click();
    EXPECT_EQ(finestre_.aperte, std::vector<std::string>{"frmPass"});
    EXPECT_FALSE(stato.VerificaPassword);

    test::FinestraFinta finestra;
    finestra["txtPass1"].testo = " nuova ";
    main_window::FrmPass(finestra, contesto).cmdOk_Click();
    std::string salvata;
    ASSERT_EQ(file.LeggiPassword(salvata), 0);
    EXPECT_EQ(std::make_tuple(finestra.chiusa, stato.PasswordSalvata, core::Decodifica(salvata),
                              form1.Testo("cmdPass")),
              std::make_tuple(true, "nuova", "nuova", "Rimuovi Pass&word"));
}

}  // namespace
