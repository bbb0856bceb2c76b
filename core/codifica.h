#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace core {

// The reversible shift applied to stored amounts and to the password: the byte at
// position i (from 1) moves by +i (Codifica) or -i (Decodifica). Texts are Windows-1252
// bytes. A result byte outside 0..255 is error 5: nullopt, no partial result.
inline constexpr int kErroreFuoriIntervallo = 5;

[[nodiscard]] std::optional<std::string> Codifica(std::string_view testo);
[[nodiscard]] std::optional<std::string> Decodifica(std::string_view testo);
// The same, appended to `destinazione` (for callers that reuse one buffer); on error 5
// false, with `destinazione` as it was.
[[nodiscard]] bool AggiungiCodificato(std::string& destinazione, std::string_view testo);
[[nodiscard]] bool AggiungiDecodificato(std::string& destinazione, std::string_view testo);

}  // namespace core
