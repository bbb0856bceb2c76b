#include "main_window/form1.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "core/scrambler.h"
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
    void scriviMovimenti(int quanti) {
        std::vector<core::RigaRegistro> righe;
        for (int i = 0; i < quanti; ++i)
            righe.push_back({"01/02/2001", "Versamento", "rif", "10.000", std::to_string(i)});
        ASSERT_FALSE(file.SalvaRegistro(righe));
    }

    FinestreAperte finestre_;
    main_window::Form1 logica_{contesto, finestre_};
};

struct CasoValuta {
    const char* nome;
    const char* modo;   // nullptr: no para.txt
    const char* saldo;  // plain money text, scrambled when written
    std::string modoDopo, cmdEuro, label2, label6, txtSaldo;
    ui::Colore colore;
};

// Loading shows the saved currency, its captions and the balance in its format and colour.
class Form1Valuta : public Form1Test, public ::testing::WithParamInterface<CasoValuta> {};

TEST_P(Form1Valuta, MostraLaDivisaEIlSaldo) {
    const auto& c = GetParam();
    if (c.modo) Scrivi(dir / "para.txt", Parametri(c.modo, c.saldo, "0"));
    ASSERT_EQ(logica_.Form_Load(), 0);
    EXPECT_EQ(stato.ModoValuta, c.modoDopo);
    EXPECT_EQ(form1.Testo("CmdEuro"), c.cmdEuro);
    EXPECT_EQ(form1.Testo("Label2"), c.label2);
    EXPECT_EQ(form1.Testo("Label6"), c.label6);
    EXPECT_EQ(form1.Testo("txtSaldo"), c.txtSaldo);
    EXPECT_EQ(form1.ColoreTesto("txtSaldo"), c.colore);
}

const char* const kInLire = "&Gestisci in €uro";
const char* const kInEuro = "&Gestisci in Lire";
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Tabella, Form1Valuta,
    ::testing::Values(
        CasoValuta{"SenzaParametri", nullptr, "", "Euro", kInEuro, "€.", "€uro", "0,00", ui::kNero},
        CasoValuta{"LireZero", "Lire", "0", "Lire", kInLire, "£.", "£ire", "0", ui::kNero},
        CasoValuta{"LireNegativo", "Lire", "-1500", "Lire", kInLire, "£.", "£ire", "-1.500", ui::kRosso},
        CasoValuta{"Euro", "Euro", "1234,5", "Euro", kInEuro, "€.", "€uro", "1.234,50", ui::kNero},
        CasoValuta{"Minuscolo", "lire", "-0,5", "lire", kInEuro, "€.", "€uro", "-0,50", ui::kRosso}),
    [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

struct CasoErrore {
    const char* nome;
    const char* file;
    std::string contenuto;  // the file is removed when this is "-"
    int numero;
};

// A load that fails returns the reader's error number and writes nothing.
class Form1Errore : public Form1Test, public ::testing::WithParamInterface<CasoErrore> {};

TEST_P(Form1Errore, RestituisceIlNumeroDelGuasto) {
    scriviMovimenti(2);
    const auto& c = GetParam();
    if (c.contenuto == "-")
        fs::remove(dir / c.file);
    else
        Scrivi(dir / c.file, c.contenuto);
    const int scritture = disco.Chiamate(test::Operazione::Scrivi);
    EXPECT_EQ(logica_.Form_Load(), c.numero);
    EXPECT_EQ(disco.Chiamate(test::Operazione::Scrivi), scritture) << "loading writes nothing";
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Tabella, Form1Errore,
    ::testing::Values(CasoErrore{"RegistroIncompleto", "listcol3.txt", "-", 53},
                      CasoErrore{"ParametriCorti", "para.txt", "\"Lire\",\"1\"\r\n", 62},
                      CasoErrore{"QuintoFileFinitoPrima", "listcol5.txt", Riga("1"), 62},
                      CasoErrore{"SaldoNonNumerico", "para.txt", Parametri("Lire", "abc", "0"), 13}),
    [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

// The grid's design, and the buttons and password caption that depend on what is on disk.
TEST_F(Form1Test, RegistroVuotoLasciaSoloLIntestazione) {
    ASSERT_EQ(logica_.Form_Load(), 0);
    EXPECT_EQ(griglia.Rows(), 1);
    EXPECT_EQ(griglia.intestazione(),
              (core::RigaRegistro{"Data", "Causale", "Riferimento", "Importo", "Saldo"}));
    EXPECT_EQ(griglia.ColWidth(1), 2200);
    EXPECT_EQ(griglia.ColAlignment(2), grid::Allineamento::Sinistra);
    EXPECT_EQ(griglia.FixedAlignment(3), grid::Allineamento::Centro);
    EXPECT_EQ(griglia.ForeColorFixed(), (grid::ColoreRgb{128, 0, 0}));
    EXPECT_FALSE(form1.Abilitato("CmdStampa"));
    EXPECT_EQ(form1.Testo("cmdPass"), "Inserisci Pass&word");
}

TEST_F(Form1Test, UnMovimentoConVirgoleEAccentiCaricaIntatto) {
    const core::RigaRegistro riga{"01/02/2001", "Addebito boll.elettricità", "a, b è", "1,50",
                                  "-1,50"};
    ASSERT_FALSE(file.SalvaRegistro({&riga, 1}));
    Scrivi(dir / "sys" / "Vorn.lst", Riga("y"));
    ASSERT_EQ(logica_.Form_Load(), 0);
    ASSERT_EQ(griglia.Rows(), 2);
    EXPECT_EQ(griglia.righe().riga(0), riga);
    for (const char* pulsante : {"Rimuovi", "Rimuoviu", "CmdStampa"})
        EXPECT_TRUE(form1.Abilitato(pulsante)) << pulsante;
    EXPECT_EQ(form1.Testo("cmdPass"), "Rimuovi Pass&word");
}

// More than eleven movements open the window wide, scrolled to the end.
class Form1Larghezza : public Form1Test, public ::testing::WithParamInterface<int> {};

TEST_P(Form1Larghezza, SiAllargaDaDodiciMovimenti) {
    scriviMovimenti(GetParam());
    ASSERT_EQ(logica_.Form_Load(), 0);
    const bool larga = GetParam() >= 12;
    EXPECT_EQ(form1.Posizione("Form1").width, larga ? 9525 : 9285);
    EXPECT_EQ(form1.Posizione("CmdEsci").left, larga ? 7560 : 7320);
    EXPECT_EQ(griglia.TopRow(), larga ? GetParam() : 1);
}

INSTANTIATE_TEST_SUITE_P(Movimenti, Form1Larghezza, ::testing::Values(11, 12));

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
    EXPECT_EQ(main_window::MessaggioErroreFatale(53),
              "Si è verificato l'errore N° 53 contattare il fornitore del programma.");
}

}  // namespace
