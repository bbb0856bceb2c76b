#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "grid/griglia.h"
#include "printing/coda_stampa.h"
#include "printing/frm_stampa.h"
#include "printing/stampa.h"
#include "ui/contesto.h"

class QInputDialog;
class QKeyEvent;

namespace ui {
class FinestraQt;
}

namespace printing {

// Asks the user to pick one of the printers; empty when they decline.
using SceltaStampante = std::function<std::string(const std::vector<std::string>&)>;
// The program's way of asking: a list of the printers in a modal box.
[[nodiscard]] std::string ScegliStampante(const std::vector<std::string>& stampanti);
// That box, filled in and not yet shown.
void PreparaSceltaStampante(QInputDialog& finestra, const std::vector<std::string>& stampanti);

// The printer a print run goes to: the system's default queue; with none set, the only
// printer, or the one the user picks among several; with none installed, a PDF file
// beside the program (contesto.file.dirProgramma()) whose path the user is told.
[[nodiscard]] FabbricaStampante StampanteDiSistema(ui::Contesto& contesto, CodaStampa& coda,
                                                   SceltaStampante scegli);

// The print dialog "frmStampa". It owns the print grid GridPrint, which is rebuilt at each
// run from the register in contesto.griglia.
//
// The first constructor prints as StampanteDiSistema chooses, over the CUPS queues. Tests
// use the second one and choose the printer: the factory is called once per print run
// (for example StampanteQt::Pdf(path) or StampanteQt::Guasta()).
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
    std::unique_ptr<ui::FinestraQt> finestra_;
    std::unique_ptr<StampaRegistro> stampa_;
    std::unique_ptr<FrmStampa> logica_;
};

}  // namespace printing
