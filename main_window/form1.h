#pragma once

#include "core/tipi_movimento.h"
#include "ui/contesto.h"

namespace main_window {

// The child windows the main window opens modally; each call returns when the window
// has closed. The Qt side creates the real dialogs, tests run the logic with fakes.
class ApriFinestre {
  public:
    virtual ~ApriFinestre() = default;
    virtual void ApriInserimento(const core::TipoMovimento& tipo) = 0;
    // frmPass: the start-up check while VerificaPassword is true, else a new password.
    virtual void ApriPassword() = 0;
    virtual void ApriStampa() = 0;
};

// The main window's logic: loading and every command. The window (ui::Finestra named
// "Form1" and its controls) only forwards events here.
class Form1 {
  public:
    Form1(ui::Contesto& contesto, ApriFinestre& finestre) : c_(contesto), finestre_(finestre) {}

    // Loading, in its order; 0 or the error number (the caller then shows the fatal
    // error report and ends the program).
    [[nodiscard]] int Form_Load();

    // Shutdown: exit button, close box and the system's request to end (logout, kill).
    // Saves the register and the parameters; when that fails the user chooses between
    // staying (the default: the window stays open, nothing is lost) and leaving without
    // saving. True when the program ends.
    void CmdEsci_Click();
    bool Form_Unload();
    // The same save when the session manager asks for one; the program goes on. False
    // when it failed (with `chiedi`, the user was told and chose to stay).
    [[nodiscard]] bool SalvaPerUscire(bool chiedi);

    void List1_Click(int posizione);
    void CmdEuro_Click();
    void CmdSaldo_Click();
    void Cmdfido_Click();
    void Rimuovi_Click();
    void Rimuoviu_Click();
    void cmdPass_Click();
    void CmdStampa_Click();

    // Reverses the last row's movement on SaldoConto; false (and a message) when its
    // amount cannot be read or the result leaves the money range.
    [[nodiscard]] bool StornaUltimoMovimento();

  private:
    void ChiediAzzeramento();

    ui::Contesto& c_;
    ApriFinestre& finestre_;
    // Nothing is saved at the end of a run whose register was never loaded.
    bool caricato_ = false;
    // The question after a failed shutdown save is open: a second request waits for it.
    bool chiedendo_ = false;
};

// The question after a failed shutdown save: the failure, then whether to leave anyway.
[[nodiscard]] std::string DomandaUscitaSenzaSalvare(const core::ErroreFile& errore);

}  // namespace main_window
