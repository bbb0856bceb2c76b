#pragma once

#include "core/movement_types.h"
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

    // Shutdown: exit button and close box. Saves the register then the parameters once.
    void CmdEsci_Click();
    void Form_Unload();

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

    [[nodiscard]] bool chiuso() const { return chiuso_; }

private:
    void ChiediAzzeramento();

    ui::Contesto& c_;
    ApriFinestre& finestre_;
    bool chiuso_ = false;
};

// Fatal error report text: "Si è verificato l'errore N° 53 contattare il fornitore del programma."
[[nodiscard]] std::string MessaggioErroreFatale(int numero);

}  // namespace main_window
