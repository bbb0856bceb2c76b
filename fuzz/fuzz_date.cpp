// Typed dates: a date that is read is a real day and reads back from its own text.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/date.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
    const std::string_view testo(reinterpret_cast<const char*>(dati), n);
    const auto data = core::LeggiData(testo);
    if (!data) return 0;
    if (!core::DataEsistente(data->anno, data->mese, data->giorno)) std::abort();
    const auto riletta = core::LeggiData(core::FormatoData(*data));
    if (!riletta || *riletta != *data) std::abort();
    return 0;
}
