#include "core/scrambler.h"

namespace core {

namespace {

std::optional<std::string> Sposta(std::string_view testo, int verso) {
    std::string risultato(testo.size(), '\0');
    for (std::size_t i = 0; i < testo.size(); ++i) {
        // Positions beyond 255 push every byte out of range anyway; the cap keeps the
        // arithmetic inside int for texts of any length.
        const long posizione = static_cast<long>(i < 1000 ? i + 1 : 1000);
        const long codice = static_cast<unsigned char>(testo[i]) + verso * posizione;
        if (codice < 0 || codice > 255) return std::nullopt;
        risultato[i] = static_cast<char>(static_cast<unsigned char>(codice));
    }
    return risultato;
}

}  // namespace

std::optional<std::string> Codifica(std::string_view testo) {
    return Sposta(testo, +1);
}

std::optional<std::string> Decodifica(std::string_view testo) {
    return Sposta(testo, -1);
}

}  // namespace core
