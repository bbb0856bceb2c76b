#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace core {

// A calendar day. Dates are shown and stored as "dd/mm/yyyy", read day first and
// compared as whole days.
struct Data {
    int anno = 1900;
    int mese = 1;
    int giorno = 1;
    friend constexpr auto operator<=>(const Data&, const Data&) = default;
};

[[nodiscard]] bool DataEsistente(int anno, int mese, int giorno);
// Reads a date typed by the user: day, month, year separated by "/", "-" or ".",
// with one or two digits for day and month and four digits for the year (two-digit
// years are read as 19xx from 30 on, 20xx below). Blanks anywhere make it not a date.
[[nodiscard]] std::optional<Data> LeggiData(std::string_view testo);
// "dd/mm/yyyy".
[[nodiscard]] std::string FormatoData(const Data& data);

}  // namespace core
