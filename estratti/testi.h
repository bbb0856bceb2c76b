#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/date.h"
#include "core/denaro.h"

namespace estratti {

// The bytes of a bank's file as UTF-8: a BOM is dropped, and a file that is not valid
// UTF-8 is taken as Windows-1252 (what Italian banks' older exports are).
[[nodiscard]] std::string TestoUtf8(std::string_view byte);
[[nodiscard]] bool Utf8Valido(std::string_view testo);

// Lower case of the ASCII letters, blanks at both ends dropped.
[[nodiscard]] std::string Normalizza(std::string_view testo);
[[nodiscard]] std::string_view SenzaSpazi(std::string_view testo);

// A bank's amount: blanks, "€" and "EUR" ignored, a leading "+" or "-" (or a trailing
// "-"), the other separator taken as grouping. Rounded to four decimals.
[[nodiscard]] std::optional<core::Money> LeggiImportoBanca(std::string_view testo, char decimale);

// How a numeric date that does not start with the year is read. Year-first dates
// (2024-07-24, 20240724 for AnnoMeseGiorno) and dates with a month name ("24 lug 2024",
// "24-Jul-2024", "Jul 24, 2024") are read whatever the format.
enum class FormatoData { GiornoMeseAnno, AnnoMeseGiorno, MeseGiornoAnno };
// A date cell; a time after the date (blank or "T") is ignored.
[[nodiscard]] std::optional<core::Data> LeggiDataBanca(std::string_view testo, FormatoData formato);
// The first two numbers of a numeric date that does not start with the year (3 and 4 for
// "3/4/2024"): what tells day first from month first.
[[nodiscard]] std::optional<std::pair<int, int>> PrimiDueNumeri(std::string_view testo);

// Counts characters, not bytes.
[[nodiscard]] std::size_t LunghezzaUtf8(std::string_view testo);
// The first `caratteri` characters.
[[nodiscard]] std::string TroncaUtf8(std::string_view testo, std::size_t caratteri);

// The most telling `caratteri` characters of a bank's description: its boilerplate prefix
// ("ADDEBITO SDD", "PAGAMENTO POS") dropped, and a number never cut in the middle.
[[nodiscard]] std::string RiferimentoBreve(std::string_view descrizione, std::size_t caratteri);

// The value of a register cell ("1.234,50" euro, "1.234" lire; empty is zero), read as
// everywhere else in the program (a hand-edited "1.50" is 150).
[[nodiscard]] std::optional<core::Money> ValoreCella(std::string_view testo);

}  // namespace estratti
