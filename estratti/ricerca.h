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

}  // namespace estratti
