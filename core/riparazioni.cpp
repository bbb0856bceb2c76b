#include "core/riparazioni.h"

#include <algorithm>
#include <array>

#include "core/cp1252.h"

namespace core {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::size_t kRigheElencate = 5;

// The bytes an item cannot keep: the double quote, the C0 controls and DEL, and the five
// bytes Windows-1252 leaves undefined (they read as C1 controls).
constexpr std::array<bool, 256> TabellaDaRiparare() {
    std::array<bool, 256> t{};
    for (int c = 0; c < 0x20; ++c) t[c] = true;
    for (int c : {0x22, 0x7F, 0x81, 0x8D, 0x8F, 0x90, 0x9D}) t[c] = true;
    return t;
}
constexpr auto kDaRiparare = TabellaDaRiparare();

// One pass with no branch per byte: registers hold millions of short items, nearly all
// plain, so the rare suspect ones alone go through the table.
bool DaRiparare(std::string_view voce) {
    unsigned sospetto = 0;
    for (const char c : voce) {
        const auto b = static_cast<unsigned char>(c);
        sospetto |= static_cast<unsigned>(b < 0x20) | static_cast<unsigned>(b == '"') |
                    static_cast<unsigned>(b >= 0x7F);
    }
    if (!sospetto) return false;
    return std::any_of(voce.begin(), voce.end(),
                       [](char c) { return kDaRiparare[static_cast<unsigned char>(c)]; });
}

}  // namespace

void TogliBom(std::string& byte) {
    if (!byte.starts_with(kBom)) return;
    if (auto convertito = Utf8InCp1252(std::string_view(byte).substr(kBom.size()))) {
        byte = std::move(*convertito);
    } else {
        byte.erase(0, kBom.size());
    }
}

bool RiparaVoce(std::string_view voce, std::string& riparato) {
    if (!DaRiparare(voce)) return false;
    riparato.assign(voce);
    for (char& c : riparato) {
        if (!kDaRiparare[static_cast<unsigned char>(c)]) continue;
        c = c == '"' ? '\'' : ' ';
    }
    return true;
}

void AnnotaRiparazione(std::vector<Riparazione>& elenco, std::string_view file, std::size_t riga) {
    auto it = std::find_if(elenco.begin(), elenco.end(),
                           [&](const Riparazione& r) { return r.file == file; });
    if (it == elenco.end()) it = elenco.insert(elenco.end(), {std::string(file), {}, 0});
    if (it->righe.size() < kRigheElencate) it->righe.push_back(riga);
    ++it->totale;
}

std::string ElencoRighe(const std::vector<Riparazione>& elenco) {
    std::string testo;
    for (const auto& r : elenco) {
        testo += "\n" + r.file + (r.totale == 1 ? ", riga " : ", righe ");
        for (std::size_t i = 0; i < r.righe.size(); ++i) {
            if (i > 0)
                testo += i + 1 == r.righe.size() && r.totale == r.righe.size() ? " e " : ", ";
            testo += std::to_string(r.righe[i]);
        }
        if (r.totale > r.righe.size())
            testo += " e altre " + std::to_string(r.totale - r.righe.size());
    }
    return testo;
}

std::string MessaggioRiparazioni(const std::vector<Riparazione>& elenco) {
    return "Alcuni testi dei file dei dati non potevano essere salvati così com'erano e sono "
           "stati corretti (le virgolette sono diventate apostrofi, le tabulazioni e gli altri "
           "caratteri di controllo sono diventati spazi):\n" +
           ElencoRighe(elenco) +
           "\n\nI testi corretti saranno salvati al posto degli originali, che restano nella "
           "copia di sicurezza.";
}

bool ContieneControlli(std::string_view testo) {
    for (std::size_t i = 0; i < testo.size(); ++i) {
        const auto c = static_cast<unsigned char>(testo[i]);
        if (c < 0x20 || c == 0x7F) return true;
        // U+0080..U+009F, the C1 controls, are C2 80..C2 9F in UTF-8.
        if (c == 0xC2 && i + 1 < testo.size()) {
            const auto d = static_cast<unsigned char>(testo[i + 1]);
            if (d >= 0x80 && d <= 0x9F) return true;
        }
    }
    return false;
}

}  // namespace core
