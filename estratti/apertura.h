#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
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
    std::string testo;  // CSV only, UTF-8
    MappaturaCsv mappatura;
    bool mappaturaRicordata = false;
    std::string banca;  // CSV: the header signature
    // OFX already read (on the import's worker), so that the preview does not read it again.
    std::shared_ptr<const Estratto> letto;
    std::string conto;  // OFX with several accounts: the one the user chose
    // The user chose to switch a lire register to euro at "Importa": the preview computes in
    // euro (Estratto::registroInEuro).
    bool registroInEuro = false;
};

// Beyond this size a file is no statement (and would only keep the user waiting).
inline constexpr std::size_t kMassimaDimensioneEstratto = std::size_t{32} << 20;

[[nodiscard]] std::variant<FileEstratto, ErroreEstratto> ApriEstratto(
    core::FileSystem& fs, const std::filesystem::path& percorso, const MemoriaMappature* memoria);
// The same on bytes already read; `nome` names the file in messages.
[[nodiscard]] std::variant<FileEstratto, ErroreEstratto> ApriEstrattoDaByte(
    std::string_view byte, const std::filesystem::path& percorso, const MemoriaMappature* memoria);
// What a file that is no statement is ("è un PDF: ..."), as the message refusing it; empty
// for a text that may be one.
[[nodiscard]] std::string NonEstratto(std::string_view byte, const std::string& nome);
[[nodiscard]] std::variant<Estratto, ErroreEstratto> LeggiEstratto(const FileEstratto& file);

}  // namespace estratti
