// Removing the first movement of a long register ("Rim.1° Movim."): the grid row and the
// save, on the real disk into a folder that holds the register, loaded from there as at
// start. Each iteration removes the next first movement.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench/sessione.h"

namespace {

void BM_RimozionePrimoMovimento(benchmark::State& state) {
    const auto dir = bench::Cartella("rimozione", state.range(0));
    bench::ScriviRegistro(dir, static_cast<int>(state.range(0)));
    {
        bench::Sessione s(dir);
        for (auto _ : state) {
            const int righe = s.griglia.Rows();
            s.logica.Rimuovi_Click();
            if (s.griglia.Rows() != righe - 1) state.SkipWithError("movimento non rimosso");
        }
        state.counters["righe"] = s.griglia.Rows() - 1;
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_RimozionePrimoMovimento)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.2);

}  // namespace

BENCHMARK_MAIN();
