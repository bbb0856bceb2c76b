#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/cp1252.h"
#include "core/data_files.h"

namespace core {

// Why a new password cannot go into the password file, or nullopt when it can. Its
// scrambled form must stay within the byte range and hold no double quote ("!" first, or a
// blank second, would make one), which is also why a one-word password is advised.
// Header-only: the account setup and the password window both set passwords.
[[nodiscard]] inline std::optional<std::string> MotivoPasswordNonMemorizzabile(
    std::string_view passwordChiara) {
    if (!core::RappresentabileCp1252(passwordChiara))
        return "La password contiene caratteri non ammessi: usare solo lettere, cifre e "
               "segni comuni";
    if (!core::PasswordMemorizzabile(passwordChiara))
        return "Questa password non può essere memorizzata: sceglierne un'altra, composta "
               "da una sola parola senza spazi";
    return std::nullopt;
}

// Blanks at both ends removed (only blanks, as the password and the required fields
// have always been trimmed).
[[nodiscard]] inline std::string_view SenzaSpaziEsterni(std::string_view testo) {
    const auto inizio = testo.find_first_not_of(' ');
    if (inizio == std::string_view::npos) return {};
    const auto fine = testo.find_last_not_of(' ');
    return testo.substr(inizio, fine - inizio + 1);
}

}  // namespace core
