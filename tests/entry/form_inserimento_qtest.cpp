#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "entry/form_inserimento_qt.h"
#include "support/contesto_finto.h"

namespace {

namespace fs = std::filesystem;

class FormInserimentoQtTest : public ::testing::Test, public test::ContestoFinto {
  protected:
    void apri(std::string_view tipo) {
        for (const auto& t : core::TipiMovimento())
            if (t.caption == tipo) d_ = std::make_unique<entry::FormInserimentoQt>(t, contesto);
        d_->show();
    }
    QLineEdit* casella(const char* nome) { return d_->findChild<QLineEdit*>(nome); }
    QPushButton* ok() { return d_->findChild<QPushButton*>("cmdOk"); }
    // The hint on the amount box comes when the mouse moves over it.
    QString suggerimento() {
        QMouseEvent e(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
        QApplication::sendEvent(casella("txtImporto"), &e);
        return casella("txtImporto")->toolTip();
    }

    std::unique_ptr<entry::FormInserimentoQt> d_;
};

// Enter moves on without pressing OK; a refused reference keeps the window open on it; the
// entry, once accepted, is in the files byte for byte.
TEST_F(FormInserimentoQtTest, MovimentoCompletoEFileSalvati) {
    stato.ModoValuta = "Euro";
    stato.FidoConto = core::Money::FromUnits(-5000);
    apri("Versamento");
    EXPECT_EQ(suggerimento(), "Utilizzare la virgola per inserire i decimali.");

    QTest::keyClicks(casella("txtImporto"), "1.234,50");
    QTest::keyClick(casella("txtImporto"), Qt::Key_Return);  // moves on, does not press OK
    EXPECT_EQ(d_->focusWidget(), casella("Txtrif"));
    casella("Txtrif")->setText("a\"b");
    QTest::keyClick(ok(), Qt::Key_Return);  // OK is not the default button
    EXPECT_TRUE(d_->isVisible());
    QTest::mouseClick(ok(), Qt::LeftButton);
    EXPECT_TRUE(d_->isVisible());
    EXPECT_EQ(dialoghi.testiMessaggi(),
              std::vector<std::string>{"Il riferimento non può contenere le virgolette (\")."});
    EXPECT_EQ(d_->focusWidget(), casella("Txtrif"));
    EXPECT_FALSE(fs::exists(dir / "listcol1.txt"));
    dialoghi.messaggi.clear();
    casella("Txtrif")->setText("caffè, à");
    QTest::mouseClick(ok(), Qt::LeftButton);

    EXPECT_FALSE(d_->isVisible());
    EXPECT_TRUE(dialoghi.messaggi.empty());
    EXPECT_EQ(form1.Testo("txtSaldo"), "1.234,50");
    std::string file;
    for (const char* nome : {"listcol1", "listcol2", "listcol3", "listcol4", "listcol5", "para"})
        file += test::LeggiByte(dir / (std::string(nome) + ".txt"));
    EXPECT_EQ(file,
              "\"05/03/2003\"\r\n\"Versamento\"\r\n\"caff\xE8, \xE0\"\r\n\"205792<8\"\r\n"
              "\"205792<8\"\r\n\"Euro\",\"24681;\",\".7345\"\r\n");
}

}  // namespace
