#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/date.h"
#include "core/denaro.h"
#include "core/file_system.h"
#include "core/registro.h"

namespace estratti {

// One register row as it is exported: the signed amount and the balance, each in its own
// currency (a switch leaves them apart), read from the cells with the rules the program uses
// everywhere else; nullopt for a cell no rule reads, which is exported as it is written.
struct RigaEsportata {
    std::string_view data, causale, riferimento, cellaImporto, cellaSaldo;
    std::optional<core::Money> importo, saldo;
    bool euro = true;
    bool saldoEuro = true;
};
// Row `r` when it falls within [da, a] (when given); valid until the register changes.
[[nodiscard]] std::optional<RigaEsportata> RigaDaEsportare(const core::Registro& registro,
                                                           std::size_t r,
                                                           std::optional<core::Data> da,
                                                           std::optional<core::Data> a);
// The rows within [da, a] when given, in register order; valid until the register changes.
[[nodiscard]] std::vector<RigaEsportata> RigheDaEsportare(const core::Registro& registro,
                                                          std::optional<core::Data> da,
                                                          std::optional<core::Data> a);

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
