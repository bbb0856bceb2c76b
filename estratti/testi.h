#pragma once

#include <optional>
#include <string>
#include <string_view>

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

enum class FormatoData { GiornoMeseAnno, AnnoMeseGiorno };
// A date cell; a time after the date (blank or "T") is ignored.
[[nodiscard]] std::optional<core::Data> LeggiDataBanca(std::string_view testo, FormatoData formato);

// Counts characters, not bytes.
[[nodiscard]] std::size_t LunghezzaUtf8(std::string_view testo);
// The first `caratteri` characters.
[[nodiscard]] std::string TroncaUtf8(std::string_view testo, std::size_t caratteri);

// The value of a register cell ("1.234,50" euro, "1.234" lire; empty is zero).
[[nodiscard]] std::optional<core::Money> ValoreCella(std::string_view testo);

}  // namespace estratti
