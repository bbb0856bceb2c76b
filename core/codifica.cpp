#include "core/codifica.h"

namespace core {

namespace {

bool Sposta(std::string& destinazione, std::string_view testo, int verso) {
    const std::size_t prima = destinazione.size();
    destinazione.append(testo);
    char* risultato = destinazione.data() + prima;
    for (std::size_t i = 0; i < testo.size(); ++i) {
        // Positions beyond 255 push every byte out of range anyway; the cap keeps the
        // arithmetic inside int for texts of any length.
        const long posizione = static_cast<long>(i < 1000 ? i + 1 : 1000);
        const long codice = static_cast<unsigned char>(testo[i]) + verso * posizione;
        if (codice < 0 || codice > 255) {
            destinazione.resize(prima);
            return false;
        }
        risultato[i] = static_cast<char>(static_cast<unsigned char>(codice));
    }
    return true;
}

std::optional<std::string> Sposta(std::string_view testo, int verso) {
    std::string risultato;
    if (!Sposta(risultato, testo, verso)) return std::nullopt;
    return risultato;
}

}  // namespace

std::optional<std::string> Codifica(std::string_view testo) {
    return Sposta(testo, +1);
}

std::optional<std::string> Decodifica(std::string_view testo) {
    return Sposta(testo, -1);
}

bool AggiungiCodificato(std::string& destinazione, std::string_view testo) {
    return Sposta(destinazione, testo, +1);
}

bool AggiungiDecodificato(std::string& destinazione, std::string_view testo) {
    return Sposta(destinazione, testo, -1);
}

}  // namespace core
