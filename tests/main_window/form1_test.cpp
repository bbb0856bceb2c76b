#include "main_window/form1.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "core/scrambler.h"
#include "support/failing_file_system.h"
#include "support/finti.h"
#include "support/temp_dir.h"

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

std::string Leggi(const fs::path& p) {
    std::ostringstream s;
    s << std::ifstream(p, std::ios::binary).rdbuf();
    return s.str();
}
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

class Form1Test : public ::testing::Test {
  protected:
    Form1Test() {
        fs::create_directories(dir_ / "sys");
        for (const auto& [nome, r] : kProgetto) finestra_[nome].posizione = r;
        for (const char* nome : {"Rimuovi", "Rimuoviu", "CmdStampa"})
            finestra_[nome].abilitato = false;
    }
    void scriviMovimenti(int quanti) {
        std::vector<core::RigaRegistro> righe;
        for (int i = 0; i < quanti; ++i)
            righe.push_back({"01/02/2001", "Versamento", "rif", "10.000", std::to_string(i)});
        ASSERT_FALSE(file_.SalvaRegistro(righe));
    }

    test::CartellaTemporanea dir_;
    test::FileSystemDifettoso disco_;
    core::FileDati file_{disco_, dir_.path(), dir_ / "sys"};
    core::StatoConto stato_;
    grid::Griglia griglia_;
    test::DialoghiFinti dialoghi_;
    test::FinestraFinta finestra_;
    ui::Contesto contesto_{stato_,    griglia_,  file_,
                           dialoghi_, finestra_, [] { return core::Data{2001, 2, 3}; }};
    FinestreAperte finestre_;
    main_window::Form1 form1_{contesto_, finestre_};
};

struct CasoValuta {
    const char* nome;
    const char* modo;   // nullptr: no para.txt
    const char* saldo;  // plain money text, scrambled when written
    std::string modoDopo, cmdEuro, label2, label6, txtSaldo;
    ui::Colore colore;
};

class Form1Valuta : public Form1Test, public ::testing::WithParamInterface<CasoValuta> {};

TEST_P(Form1Valuta, MostraLaDivisaEIlSaldo) {
    const auto& c = GetParam();
    if (c.modo) Scrivi(dir_ / "para.txt", Parametri(c.modo, c.saldo, "0"));
    ASSERT_EQ(form1_.Form_Load(), 0);
    EXPECT_EQ(stato_.ModoValuta, c.modoDopo);
    EXPECT_EQ(finestra_.Testo("CmdEuro"), c.cmdEuro);
    EXPECT_EQ(finestra_.Testo("Label2"), c.label2);
    EXPECT_EQ(finestra_.Testo("Label6"), c.label6);
    EXPECT_EQ(finestra_.Testo("txtSaldo"), c.txtSaldo);
    EXPECT_EQ(finestra_.ColoreTesto("txtSaldo"), c.colore);
}

const char* const kInLire = "&Gestisci in €uro";
const char* const kInEuro = "&Gestisci in Lire";
INSTANTIATE_TEST_SUITE_P(
    Tabella, Form1Valuta,
    ::testing::Values(
        CasoValuta{"SenzaParametri", nullptr, "", "Euro", kInEuro, "€.", "€uro", "0,00", ui::kNero},
        CasoValuta{"LireZero", "Lire", "0", "Lire", kInLire, "£.", "£ire", "0", ui::kNero},
        CasoValuta{"LireNegativo", "Lire", "-1500", "Lire", kInLire, "£.", "£ire", "-1.500",
                   ui::kRosso},
        CasoValuta{"Euro", "Euro", "1234,5", "Euro", kInEuro, "€.", "€uro", "1.234,50", ui::kNero},
        CasoValuta{"ModoVuoto", "", "0", "Euro", kInEuro, "€.", "€uro", "0,00", ui::kNero},
        CasoValuta{"Minuscolo", "lire", "-0,5", "lire", kInEuro, "€.", "€uro", "-0,50",
                   ui::kRosso}),
    [](const auto& info) { return std::string(info.param.nome); });

