#include "main_window/form1.h"
#include "main_window/frm_pass.h"

namespace main_window {

// Removing asks for no password: whoever is past the start-up check may remove it.
void Form1::cmdPass_Click() {
    if (!c_.file.esistePassword()) {
        // From this button the window always sets a new password, even when the file
        // vanished after a start-up check (which would otherwise make Cancel end the
        // program and OK store nothing).
        c_.stato.VerificaPassword = false;
        finestre_.ApriPassword();
        return;
    }
    if (c_.dialoghi.Messaggio("Sei sicuro di rimuovere la password ?", ui::Pulsanti::SiNo,
                              ui::Icona::Domanda, "Rimuovi password",
                              ui::Risposta::Si) != ui::Risposta::Si)
        return;
    if (const auto errore = c_.file.EliminaPassword()) {
        c_.dialoghi.Messaggio(core::MessaggioErroreEliminazione(*errore), ui::Pulsanti::Ok,
                              ui::Icona::Esclamazione);
        return;
    }
    c_.form1.ImpostaTesto("cmdPass", kCaptionInserisciPassword);
    c_.stato.VerificaPassword = false;
}

}  // namespace main_window
