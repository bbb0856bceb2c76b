#include "printing/avanzamento_qt.h"

#include <QProgressDialog>

namespace printing {

AvanzamentoQt::AvanzamentoQt(QWidget* padre) : padre_(padre) {}

AvanzamentoQt::~AvanzamentoQt() = default;

bool AvanzamentoQt::Pagina(int pagina, int pagine) {
    if (!finestra_) {
        if (pagine <= kPochePagine) return true;
        finestra_ = std::make_unique<QProgressDialog>(padre_.data());
        finestra_->setObjectName(QStringLiteral("avanzamentoStampa"));
        finestra_->setWindowTitle(QStringLiteral("Stampa"));
        finestra_->setCancelButtonText(QStringLiteral("Annulla"));
        finestra_->setAccessibleName(QStringLiteral("Avanzamento della stampa"));
        // Modal, so that each page lets the box repaint and take the click on "Annulla".
        finestra_->setWindowModality(Qt::ApplicationModal);
        finestra_->setAutoClose(false);
        finestra_->setAutoReset(false);
        finestra_->setMinimumDuration(0);
        finestra_->setRange(0, pagine);
    }
    if (finestra_->wasCanceled()) return false;
    finestra_->setLabelText(QStringLiteral("Stampa della pagina %1 di %2").arg(pagina).arg(pagine));
    finestra_->setValue(pagina - 1);
    return !finestra_->wasCanceled();
}

FabbricaAvanzamento AvanzamentoQt::Fabbrica(QWidget* padre) {
    return [guardia = QPointer<QWidget>(padre)] {
        return std::make_unique<AvanzamentoQt>(guardia.data());
    };
}

}  // namespace printing
