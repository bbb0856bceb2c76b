#pragma once

#include <QDialog>
#include <memory>

#include "grid/griglia.h"
#include "printing/frm_stampa.h"
#include "printing/stampa.h"
#include "ui/contesto.h"

class QKeyEvent;

namespace grid {
class RenderGrigliaQt;
}
namespace ui {
class FinestraQt;
}

namespace printing {

// The print dialog "frmStampa". It owns the print grid GridPrint, which is rebuilt at each
// run from the register in contesto.griglia.
//
// The first constructor prints to the system's default printer or, when none is
// installed, to a PDF file beside the program (contesto.file.dirProgramma()) and tells the
// user its path with a message box. Tests use the second one and choose the printer:
// the factory is called once per print run (for example StampanteQt::Pdf(path) or
// StampanteQt::Guasta()).
class FrmStampaQt : public QDialog {
    Q_OBJECT

  public:
    explicit FrmStampaQt(ui::Contesto& contesto, QWidget* parent = nullptr);
    FrmStampaQt(ui::Contesto& contesto, FabbricaStampante stampante, QWidget* parent = nullptr);
    ~FrmStampaQt() override;

    [[nodiscard]] const grid::Griglia& gridPrint() const { return gridPrint_; }

  protected:
    // Esc does not close the dialog; Enter clicks only a focused button.
    void keyPressEvent(QKeyEvent* evento) override;

  private:
    grid::Griglia gridPrint_;
    std::unique_ptr<grid::RenderGrigliaQt> render_;
    std::unique_ptr<ui::FinestraQt> finestra_;
    std::unique_ptr<StampaRegistro> stampa_;
    std::unique_ptr<FrmStampa> logica_;
};

}  // namespace printing
