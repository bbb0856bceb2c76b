#pragma once

#include <QDialog>
#include <memory>

#include "main_window/frm_pass.h"
#include "ui/contesto.h"
#include "ui/finestra.h"

namespace main_window {

// The password window; its mode follows contesto.stato.VerificaPassword when it is used.
// In the start-up check it touches neither contesto.form1 nor the grid (see FrmPass).
class FrmPassQt : public QDialog {
    Q_OBJECT

  public:
    explicit FrmPassQt(ui::Contesto& contesto, QWidget* parent = nullptr);
    ~FrmPassQt() override;

    // Esc and the close box.
    void reject() override;

  protected:
    void keyPressEvent(QKeyEvent* evento) override;

  private:
    std::unique_ptr<ui::Finestra> finestra_;
    std::unique_ptr<FrmPass> logica_;
};

}  // namespace main_window
