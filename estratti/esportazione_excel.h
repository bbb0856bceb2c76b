#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "core/date.h"
#include "core/file_system.h"
#include "core/registro.h"

namespace estratti {

// The account a workbook's title row names.
struct IntestazioneExcel {
    std::string numeroConto;
    std::string banca;
};

// The register, whole or within [da, a], as an .xlsx workbook: a title row with the account
// and the bank, the header frozen below it, dates as date cells (dd/mm/yyyy), amounts and
// balances as numbers in each row's currency, the currency named beside them, every column
// wide enough for its values. Written whole beside its final name, flushed, then renamed
// in; owner read/write only.
[[nodiscard]] core::EsitoFile EsportaExcel(core::FileSystem& fs, const std::filesystem::path& file,
                                           const core::Registro& registro,
                                           const IntestazioneExcel& conto,
                                           std::optional<core::Data> da,
                                           std::optional<core::Data> a);

}  // namespace estratti
