#include "main_window/frm_pass.h"

#include <string>

#include "core/testi_digitati.h"

namespace main_window {

void FrmPass::cmdOk_Click() {
    const std::string password(core::SenzaSpaziEsterni(f_.Testo("txtPass1")));
    if (password.empty()) {
        c_.dialoghi.Messaggio(kMsgMancaPassword, ui::Pulsanti::Ok, ui::Icona::Esclamazione);
        f_.Focus("txtPass1");
        return;
    }
    if (c_.stato.VerificaPassword) {
        c_.stato.PasswordInserita = password;
        f_.Chiudi();
        return;
    }

    if (const auto motivo = core::MotivoPasswordNonMemorizzabile(password)) {
        c_.dialoghi.Messaggio(*motivo, ui::Pulsanti::Ok, ui::Icona::Esclamazione);
        f_.Focus("txtPass1");
        return;
    }
    if (const auto errore = c_.file.SalvaPassword(password)) {
        c_.dialoghi.Messaggio(core::MessaggioErroreFile(*errore), ui::Pulsanti::Ok,
                              ui::Icona::Esclamazione);
        return;
    }
    c_.stato.PasswordSalvata = password;
    c_.form1.ImpostaTesto("cmdPass", kCaptionRimuoviPassword);
    f_.Chiudi();
}

void FrmPass::cmdAnnulla_Click() {
    const bool avvio = c_.stato.VerificaPassword;
    f_.Chiudi();
    if (avvio) c_.dialoghi.TerminaProgramma();
}

void FrmPass::txtPass1_KeyPress(int tasto) {
    if (tasto == kTastoInvio) cmdOk_Click();
}

void FrmPass::Form_Chiusura() {
    if (!c_.stato.VerificaPassword) {
        cmdAnnulla_Click();
        return;
    }
    c_.stato.PasswordInserita.clear();
    f_.Chiudi();
}

}  // namespace main_window
