#include "estratti/estratto.h"

#include <algorithm>

namespace estratti {

void SceltaConto(Estratto& e, const std::string& numero) {
    std::erase_if(e.transazioni, [&](const Transazione& t) { return t.conto != numero; });
    e.numeroConto = numero;
    e.saldoFinale.reset();
    for (const auto& c : e.conti)
        if (c.numero == numero) e.saldoFinale = c.saldoFinale;
}

}  // namespace estratti
