#pragma once

#include "ui/contesto.h"
#include "ui/finestra.h"

namespace main_window {

using ui::kTastoInvio;
inline constexpr const char* kMsgMancaPassword = "Manca la Password";
inline constexpr const char* kCaptionRimuoviPassword = "Rimuovi Pass&word";
inline constexpr const char* kCaptionInserisciPassword = "Inserisci Pass&word";

// The password window (named "frmPass", text box txtPass1). While VerificaPassword is
// true it takes the password of the start-up check, which start-up compares; otherwise it
// sets a new password.
//
// In the start-up check the main window may not exist yet, so that mode leaves
// contesto.form1 (and the grid) alone: the main window's loading sets cmdPass from the
// password file, which is present whenever a password is asked for. Start-up may pass a
// stand-in window there.
class FrmPass {
  public:
    FrmPass(ui::Finestra& finestra, ui::Contesto& contesto) : f_(finestra), c_(contesto) {}

    void cmdOk_Click();
    void cmdAnnulla_Click();
    void txtPass1_KeyPress(int tasto);
    // The close box (and Esc): at start-up no password was typed, so the check fails.
    void Form_Chiusura();

  private:
    ui::Finestra& f_;
    ui::Contesto& c_;
};

}  // namespace main_window
