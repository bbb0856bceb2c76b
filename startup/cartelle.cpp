#include "startup/cartelle.h"

#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "core/file_dati.h"

namespace avvio {

namespace fs = std::filesystem;

namespace {

bool StessaCartella(const fs::path& a, const fs::path& b) {
    std::error_code ec1, ec2;
    const fs::path ca = fs::weakly_canonical(a, ec1);
    const fs::path cb = fs::weakly_canonical(b, ec2);
    return !ec1 && !ec2 && ca == cb;
}

std::optional<CartellaDati> Personale(const Posizioni& p, ui::Dialoghi& dialoghi) {
    if (const auto errore = CreaCartella(p.personale)) {
        dialoghi.Messaggio(MessaggioErroreCartella(*errore), ui::Pulsanti::Ok, ui::Icona::Critica);
        return std::nullopt;
    }
    return CartellaDati{p.personale};
}

// The account file last: a copy cut short is not taken for a register.
std::vector<std::string> FileDaCopiare() {
    std::vector<std::string> nomi{core::kFileParametri};
    for (int k = 1; k <= 5; ++k) nomi.push_back(core::NomeFileRegistro(k));
    nomi.push_back(core::kFileConto);
    return nomi;
}

// Copies the data files as they are, byte for byte; a copy that fails is taken back.
core::EsitoFile CopiaDati(core::FileSystem& fs, const fs::path& da, const fs::path& a) {
    std::vector<fs::path> copiati;
    core::EsitoFile errore;
    for (const auto& nome : FileDaCopiare()) {
        if (!fs.esiste(da / nome)) continue;
        std::string contenuto;
        errore = fs.leggi(da / nome, contenuto);
        if (!errore) errore = fs.scrivi(a / nome, contenuto);
        if (errore) break;
        copiati.push_back(a / nome);
    }
    if (!errore) errore = fs.sincronizzaCartella(a);
    if (errore)
        for (const auto& f : copiati) (void)fs.elimina(f);
    return errore;
}

}  // namespace

bool Installata(const Posizioni& posizioni) {
    for (const auto& cartella : posizioni.installazione)
        if (StessaCartella(posizioni.programma, cartella)) return true;
    return false;
}

int ErroreScrittura(const fs::path& cartella) {
    return ::access(cartella.c_str(), W_OK) == 0 ? 0 : errno;
}

std::optional<CartellaDati> ScegliCartellaDati(const Posizioni& p, core::FileSystem& fs,
                                               ui::Dialoghi& dialoghi,
                                               const ProvaScrittura& prova) {
    if (Installata(p)) return Personale(p, dialoghi);
    const int errore = prova(p.programma);
    if (errore == 0) return CartellaDati{p.programma};
    // Nothing to lose here: a copy on a medium that cannot be written starts in the
    // user's folder.
    if (!fs.esiste(p.programma / core::kFileConto)) return Personale(p, dialoghi);

    const std::string dove = "Il registro del conto si trova nella cartella " +
                             p.programma.string() +
                             ", che non si può modificare: " + core::MotivoErrore(errore) + ".\n\n";
    const std::string solaLettura =
        "\nNo: aprirlo in sola lettura (nessuna modifica potrà essere salvata).\nAnnulla: uscire.";
    if (fs.esiste(p.personale / core::kFileConto)) {
        // Most likely the copy made on an earlier start: it is not overwritten.
        const auto r = dialoghi.Messaggio(
            dove + "Nella cartella " + p.personale.string() +
                " c'è già un registro.\n\nSì: aprire quello e continuare lì." + solaLettura,
            ui::Pulsanti::SiNoAnnulla, ui::Icona::Esclamazione, ui::kTitoloApplicazione,
            ui::Risposta::No);
        if (r == ui::Risposta::Si) return CartellaDati{p.personale};
        if (r == ui::Risposta::No) return CartellaDati{p.programma, true};
        return std::nullopt;
    }
    const auto r =
        dialoghi.Messaggio(dove + "Sì: copiarlo nella cartella " + p.personale.string() +
                               " e continuare lì (l'originale resta com'è)." + solaLettura,
                           ui::Pulsanti::SiNoAnnulla, ui::Icona::Esclamazione,
                           ui::kTitoloApplicazione, ui::Risposta::Si);
    if (r == ui::Risposta::No) return CartellaDati{p.programma, true};
    if (r != ui::Risposta::Si) return std::nullopt;
    const auto personale = Personale(p, dialoghi);
    if (!personale) return std::nullopt;
    if (const auto e = CopiaDati(fs, p.programma, p.personale)) {
        dialoghi.Messaggio(core::MessaggioErroreFile(*e), ui::Pulsanti::Ok, ui::Icona::Critica);
        return std::nullopt;
    }
    return personale;
}

core::EsitoFile CreaCartella(const fs::path& cartella) {
    std::error_code ec;
    fs::create_directories(cartella, ec);
    if (!ec) return std::nullopt;
    // A file where the folder (or one of its parents) should be.
    if (ec.value() == EEXIST || ec.value() == ENOTDIR)
        return core::ErroreFile{cartella,
                                "al suo posto, o al posto di una cartella che la "
                                "contiene, c'è un file"};
    return core::ErroreFile{cartella, core::MotivoErrore(ec.value())};
}

std::string MessaggioErroreCartella(const core::ErroreFile& errore) {
    return "Impossibile creare la cartella " + errore.file.string() + ": " + errore.motivo + ".";
}

}  // namespace avvio
