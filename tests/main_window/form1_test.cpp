#include "main_window/form1.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "core/scrambler.h"
#include "support/finti.h"

namespace {

namespace fs = std::filesystem;

// The real disk, with the writes counted and chosen files made to fail.
class DiscoContato : public core::FileSystem {
  public:
    bool esiste(const fs::path& p) const override { return reale_.esiste(p); }
    core::EsitoFile leggi(const fs::path& p, std::string& c) const override {
        return reale_.leggi(p, c);
    }
    core::EsitoFile scrivi(const fs::path& p, std::string_view c) override {
        ++scritture;
        for (const auto& nome : nomiCheFalliscono)
            if (p.filename().string().starts_with(nome)) return core::ErroreFile{p, "disco pieno"};
        return reale_.scrivi(p, c);
    }
    core::EsitoFile rinomina(const fs::path& da, const fs::path& a) override {
        return reale_.rinomina(da, a);
    }
    core::EsitoFile elimina(const fs::path& p) override { return reale_.elimina(p); }
    core::EsitoFile sincronizzaCartella(const fs::path& d) override {
        return reale_.sincronizzaCartella(d);
    }
    core::EsitoFile creaCartella(const fs::path& d) override { return reale_.creaCartella(d); }

    int scritture = 0;  // counted so a test can tell that loading writes nothing
    std::vector<std::string> nomiCheFalliscono;

