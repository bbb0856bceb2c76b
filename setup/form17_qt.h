#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "core/conto.h"
#include "core/file_dati.h"
#include "setup/form17.h"
#include "ui/dialoghi.h"
#include "ui/finestra.h"

namespace setup {

// The first-use window. A successful OK has written the password file (when asked for)
// and dati.txt, set NumeroConto and BancaAppoggio, called apriPrincipale() and accepted;
// Cancel, Esc and the close box reject with nothing written.
class Form17Qt : public QDialog {
    Q_OBJECT

  public:
    Form17Qt(core::StatoConto& stato, core::FileDati& file, ui::Dialoghi& dialoghi,
             std::function<void()> apriPrincipale, QWidget* parent = nullptr);
    ~Form17Qt() override;

    void reject() override;

  protected:
    void keyPressEvent(QKeyEvent* evento) override;
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

  private:
    std::unique_ptr<ui::Finestra> finestra_;
    std::unique_ptr<Form17> logica_;
};

}  // namespace setup
