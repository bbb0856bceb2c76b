#pragma once

#include <vector>

#include "core/conto.h"
#include "core/date.h"
#include "core/registro.h"

namespace estratti {

// The balance over time in the current currency, and each month's credits and debits.
struct PuntoSaldo {
    core::Data data;
    double saldo;
};
struct MeseMovimenti {
    int anno;
    int mese;
    double crediti;
    double debiti;
};
struct Andamento {
    std::vector<PuntoSaldo> punti;
    std::vector<MeseMovimenti> mesi;
    double fido = 0;  // zero or negative
};
[[nodiscard]] Andamento CalcolaAndamento(const core::Registro& registro,
                                         const core::StatoConto& stato);

}  // namespace estratti
