#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace core {

// A failed file operation: the file's path and an Italian reason for the user.
struct ErroreFile {
    std::filesystem::path file;
    std::string motivo;
};
// Empty when the operation succeeded.
using EsitoFile = std::optional<ErroreFile>;

// The file operations the data files need. The real one works on the disk; tests put
// one in front of it that fails chosen operations (read-only, full disk, failing rename).
class FileSystem {
public:
    virtual ~FileSystem() = default;
    [[nodiscard]] virtual bool esiste(const std::filesystem::path& p) const = 0;
    [[nodiscard]] virtual EsitoFile leggi(const std::filesystem::path& p,
                                          std::string& contenuto) const = 0;
    // Creates or truncates the file (owner read/write only), writes it whole and flushes
    // it to the disk before returning.
    [[nodiscard]] virtual EsitoFile scrivi(const std::filesystem::path& p,
                                           std::string_view contenuto) = 0;
    [[nodiscard]] virtual EsitoFile rinomina(const std::filesystem::path& da,
                                             const std::filesystem::path& a) = 0;
    // Deleting a file that does not exist succeeds.
    [[nodiscard]] virtual EsitoFile elimina(const std::filesystem::path& p) = 0;
    // Makes the renames in a directory durable.
    [[nodiscard]] virtual EsitoFile sincronizzaCartella(const std::filesystem::path& dir) = 0;
    [[nodiscard]] virtual EsitoFile creaCartella(const std::filesystem::path& dir) = 0;
};

[[nodiscard]] FileSystem& FileSystemReale();

// "Impossibile salvare il file ...": the message shown for a failed save.
[[nodiscard]] std::string MessaggioErroreFile(const ErroreFile& errore);
// "Impossibile eliminare il file ...": the message shown for a failed delete.
[[nodiscard]] std::string MessaggioErroreEliminazione(const ErroreFile& errore);
// The Italian reason for a system error number (errno), as put in ErroreFile::motivo.
[[nodiscard]] std::string MotivoErrore(int numeroErrore);

}  // namespace core
