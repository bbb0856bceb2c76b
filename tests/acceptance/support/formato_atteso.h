#pragma once

#include <array>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace accettazione {

// Expected data-file bytes, built from plain texts by the file rules alone (quoting, line
// ends, the position shift of scrambled items, one byte per letter), never through the
// program's own writers.

// Byte i (counted from 1) moved up by i.
[[nodiscard]] std::string Scrambla(std::string_view testo);
// UTF-8 to single bytes; enough for the Latin-1 letters the register uses.
[[nodiscard]] std::string Cp1252(std::string_view utf8);
// One line: every item quoted, commas between, CR LF at the end.
[[nodiscard]] std::string Record(std::initializer_list<std::string_view> voci);

// A register row as the grid shows it (UTF-8): Data, Causale, Riferimento, Importo, Saldo.
using Riga = std::array<std::string, 5>;

// What a folder holds, by path relative to it: a file's bytes, or kCartella for a folder.
using Disco = std::map<std::string, std::string>;
inline constexpr std::string_view kCartella = "<cartella>";
[[nodiscard]] Disco LeggiDisco(const std::filesystem::path& radice);

// The five register files of these rows, under `cartella` ("programma/listcol1.txt", ...).
void AggiungiRegistro(Disco& disco, std::string_view cartella, const std::vector<Riga>& righe);
// para.txt from the mode and the plain money texts of balance and credit line.
[[nodiscard]] std::string Parametri(std::string_view modo, std::string_view saldo,
                                    std::string_view fido);

}  // namespace accettazione
