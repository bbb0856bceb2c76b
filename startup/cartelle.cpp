#include "startup/cartelle.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <system_error>

#include "core/file_dati.h"
#include "core/salvataggio.h"
#include "core/uscite.h"

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
    return CartellaDati{p.personale, false, {}};
}

}  // namespace

bool Installata(const Posizioni& posizioni) {
    const fs::path bin = posizioni.programma.lexically_normal();
    const fs::path cartella = bin.has_filename() ? bin : bin.parent_path();
    if (cartella.filename() != "bin") return false;
    const fs::path share = cartella.parent_path() / "share";
    std::error_code ec;
    return fs::is_regular_file(share / "applications" / "quibora.desktop", ec) ||
           fs::is_regular_file(share / "metainfo" / "it.quibora.quibora.metainfo.xml", ec);
}

int ErroreScrittura(const fs::path& cartella) {
    return ::access(cartella.c_str(), W_OK) == 0 ? 0 : errno;
}

bool ContieneRegistro(core::FileSystem& fs, const fs::path& cartella) {
    for (const auto& n : core::salvataggio::NomiDatiProgramma())
        if (fs.esiste(cartella / n) ||
            fs.esiste(core::salvataggio::ConSuffisso(cartella / n, ".nuovo")))
            return true;
    return fs.esiste(cartella / core::salvataggio::kMarcatore) ||
           fs.esiste(cartella / core::salvataggio::kAnnullamento);
}

fs::path CartellaPassword(const fs::path& configurazione, const fs::path& cartellaDati,
                          const fs::path& personale) {
    if (StessaCartella(cartellaDati, personale)) return configurazione;
    std::error_code ec;
    fs::path canonica = fs::weakly_canonical(cartellaDati, ec);
    if (ec) canonica = fs::absolute(cartellaDati, ec).lexically_normal();
    // FNV-1a: the same name in every run and every build.
    std::uint64_t h = 14695981039346656037ull;
    for (const unsigned char c : canonica.string()) h = (h ^ c) * 1099511628211ull;
    char nome[17];
    std::snprintf(nome, sizeof nome, "%016llx", static_cast<unsigned long long>(h));
    return configurazione / "registri" / nome;
}

core::EsitoFile AdottaPasswordComune(core::FileSystem& fs, const fs::path& configurazione,
                                     const fs::path& cartellaPassword,
                                     const fs::path& cartellaDati) {
    const fs::path comune = configurazione / core::kFilePassword;
    const fs::path propria = cartellaPassword / core::kFilePassword;
    if (StessaCartella(cartellaPassword, configurazione) || fs.esiste(propria) ||
        !fs.esiste(cartellaDati / core::kFileConto) || !fs.esiste(comune))
        return std::nullopt;
    std::string byte;
    if (auto e = fs.leggi(comune, byte)) return e;
    if (auto e = fs.creaCartella(cartellaPassword)) return e;
    const fs::path nuovo = core::salvataggio::ConSuffisso(propria, core::salvataggio::kNuovo);
    if (auto e = fs.scrivi(nuovo, byte)) return e;
    if (auto e = fs.rinomina(nuovo, propria)) return e;
    (void)fs.sincronizzaCartella(cartellaPassword);
    return std::nullopt;
}

bool CompletaCopia(const CartellaDati& cartella, const fs::path& password, core::FileDati& file,
                   ui::Dialoghi& dialoghi) {
    if (!cartella.copiaDa) return true;
    if (const auto e = file.AdottaRegistro(*cartella.copiaDa, password)) {
        dialoghi.Messaggio(core::MessaggioErroreFile(*e), ui::Pulsanti::Ok, ui::Icona::Critica);
        return false;
    }
    return true;
}

