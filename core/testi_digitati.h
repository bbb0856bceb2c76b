#pragma once

// Checks on what the user types, before it is stored: shared by the account setup and the
// password window.

#include <optional>
#include <string>
#include <string_view>

namespace core {

// Why a new password cannot go into the password file, or nullopt when it can. The file
// holds each byte shifted up by its position (the first by 1, the second by 2...): a
// character that would become a double quote ("!" first, a blank second) or pass the top
// of the byte range cannot be written, and the message names it and its place.
[[nodiscard]] std::optional<std::string> MotivoPasswordNonMemorizzabile(
    std::string_view passwordChiara);

// Blanks at both ends removed (only blanks, as the password and the required fields
// have always been trimmed).
[[nodiscard]] std::string_view SenzaSpaziEsterni(std::string_view testo);

}  // namespace core
