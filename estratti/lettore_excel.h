#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "core/date.h"
#include "estratti/estratto.h"
#include "estratti/lettore_csv.h"

namespace estratti {

// A workbook is a zip: a few kilobytes may claim gigabytes. What each part declares is
// checked before it is expanded, and what it yields is counted while it is.
inline constexpr std::uint64_t kExcelEspansoMassimo = std::uint64_t{256} << 20;  // all parts
inline constexpr std::uint64_t kExcelRapportoMassimo = 200;  // expanded : compressed, one part
inline constexpr std::uint64_t kExcelRapportoDa = std::uint64_t{1} << 20;  // ratio checked above
// Cells further right than this are no bank's table; a stray one must not widen every row.
inline constexpr int kExcelColonneMassime = 256;
inline constexpr int kExcelFogliMassimi = 256;
// Merged ranges fill at most this many cells in all: a range over a whole sheet stays cheap.
inline constexpr std::size_t kExcelCelleUniteMassime = std::size_t{1} << 22;

enum class FormatoExcel { Nessuno, Xls, Xlsx };
// From the first bytes: a zip (.xlsx) or an OLE2 compound file (.xls, or an encrypted .xlsx).
[[nodiscard]] FormatoExcel RiconosciExcel(std::string_view byte);

// The first worksheet that holds a table of movements (else the first with any cell), as
// the cells the CSV reader works on: a date cell as "dd/mm/yyyy", a number as its plain
// decimal with a comma ("-1234,5"), a text as it is. Each record's line is the sheet's row
// number. Hidden columns are left out; a merged range gives its value to each of its
// cells, except a heading over sub-headings (then the row below is the header).
[[nodiscard]] std::variant<TabellaCsv, ErroreEstratto> LeggiFoglioXlsx(std::string_view byte,
                                                                       const std::string& nomeFile);
// The same for the older binary format, read from the file (libfreexl opens it itself).
[[nodiscard]] std::variant<TabellaCsv, ErroreEstratto> LeggiFoglioXls(
    const std::filesystem::path& file, const std::string& nomeFile);

// Either of the two, told apart by the bytes; an encrypted .xlsx is named for what it is.
[[nodiscard]] std::variant<TabellaCsv, ErroreEstratto> LeggiFoglioExcel(
    std::string_view byte, const std::filesystem::path& file, const std::string& nomeFile);

// The table as ";"-separated text that SeparaCsv splits into the same records, for the
// windows that show a file's columns from its text.
[[nodiscard]] std::string TestoCsv(const TabellaCsv& tabella);

// Excel's serial day number (the time of day dropped) in the 1900 system, whose day 60 is
// the 29 February 1900 that never was, or in the 1904 system.
[[nodiscard]] std::optional<core::Data> DataSeriale(double seriale, bool epoca1904);
// A number as decimal text with a comma and no grouping ("1234,5", "-0,01"), to the 15
// significant digits Excel itself keeps.
inline constexpr int kExcelCifre = 15;
[[nodiscard]] std::string TestoNumero(double valore);

}  // namespace estratti
