#include "core/giornale.h"

#include <charconv>

#include "core/record.h"

namespace core::giornale {

namespace {

constexpr std::string_view kFineRiga = "\r\n";
constexpr std::string_view kVersione = "1";

// FNV-1a: enough to tell a torn or garbled entry, which is all it is for.
std::uint64_t Impronta(std::string_view byte) {
    std::uint64_t h = 14695981039346656037ull;
    for (const char c : byte) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    return h;
}

std::string Esadecimale(std::uint64_t valore) {
    char testo[17];
    auto [fine, e] = std::to_chars(testo, testo + 16, valore, 16);
    (void)e;
    return std::string(16 - static_cast<std::size_t>(fine - testo), '0') + std::string(testo, fine);
}

template <class Intero>
std::optional<Intero> Numero(std::optional<std::string_view> voce, int base = 10) {
    if (!voce || voce->empty()) return std::nullopt;
    Intero valore{};
    const auto [fine, e] = std::from_chars(voce->data(), voce->data() + voce->size(), valore, base);
    if (e != std::errc() || fine != voce->data() + voce->size()) return std::nullopt;
    return valore;
}

// The first line of `testo` (its CR LF included), or nullopt when it has no end.
std::optional<std::string_view> Riga(std::string_view testo) {
    const auto fine = testo.find(kFineRiga);
    if (fine == std::string_view::npos) return std::nullopt;
    return testo.substr(0, fine + kFineRiga.size());
}

bool LeggiBase(std::string_view contenuto, Base& base) {
    LettoreRecord lettore(contenuto);
    if (lettore.leggi() != "B" || lettore.leggi() != kVersione) return false;
    for (auto& dimensione : base) {
        const auto voce = lettore.leggi();
        if (voce == "-") {
            dimensione.reset();
        } else if (auto n = Numero<std::uintmax_t>(voce)) {
            dimensione = n;
        } else {
            return false;
        }
    }
    return lettore.fine();
}

bool LeggiModifica(std::string_view contenuto, Voce& voce) {
    if (contenuto.starts_with("\"P\",")) {
        const auto riga = Riga(contenuto);
        if (!riga) return false;
        voce.parametri = riga->substr(4);
        contenuto.remove_prefix(riga->size());
    }
    if (contenuto.starts_with("\"R\",")) {
        const auto riga = Riga(contenuto);
        if (!riga) return false;
        LettoreRecord lettore(*riga);
        (void)lettore.leggi();
        const auto tolte = Numero<std::size_t>(lettore.leggi());
        const auto intatte = Numero<std::size_t>(lettore.leggi());
        const auto nuove = Numero<std::size_t>(lettore.leggi());
        if (!tolte || !intatte || !nuove || !lettore.fine()) return false;
        voce.registro = true;
        voce.tolte = *tolte;
        voce.intatte = *intatte;
        voce.nuove = *nuove;
        voce.righe = contenuto.substr(riga->size());
        contenuto = {};
    }
    return contenuto.empty() && (voce.registro || !voce.parametri.empty());
}

}  // namespace

std::string Cornice(std::string_view contenuto) {
    std::string testo =
        ScriviRecord({"#", std::to_string(contenuto.size()), Esadecimale(Impronta(contenuto))});
    testo += contenuto;
    return testo;
}

std::string ContenutoBase(const Base& base) {
    std::vector<std::string> testi;
    for (const auto& d : base) testi.push_back(d ? std::to_string(*d) : "-");
    std::vector<std::string_view> voci{"B", kVersione};
    for (const auto& t : testi) voci.push_back(t);
    return ScriviRecord(voci);
}

std::string ContenutoModifica(std::string_view parametri, bool registro, std::size_t tolte,
                              std::size_t intatte, std::size_t nuove, std::string_view righe) {
    std::string testo;
    if (!parametri.empty()) {
        testo = "\"P\",";
        testo += parametri;
    }
    if (registro) {
        testo += ScriviRecord(
            {"R", std::to_string(tolte), std::to_string(intatte), std::to_string(nuove)});
        testo += righe;
    }
    return testo;
}

Lettura Leggi(std::string_view testo) {
    Lettura l;
    std::size_t pos = 0;
    const auto danno = [&](std::string motivo) {
        l.voceDanneggiata = l.voci.size() + (l.conBase ? 1 : 0) + 1;
        l.motivo = std::move(motivo);
        return l;
    };
    while (pos < testo.size()) {
        const auto resto = testo.substr(pos);
        // A frame line with no end, or an entry running past the end of the file, is a
        // write a stop cut short: the change was never confirmed.
        const auto riga = Riga(resto);
        if (!riga) break;
        LettoreRecord lettore(*riga);
        const bool cornice = lettore.leggi() == "#";
        const auto lunghezza = Numero<std::size_t>(lettore.leggi());
        const auto impronta = Numero<std::uint64_t>(lettore.leggi(), 16);
        if (!cornice || !lunghezza || !impronta || !lettore.fine())
            return danno("riga di controllo non valida");
        if (*lunghezza > resto.size() - riga->size()) break;
        const auto contenuto = resto.substr(riga->size(), *lunghezza);
        const std::size_t fine = pos + riga->size() + *lunghezza;
        if (Impronta(contenuto) != *impronta) {
            // Garbage filling the end (a file grown before its bytes were written) is a
            // torn end too; a bad entry with more after it is damage.
            if (fine == testo.size()) break;
            return danno("contenuto alterato");
        }
        if (!l.conBase) {
            if (!LeggiBase(contenuto, l.base)) return danno("intestazione non valida");
            l.conBase = true;
        } else {
            Voce voce;
            if (!LeggiModifica(contenuto, voce)) return danno("modifica non valida");
            l.voci.push_back(voce);
        }
        pos = fine;
        l.valida = pos;
    }
    return l;
}

}  // namespace core::giornale
