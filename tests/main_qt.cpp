#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

namespace {

// A modal box nobody answers (a fault opened it, or a test forgot it) would hang the test until
// ctest gives up. The modal loop still runs timers: a box open this long fails the test and is
// closed, so the case ends in seconds and names the box.
constexpr int kLimiteModaleMs = 8000;

void SorvegliaModali() {
    static QPointer<QWidget> aperta;
    static QElapsedTimer da;
    QWidget* modale = QApplication::activeModalWidget();
    if (!modale || !modale->isVisible()) {
        aperta = nullptr;
        return;
    }
    if (modale != aperta) {
        aperta = modale;
        da.start();
        return;
    }
    if (da.elapsed() < kLimiteModaleMs) return;
    const auto* box = qobject_cast<QMessageBox*>(modale);
    ADD_FAILURE() << "modal window " << modale->objectName().toStdString()
                  << (box ? " \"" + box->text().toStdString() + "\"" : std::string())
                  << " left open for " << kLimiteModaleMs / 1000 << " s";
    aperta = nullptr;
    if (auto* dialogo = qobject_cast<QDialog*>(modale)) dialogo->reject();
    if (modale->isVisible()) modale->hide();
}

}  // namespace

// Qt window tests need one QApplication for the whole run; the platform is offscreen
// unless the caller chose another.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QTimer sorveglianza;
    QObject::connect(&sorveglianza, &QTimer::timeout, &SorvegliaModali);
    sorveglianza.start(100);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
