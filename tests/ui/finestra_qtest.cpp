#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <vector>

#include "ui/finestra_qt.h"

namespace {

TEST(FinestraQt, PosizioniInTwipsSenzaDerivaEControlliPerNome) {
    QWidget radice;
    auto* etichetta = new QLabel(&radice);
    etichetta->setObjectName("Label1");
    (new QLineEdit(&radice))->setObjectName("txtSaldo");
    ui::FinestraQt vista{&radice, "Form1"};
    ui::DimensionaFinestra(&radice, 9285, 7200);
    ui::Posiziona(etichetta, 4020, 120, 1455, 375);
    // 50 twips is not a whole number of pixels: moving there and back must not drift.
    std::vector<double> sinistre;
    for (const int passo : {50, 50, 50, -50, -50, -50}) {
        auto r = vista.Posizione("Label1");
        r.left += passo;
        vista.ImpostaPosizione("Label1", r);
        sinistre.push_back(vista.Posizione("Label1").left);
    }
    EXPECT_EQ(sinistre, (std::vector<double>{4070, 4120, 4170, 4120, 4070, 4020}));
    EXPECT_EQ(vista.Posizione("Label1"), (ui::Rettangolo{4020, 120, 1455, 375}));
    auto r = vista.Posizione("Form1");
    r.width += 240;  // the window's client area grows
    vista.ImpostaPosizione("Form1", r);
    EXPECT_EQ(radice.width(), 635);  // 9525 twips at 96 dpi
    vista.ImpostaVisibile("txtSaldo", true);
    EXPECT_TRUE(vista.Visibile("txtSaldo"));  // even while the window is not shown
    EXPECT_THROW((void)vista.Testo("Inesistente"), std::logic_error);
}

}  // namespace
