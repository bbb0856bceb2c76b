#pragma once

#include "core/conto.h"
#include "core/date.h"
#include "grid/griglia.h"
#include "printing/stampa.h"
#include "ui/dialoghi.h"
#include "ui/finestra.h"

namespace printing {

// The print dialog "frmStampa": the choice between the whole register and a date range.
// Controls: "Option1_0" ("Stampa tutto"), "Option1_1" ("Stampa da data a data"),
// "txtDadata", "txtAdata", "Label1", "Label2", "Check1", "Label3", "cmdOk", "cmdAnnulla".
class FrmStampa {
  public:
    FrmStampa(ui::Finestra& finestra, ui::Dialoghi& dialoghi, core::StatoConto& stato,
              grid::Griglia& gridPrint, ProceduraStampa& procedura)
        : f_(finestra),
          dialoghi_(dialoghi),
          stato_(stato),
          gridPrint_(gridPrint),
          procedura_(procedura) {}

    void Form_Load(const core::Data& oggi);
    // Either option button; only which one is now selected matters.
    void Option1_Click();
    // Prints and closes, or shows why not and stays open.
    void cmdOk_Click();
    void cmdAnnulla_Click();

  private:
    // True when the run may go on; otherwise the message has been shown.
    bool ImpostaPeriodo();
    void Errore(const char* testo, ui::Icona icona);

    ui::Finestra& f_;
    ui::Dialoghi& dialoghi_;
    core::StatoConto& stato_;
    grid::Griglia& gridPrint_;
    ProceduraStampa& procedura_;
};

// Defaults for a missing end of the range.
inline constexpr core::Data kPrimoGiornoPredefinito{1900, 1, 1};
inline constexpr core::Data kUltimoGiornoPredefinito{2050, 1, 1};

}  // namespace printing
