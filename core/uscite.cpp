#include "core/uscite.h"

#include <algorithm>
#include <sstream>

namespace core {

std::vector<std::filesystem::path> CartelleUscita(FileSystem& fs,
                                                  const std::filesystem::path& elenco) {
    std::vector<std::filesystem::path> cartelle;
    std::string testo;
    if (!fs.esiste(elenco) || fs.leggi(elenco, testo)) return cartelle;
    std::istringstream righe(testo);
    for (std::string riga; std::getline(righe, riga);)
        if (!riga.empty() && riga.front() == '/') cartelle.emplace_back(riga);
    return cartelle;
}

EsitoFile RicordaCartellaUscita(FileSystem& fs, const std::filesystem::path& elenco,
                                const std::filesystem::path& cartella) {
    const std::filesystem::path assoluta = std::filesystem::absolute(cartella).lexically_normal();
    // A name with a line break would read back as two folders: such a folder is not listed.
    if (assoluta.string().find('\n') != std::string::npos) return std::nullopt;
    auto cartelle = CartelleUscita(fs, elenco);
    if (std::find(cartelle.begin(), cartelle.end(), assoluta) != cartelle.end())
        return std::nullopt;
    cartelle.push_back(assoluta);
    std::string testo;
    for (const auto& c : cartelle) testo += c.string() + "\n";
    std::filesystem::path provvisorio = elenco;
    provvisorio += ".nuovo";
    if (auto e = fs.scrivi(provvisorio, testo)) return e;
    return fs.rinomina(provvisorio, elenco);
}

}  // namespace core
