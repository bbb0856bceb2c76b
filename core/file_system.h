#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// What a save that failed left on the disk, so that the message says what is true.
enum class DatiDopoErrore {
    Intatti,                // the files are as they were before the save
    CompletatiAlRiavvio,    // the new files are decided: the next start switches them in
    RipristinatiAlRiavvio,  // the old files are put back at the next start
};

// A failed file operation: the file's path and an Italian reason for the user.
struct ErroreFile {
    std::filesystem::path file;
    std::string motivo;
    DatiDopoErrore dati = DatiDopoErrore::Intatti;
};
// Empty when the operation succeeded.
using EsitoFile = std::optional<ErroreFile>;

// What a name is, without following a symbolic link.
enum class TipoVoce { Assente, File, Cartella, Collegamento, Altro };

// No data file can be larger: far above what a million movements take, and small enough
// that a file of any size is refused before it fills the memory.
inline constexpr std::uintmax_t kDimensioneMassima = std::uintmax_t{256} << 20;

// The file operations the data files need. The real one works on the disk; tests put
// one in front of it that fails chosen operations (read-only, full disk, failing rename).
class FileSystem {
  public:
    virtual ~FileSystem() = default;
    // True for anything under that name, a dangling link included: such a name is a
    // damaged file, not a missing one.
    [[nodiscard]] virtual bool esiste(const std::filesystem::path& p) const = 0;
    [[nodiscard]] virtual TipoVoce tipo(const std::filesystem::path& p) const = 0;
    // Only a regular file (through a link too) of at most kDimensioneMassima bytes is
    // read; a FIFO, a device or a directory is refused without waiting on it.
    [[nodiscard]] virtual EsitoFile leggi(const std::filesystem::path& p,
                                          std::string& contenuto) const = 0;
    // Up to `quanti` bytes of the file from byte `da` on, appended to `pezzo`: fewer only at
    // the end of the file. What leggi refuses, this refuses too. A large file read a piece
    // at a time is never whole in memory. `versione` is 0 before the first piece, which sets
    // it; a later piece of a file replaced or rewritten meanwhile is refused, so that pieces
    // of two files are never taken for one. This one reads the file whole for each piece: a
    // file system in memory needs nothing better.
    [[nodiscard]] virtual EsitoFile leggiParte(const std::filesystem::path& p, std::uintmax_t da,
                                               std::size_t quanti, std::string& pezzo,
                                               std::uint64_t& versione) const;
    // Creates a new file (owner read/write only), writes it whole and flushes it to the
    // disk before returning. Whatever had the name is removed first (a link itself, never
    // what it points to) and the file is made where no other can appear meanwhile, so a
    // planted link is neither followed nor reused.
    [[nodiscard]] virtual EsitoFile scrivi(const std::filesystem::path& p,
                                           std::string_view contenuto) = 0;
    // Cuts the existing file `p` to `da` bytes, writes `contenuto` there and flushes it to
    // the disk. On failure it is cut back to `da` where it can be. A link is not followed.
    [[nodiscard]] virtual EsitoFile aggiungiIn(const std::filesystem::path& p, std::uintmax_t da,
                                               std::string_view contenuto) = 0;
    // The size of a regular file (a link is not followed); nullopt for anything else.
    [[nodiscard]] virtual std::optional<std::uintmax_t> dimensione(
        const std::filesystem::path& p) const = 0;
    [[nodiscard]] virtual EsitoFile rinomina(const std::filesystem::path& da,
                                             const std::filesystem::path& a) = 0;
    // Deleting a file that does not exist succeeds.
    [[nodiscard]] virtual EsitoFile elimina(const std::filesystem::path& p) = 0;
    // Makes the renames in a directory durable.
    [[nodiscard]] virtual EsitoFile sincronizzaCartella(const std::filesystem::path& dir) = 0;
    [[nodiscard]] virtual EsitoFile creaCartella(const std::filesystem::path& dir) = 0;
    // Removes an empty folder (a link is not followed).
    [[nodiscard]] virtual EsitoFile eliminaCartella(const std::filesystem::path& dir) = 0;
    // A second name `a` for the file `da` (a hard link); fails where the file system
    // cannot, or across disks.
    [[nodiscard]] virtual EsitoFile collega(const std::filesystem::path& da,
                                            const std::filesystem::path& a) = 0;
    // The names in a folder, "." and ".." aside, in no particular order.
    [[nodiscard]] virtual EsitoFile elenca(const std::filesystem::path& dir,
                                           std::vector<std::string>& nomi) const = 0;
};

[[nodiscard]] FileSystem& FileSystemReale();

// "Impossibile salvare il file ...": the message shown for a failed save.
[[nodiscard]] std::string MessaggioErroreFile(const ErroreFile& errore);
// "Impossibile eliminare il file ...": the message shown for a failed delete.
[[nodiscard]] std::string MessaggioErroreEliminazione(const ErroreFile& errore);
// The Italian reason for a system error number (errno), as put in ErroreFile::motivo.
[[nodiscard]] std::string MotivoErrore(int numeroErrore);

}  // namespace core
