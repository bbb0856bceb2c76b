#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "core/date.h"
#include "core/file_system.h"
#include "core/registro.h"

namespace estratti {

// The register as a spreadsheet opens it with Italian settings: ";" separated, UTF-8 with
// a BOM, dates dd/mm/yyyy, signed plain amounts with a decimal comma, each with its
// currency, and the running balance with its own (a switch leaves them apart). Cells are
// read as everywhere in the program. Only rows within [da, a] when given.
[[nodiscard]] std::string TestoEsportazione(const core::Registro& registro,
                                            std::optional<core::Data> da,
                                            std::optional<core::Data> a);

// Written whole beside its final name, flushed, then renamed in; owner read/write only.
[[nodiscard]] core::EsitoFile Esporta(core::FileSystem& fs, const std::filesystem::path& file,
                                      const core::Registro& registro, std::optional<core::Data> da,
                                      std::optional<core::Data> a);

}  // namespace estratti
