#include "estratti/andamento.h"

#include "core/importi.h"
#include "core/tipi_movimento.h"
#include "estratti/testi.h"

namespace estratti {

namespace {

double Valore(std::string_view cella, bool inLire) {
    core::Money v = ValoreCella(cella).value_or(core::Money{});
    const bool euro = !cella.empty() && core::TestoInEuro(cella);
    if (!cella.empty() && euro == inLire)
        v = (inLire ? core::EuroInLire(v) : core::LireInEuro(v)).value_or(v);
    return static_cast<double>(v.raw()) / core::Money::kScala;
}

}  // namespace

Andamento CalcolaAndamento(const core::Registro& registro, const core::StatoConto& stato) {
    const bool inLire = core::InLire(stato);
    Andamento a;
    a.fido = static_cast<double>(stato.FidoConto.raw()) / core::Money::kScala;
    a.punti.reserve(registro.size());
    for (std::size_t r = 0; r < registro.size(); ++r) {
        const auto d = core::LeggiData(registro.cella(r, 0));
        if (!d) continue;
        const double saldo = r + 1 == registro.size()
                                 ? static_cast<double>(stato.SaldoConto.raw()) / core::Money::kScala
                                 : Valore(registro.cella(r, 4), inLire);
        a.punti.push_back({*d, saldo});
        const double importo = Valore(registro.cella(r, 3), inLire);
        if (a.mesi.empty() || a.mesi.back().anno != d->anno || a.mesi.back().mese != d->mese)
            a.mesi.push_back({d->anno, d->mese, 0, 0});
        if (core::CausaleDiDebito(registro.cella(r, 1)))
            a.mesi.back().debiti += importo;
        else
            a.mesi.back().crediti += importo;
    }
    return a;
}

}  // namespace estratti
