#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/cp1252.h"
#include "core/data_files.h"

namespace core {

// Why a new password cannot go into the password file, or nullopt when it can. The file
// holds each byte shifted up by its position (the first by 1, the second by 2...): a
// character that would become a double quote ("!" first, a blank second) or pass the top
// of the byte range cannot be written, and the message names it and its place.
// Header-only: the account setup and the password window both set passwords.
[[nodiscard]] inline std::optional<std::string> MotivoPasswordNonMemorizzabile(
    std::string_view passwordChiara) {
    const auto byte = core::Utf8InCp1252(passwordChiara);
    if (!byte)
        return "La password contiene caratteri non ammessi: usare solo lettere, cifre e "
               "segni comuni";
    if (core::PasswordMemorizzabile(passwordChiara)) return std::nullopt;
    std::size_t posizione = 0;
    for (std::size_t i = 0; i < byte->size(); ++i) {
        const std::size_t codice = static_cast<unsigned char>((*byte)[i]) + i + 1;
        if (codice == '"' || codice > 255) {
            posizione = i;
            break;
        }
    }
    const char c = (*byte)[posizione];
    const std::string carattere =
        c == ' ' ? std::string("lo spazio")
                 : "il carattere \"" + core::Cp1252InUtf8(std::string_view(&c, 1)) + "\"";
    return "Questa password non può essere memorizzata: " + carattere + " in posizione " +
           std::to_string(posizione + 1) +
           " non può essere scritto nel file della password. Sceglierne un'altra.";
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
