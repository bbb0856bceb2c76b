#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace core {

// The data files hold Windows-1252 bytes; the program works in UTF-8. These convert at
// the file boundary. The five bytes the code page leaves undefined map to U+0081 etc. so
// that a hand-edited file still round-trips unchanged.
[[nodiscard]] std::string Cp1252InUtf8(std::string_view byte);
// nullopt when the text holds a character the code page cannot hold (or is not UTF-8).
[[nodiscard]] std::optional<std::string> Utf8InCp1252(std::string_view testo);
[[nodiscard]] bool RappresentabileCp1252(std::string_view testo);
// The same conversions appended to `destinazione` (for callers that reuse one buffer);
// a text that cannot be converted leaves `destinazione` as it was.
void AggiungiCp1252InUtf8(std::string& destinazione, std::string_view byte);
[[nodiscard]] bool AggiungiUtf8InCp1252(std::string& destinazione, std::string_view testo);
// Upper case by the Italian rules on a UTF-8 text, accented letters included
// (used for the case-insensitive password comparison).
[[nodiscard]] std::string MaiuscoloUtf8(std::string_view testo);

}  // namespace core
