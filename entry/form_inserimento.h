#pragma once

#include "core/tipi_movimento.h"
#include "ui/contesto.h"
#include "ui/finestra.h"

namespace entry {

using ui::kTastoInvio;

// The movement entry window's logic, one design for the fifteen types. The window
// (a ui::Finestra with the boxes "txtData", "txtImporto", "Txtrif" and the label
// "Label4") forwards its events here; the main window is reached through the context.
class FormInserimento {
  public:
    FormInserimento(const core::TipoMovimento& tipo, ui::Contesto& contesto, ui::Finestra& finestra)
        : tipo_(tipo), c_(contesto), f_(finestra) {}

    void Form_Load();
    void txtData_KeyDown(int codiceTasto);
    void txtImporto_KeyDown(int codiceTasto);
    void Txtrif_KeyDown(int codiceTasto);
    void txtImporto_MouseMove();
    void cmdOk_Click();
    void cmdAnnulla_Click();

    [[nodiscard]] const core::TipoMovimento& tipo() const { return tipo_; }

  private:
    const core::TipoMovimento& tipo_;
    ui::Contesto& c_;
    ui::Finestra& f_;
};

}  // namespace entry
