#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/file_system.h"

// The save protocol the data files share with their backups: whole new files written
// beside the old ones and switched in together. Internal to core.
namespace core::salvataggio {

// A save writes "<file>.nuovo" beside each file, then switches them in. For the register
// (five files that must change together) the switch is guarded by a marker: while
// ".salvataggio" exists the new set is decided and an interruption is finished forward;
// ".annullamento" means a failed switch being undone. Each replaced file is kept as
// "<file>.vecchio" until the switch is complete, so a failure half-way can be undone.
inline constexpr std::string_view kNuovo = ".nuovo";
inline constexpr std::string_view kVecchio = ".vecchio";
inline constexpr std::string_view kMarcatore = ".salvataggio";
inline constexpr std::string_view kAnnullamento = ".annullamento";

struct FileNuovo {
    std::string nome;
    std::string contenuto;
    bool elimina = false;  // the file leaves the set: removed in the same switch
    // When set, makes the contents just before they are written (and frees them after),
    // so that a large set is never whole in memory at once.
    std::function<EsitoFile(std::string&)> genera = {};
};

// Where the files of a set live: the password file in `sistema`, the others in `dati`
// (which holds the markers), so that one switch covers both folders.
struct Cartelle {
    std::filesystem::path dati;
    std::filesystem::path sistema;
    [[nodiscard]] std::filesystem::path di(std::string_view nome) const;
};

[[nodiscard]] std::filesystem::path ConSuffisso(std::filesystem::path p, std::string_view suffisso);
// The eight files beside the program: the five register files, para.txt, dati.txt and
// the journal of changes.
[[nodiscard]] std::vector<std::string> NomiDatiProgramma();
// The same and the password file: the whole data set.
[[nodiscard]] std::vector<std::string> NomiInsieme();
[[nodiscard]] EsitoFile EliminaSeEsiste(FileSystem& fsys, const std::filesystem::path& p);

// Writes the files of `file` (removing those marked so) and switches them in as one.
[[nodiscard]] EsitoFile SalvaInsieme(FileSystem& fsys, const Cartelle& dir,
                                     const std::vector<FileNuovo>& file);
// Finishes or undoes a switch that was interrupted in `dir`, and drops leftovers.
[[nodiscard]] EsitoFile RecuperaCartella(FileSystem& fsys, const Cartelle& dir,
                                         const std::vector<std::string>& nomi);

}  // namespace core::salvataggio
