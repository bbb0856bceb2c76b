#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <string>
#include <vector>

#include "main_window/form1_qt.h"
#include "support/contesto_finto.h"
#include "ui/dialoghi_qt.h"

namespace {

// The user at the keyboard: fills in and confirms each entry window that opens, and
// answers each message box with OK, noting its text.
class Utente : public QObject {
  public:
    Utente() {
        connect(&timer_, &QTimer::timeout, this, &Utente::agisci);
        timer_.start(20);
    }
    std::vector<std::string> messaggi;

  private:
    void agisci() {
        QWidget* modale = QApplication::activeModalWidget();
        if (!modale) return;
        if (auto* box = qobject_cast<QMessageBox*>(modale)) {
            messaggi.push_back(box->text().toStdString());
            box->button(QMessageBox::Ok)->click();
        } else if (auto* importo = modale->findChild<QLineEdit*>("txtImporto")) {
            importo->setText("200.000");
            // Queued: the message the click raises waits in a loop of its own, and a timer
            // is not run again while its own handler is still running.
            QMetaObject::invokeMethod(modale->findChild<QPushButton*>("cmdOk"), "click",
                                      Qt::QueuedConnection);
        }
    }
    QTimer timer_;
};

// "ATTENZIONE! SEI FUORI FIDO" is raised by the entry window, which then closes: the
// keyboard must be back in the main window, on its type list, every time.
TEST(Tastiera, DopoIlMessaggioDiUnaFinestraChiusaIlFocusTornaAllaPrincipale) {
    test::ContestoFinto ambiente;
    ambiente.stato.ModoValuta = "Lire";
    ambiente.stato.FidoConto = core::Money::FromUnits(-100000);
    (void)ambiente.file.SalvaParametri(
        {ambiente.stato.ModoValuta, ambiente.stato.SaldoConto, ambiente.stato.FidoConto});
    ui::DialoghiQt dialoghi;
    main_window::Form1Qt principale(ambiente.stato, ambiente.file, dialoghi, [] {
        return core::Data{2003, 3, 5};
    });
    ASSERT_EQ(principale.Carica(), 0);
    principale.show();
    principale.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&principale));
    principale.lista()->setFocus();

    Utente utente;
    std::vector<std::string> dove;
    for (int volta = 0; volta < 3; ++volta) {
        const auto prelievo = principale.lista()->findItems("Prelievo", Qt::MatchExactly);
        principale.lista()->setCurrentItem(prelievo.front());
        QTest::keyClick(principale.lista(), Qt::Key_Return);
        // The window system's activation arrives as an event.
        (void)QTest::qWaitFor([&] { return QApplication::activeWindow() == &principale; }, 500);
        QWidget* focus = QApplication::focusWidget();
        dove.push_back((QApplication::activeWindow() == &principale ? "Form1:" : "altrove:") +
                       (focus ? focus->objectName().toStdString() : std::string("nessuno")));
    }
    EXPECT_EQ(utente.messaggi, std::vector<std::string>(3, "ATTENZIONE! SEI FUORI FIDO"));
    EXPECT_EQ(dove, std::vector<std::string>(3, "Form1:List1"));
    EXPECT_EQ(principale.griglia().Rows(), 4);
}

// Esc on a Sì/No/Annulla question backs out: it answers Annulla, never No.
TEST(Tastiera, EscSuUnaDomandaConAnnullaAnnulla) {
    ui::DialoghiQt dialoghi;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            QTest::keyClick(box, Qt::Key_Escape);
    });
    timer.start(20);
    EXPECT_EQ(dialoghi.Messaggio("Salvare?", ui::Pulsanti::SiNoAnnulla, ui::Icona::Domanda,
                                 ui::kTitoloApplicazione, ui::Risposta::Si),
              ui::Risposta::Annulla);
}

}  // namespace