std::optional<CartellaDati> ScegliCartellaDati(const Posizioni& p, core::FileSystem& fs,
                                               ui::Dialoghi& dialoghi,
                                               const ProvaScrittura& prova) {
    if (Installata(p)) return Personale(p, dialoghi);
    const int errore = prova(p.programma);
    if (errore == 0) return CartellaDati{p.programma, false, {}};
    // Nothing to lose here: a copy on a medium that cannot be written starts in the
    // user's folder.
    if (!fs.esiste(p.programma / core::kFileConto)) return Personale(p, dialoghi);

    const std::string dove = "Il registro del conto si trova nella cartella " +
                             p.programma.string() +
                             ", che non si può modificare: " + core::MotivoErrore(errore) + ".\n\n";
    const std::string solaLettura =
        "\nNo: aprirlo in sola lettura (nessuna modifica potrà essere salvata).\nAnnulla: uscire.";
    if (ContieneRegistro(fs, p.personale)) {
        // Most likely the copy made on an earlier start: it is not overwritten.
        const auto r = dialoghi.Messaggio(
            dove + "Nella cartella " + p.personale.string() +
                " c'è già un registro.\n\nSì: aprire quello e continuare lì." + solaLettura,
            ui::Pulsanti::SiNoAnnulla, ui::Icona::Esclamazione, ui::kTitoloApplicazione,
            ui::Risposta::No);
        if (r == ui::Risposta::Si) return CartellaDati{p.personale, false, {}};
        if (r == ui::Risposta::No) return CartellaDati{p.programma, true, {}};
        return std::nullopt;
    }
    const auto r =
        dialoghi.Messaggio(dove + "Sì: copiarlo nella cartella " + p.personale.string() +
                               " e continuare lì (l'originale resta com'è)." + solaLettura,
                           ui::Pulsanti::SiNoAnnulla, ui::Icona::Esclamazione,
                           ui::kTitoloApplicazione, ui::Risposta::Si);
    if (r == ui::Risposta::No) return CartellaDati{p.programma, true, {}};
    if (r != ui::Risposta::Si) return std::nullopt;
    auto personale = Personale(p, dialoghi);
    if (personale) personale->copiaDa = p.programma;
    return personale;
}

void TogliAvanzi(const fs::path& cartella, unsigned utente, std::int64_t prima) {
    std::error_code ec;
    for (auto it = fs::directory_iterator(cartella, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        const std::string nome = it->path().filename().string();
        if (!nome.starts_with("quibora-ofx-") && !nome.starts_with("libofxtmp") &&
            !nome.ends_with(".quibora-tmp"))
            continue;
        struct stat info;
        if (::lstat(it->path().c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
            info.st_uid != utente || info.st_mtime >= prima)
            continue;
        (void)::unlink(it->path().c_str());
    }
}

void TogliAvanziUscite(const fs::path& cartellaDati, unsigned utente, std::int64_t prima) {
    core::FileSystem& disco = core::FileSystemReale();
    const fs::path elenco = cartellaDati / core::kFileUscite;
    for (const auto& uscita : core::CartelleUscita(disco, elenco))
        TogliAvanzi(uscita, utente, prima);
    if (disco.esiste(elenco)) (void)disco.elimina(elenco);
}

core::EsitoFile ControllaFileBlocco(const fs::path& blocco) {
    struct stat info;
    if (::lstat(blocco.c_str(), &info) != 0) {
        if (errno == ENOENT) return std::nullopt;
        return core::ErroreFile{blocco, core::MotivoErrore(errno)};
    }
    if (S_ISDIR(info.st_mode)) return core::ErroreFile{blocco, "al suo posto c'è una cartella"};
    if (S_ISLNK(info.st_mode))
        return core::ErroreFile{blocco, "al suo posto c'è un collegamento simbolico"};
    if (!S_ISREG(info.st_mode))
        return core::ErroreFile{blocco, "al suo posto c'è un dispositivo o un file speciale"};
    // A lock holds a process number, a program name and a host name.
    if (info.st_size > 4096)
        return core::ErroreFile{blocco, "è troppo grande per un file di blocco"};
    return std::nullopt;
}

std::string MessaggioFileBlocco(const core::ErroreFile& errore) {
    return "Il file di blocco " + errore.file.string() + " non è valido: " + errore.motivo +
           ". Il programma non può sapere se un'altra copia sta usando i dati. Eliminarlo o "
           "spostarlo, poi riavviare il programma.";
}

std::optional<std::string> RifiutoAmministratore(const fs::path& cartella,
                                                 unsigned utenteEffettivo) {
    if (utenteEffettivo != 0) return std::nullopt;
    fs::path esistente = cartella;
    struct stat info;
    while (::stat(esistente.c_str(), &info) != 0) {
        if (!esistente.has_relative_path()) return std::nullopt;
        esistente = esistente.parent_path();
    }
    if (info.st_uid == 0) return std::nullopt;
    return "Il programma è stato avviato come amministratore (root) sulla cartella " +
           cartella.string() + ", che appartiene a un altro utente: i file che vi scriverebbe " +
           "non sarebbero più modificabili da quell'utente. Avviarlo come l'utente stesso, "
           "senza sudo.";
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
