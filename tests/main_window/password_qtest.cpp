#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <sstream>

#include "main_window/form1_qt.h"
#include "support/finti.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

TEST(PasswordQtTest, ImpostataERimossaDalBottoneDellaFinestraPrincipale) {
    test::CartellaTemporanea programma, sistema;
    core::FileDati file{core::FileSystemReale(), programma.path(), sistema.path()};
    core::StatoConto stato;
    test::DialoghiFinti dialoghi;
    main_window::Form1Qt principale(stato, file, dialoghi, [] { return core::Data{}; });
    ASSERT_EQ(principale.Carica(), 0);
    principale.show();
    auto* cmdPass = principale.findChild<QPushButton*>("cmdPass");

    // Types into the password window once its modal loop runs, and presses Enter.
    QTimer::singleShot(0, [] {
        QWidget* finestra = QApplication::activeModalWidget();
        ASSERT_NE(finestra, nullptr);
        auto* testo = finestra->findChild<QLineEdit*>("txtPass1");
        EXPECT_EQ(testo->toolTip(),
                  "Si consiglia di inserire password composte da una sola parola "
                  "(Es.\"Tizioesempio\"  NON \"Tizio esempio\")");
        QTest::keyClicks(testo, "  Segreto ");
        QTest::keyClick(testo, Qt::Key_Return);
    });
    QTest::mouseClick(cmdPass, Qt::LeftButton);
    std::ostringstream vorn;
    vorn << std::ifstream(sistema / "Vorn.lst", std::ios::binary).rdbuf();
    EXPECT_EQ(vorn.str(), "\"Tgjvjzv\"\r\n");
    EXPECT_EQ(cmdPass->text(), "Rimuovi Pass&word");

    dialoghi.risposte = {ui::Risposta::Si};
    QTest::mouseClick(cmdPass, Qt::LeftButton);
    EXPECT_EQ(dialoghi.testiMessaggi(),
              std::vector<std::string>{"Sei sicuro di rimuovere la password ?"});
    EXPECT_FALSE(fs::exists(sistema / "Vorn.lst"));
    EXPECT_EQ(cmdPass->text(), "Inserisci Pass&word");
}

}  // namespace