  private:
    core::FileSystem& reale_ = core::FileSystemReale();
};

class FinestreAperte : public main_window::ApriFinestre {
  public:
    void ApriInserimento(const core::TipoMovimento& tipo) override {
        aperte.emplace_back(tipo.finestra);
    }
    void ApriPassword() override { aperte.emplace_back("frmPass"); }
    void ApriStampa() override { aperte.emplace_back("frmStampa"); }
    std::vector<std::string> aperte;
};

// The design layout of the main window, as the real window starts.
const std::map<std::string, ui::Rettangolo>& Progetto() {
    static const std::map<std::string, ui::Rettangolo> p{
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
    return p;
}

std::string Leggi(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
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
    Form1Test()
        : dir_(fs::temp_directory_path() /
               ("form1_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "sys");
        for (const auto& [nome, r] : Progetto()) finestra_[nome].posizione = r;
        for (const char* nome : {"Rimuovi", "Rimuoviu", "CmdStampa"})
            finestra_[nome].abilitato = false;
    }
    ~Form1Test() override { fs::remove_all(dir_); }

    fs::path percorso(std::string_view nome) const { return dir_ / nome; }

    void scriviMovimenti(int quanti, std::string_view importo = "10.000") {
        std::vector<core::RigaRegistro> righe;
        for (int i = 0; i < quanti; ++i)
            righe.push_back({"01/02/2001", "Versamento", "rif " + std::to_string(i),
                             std::string(importo), std::to_string(i)});
        ASSERT_FALSE(file_.SalvaRegistro(righe));
    }

    int carica() { return form1_.Form_Load(); }

    fs::path dir_;
    DiscoContato disco_;
    core::FileDati file_{disco_, dir_, dir_ / "sys"};
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
    bool conParametri;
    const char* modo;
    const char* saldo;  // the plain money text, scrambled when written
    std::string modoDopo, cmdEuro, label2, label6, txtSaldo;
    ui::Colore colore;
};

class Form1Valuta : public Form1Test, public ::testing::WithParamInterface<CasoValuta> {};

TEST_P(Form1Valuta, MostraLaDivisaEIlSaldo) {
    const auto& caso = GetParam();
    if (caso.conParametri) Scrivi(percorso("para.txt"), Parametri(caso.modo, caso.saldo, "0"));
    ASSERT_EQ(carica(), 0);
    EXPECT_EQ(stato_.ModoValuta, caso.modoDopo);
    EXPECT_EQ(finestra_.Testo("CmdEuro"), caso.cmdEuro);
    EXPECT_EQ(finestra_.Testo("Label2"), caso.label2);
    EXPECT_EQ(finestra_.Testo("Label6"), caso.label6);
    EXPECT_EQ(finestra_.Testo("txtSaldo"), caso.txtSaldo);
    EXPECT_EQ(finestra_.ColoreTesto("txtSaldo"), caso.colore);
}

INSTANTIATE_TEST_SUITE_P(
    Tabella, Form1Valuta,
    ::testing::Values(CasoValuta{"SenzaParametri", false, "", "", "Euro", "&Gestisci in Lire", "€.",
                                 "€uro", "0,00", ui::kNero},
                      CasoValuta{"LireZero", true, "Lire", "0", "Lire", "&Gestisci in €uro", "£.",
                                 "£ire", "0", ui::kNero},
                      CasoValuta{"LireNegativo", true, "Lire", "-1500", "Lire", "&Gestisci in €uro",
                                 "£.", "£ire", "-1.500", ui::kRosso},
                      CasoValuta{"EuroDecimali", true, "Euro", "1234,5", "Euro",
                                 "&Gestisci in Lire", "€.", "€uro", "1.234,50", ui::kNero},
                      CasoValuta{"ModoVuotoDiventaEuro", true, "", "0", "Euro", "&Gestisci in Lire",
                                 "€.", "€uro", "0,00", ui::kNero},
                      CasoValuta{"MinuscoloRestaComeLetto", true, "lire", "-0,5", "lire",
                                 "&Gestisci in Lire", "€.", "€uro", "-0,50", ui::kRosso}),
    [](const auto& info) { return std::string(info.param.nome); });

struct CasoErrore {
    const char* nome;
    std::function<void(const fs::path&)> prepara;
    int numero;
};

class Form1Errore : public Form1Test, public ::testing::WithParamInterface<CasoErrore> {};

TEST_P(Form1Errore, RestituisceIlNumeroDelGuasto) {
    scriviMovimenti(2);
    GetParam().prepara(dir_);
    const std::string primaDelCaricamento = Leggi(percorso("listcol1.txt"));
    disco_.scritture = 0;
    EXPECT_EQ(carica(), GetParam().numero);
    EXPECT_EQ(disco_.scritture, 0) << "loading must not write";
    EXPECT_EQ(Leggi(percorso("listcol1.txt")), primaDelCaricamento);
}

INSTANTIATE_TEST_SUITE_P(
    Tabella, Form1Errore,
    ::testing::Values(
        CasoErrore{"RegistroIncompleto", [](const fs::path& d) { fs::remove(d / "listcol3.txt"); },
                   53},
        CasoErrore{"ParametriVuoti", [](const fs::path& d) { Scrivi(d / "para.txt", ""); }, 62},
        CasoErrore{"ParametriCorti",
                   [](const fs::path& d) { Scrivi(d / "para.txt", "\"Lire\",\"1\"\r\n"); }, 62},
        CasoErrore{
            "QuintoFileFinitoPrima",
            [](const fs::path& d) { Scrivi(d / "listcol5.txt", Riga(*core::Codifica("1"))); }, 62},
        CasoErrore{"SaldoNonNumerico",
                   [](const fs::path& d) { Scrivi(d / "para.txt", Parametri("Lire", "abc", "0")); },
                   13},
        CasoErrore{"SaldoFuoriIntervallo",
                   [](const fs::path& d) {
                       Scrivi(d / "para.txt", Parametri("Euro", "99999999999999999999", "0"));
                   },
                   6},
        CasoErrore{"ImportoNonDecodificabile",
                   [](const fs::path& d) {
                       Scrivi(d / "listcol4.txt", Riga("\x01\x01") + Riga("\x01\x01"));
                   },
                   5}),
    [](const auto& info) { return std::string(info.param.nome); });

TEST_F(Form1Test, RegistroVuotoLasciaSoloLIntestazione) {
    ASSERT_EQ(carica(), 0);
    EXPECT_EQ(griglia_.Rows(), 1);
    EXPECT_EQ(griglia_.intestazione(),
              (core::RigaRegistro{"Data", "Causale", "Riferimento", "Importo", "Saldo"}));
    EXPECT_EQ(griglia_.ColWidth(0), 1150);
    EXPECT_EQ(griglia_.ColWidth(1), 2200);
    EXPECT_EQ(griglia_.ColWidth(4), 1750);
    EXPECT_EQ(griglia_.ColAlignment(2), grid::kAllineaSinistra);
    EXPECT_EQ(griglia_.FixedAlignment(3), grid::kAllineaCentro);
    EXPECT_EQ(griglia_.ForeColorFixed(), (grid::ColoreRgb{128, 0, 0}));
    EXPECT_TRUE(griglia_.FontBold());
    for (const char* pulsante : {"Rimuovi", "Rimuoviu", "CmdStampa"})
        EXPECT_FALSE(finestra_.Abilitato(pulsante)) << pulsante;
    EXPECT_EQ(finestra_.Testo("cmdPass"), "Inserisci Pass&word");
}

TEST_F(Form1Test, RegistroConVirgoleEAccentiCaricaIntatto) {
    std::vector<core::RigaRegistro> righe{
        {"01/02/2001", "Addebito boll.elettricità", "a, b è", "1.234,50", "-1.234,50"}};
    ASSERT_FALSE(file_.SalvaRegistro(righe));
    Scrivi(dir_ / "sys" / "Vorn.lst", Riga(*core::Codifica("x")));
    ASSERT_EQ(carica(), 0);
    ASSERT_EQ(griglia_.Rows(), 2);
    EXPECT_EQ(griglia_.righe()[0], righe[0]);
    for (const char* pulsante : {"Rimuovi", "Rimuoviu", "CmdStampa"})
        EXPECT_TRUE(finestra_.Abilitato(pulsante)) << pulsante;
    EXPECT_EQ(finestra_.Testo("cmdPass"), "Rimuovi Pass&word");
}

class Form1Larghezza : public Form1Test, public ::testing::WithParamInterface<int> {};

TEST_P(Form1Larghezza, SiAllargaOltreDodiciRighe) {
    const int movimenti = GetParam();
    scriviMovimenti(movimenti);
    ASSERT_EQ(carica(), 0);
    const bool larga = movimenti + 1 > 12;
    EXPECT_EQ(finestra_.Posizione("Form1").width, larga ? 9525 : 9285);
    EXPECT_EQ(finestra_.Posizione("Grid").width, larga ? 9225 : 8985);
    EXPECT_EQ(finestra_.Posizione("CmdEsci").left, larga ? 7560 : 7320);
    EXPECT_EQ(griglia_.TopRow(), larga ? movimenti : 1);
}

INSTANTIATE_TEST_SUITE_P(Movimenti, Form1Larghezza, ::testing::Values(1, 11, 12, 30));

TEST_F(Form1Test, AllargaEStringiSpostanoDiQuantoPrevisto) {
    const std::map<std::string, std::pair<double, double>> attesi{
        // control -> {left, width} after widening
        {"Form1", {0, 9525}},        {"Grid", {143, 9225}},      {"cmdPass", {7560, 1815}},
        {"CmdStampa", {7560, 1815}}, {"CmdEsci", {7560, 1815}},  {"CmdEuro", {7560, 1815}},
        {"Rimuovi", {7560, 1815}},   {"Rimuoviu", {7560, 1815}}, {"Cmdfido", {7560, 1815}},
        {"CmdSaldo", {7560, 1815}},  {"txtSaldo", {7560, 1815}}, {"Label1", {4070, 1455}},
        {"Label2", {7260, 255}},     {"Label3", {8160, 735}},    {"Label5", {3960, 2355}},
        {"Label6", {6420, 495}},     {"Image1", {4500, 1665}},   {"txtDitta", {4200, 2535}},
        {"Label7", {3960, 2775}},    {"List1", {150, 3015}},     {"Label4", {1080, 1095}},
    };
    ui::AllargaFinestra(finestra_);
    for (const auto& [nome, lw] : attesi) {
        EXPECT_EQ(finestra_.Posizione(nome).left, lw.first) << nome;
        EXPECT_EQ(finestra_.Posizione(nome).width, lw.second) << nome;
        EXPECT_EQ(finestra_.Posizione(nome).top, Progetto().at(nome).top) << nome;
    }
    ui::StringiFinestra(finestra_);
    for (const auto& [nome, r] : Progetto()) EXPECT_EQ(finestra_.Posizione(nome), r) << nome;
}

TEST_F(Form1Test, LaChiusuraSalvaUnaVoltaSolaEntrambiIFile) {
    scriviMovimenti(3);
    Scrivi(percorso("para.txt"), Parametri("Lire", "20", "-100"));
    ASSERT_EQ(carica(), 0);
    griglia_.AddItem("05/02/2001\tPrelievo\tcassa\t5\t15");
    stato_.SaldoConto = core::Money::FromUnits(15);

    form1_.CmdEsci_Click();
    const std::string parametriSalvati = Leggi(percorso("para.txt"));
    fs::remove(percorso("para.txt"));
    form1_.Form_Unload();  // the close box that follows the end of the program
    EXPECT_FALSE(fs::exists(percorso("para.txt"))) << "saved twice";

    EXPECT_TRUE(dialoghi_.terminato);
    EXPECT_TRUE(dialoghi_.messaggi.empty());
    EXPECT_EQ(parametriSalvati, Parametri("Lire", "15", "-100"));
    EXPECT_EQ(Leggi(percorso("listcol2.txt")),
              Riga("Versamento") + Riga("Versamento") + Riga("Versamento") + Riga("Prelievo"));
    EXPECT_EQ(Leggi(percorso("listcol5.txt")),
              Riga(*core::Codifica("0")) + Riga(*core::Codifica("1")) + Riga(*core::Codifica("2")) +
                  Riga(*core::Codifica("15")));
}

TEST_F(Form1Test, UnSalvataggioFallitoSiMostraEIlProgrammaFinisce) {
    scriviMovimenti(1);
    ASSERT_EQ(carica(), 0);
    disco_.nomiCheFalliscono = {"listcol"};
    form1_.Form_Unload();
    ASSERT_EQ(dialoghi_.messaggi.size(), 1u);
    EXPECT_NE(dialoghi_.messaggi[0].testo.find("listcol"), std::string::npos)
        << dialoghi_.messaggi[0].testo;
    EXPECT_EQ(dialoghi_.messaggi[0].icona, ui::Icona::Esclamazione);
    EXPECT_FALSE(fs::exists(percorso("para.txt"))) << "no parameters after a failed register";
    EXPECT_TRUE(dialoghi_.terminato);
}

TEST_F(Form1Test, LaListaApreIlTipoDellaPosizione) {
    for (int p : {-1, 0, 2, 14, 15}) form1_.List1_Click(p);
    form1_.CmdStampa_Click();
    EXPECT_EQ(finestre_.aperte,
              (std::vector<std::string>{"Form3", "Form2", "Form16", "frmStampa"}));
}

TEST(MessaggioErroreFatale, UnisceIlNumeroSenzaAltro) {
    EXPECT_EQ(main_window::MessaggioErroreFatale(53),
              "Si è verificato l'errore N° 53 contattare il fornitore del programma.");
}

}  // namespace
