#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/denaro.h"

namespace core {

// The amount rules of the program: which typed texts are amounts, the lire and euro
// display formats, the currency of a register text and the conversion at 1936.27.
// All texts here are plain ASCII (digits, signs, "." and ",").

// The register's currency modes as stored.
inline constexpr const char* kLire = "Lire";
inline constexpr const char* kEuro = "Euro";

inline constexpr Money kCambioLire = Money::FromRaw(19362700);  // 1936.27 lire per euro

// A typed amount, Italian reading: blanks at both ends ignored, optional leading "-",
// digits optionally grouped in threes with "." (only between groups of exactly three
// digits: "1.500" but not "12.50"), at most one "," followed by digits.
// A text whose value does not fit the money range is not an amount.
[[nodiscard]] bool ImportoValido(std::string_view testo);
// The value of a valid amount text, rounded to four decimals; nullopt when not valid.
[[nodiscard]] std::optional<Money> ValoreImporto(std::string_view testo);
// An amount text already in the register (typed long ago, or a file edited by hand): read
// like a stored money text, with "." taken anywhere between two digits.
[[nodiscard]] std::optional<Money> ValoreImportoRegistrato(std::string_view testo);
// The value of a valid amount text as a double, before rounding (the "above zero" test).
[[nodiscard]] std::optional<double> ValoreImportoDouble(std::string_view testo);

// Lire: whole number, halves away from zero, "." groups, empty text for zero.
[[nodiscard]] std::string FormatoLire(Money valore);
// Euro: two decimals, halves away from zero, "." groups, "0,00" for zero.
[[nodiscard]] std::string FormatoEuro(Money valore);
// FormatoLire when the mode is exactly "Lire", else FormatoEuro.
[[nodiscard]] std::string FormatoModo(Money valore, std::string_view modoValuta);
// The balance box text: like FormatoModo but "0" for a zero balance in lire.
[[nodiscard]] std::string TestoSaldo(Money valore, std::string_view modoValuta);
// A register text is a euro text when it holds a comma.
[[nodiscard]] bool TestoInEuro(std::string_view testo);

// Conversions; nullopt when the result leaves the money range.
[[nodiscard]] std::optional<Money> LireInEuro(Money lire);
[[nodiscard]] std::optional<Money> EuroInLire(Money euro);

// The plain money text of the parameters file: "-", ungrouped digits, and ","
// with one to four digits only when the fraction is not zero (0, 1234,5, -5000000).
[[nodiscard]] std::string TestoDenaro(Money valore);

// Reading a stored money text back. Errors use the program's numbers:
// 13 when the text is not a number, 6 when it is beyond the money range.
struct LetturaDenaro {
    std::optional<Money> valore;
    int errore = 0;
};
[[nodiscard]] LetturaDenaro LeggiDenaro(std::string_view testo);

}  // namespace core
