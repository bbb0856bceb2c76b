#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "core/file_dati.h"
#include "core/file_system.h"
#include "ui/dialoghi.h"

namespace avvio {

// Where the program is and where it may keep its data.
struct Posizioni {
    std::filesystem::path programma;  // the executable's folder
    std::filesystem::path personale;  // the user's own data folder
};

// An installed copy is recognised by its layout, whatever the prefix: the program in a
// bin/ folder with its own files in the share/ folder beside it (its desktop entry or its
// AppStream description). Any other (the build, a folder of its own) is a portable copy.
[[nodiscard]] bool Installata(const Posizioni& posizioni);

struct CartellaDati {
    std::filesystem::path percorso;
    bool solaLettura = false;  // every save is refused and says so
    // The register to copy here once the folder is locked (the user chose to).
    std::optional<std::filesystem::path> copiaDa;
};

// Is there anything of a register in the folder: any of the data files, or a save of them
// left half-way?
[[nodiscard]] bool ContieneRegistro(core::FileSystem& fs, const std::filesystem::path& cartella);

// 0 when the folder can be written, else the system's error number.
using ProvaScrittura = std::function<int(const std::filesystem::path&)>;
[[nodiscard]] int ErroreScrittura(const std::filesystem::path& cartella);

// The folder of the data files. An installed copy keeps them in the user's folder, a
// portable copy beside itself. A portable copy whose register cannot be written asks the
// user: copy it to the user's folder and carry on there, open it read-only, or end.
// nullopt when the program must end (the user cancelled, or a message said why).
[[nodiscard]] std::optional<CartellaDati> ScegliCartellaDati(
    const Posizioni& posizioni, core::FileSystem& fs, ui::Dialoghi& dialoghi,
    const ProvaScrittura& prova = ErroreScrittura);

// The folder of the password file of the register in `cartellaDati`: the configuration
// folder itself for the user's own data folder (where installed copies have always kept
// it); for any other a folder of its own, "registri/<hash of the data folder's canonical
// path>", so that a password set for one register never changes another's.
[[nodiscard]] std::filesystem::path CartellaPassword(const std::filesystem::path& configurazione,
                                                     const std::filesystem::path& cartellaDati,
                                                     const std::filesystem::path& personale);
// Before each register had its own, every copy used the configuration folder's password
// file: a register elsewhere that has none of its own yet gets a copy of that one, so that
// its password is still asked.
[[nodiscard]] core::EsitoFile AdottaPasswordComune(core::FileSystem& fs,
                                                   const std::filesystem::path& configurazione,
                                                   const std::filesystem::path& cartellaPassword,
                                                   const std::filesystem::path& cartellaDati);

// The copy chosen in ScegliCartellaDati, made with the data folder locked: the register
// and its password file `password` come in as one save into `file`, which never
// overwrites a register and keeps in its backups what it replaces. False when it could
// not be made (the message has said why).
[[nodiscard]] bool CompletaCopia(const CartellaDati& cartella,
                                 const std::filesystem::path& password, core::FileDati& file,
                                 ui::Dialoghi& dialoghi);

// What runs cut short leave behind: temporary exports ("*.quibora-tmp"), the statements
// handed to libofx ("quibora-ofx-*") and its own copies ("libofxtmp*"). Those in `cartella`
// that are plain files of the user `utente`, last changed before `prima` (the start of this
// run, so that nothing a running copy is writing goes), are removed.
void TogliAvanzi(const std::filesystem::path& cartella, unsigned utente, std::int64_t prima);
// The same in the folders the register's exports were written to (listed beside the data
// files, see core/uscite.h); the list is then dropped.
void TogliAvanziUscite(const std::filesystem::path& cartellaDati, unsigned utente,
                       std::int64_t prima);

// The lock file must be a plain small file, or missing: a FIFO would hang the start, a
// link to a device would be read for ever. The error names the file and says what it is.
[[nodiscard]] core::EsitoFile ControllaFileBlocco(const std::filesystem::path& blocco);
// "Il file di blocco ... non è valido: ..."
[[nodiscard]] std::string MessaggioFileBlocco(const core::ErroreFile& errore);

// Run as root (`utenteEffettivo` 0) on a folder (or the nearest existing folder above it)
// that belongs to another user, the program would leave files that user cannot change:
// the refusal says why. nullopt when the program may go on.
[[nodiscard]] std::optional<std::string> RifiutoAmministratore(
    const std::filesystem::path& cartella, unsigned utenteEffettivo);

// Creates a folder and its parents; the error names the folder.
[[nodiscard]] core::EsitoFile CreaCartella(const std::filesystem::path& cartella);
// "Impossibile creare la cartella ...: ..."
[[nodiscard]] std::string MessaggioErroreCartella(const core::ErroreFile& errore);

// Passes every read on and refuses every change: a register opened read-only is never
// written, and each refused save says so with the file's name.
class FileSystemSolaLettura : public core::FileSystem {
  public:
    explicit FileSystemSolaLettura(core::FileSystem& reale) : reale_(reale) {}
    static constexpr const char* kMotivo = "registro aperto in sola lettura";

    bool esiste(const std::filesystem::path& p) const override { return reale_.esiste(p); }
    core::TipoVoce tipo(const std::filesystem::path& p) const override { return reale_.tipo(p); }
    core::EsitoFile leggi(const std::filesystem::path& p, std::string& c) const override {
        return reale_.leggi(p, c);
    }
    core::EsitoFile leggiParte(const std::filesystem::path& p, std::uintmax_t da,
                               std::size_t quanti, std::string& pezzo,
                               std::uint64_t& versione) const override {
        return reale_.leggiParte(p, da, quanti, pezzo, versione);
    }
    core::EsitoFile scrivi(const std::filesystem::path& p, std::string_view) override {
        return Rifiuta(p);
    }
    core::EsitoFile aggiungiIn(const std::filesystem::path& p, std::uintmax_t,
                               std::string_view) override {
        return Rifiuta(p);
    }
    std::optional<std::uintmax_t> dimensione(const std::filesystem::path& p) const override {
        return reale_.dimensione(p);
    }
    core::EsitoFile rinomina(const std::filesystem::path&,
                             const std::filesystem::path& a) override {
        return Rifiuta(a);
    }
    core::EsitoFile elimina(const std::filesystem::path& p) override { return Rifiuta(p); }
    core::EsitoFile sincronizzaCartella(const std::filesystem::path&) override {
        return std::nullopt;
    }
    core::EsitoFile creaCartella(const std::filesystem::path& p) override { return Rifiuta(p); }
    core::EsitoFile eliminaCartella(const std::filesystem::path& p) override { return Rifiuta(p); }
    core::EsitoFile collega(const std::filesystem::path&, const std::filesystem::path& a) override {
        return Rifiuta(a);
    }
    core::EsitoFile elenca(const std::filesystem::path& dir,
                           std::vector<std::string>& nomi) const override {
        return reale_.elenca(dir, nomi);
    }

  private:
    static core::EsitoFile Rifiuta(const std::filesystem::path& p) {
        return core::ErroreFile{p, kMotivo};
    }
    core::FileSystem& reale_;
};

}  // namespace avvio
