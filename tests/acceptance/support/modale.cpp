#include "acceptance/support/modale.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>

namespace accettazione {

RispostaModale::RispostaModale(QString nomeFinestra, std::function<void(QWidget&)> azione,
                               std::chrono::milliseconds limite)
    : nome_(std::move(nomeFinestra)), azione_(std::move(azione)) {
    // The timers fire only inside the exec() loop of the window being waited for.
    attesa_.setInterval(std::chrono::milliseconds(5));
    QObject::connect(&attesa_, &QTimer::timeout, [this] { cerca(); });
    attesa_.start();
    limite_.setSingleShot(true);
    limite_.setInterval(limite);
    QObject::connect(&limite_, &QTimer::timeout, [this] { scaduto(); });
    limite_.start();
}

RispostaModale::~RispostaModale() {
    attesa_.stop();
    limite_.stop();
    if (!eseguita_ && !scaduta_)
        ADD_FAILURE() << "no modal window " << nome_.toStdString() << " opened";
}

void RispostaModale::cerca() {
    QWidget* finestra = QApplication::activeModalWidget();
    if (!finestra || !finestra->isVisible()) return;
    attesa_.stop();
    finestra_ = finestra;
    eseguita_ = true;
    if (!nome_.isEmpty() && finestra->objectName() != nome_) {
        ADD_FAILURE() << "modal window " << finestra->objectName().toStdString()
                      << " opened instead of " << nome_.toStdString();
        finestra->close();
        return;
    }
    azione_(*finestra);
}

void RispostaModale::scaduto() {
    attesa_.stop();
    // Answered and gone: this step is over, whatever window is open now.
    if (eseguita_ && (!finestra_ || !finestra_->isVisible())) return;
    QWidget* aperta = eseguita_ ? finestra_.data() : QApplication::activeModalWidget();
    if (!aperta) return;
    scaduta_ = true;
    ADD_FAILURE() << "modal window " << aperta->objectName().toStdString()
                  << " still open after the time limit";
    // reject() runs the window's own cancel; hide() ends exec() whatever that does.
    if (auto* dialogo = qobject_cast<QDialog*>(aperta)) dialogo->reject();
    if (aperta->isVisible()) aperta->hide();
}

}  // namespace accettazione