struct CasoErrore {
    const char* nome;
    const char* file;
    std::string contenuto;  // the file is removed when this is "-"
    int numero;
};

class Form1Errore : public Form1Test, public ::testing::WithParamInterface<CasoErrore> {};

TEST_P(Form1Errore, RestituisceIlNumeroDelGuasto) {
    scriviMovimenti(2);
    const auto& c = GetParam();
    if (c.contenuto == "-")
        fs::remove(dir_ / c.file);
    else
        Scrivi(dir_ / c.file, c.contenuto);
    const int scritture = disco_.Chiamate(test::Operazione::Scrivi);
    EXPECT_EQ(form1_.Form_Load(), c.numero);
    EXPECT_EQ(disco_.Chiamate(test::Operazione::Scrivi), scritture) << "loading writes nothing";
}

INSTANTIATE_TEST_SUITE_P(
    Tabella, Form1Errore,
    ::testing::Values(CasoErrore{"RegistroIncompleto", "listcol3.txt", "-", 53},
                      CasoErrore{"ParametriVuoti", "para.txt", "", 62},
                      CasoErrore{"ParametriCorti", "para.txt", "\"Lire\",\"1\"\r\n", 62},
                      CasoErrore{"QuintoFileFinitoPrima", "listcol5.txt", Riga("1"), 62},
                      CasoErrore{"SaldoNonNumerico", "para.txt", Parametri("Lire", "abc", "0"), 13},
                      CasoErrore{"SaldoFuoriIntervallo", "para.txt",
                                 Parametri("Euro", "99999999999999999999", "0"), 6},
                      CasoErrore{"ImportoIndecifrabile", "listcol4.txt",
                                 Riga("\x01\x01") + Riga("\x01\x01"), 5}),
    [](const auto& info) { return std::string(info.param.nome); });

TEST_F(Form1Test, RegistroVuotoLasciaSoloLIntestazione) {
    ASSERT_EQ(form1_.Form_Load(), 0);
    EXPECT_EQ(griglia_.Rows(), 1);
    EXPECT_EQ(griglia_.intestazione(),
              (core::RigaRegistro{"Data", "Causale", "Riferimento", "Importo", "Saldo"}));
    EXPECT_EQ(griglia_.ColWidth(1), 2200);
    EXPECT_EQ(griglia_.ColAlignment(2), grid::kAllineaSinistra);
    EXPECT_EQ(griglia_.FixedAlignment(3), grid::kAllineaCentro);
    EXPECT_EQ(griglia_.ForeColorFixed(), (grid::ColoreRgb{128, 0, 0}));
    EXPECT_FALSE(finestra_.Abilitato("CmdStampa"));
    EXPECT_EQ(finestra_.Testo("cmdPass"), "Inserisci Pass&word");
}

TEST_F(Form1Test, UnMovimentoConVirgoleEAccentiCaricaIntatto) {
    const core::RigaRegistro riga{"01/02/2001", "Addebito boll.elettricità", "a, b è", "1,50",
                                  "-1,50"};
    ASSERT_FALSE(file_.SalvaRegistro({&riga, 1}));
    Scrivi(dir_ / "sys" / "Vorn.lst", Riga("y"));
    ASSERT_EQ(form1_.Form_Load(), 0);
    ASSERT_EQ(griglia_.Rows(), 2);
    EXPECT_EQ(griglia_.righe().riga(0), riga);
    for (const char* pulsante : {"Rimuovi", "Rimuoviu", "CmdStampa"})
        EXPECT_TRUE(finestra_.Abilitato(pulsante)) << pulsante;
    EXPECT_EQ(finestra_.Testo("cmdPass"), "Rimuovi Pass&word");
}

class Form1Larghezza : public Form1Test, public ::testing::WithParamInterface<int> {};

