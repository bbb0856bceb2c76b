#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/conto.h"
#include "core/date.h"
#include "core/denaro.h"
#include "core/registro.h"

namespace estratti {

// What "Cerca" looks for; an empty criterion matches every row.
struct CriteriRicerca {
    std::string testo;                   // in "Causale" or "Riferimento", any case
    std::optional<core::Money> importo;  // the "Importo" as shown, lire or euro
    std::optional<core::Data> da;
    std::optional<core::Data> a;
};

// The matching register rows (0 is the first movement), in register order.
[[nodiscard]] std::vector<int> Cerca(const core::Registro& registro, const CriteriRicerca& criteri);

// The next (or previous) match after `corrente`, going round at the ends; -1 for none.
[[nodiscard]] int Successivo(const std::vector<int>& trovati, int corrente, bool avanti);

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
