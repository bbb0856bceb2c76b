#include "startup/avvio.h"

#include "core/cp1252.h"
#include "core/scrambler.h"
#include "main_window/form1.h"

namespace avvio {

namespace {

Esito Fatale(DialoghiConFine& dialoghi, int numero) {
    dialoghi.Messaggio(main_window::MessaggioErroreFatale(numero), ui::Pulsanti::Ok,
                       ui::Icona::Critica, ui::kTitoloApplicazione, ui::Risposta::Ok);
    dialoghi.TerminaProgramma();
    return Esito::Finito;
}

// The stored password in the program's UTF-8, or nullopt when it cannot be unscrambled.
std::optional<std::string> PasswordInChiaro(const core::StatoConto& stato) {
    const auto byte = core::Decodifica(stato.PasswordSalvata);
    if (!byte) return std::nullopt;
    return core::Cp1252InUtf8(*byte);
}

Esito VerificaPassword(core::FileDati& file, core::StatoConto& stato, DialoghiConFine& dialoghi,
                       FinestreAvvio& finestre) {
    if (int errore = file.LeggiPassword(stato.PasswordSalvata)) return Fatale(dialoghi, errore);
    // A damaged file is reported now rather than after the user has typed a password.
    if (!PasswordInChiaro(stato)) return Fatale(dialoghi, core::kErroreFuoriIntervallo);
    stato.VerificaPassword = true;

    finestre.CreaPrincipale();
    finestre.ApriPassword();
    if (dialoghi.terminato()) return Esito::Finito;
    if (int errore = finestre.CaricaPrincipale()) return Fatale(dialoghi, errore);

    if (!PasswordCorrisponde(stato)) {
        dialoghi.Messaggio(kPasswordErrata, ui::Pulsanti::Ok, ui::Icona::Esclamazione,
                           ui::kTitoloApplicazione, ui::Risposta::Ok);
        dialoghi.TerminaProgramma();
        return Esito::Finito;
    }
    return Esito::InCorso;
}

}  // namespace

std::string MessaggioIstanzaAttiva(std::string_view nomeEseguibile) {
    return "L'applicazione " + std::string(nomeEseguibile) + " è gia' in esecuzione.";
}

bool PasswordCorrisponde(const core::StatoConto& stato) {
    if (stato.PasswordInserita.empty()) return false;
    const auto salvata = PasswordInChiaro(stato);
    return salvata && core::MaiuscoloUtf8(*salvata) == core::MaiuscoloUtf8(stato.PasswordInserita);
}

Esito Main(core::FileDati& file, core::StatoConto& stato, DialoghiConFine& dialoghi,
           FinestreAvvio& finestre) {
    if (!file.esisteConto()) {
        finestre.ApriImpostazioneConto();
        return Esito::InCorso;
    }

    bool caricata = false;
    if (file.esistePassword()) {
        if (VerificaPassword(file, stato, dialoghi, finestre) == Esito::Finito)
            return Esito::Finito;
        caricata = true;
    }

    if (int errore = file.LeggiConto(stato.NumeroConto, stato.BancaAppoggio))
        return Fatale(dialoghi, errore);
    if (!caricata) return ApriPrincipale(stato, dialoghi, finestre);
    finestre.MostraPrincipale(
        core::TitoloFinestraPrincipale(stato.NumeroConto, stato.BancaAppoggio));
    return Esito::InCorso;
}

Esito ApriPrincipale(core::StatoConto& stato, DialoghiConFine& dialoghi, FinestreAvvio& finestre) {
    finestre.CreaPrincipale();
    if (int errore = finestre.CaricaPrincipale()) return Fatale(dialoghi, errore);
    finestre.MostraPrincipale(
        core::TitoloFinestraPrincipale(stato.NumeroConto, stato.BancaAppoggio));
    return Esito::InCorso;
}

}  // namespace avvio
