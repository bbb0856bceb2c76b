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
    QLineEdit* Testo(const char* nome) {
        return finestra.findChild<QLineEdit*>(QString::fromLatin1(nome));
    }
    void Clic(const char* nome) {
        QTest::mouseClick(finestra.findChild<QPushButton*>(QString::fromLatin1(nome)),
                          Qt::LeftButton);
    }

    test::CartellaTemporanea programma, sistema;
    core::FileDati file{core::FileSystemReale(), programma.path(), sistema.path()};
    core::StatoConto stato;
    test::DialoghiFinti dialoghi;
    int aperturePrincipale = 0;
    setup::Form17Qt finestra{stato, file, dialoghi, [this] { ++aperturePrincipale; }};
};

// Enter must move the focus, never press a default OK button.
TEST_F(Form17QtTest, TypingStopsAtTheLimitsAndEnterOnlyMovesTheFocus) {
    QTest::keyClicks(Testo("TxtConto"), "12345678901");
    QTest::keyClick(Testo("TxtConto"), Qt::Key_Return);
    EXPECT_EQ(finestra.focusWidget(), Testo("TxtBanca"));
    QTest::keyClicks(Testo("TxtBanca"), "Banca Popolare di Sondrio");

    EXPECT_EQ(Testo("TxtConto")->text().toStdString(), "1234567890");
    EXPECT_EQ(Testo("TxtBanca")->text().toStdString(), "Banca Popolare di Sond");
    EXPECT_TRUE(dialoghi.messaggi.empty());
    EXPECT_TRUE(finestra.isVisible());
}

TEST_F(Form17QtTest, FirstUseOkWritesTheFilesAndOpensTheMainWindow) {
    QTest::keyClicks(Testo("TxtConto"), "12345");
    QTest::keyClicks(Testo("TxtBanca"), "Banca Uno");
    QTest::keyClicks(Testo("txtPass"), " Segreto");
    Clic("CmdOk");

    EXPECT_TRUE(dialoghi.messaggi.empty());
    EXPECT_TRUE(fs::exists(programma / "dati.txt"));
    EXPECT_TRUE(fs::exists(sistema / "Vorn.lst"));
    EXPECT_EQ(aperturePrincipale, 1);
    EXPECT_EQ(finestra.result(), QDialog::Accepted);
    EXPECT_FALSE(finestra.isVisible());
}

class Form17QtAnnullaTest : public Form17QtTest, public ::testing::WithParamInterface<bool> {};

TEST_P(Form17QtAnnullaTest, CancelAndTheCloseBoxWriteNothing) {
    QTest::keyClicks(Testo("TxtConto"), "12345");
    QTest::keyClicks(Testo("TxtBanca"), "Banca Uno");
    if (GetParam())
        Clic("CmdAnnulla");
    else
        finestra.close();

    EXPECT_FALSE(finestra.isVisible());
    EXPECT_EQ(finestra.result(), QDialog::Rejected);
    EXPECT_EQ(aperturePrincipale, 0);
    EXPECT_TRUE(fs::is_empty(programma.path()));
    EXPECT_TRUE(fs::is_empty(sistema.path()));
}

INSTANTIATE_TEST_SUITE_P(Modi, Form17QtAnnullaTest, ::testing::Bool());

}  // namespace
