#include "estratti/ricerca.h"

#include <algorithm>

#include "core/importi.h"
#include "core/tipi_movimento.h"
#include "estratti/testi.h"

namespace estratti {

namespace {

char Minuscola(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool Contiene(std::string_view testo, const std::string& cercato) {
    if (cercato.empty()) return true;
    if (testo.size() < cercato.size()) return false;
    for (std::size_t i = 0; i + cercato.size() <= testo.size(); ++i) {
        std::size_t k = 0;
        while (k < cercato.size() && Minuscola(testo[i + k]) == cercato[k]) ++k;
        if (k == cercato.size()) return true;
    }
    return false;
}

// "dd/mm/yyyy" as yyyymmdd without building a date; other forms go the long way.
int Giorno(std::string_view t) {
    auto cifra = [&](std::size_t i) { return t[i] - '0'; };
    if (t.size() == 10 && t[2] == '/' && t[5] == '/')
        return (cifra(6) * 1000 + cifra(7) * 100 + cifra(8) * 10 + cifra(9)) * 10000 +
               (cifra(3) * 10 + cifra(4)) * 100 + cifra(0) * 10 + cifra(1);
    const auto d = core::LeggiData(t);
    return d ? d->anno * 10000 + d->mese * 100 + d->giorno : -1;
}

int Giorno(const core::Data& d) {
    return d.anno * 10000 + d.mese * 100 + d.giorno;
}

}  // namespace

std::vector<int> Cerca(const core::Registro& registro, const CriteriRicerca& c) {
    std::string testo = Normalizza(c.testo);
    std::string lire, euro;
    if (c.importo) {
        const core::Money v = c.importo->abs().value_or(*c.importo);
        lire = core::FormatoLire(v);
        euro = core::FormatoEuro(v);
    }
    const int da = c.da ? Giorno(*c.da) : 0;
    const int a = c.a ? Giorno(*c.a) : 99999999;
    std::vector<int> trovati;
    for (std::size_t r = 0; r < registro.size(); ++r) {
        if (c.da || c.a) {
            const int g = Giorno(registro.cella(r, 0));
            if (g < da || g > a) continue;
        }
        if (c.importo) {
            const std::string_view cella = registro.cella(r, 3);
            if (cella != lire && cella != euro) continue;
        }
        if (!testo.empty() && !Contiene(registro.cella(r, 2), testo) &&
            !Contiene(registro.cella(r, 1), testo))
            continue;
        trovati.push_back(static_cast<int>(r));
    }
    return trovati;
}

int Successivo(const std::vector<int>& trovati, int corrente, bool avanti) {
    if (trovati.empty()) return -1;
    if (avanti) {
        const auto it = std::upper_bound(trovati.begin(), trovati.end(), corrente);
        return it == trovati.end() ? trovati.front() : *it;
    }
    const auto it = std::lower_bound(trovati.begin(), trovati.end(), corrente);
    return it == trovati.begin() ? trovati.back() : *std::prev(it);
}

}  // namespace estratti
