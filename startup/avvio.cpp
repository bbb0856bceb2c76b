#include "startup/avvio.h"

#include <filesystem>

#include "core/codifica.h"
#include "core/cp1252.h"

namespace avvio {

namespace {

bool FileNoto(int numero, const core::ErroreLettura& errore) {
    return errore.numero == numero && !errore.file.empty();
}

// "Si è verificato l'errore N° 62 leggendo il file ..., riga 4 (motivo)".
std::string TestoErrore(int numero, const core::ErroreLettura& errore) {
    std::string testo = "Si è verificato l'errore N° " + std::to_string(numero);
    if (!FileNoto(numero, errore)) return testo;
    testo += " leggendo il file " + errore.file.string();
    if (errore.riga > 0) testo += ", riga " + std::to_string(errore.riga);
    if (!errore.motivo.empty()) testo += " (" + errore.motivo + ")";
    return testo;
}

// "AAAAMMGG-HHMMSS..." as "GG/MM/AAAA alle HH:MM:SS".
std::string DataCopia(const std::filesystem::path& cartella) {
    const std::string n = cartella.filename().string();
    return n.substr(6, 2) + "/" + n.substr(4, 2) + "/" + n.substr(0, 4) + " alle " +
           n.substr(9, 2) + ":" + n.substr(11, 2) + ":" + n.substr(13, 2);
}

Esito Termina(ui::Dialoghi& dialoghi, const std::string& testo) {
    dialoghi.Messaggio(testo, ui::Pulsanti::Ok, ui::Icona::Critica, ui::kTitoloApplicazione,
                       ui::Risposta::Ok);
    dialoghi.TerminaProgramma();
    return Esito::Finito;
}

// Start-up after the files have been found damaged and a backup put back: once only, so a
// backup that fails as well ends with the report.
Esito DopoRipristino(core::FileDati& file, core::StatoConto& stato, ui::Dialoghi& dialoghi,
                     FinestreAvvio& finestre);

// Puts the backup in `copia` back, keeping the files in place aside, and starts again on it.
Esito Ripristina(core::FileDati& file, core::StatoConto& stato, ui::Dialoghi& dialoghi,
                 FinestreAvvio& finestre, const std::filesystem::path& copia) {
    std::filesystem::path accantonati;
    if (const auto e = file.RipristinaCopia(copia, &accantonati)) {
        return Termina(dialoghi, "Impossibile ripristinare la copia di sicurezza: " +
                                     core::MessaggioErroreFile(*e));
    }
    std::string fatto = "La copia di sicurezza del " + DataCopia(copia) + " è stata ripristinata.";
    if (!accantonati.empty())
        fatto += " I file danneggiati sono stati conservati in " + accantonati.string() + ".";
    dialoghi.Messaggio(fatto, ui::Pulsanti::Ok, ui::Icona::Informazione, ui::kTitoloApplicazione,
                       ui::Risposta::Ok);
    stato = {};
    return DopoRipristino(file, stato, dialoghi, finestre);
}

// A file that cannot be loaded: the report names the error, the file and the row, and,
// when a backup loads, offers to put it back and carry on.
Esito Fatale(core::FileDati& file, core::StatoConto& stato, ui::Dialoghi& dialoghi,
             FinestreAvvio& finestre, int numero, bool ripristinabile = true) {
    const std::string errore = MessaggioErroreCaricamento(numero, file.erroreLettura());
    const auto copia = ripristinabile ? file.CopiaRipristinabile() : std::nullopt;
    if (!copia) return Termina(dialoghi, errore);
    const std::string domanda =
        TestoErrore(numero, file.erroreLettura()) +
        ".\n\nC'è una copia di sicurezza dei dati del " + DataCopia(*copia) + " (" +
        copia->string() +
        "). Ripristinarla e continuare? I file attuali saranno conservati nella cartella "
        "backup per un controllo.";
    if (dialoghi.Messaggio(domanda, ui::Pulsanti::SiNo, ui::Icona::Critica, ui::kTitoloApplicazione,
                           ui::Risposta::Si) != ui::Risposta::Si) {
        dialoghi.TerminaProgramma();
        return Esito::Finito;
    }
    return Ripristina(file, stato, dialoghi, finestre, *copia);
}

// The main window's loading. Amounts no one can read are told with their files and rows,
// as the other repairs are: the user chooses the newest backup that loads, as for a
// damaged file, or keeps them as written (never as zero). nullopt when loaded.
std::optional<Esito> Carica(core::FileDati& file, core::StatoConto& stato, ui::Dialoghi& dialoghi,
                            FinestreAvvio& finestre, bool ripristinabile) {
    int errore = finestre.CaricaPrincipale();
    if (errore != 0 && !file.importiIlleggibili().empty()) {
        const auto copia = ripristinabile ? file.CopiaRipristinabile() : std::nullopt;
        std::string testo =
            "Alcuni importi del registro non si possono leggere (modificati a mano o "
            "danneggiati):\n" +
            core::ElencoRighe(file.importiIlleggibili()) + "\n\n";
        const std::string comeSono =
            "restano nel registro come sono scritti: non valgono zero, vanno corretti.";
        if (copia) {
            testo += "C'è una copia di sicurezza dei dati del " + DataCopia(*copia) + " (" +
                     copia->string() +
                     "). Ripristinarla e continuare? I file attuali saranno conservati nella "
                     "cartella backup per un controllo.\nCon No gli importi " +
                     comeSono;
            if (dialoghi.Messaggio(testo, ui::Pulsanti::SiNo, ui::Icona::Esclamazione,
                                   ui::kTitoloApplicazione, ui::Risposta::Si) == ui::Risposta::Si)
                return Ripristina(file, stato, dialoghi, finestre, *copia);
        } else {
            dialoghi.Messaggio(testo + "Gli importi " + comeSono, ui::Pulsanti::Ok,
                               ui::Icona::Esclamazione, ui::kTitoloApplicazione, ui::Risposta::Ok);
        }
        file.AccettaImportiIlleggibili();
        errore = finestre.CaricaPrincipale();
    }
    if (errore != 0) return Fatale(file, stato, dialoghi, finestre, errore, ripristinabile);
    return std::nullopt;
}

// The stored password in the program's UTF-8, or nullopt when it cannot be unscrambled.
std::optional<std::string> PasswordInChiaro(const core::StatoConto& stato) {
    const auto byte = core::Decodifica(stato.PasswordSalvata);
    if (!byte) return std::nullopt;
    return core::Cp1252InUtf8(*byte);
}

// Texts mended at loading are told once, and the account's are written back at once
// (nothing else would save dati.txt); the register and parameters follow at the next save.
void TeniConto(core::FileDati& file, core::StatoConto& stato, ui::Dialoghi& dialoghi) {
    if (file.riparazioni().empty()) return;
    dialoghi.Messaggio(core::MessaggioRiparazioni(file.riparazioni()), ui::Pulsanti::Ok,
                       ui::Icona::Esclamazione, ui::kTitoloApplicazione, ui::Risposta::Ok);
    if (!file.contoRiparato()) return;
    if (const auto e = file.SalvaConto(stato.NumeroConto, stato.BancaAppoggio))
        dialoghi.Messaggio(core::MessaggioErroreFile(*e), ui::Pulsanti::Ok, ui::Icona::Esclamazione,
                           ui::kTitoloApplicazione, ui::Risposta::Ok);
}

Esito Mostra(core::FileDati& file, core::StatoConto& stato, ui::Dialoghi& dialoghi,
             FinestreAvvio& finestre) {
    TeniConto(file, stato, dialoghi);
    finestre.MostraPrincipale(
        core::TitoloFinestraPrincipale(stato.NumeroConto, stato.BancaAppoggio));
    return Esito::InCorso;
}

Esito VerificaPassword(core::FileDati& file, core::StatoConto& stato, ui::Dialoghi& dialoghi,
                       FinestreAvvio& finestre, bool ripristinabile) {
    if (int errore = file.LeggiPassword(stato.PasswordSalvata))
        return Fatale(file, stato, dialoghi, finestre, errore, ripristinabile);
    // A damaged file is reported now rather than after the user has typed a password.
    if (!PasswordInChiaro(stato)) {
        (void)file.ErroreCaricamento(core::kErroreFuoriIntervallo, {file.percorsoPassword(), ""});
        return Fatale(file, stato, dialoghi, finestre, core::kErroreFuoriIntervallo,
                      ripristinabile);
    }
    stato.VerificaPassword = true;

    finestre.CreaPrincipale();
    finestre.ApriPassword();
    if (dialoghi.Terminato()) return Esito::Finito;
    if (const auto fine = Carica(file, stato, dialoghi, finestre, ripristinabile)) return *fine;

    if (!PasswordCorrisponde(stato)) {
        dialoghi.Messaggio(kPasswordErrata, ui::Pulsanti::Ok, ui::Icona::Esclamazione,
                           ui::kTitoloApplicazione, ui::Risposta::Ok);
        dialoghi.TerminaProgramma();
        return Esito::Finito;
    }
    return Esito::InCorso;
}

Esito Avvia(core::FileDati& file, core::StatoConto& stato, ui::Dialoghi& dialoghi,
            FinestreAvvio& finestre, bool ripristinabile) {
    // A save, restore or reset cut short is finished or undone before anything looks at
    // which files exist: half-way, dati.txt may be under another name.
    if (const auto e = file.Recupera())
        return Fatale(file, stato, dialoghi, finestre,
                      file.ErroreCaricamento(core::kErroreAccessoFile, *e), ripristinabile);
    if (!file.esisteConto()) {
        finestre.ApriImpostazioneConto();
        return Esito::InCorso;
    }
    // The account is read first, so that every damaged file is found before the main
    // window has loaded anything.
    if (int errore = file.LeggiConto(stato.NumeroConto, stato.BancaAppoggio))
        return Fatale(file, stato, dialoghi, finestre, errore, ripristinabile);

    if (file.esistePassword()) {
        if (VerificaPassword(file, stato, dialoghi, finestre, ripristinabile) == Esito::Finito)
            return Esito::Finito;
        return Mostra(file, stato, dialoghi, finestre);
    }
    finestre.CreaPrincipale();
    if (const auto fine = Carica(file, stato, dialoghi, finestre, ripristinabile)) return *fine;
    return Mostra(file, stato, dialoghi, finestre);
}

Esito DopoRipristino(core::FileDati& file, core::StatoConto& stato, ui::Dialoghi& dialoghi,
                     FinestreAvvio& finestre) {
    return Avvia(file, stato, dialoghi, finestre, false);
}

}  // namespace

std::string MessaggioErroreCaricamento(int numero, const core::ErroreLettura& errore) {
    // Without a file to name, the message keeps its old wording, with no colon.
    return TestoErrore(numero, errore) + (FileNoto(numero, errore) ? ":" : "") +
           " contattare il fornitore del programma.";
}

std::string MessaggioIstanzaAttiva(std::string_view nomeEseguibile) {
    return "L'applicazione " + std::string(nomeEseguibile) + " è gia' in esecuzione.";
}

bool PasswordCorrisponde(const core::StatoConto& stato) {
    if (stato.PasswordInserita.empty()) return false;
    const auto salvata = PasswordInChiaro(stato);
    return salvata && core::MaiuscoloUtf8(*salvata) == core::MaiuscoloUtf8(stato.PasswordInserita);
}

Esito Main(core::FileDati& file, core::StatoConto& stato, ui::Dialoghi& dialoghi,
           FinestreAvvio& finestre) {
    return Avvia(file, stato, dialoghi, finestre, true);
}

Esito ApriPrincipale(core::FileDati& file, core::StatoConto& stato, ui::Dialoghi& dialoghi,
                     FinestreAvvio& finestre) {
    finestre.CreaPrincipale();
    if (const auto fine = Carica(file, stato, dialoghi, finestre, true)) return *fine;
    return Mostra(file, stato, dialoghi, finestre);
}

}  // namespace avvio
