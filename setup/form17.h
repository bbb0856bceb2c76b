#pragma once

#include <functional>

#include "core/conto.h"
#include "core/file_dati.h"
#include "ui/dialoghi.h"
#include "ui/finestra.h"

namespace setup {

using ui::kTastoInvio;

inline constexpr const char* kMsgMancaConto = "Manca il numero di conto";
inline constexpr const char* kMsgMancaBanca = "Manca il riferimento della banca d'appoggio";
inline constexpr const char* kMsgMancaPassword = "Manca la password";
inline constexpr const char* kMsgContoNonValido =
    "Il numero di conto non può contenere le virgolette (\") né caratteri speciali";
inline constexpr const char* kMsgBancaNonValida =
    "Il nome della banca non può contenere le virgolette (\") né caratteri speciali";

// The first-use window (named "Form17"): account number, bank and an optional first
// password. Its controls: TxtConto, TxtBanca, txtPass, lblPass, ChPass, CmdOk, CmdAnnulla.
class Form17 {
  public:
    // apriPrincipale builds, titles and shows the main window once the account is saved.
    Form17(ui::Finestra& finestra, core::StatoConto& stato, core::FileDati& file,
           ui::Dialoghi& dialoghi, std::function<void()> apriPrincipale);

    void Form_Load();
    void ChPass_Click();
    void TxtConto_KeyPress(int tasto);
    void TxtBanca_KeyPress(int tasto);
    void txtPass_KeyPress(int tasto);
    void CmdOk_Click();
    void CmdAnnulla_Click();

    // True once OK has saved the account and the window has closed.
    [[nodiscard]] bool confermato() const { return confermato_; }

  private:
    // Shows the message and puts the focus in the control to correct (none: left where it is).
    void Rifiuta(const char* messaggio, const char* controllo);

    ui::Finestra& f_;
    core::StatoConto& stato_;
    core::FileDati& file_;
    ui::Dialoghi& dialoghi_;
    std::function<void()> apriPrincipale_;
    bool confermato_ = false;
};

}  // namespace setup
