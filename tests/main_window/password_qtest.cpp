#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <iterator>

#include "main_window/form1_qt.h"
#include "main_window/frm_pass_qt.h"
#include "support/finti.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

QLineEdit* Testo(QWidget* d) {
    return d->findChild<QLineEdit*>(QStringLiteral("txtPass1"));
}

// Types into the password window once its modal loop runs, and presses Enter.
void DigitaQuandoAperta(const char* password) {
    QTimer::singleShot(0, [password] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (qobject_cast<main_window::FrmPassQt*>(w) && w->isVisible()) {
                EXPECT_EQ(Testo(w)->toolTip().toStdString(),
                          "Si consiglia di inserire password composte da una sola parola "
                          "(Es.\"Tizioesempio\"  NON \"Tizio esempio\")");
                QTest::keyClicks(Testo(w), password);
                QTest::keyClick(Testo(w), Qt::Key_Return);
                return;
            }
        }
        ADD_FAILURE() << "la finestra della password non è aperta";
    });
}

TEST(PasswordQtTest, SetThenRemoveThroughTheMainWindowButton) {
    test::CartellaTemporanea programma, sistema;
    core::FileDati file{core::FileSystemReale(), programma.path(), sistema.path()};
    core::StatoConto stato;
    test::DialoghiFinti dialoghi;
    main_window::Form1Qt principale(stato, file, dialoghi, [] { return core::Data{}; });
    ASSERT_EQ(principale.Carica(), 0);
    principale.show();
    auto* cmdPass = principale.findChild<QPushButton*>(QStringLiteral("cmdPass"));

    DigitaQuandoAperta("  Segreto ");
    QTest::mouseClick(cmdPass, Qt::LeftButton);

    std::ifstream in(sistema / "Vorn.lst", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "\"Tgjvjzv\"\r\n");
    EXPECT_EQ(cmdPass->text().toStdString(), "Rimuovi Pass&word");

    dialoghi.risposte = {ui::Risposta::Si};
    QTest::mouseClick(cmdPass, Qt::LeftButton);

    EXPECT_EQ(dialoghi.testiMessaggi(),
              std::vector<std::string>{"Sei sicuro di rimuovere la password ?"});
    EXPECT_FALSE(fs::exists(sistema / "Vorn.lst"));
    EXPECT_EQ(cmdPass->text().toStdString(), "Inserisci Pass&word");
}

}  // namespace
