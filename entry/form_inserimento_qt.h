#pragma once

#include <QDialog>
#include <memory>

#include "core/tipi_movimento.h"
#include "entry/form_inserimento.h"
#include "ui/contesto.h"
#include "ui/finestra_qt.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace entry {

// The movement entry window of one type; all its behaviour is in FormInserimento.
// Enter never presses OK: it moves between the three boxes.
class FormInserimentoQt : public QDialog {
    Q_OBJECT

  public:
    FormInserimentoQt(const core::TipoMovimento& tipo, ui::Contesto& contesto,
                      QWidget* parent = nullptr);
    ~FormInserimentoQt() override;

    // Annulla, Esc and the close box all end here.
    void reject() override;

  protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

  private:
    QLineEdit* txtData_;
    QLineEdit* txtImporto_;
    QLineEdit* Txtrif_;
    std::unique_ptr<ui::FinestraQt> finestra_;
    std::unique_ptr<FormInserimento> logica_;
};

}  // namespace entry
