#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

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

// One main window over its own scratch folder, loaded with `movimenti` movements.
struct Banco {
    explicit Banco(int movimenti = 0) {
        fs::create_directories(dir / "sys");
        std::vector<core::RigaRegistro> righe;
        for (int i = 0; i < movimenti; ++i)
            righe.push_back({"03/04/2002", "Prelievo", "rif, " + std::to_string(i), "1.000,00",
                             "-" + std::to_string(i) + ",00"});
        EXPECT_FALSE(file.SalvaRegistro(righe));
        EXPECT_EQ(f.Carica(), 0);
    }
    template <typename W = QWidget>
    W* controllo(const char* nome) {
        return f.findChild<W*>(nome);
    }

    test::CartellaTemporanea dir;
    core::FileDati file{core::FileSystemReale(), dir.path(), dir / "sys"};
    core::StatoConto stato;
    test::DialoghiFinti dialoghi;
    main_window::Form1Qt f{stato, file, dialoghi, [] { return core::Data{2002, 4, 5}; }};
};

TEST(Form1Qt, OgniControlloStaAlSuoPosto) {
    Banco banco;
    auto& f = banco.f;
    const std::pair<const char*, ui::Rettangolo> posti[] = {
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
    for (const auto& [nome, t] : posti) {
        QWidget* w = banco.controllo(nome);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->geometry(),
                  QRect(ui::TwipsInPixelX(t.left, w), ui::TwipsInPixelY(t.top, w),
                        ui::TwipsInPixelX(t.width, w), ui::TwipsInPixelY(t.height, w)))
            << nome;
    }
    // The menu bar sits above the designed client area, which keeps its size.
    const int menu = f.findChild<QMenuBar*>()->height();
    EXPECT_GT(menu, 0);
    EXPECT_EQ(f.size(), QSize(ui::TwipsInPixelX(9285, &f), ui::TwipsInPixelY(7200, &f) + menu));
    EXPECT_EQ(f.minimumSize(), f.maximumSize()) << "fixed size";
    EXPECT_FALSE(f.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(banco.controllo<QLineEdit>("txtSaldo")->isReadOnly());
    EXPECT_EQ(banco.controllo<QLabel>("Label5")->palette().color(QPalette::WindowText),
              QColor(0, 0, 128));

    // The list shows the types in alphabetical order.
    ASSERT_EQ(f.lista()->count(), 15);
    EXPECT_EQ(f.lista()->item(0)->text(), "Accredito generico");
    for (int p = 0; p < 15; ++p)
        EXPECT_EQ(f.lista()->item(p)->text().toStdString(), core::TipoDaPosizione(p)->caption);
}

TEST(Form1Qt, InvioSullaListaApreLaFinestraDelTipo) {
    Banco banco;
    auto& f = banco.f;
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

// The exit button and the close box end the program with the same files on the disk.
TEST(Form1Qt, EsciEChiusuraScrivonoGliStessiByte) {
    std::map<std::string, std::string> scritti[2];
    for (int modo = 0; modo < 2; ++modo) {
        Banco banco(3);
        auto& f = banco.f;
        f.show();
        f.griglia().AddItem({"04/04/2002", "Versamento", "cassa", "10,00", "8,00"});
        banco.stato.SaldoConto = core::Money::FromUnits(8);
        banco.stato.ModoValuta = "Euro";
        if (modo == 0)
            QTest::mouseClick(banco.controllo<QPushButton>("CmdEsci"), Qt::LeftButton);
        else
            f.close();
        EXPECT_TRUE(banco.dialoghi.terminato);
        for (const auto& e : fs::directory_iterator(banco.dir.path()))
            if (e.is_regular_file()) scritti[modo][e.path().filename().string()] = Leggi(e.path());
    }
    EXPECT_EQ(scritti[0], scritti[1]);
    EXPECT_EQ(scritti[0].size(), 6u);
    EXPECT_EQ(scritti[0]["listcol3.txt"],
              "\"rif, 0\"\r\n\"rif, 1\"\r\n\"rif, 2\"\r\n\"cassa\"\r\n");
}

}  // namespace
