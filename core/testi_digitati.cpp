#include "core/testi_digitati.h"

#include "core/cp1252.h"
#include "core/file_dati.h"

namespace core {

std::optional<std::string> MotivoPasswordNonMemorizzabile(std::string_view passwordChiara) {
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

std::string_view SenzaSpaziEsterni(std::string_view testo) {
    const auto inizio = testo.find_first_not_of(' ');
    if (inizio == std::string_view::npos) return {};
    const auto fine = testo.find_last_not_of(' ');
    return testo.substr(inizio, fine - inizio + 1);
}

}  // namespace core
