#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "grid/vista_griglia_qt.h"
#include "main_window/form1_qt.h"
#include "support/finti.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

std::string Leggi(const fs::path& p) {
    std::ostringstream s;
    s << std::ifstream(p, std::ios::binary).rdbuf();
    return s.str();
}

// One main window over its own scratch folder.
struct Banco {
    Banco() { fs::create_directories(dir / "sys"); }
    void movimenti(int quanti) {
        std::vector<core::RigaRegistro> righe;
        for (int i = 0; i < quanti; ++i)
            righe.push_back({"03/04/2002", "Prelievo", "rif, " + std::to_string(i), "1.000,00",
                             "-" + std::to_string(i) + ",00"});
        ASSERT_FALSE(file.SalvaRegistro(righe));
    }
    main_window::Form1Qt& apri() {
        finestra = std::make_unique<main_window::Form1Qt>(stato, file, dialoghi, [] {
            return core::Data{2002, 4, 5};
        });
        EXPECT_EQ(finestra->Carica(), 0);
        return *finestra;
    }
    template <typename W = QWidget>
    W* controllo(const char* nome) {
        auto* w = finestra->findChild<W*>(QString::fromLatin1(nome));
        EXPECT_NE(w, nullptr) << nome;
        return w;
    }
    std::map<std::string, std::string> file_scritti() const {
        std::map<std::string, std::string> f;
        for (const auto& e : fs::directory_iterator(dir.path()))
            if (e.is_regular_file()) f[e.path().filename().string()] = Leggi(e.path());
        return f;
    }

    test::CartellaTemporanea dir;
    core::FileDati file{core::FileSystemReale(), dir.path(), dir / "sys"};
    core::StatoConto stato;
    test::DialoghiFinti dialoghi;
    std::unique_ptr<main_window::Form1Qt> finestra;
};

struct Posto {
    const char* nome;
    ui::Rettangolo twips;
};

TEST(Form1Qt, OgniControlloStaAlSuoPosto) {
    Banco banco;
    auto& f = banco.apri();
    const Posto posti[] = {
        {"Label1", {4020, 120, 1455, 375}},     {"Grid", {143, 480, 8985, 3135}},
        {"Label4", {1080, 3720, 1095, 255}},    {"List1", {150, 4080, 3015, 2985}},
        {"cmdPass", {7320, 3720, 1815, 255}},   {"Cmdfido", {7320, 4080, 1815, 255}},
        {"Rimuovi", {7320, 4440, 1815, 255}},   {"Rimuoviu", {7320, 4800, 1815, 255}},
        {"CmdStampa", {7320, 5160, 1815, 255}}, {"CmdEuro", {7320, 5520, 1815, 255}},
        {"CmdSaldo", {7320, 5880, 1815, 255}},  {"CmdEsci", {7320, 6240, 1815, 255}},
        {"Label3", {7920, 6480, 735, 255}},     {"Label2", {7020, 6840, 255, 255}},
        {"txtSaldo", {7320, 6780, 1815, 345}},  {"Label5", {3840, 6840, 2355, 315}},
        {"Label6", {6300, 6840, 495, 255}},     {"Image1", {4380, 3960, 1665, 1410}},
        {"Label7", {3840, 5400, 2775, 255}},    {"txtDitta", {4080, 5760, 2535, 1095}},
    };
    for (const auto& p : posti) {
        QWidget* w = banco.controllo(p.nome);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(f.finestra().Posizione(p.nome), p.twips) << p.nome;
        EXPECT_EQ(w->geometry(),
                  QRect(ui::TwipsInPixelX(p.twips.left, w), ui::TwipsInPixelY(p.twips.top, w),
                        ui::TwipsInPixelX(p.twips.width, w), ui::TwipsInPixelY(p.twips.height, w)))
            << p.nome;
    }
    EXPECT_EQ(f.size(), QSize(ui::TwipsInPixelX(9285, &f), ui::TwipsInPixelY(7200, &f)));
    EXPECT_EQ(f.minimumSize(), f.maximumSize()) << "fixed size";
    EXPECT_FALSE(f.windowFlags() & Qt::WindowMaximizeButtonHint);

    EXPECT_EQ(banco.controllo<QPushButton>("CmdEuro")->text(), "&Gestisci in Lire");
    EXPECT_EQ(banco.controllo<QLineEdit>("txtSaldo")->text(), "0,00");
    EXPECT_TRUE(banco.controllo<QLineEdit>("txtSaldo")->isReadOnly());
    EXPECT_FALSE(banco.controllo<QPushButton>("Rimuovi")->isEnabled());
    EXPECT_EQ(banco.controllo<QLabel>("Label5")->palette().color(QPalette::WindowText),
              QColor(0, 0, 128));
}

TEST(Form1Qt, LaListaMostraITipiInOrdineAlfabetico) {
    Banco banco;
    auto& f = banco.apri();
    QListWidget* lista = f.lista();
    ASSERT_EQ(lista->count(), 15);
    EXPECT_EQ(lista->item(0)->text(), "Accredito generico");
    EXPECT_EQ(lista->item(14)->text(), "Versamento");
    for (int p = 0; p < 15; ++p) {
        const auto caption = core::TipoDaPosizione(p)->caption;
        EXPECT_EQ(lista->item(p)->text().toStdString(), caption) << p;
    }
}

TEST(Form1Qt, InvioSullaListaApreLaFinestraDelTipo) {
    Banco banco;
    auto& f = banco.apri();
    f.show();
    f.lista()->setFocus();
    f.lista()->setCurrentRow(13);
    QString titolo;
    QTimer::singleShot(0, [&] {
        if (QWidget* modale = QApplication::activeModalWidget()) {
            titolo = modale->windowTitle();
            modale->close();
        }
    });
    QTest::keyClick(f.lista(), Qt::Key_Return);
    EXPECT_EQ(titolo, "Prelievo");
}

TEST(Form1Qt, DodiciMovimentiAllarganoLaFinestra) {
    Banco banco;
    banco.movimenti(12);
    auto& f = banco.apri();
    EXPECT_EQ(f.width(), ui::TwipsInPixelX(9525, &f));
    EXPECT_EQ(f.finestra().Posizione("CmdEsci").left, 7560);
    EXPECT_EQ(f.finestra().Posizione("Label1").left, 4070);
    EXPECT_TRUE(banco.controllo<QPushButton>("CmdStampa")->isEnabled());
}

// The exit button and the close box end the program with the same files on the disk.
TEST(Form1Qt, EsciEChiusuraScrivonoGliStessiByte) {
    std::map<std::string, std::string> scritti[2];
    for (int modo = 0; modo < 2; ++modo) {
        Banco banco;
        banco.movimenti(3);
        auto& f = banco.apri();
        f.show();
        f.griglia().AddItem("04/04/2002\tVersamento\tcassa\t10,00\t8,00");
        banco.stato.SaldoConto = core::Money::FromUnits(8);
        banco.stato.ModoValuta = "Euro";
        if (modo == 0)
            QTest::mouseClick(banco.controllo<QPushButton>("CmdEsci"), Qt::LeftButton);
        else
            f.close();
        EXPECT_TRUE(banco.dialoghi.terminato);
        scritti[modo] = banco.file_scritti();
    }
    EXPECT_EQ(scritti[0], scritti[1]);
    EXPECT_EQ(scritti[0].size(), 6u);
    EXPECT_EQ(scritti[0]["listcol3.txt"],
              "\"rif, 0\"\r\n\"rif, 1\"\r\n\"rif, 2\"\r\n\"cassa\"\r\n");
}

}  // namespace