TEST_P(Form1Larghezza, SiAllargaDaDodiciMovimenti) {
    scriviMovimenti(GetParam());
    ASSERT_EQ(form1_.Form_Load(), 0);
    const bool larga = GetParam() >= 12;
    EXPECT_EQ(finestra_.Posizione("Form1").width, larga ? 9525 : 9285);
    EXPECT_EQ(finestra_.Posizione("CmdEsci").left, larga ? 7560 : 7320);
    EXPECT_EQ(griglia_.TopRow(), larga ? GetParam() : 1);
}

INSTANTIATE_TEST_SUITE_P(Movimenti, Form1Larghezza, ::testing::Values(11, 12, 30));

TEST_F(Form1Test, AllargaEStringiSpostanoDiQuantoPrevisto) {
    ui::AllargaFinestra(finestra_);
    const std::map<std::string, double> spostamenti{
        {"Label1", 50},  {"cmdPass", 240}, {"Label2", 240}, {"txtSaldo", 240}, {"Label5", 120},
        {"Label7", 120}, {"Image1", 120},  {"List1", 0},    {"Label4", 0}};
    for (const auto& [nome, di] : spostamenti)
        EXPECT_EQ(finestra_.Posizione(nome).left, kProgetto.at(nome).left + di) << nome;
    EXPECT_EQ(finestra_.Posizione("Form1").width, 9525);
    EXPECT_EQ(finestra_.Posizione("Grid").width, 9225);
    ui::StringiFinestra(finestra_);
    for (const auto& [nome, r] : kProgetto) EXPECT_EQ(finestra_.Posizione(nome), r) << nome;
}

TEST_F(Form1Test, LaChiusuraSalvaUnaVoltaSolaEntrambiIFile) {
    scriviMovimenti(1);
    Scrivi(dir_ / "para.txt", Parametri("Lire", "20", "-100"));
    ASSERT_EQ(form1_.Form_Load(), 0);
    griglia_.AddItem("05/02/2001\tPrelievo\tcassa\t5\t15");
    stato_.SaldoConto = core::Money::FromUnits(15);

    form1_.CmdEsci_Click();
    EXPECT_TRUE(dialoghi_.terminato);
    EXPECT_EQ(Leggi(dir_ / "para.txt"), Parametri("Lire", "15", "-100"));
    EXPECT_EQ(Leggi(dir_ / "listcol5.txt"),
              Riga(*core::Codifica("0")) + Riga(*core::Codifica("15")));
    fs::remove(dir_ / "para.txt");
    form1_.Form_Unload();  // the close box after the end of the program
    EXPECT_FALSE(fs::exists(dir_ / "para.txt")) << "saved twice";
}

TEST_F(Form1Test, UnSalvataggioFallitoSiMostraEIlProgrammaFinisce) {
    scriviMovimenti(1);
    ASSERT_EQ(form1_.Form_Load(), 0);
    disco_.Guasta({.operazione = test::Operazione::Scrivi, .nome = "listcol"});
    form1_.Form_Unload();
    ASSERT_EQ(dialoghi_.messaggi.size(), 1u);
    EXPECT_NE(dialoghi_.messaggi[0].testo.find("listcol"), std::string::npos);
    EXPECT_EQ(dialoghi_.messaggi[0].icona, ui::Icona::Esclamazione);
    EXPECT_FALSE(fs::exists(dir_ / "para.txt")) << "no parameters after a failed register";
    EXPECT_TRUE(dialoghi_.terminato);
}

TEST_F(Form1Test, LaListaApreIlTipoDellaPosizione) {
    for (int p : {-1, 0, 2, 14, 15}) form1_.List1_Click(p);
    form1_.CmdStampa_Click();
    EXPECT_EQ(finestre_.aperte,
              (std::vector<std::string>{"Form3", "Form2", "Form16", "frmStampa"}));
    EXPECT_EQ(main_window::MessaggioErroreFatale(53),
              "Si è verificato l'errore N° 53 contattare il fornitore del programma.");
}

}  // namespace
