#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "core/file_system.h"
#include "ui/dialoghi.h"

namespace avvio {

// Where the program is and where it may keep its data.
struct Posizioni {
    std::filesystem::path programma;                   // the executable's folder
    std::vector<std::filesystem::path> installazione;  // where an installation puts it
    std::filesystem::path personale;                   // the user's own data folder
};

// An installed copy is one started from where the installation puts the program; any
// other (the build, a folder of its own) is a portable copy.
[[nodiscard]] bool Installata(const Posizioni& posizioni);

struct CartellaDati {
    std::filesystem::path percorso;
    bool solaLettura = false;  // every save is refused and says so
};

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
    core::EsitoFile scrivi(const std::filesystem::path& p, std::string_view) override {
        return Rifiuta(p);
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
