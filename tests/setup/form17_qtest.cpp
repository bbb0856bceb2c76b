#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "setup/form17_qt.h"
#include "support/finti.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

class Form17QtTest : public ::testing::Test {
  protected:
    Form17QtTest() {
        finestra.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&finestra));
    }
    QLineEdit* casella(const char* nome) { return finestra.findChild<QLineEdit*>(nome); }
    void clic(const char* nome) {
        QTest::mouseClick(finestra.findChild<QPushButton*>(nome), Qt::LeftButton);
    }

    test::CartellaTemporanea programma, sistema;
    core::FileDati file{core::FileSystemReale(), programma.path(), sistema.path()};
    core::StatoConto stato;
    test::DialoghiFinti dialoghi;
    int aperturePrincipale = 0;
    setup::Form17Qt finestra{stato, file, dialoghi, [this] { ++aperturePrincipale; }};
};

// Enter moves between number and bank and stays in the password; it never presses OK.
TEST_F(Form17QtTest, LimitiDiLunghezzaEInvio) {
    QTest::keyClicks(casella("TxtConto"), "12345678901");
    QTest::keyClick(casella("TxtConto"), Qt::Key_Return);
    EXPECT_EQ(finestra.focusWidget(), casella("TxtBanca"));
    QTest::keyClicks(casella("TxtBanca"), "Banca Popolare di Sondrio");
    QTest::keyClick(casella("TxtBanca"), Qt::Key_Return);
    EXPECT_EQ(finestra.focusWidget(), casella("TxtConto"));
    casella("txtPass")->setFocus();
    QTest::keyClick(casella("txtPass"), Qt::Key_Return);
    EXPECT_EQ(finestra.focusWidget(), casella("txtPass"));
    EXPECT_EQ(casella("TxtConto")->text(), "1234567890");
    EXPECT_EQ(casella("TxtBanca")->text(), "Banca Popolare di Sond");
    EXPECT_TRUE(dialoghi.messaggi.empty());
    EXPECT_TRUE(finestra.isVisible());
}

TEST_F(Form17QtTest, OkScriveIFileEApreLaFinestraPrincipale) {
    QTest::keyClicks(casella("TxtConto"), "12345");
    QTest::keyClicks(casella("TxtBanca"), "Banca Uno");
    QTest::keyClicks(casella("txtPass"), " Segreto");
    clic("CmdOk");
    EXPECT_TRUE(dialoghi.messaggi.empty());
    EXPECT_TRUE(fs::exists(programma / "dati.txt"));
    EXPECT_TRUE(fs::exists(sistema / "Vorn.lst"));
    EXPECT_EQ(aperturePrincipale, 1);
    EXPECT_FALSE(finestra.isVisible());
}

class Form17QtAnnulla : public Form17QtTest, public ::testing::WithParamInterface<bool> {};

TEST_P(Form17QtAnnulla, AnnullaELaChiusuraNonScrivonoNulla) {
    QTest::keyClicks(casella("TxtConto"), "12345");
    QTest::keyClicks(casella("TxtBanca"), "Banca Uno");
    GetParam() ? clic("CmdAnnulla") : void(finestra.close());
    EXPECT_FALSE(finestra.isVisible());
    EXPECT_EQ(finestra.result(), QDialog::Rejected);
    EXPECT_EQ(aperturePrincipale, 0);
    EXPECT_TRUE(fs::is_empty(programma.path()));
    EXPECT_TRUE(fs::is_empty(sistema.path()));
}

INSTANTIATE_TEST_SUITE_P(Modi, Form17QtAnnulla, ::testing::Bool());

}  // namespace
