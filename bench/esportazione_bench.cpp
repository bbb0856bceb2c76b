// Exporting the whole register to CSV (File > Esporta…, "Tutto il registro"): the rows read
// and formatted, the file written beside its name, flushed and renamed in.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench/sessione.h"
#include "estratti/esportazione.h"

namespace {

void BM_EsportazioneRegistro(benchmark::State& state) {
    const auto dir = bench::Cartella("esportazione", state.range(0));
    bench::ScriviRegistro(dir, static_cast<int>(state.range(0)));
    {
        bench::Sessione s(dir);
        const auto csv = dir / "registro.csv";
        for (auto _ : state) {
            if (estratti::Esporta(s.file.fileSystem(), csv, s.griglia.righe(), std::nullopt,
                                  std::nullopt))
                state.SkipWithError("esportazione fallita");
        }
        state.counters["byte"] = static_cast<double>(std::filesystem::file_size(csv));
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_EsportazioneRegistro)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.2);

}  // namespace

BENCHMARK_MAIN();
