#include "setup/form17.h"

#include <optional>
#include <string>
#include <utility>

#include "core/testi_digitati.h"

namespace setup {

Form17::Form17(ui::Finestra& finestra, core::StatoConto& stato, core::FileDati& file,
               ui::Dialoghi& dialoghi, std::function<void()> apriPrincipale)
    : f_(finestra),
      stato_(stato),
      file_(file),
      dialoghi_(dialoghi),
      apriPrincipale_(std::move(apriPrincipale)) {}

void Form17::Form_Load() {
    f_.Focus("TxtConto");
}

// The typed password is kept while hidden, so checking the box again brings it back.
void Form17::ChPass_Click() {
    const bool conPassword = f_.Selezionato("ChPass");
    f_.ImpostaVisibile("txtPass", conPassword);
    f_.ImpostaVisibile("lblPass", conPassword);
}

void Form17::TxtConto_KeyPress(int tasto) {
    if (tasto == kTastoInvio) f_.Focus("TxtBanca");
}

void Form17::TxtBanca_KeyPress(int tasto) {
    if (tasto == kTastoInvio) f_.Focus("TxtConto");
}

void Form17::txtPass_KeyPress(int tasto) {
    if (tasto == kTastoInvio) f_.Focus("txtPass");
}

void Form17::Rifiuta(const char* messaggio, const char* controllo) {
    dialoghi_.Messaggio(messaggio, ui::Pulsanti::Ok, ui::Icona::Esclamazione);
    if (controllo) f_.Focus(controllo);
}

void Form17::CmdOk_Click() {
    const std::string conto = f_.Testo("TxtConto");
    const std::string banca = f_.Testo("TxtBanca");
    if (core::SenzaSpaziEsterni(conto).empty()) {
        Rifiuta(kMsgMancaConto, "TxtConto");
        return;
    }
    if (!core::TestoMemorizzabile(conto)) {
        Rifiuta(kMsgContoNonValido, "TxtConto");
        return;
    }
    if (core::SenzaSpaziEsterni(banca).empty()) {
        Rifiuta(kMsgMancaBanca, "TxtBanca");
        return;
    }
    if (!core::TestoMemorizzabile(banca)) {
        Rifiuta(kMsgBancaNonValida, "TxtBanca");
        return;
    }
    std::optional<std::string> password;
    if (f_.Visibile("txtPass")) {
        password = std::string(core::SenzaSpaziEsterni(f_.Testo("txtPass")));
        // The focus has never been moved for this one.
        if (password->empty()) {
            Rifiuta(kMsgMancaPassword, nullptr);
            return;
        }
        if (const auto motivo = core::MotivoPasswordNonMemorizzabile(*password)) {
            Rifiuta(motivo->c_str(), "txtPass");
            return;
        }
    }

    // The account file goes last: its presence is what makes the next start skip this
    // window, so a failed password write must not leave an account without its password.
    if (password) {
        if (const auto errore = file_.SalvaPassword(*password)) {
            Rifiuta(core::MessaggioErroreFile(*errore).c_str(), nullptr);
            return;
        }
    }
    if (const auto errore = file_.SalvaConto(conto, banca)) {
        // No account, no password: the next start would otherwise ask for one typed into
        // a setup that never completed.
        if (password) (void)file_.EliminaPassword();
        Rifiuta(core::MessaggioErroreFile(*errore).c_str(), nullptr);
        return;
    }

    stato_.NumeroConto = conto;
    stato_.BancaAppoggio = banca;
    if (password) stato_.PasswordSalvata = *password;
    confermato_ = true;
    if (apriPrincipale_) apriPrincipale_();
    f_.Chiudi();
}

void Form17::CmdAnnulla_Click() {
    f_.Chiudi();
}

}  // namespace setup
