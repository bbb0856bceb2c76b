#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include "ui/finestra_qt.h"

namespace {

struct Finestra {
    QWidget radice;
    QLabel* etichetta = new QLabel(&radice);
    QPushButton* pulsante = new QPushButton(&radice);
    QLineEdit* casella = new QLineEdit(&radice);
    ui::FinestraQt vista{&radice, "Form1"};

    Finestra() {
        etichetta->setObjectName("Label1");
        pulsante->setObjectName("CmdEuro");
        casella->setObjectName("txtSaldo");
        ui::DimensionaFinestra(&radice, 9285, 7200);
        ui::Posiziona(etichetta, 4020, 120, 1455, 375);
    }
};

TEST(FinestraQt, MovingByAFewTwipsAndBackRestoresThePositionExactly) {
    Finestra f;
    // 50 twips is not a whole number of pixels: the twips must not drift through rounding.
    for (int volta = 0; volta < 3; ++volta) {
        auto r = f.vista.Posizione("Label1");
        r.left += 50;
        f.vista.ImpostaPosizione("Label1", r);
    }
    EXPECT_EQ(f.vista.Posizione("Label1").left, 4170);
    for (int volta = 0; volta < 3; ++volta) {
        auto r = f.vista.Posizione("Label1");
        r.left -= 50;
        f.vista.ImpostaPosizione("Label1", r);
    }
    EXPECT_EQ(f.vista.Posizione("Label1"), (ui::Rettangolo{4020, 120, 1455, 375}));
}

TEST(FinestraQt, TheWindowWidthIsItsClientAreaInTwips) {
    Finestra f;
    auto r = f.vista.Posizione("Form1");
    EXPECT_EQ(r.width, 9285);
    r.width += 240;
    f.vista.ImpostaPosizione("Form1", r);
    EXPECT_EQ(f.vista.Posizione("Form1").width, 9525);
    EXPECT_EQ(f.radice.width(), 635);  // 9525 twips at 96 dpi
}

TEST(FinestraQt, TextsCaptionsAndColoursReachTheRightWidgets) {
    Finestra f;
    f.vista.ImpostaTesto("CmdEuro", "&Gestisci in €uro");
    f.vista.ImpostaTesto("txtSaldo", "-1.500");
    f.vista.ImpostaTesto("Form1", "Quibora Lite Edition (Free)  - Conto N° 1 - B");
    f.vista.ImpostaColoreTesto("txtSaldo", ui::kRosso);
    EXPECT_EQ(f.pulsante->text(), QString::fromUtf8("&Gestisci in €uro"));
    EXPECT_EQ(f.vista.Testo("txtSaldo"), "-1.500");
    EXPECT_EQ(f.radice.windowTitle(), QString::fromUtf8("Quibora Lite Edition (Free)  - Conto N° 1 - B"));
    EXPECT_EQ(f.vista.ColoreTesto("txtSaldo"), ui::kRosso);
    EXPECT_EQ(f.casella->palette().color(QPalette::Text), QColor(255, 0, 0));
}

TEST(FinestraQt, AHiddenControlStaysHiddenAndAnUnknownNameIsAnError) {
    Finestra f;
    f.vista.ImpostaVisibile("txtSaldo", false);
    EXPECT_FALSE(f.vista.Visibile("txtSaldo"));
    f.vista.ImpostaVisibile("txtSaldo", true);
    EXPECT_TRUE(f.vista.Visibile("txtSaldo"));  // even while the window is not shown
    EXPECT_THROW((void)f.vista.Testo("Inesistente"), std::logic_error);
}

}  // namespace
