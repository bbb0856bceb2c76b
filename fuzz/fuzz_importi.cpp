// Typed amounts: any text either is an amount with a value or is not one, and a value
// always survives the stored money text.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/importi.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
    const std::string_view testo(reinterpret_cast<const char*>(dati), n);
    const bool valido = core::ImportoValido(testo);
    const auto valore = core::ValoreImporto(testo);
    if (valido != valore.has_value()) std::abort();
    if (valido && !core::ValoreImportoDouble(testo)) std::abort();
    if (valore) {
        (void)core::FormatoLire(*valore);
        (void)core::FormatoEuro(*valore);
        (void)core::LireInEuro(*valore);
        (void)core::EuroInLire(*valore);
        const auto riletto = core::LeggiDenaro(core::TestoDenaro(*valore));
        if (!riletto.valore || *riletto.valore != *valore) std::abort();
        // The euro text the program shows is itself an amount again.
        if (!core::ImportoValido(core::FormatoEuro(*valore))) std::abort();
    }
    (void)core::LeggiDenaro(testo);
    return 0;
}
