#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <variant>

#include "core/file_system.h"
#include "estratti/estratto.h"
#include "estratti/lettore_csv.h"

namespace estratti {

// The CSV mappings the user corrected, one per bank, kept in a small file in the per-user
// configuration folder.
class MemoriaMappature {
  public:
    MemoriaMappature(core::FileSystem& fs, std::filesystem::path file)
        : fs_(fs), file_(std::move(file)) {}
    // A missing or damaged file is an empty memory: it only saves the user some clicks.
    void Carica();
    [[nodiscard]] const MappaturaCsv* Trova(const std::string& banca) const;
    // Remembers the mapping and writes the file atomically.
    [[nodiscard]] core::EsitoFile Ricorda(const std::string& banca, const MappaturaCsv& m);

  private:
    core::FileSystem& fs_;
    std::filesystem::path file_;
    std::map<std::string, MappaturaCsv> mappature_;
};

inline constexpr const char* kFileMappature = "quibora-estratti.conf";

// A statement file as opened: OFX read straight away, CSV kept as text with its mapping so
// that the user can correct it and read again.
struct FileEstratto {
    std::filesystem::path percorso;
    std::string nome;
    bool ofx = false;
    std::string testo;  // CSV, UTF-8; for Excel the sheet's cells as such a text
    bool excel = false;
    TabellaCsv foglio;  // Excel only: the worksheet's cells
    MappaturaCsv mappatura;
    bool mappaturaRicordata = false;
    std::string banca;  // CSV: the header signature
};

[[nodiscard]] std::variant<FileEstratto, ErroreEstratto> ApriEstratto(
    core::FileSystem& fs, const std::filesystem::path& percorso, const MemoriaMappature* memoria);
[[nodiscard]] std::variant<Estratto, ErroreEstratto> LeggiEstratto(const FileEstratto& file);
// The cells of a CSV or Excel file, for choosing its columns.
[[nodiscard]] TabellaCsv CelleEstratto(const FileEstratto& file);

}  // namespace estratti
