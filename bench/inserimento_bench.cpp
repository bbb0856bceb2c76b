// Entering one movement into a long register: from OK in the entry window to the movement
// saved, through the entry's own logic, the new grid row and the save, on the real disk
// into a folder that already holds the register (loaded from there as at start). Each
// iteration adds one more movement, as a session of entries does.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench/sessione.h"
#include "entry/form_inserimento.h"

namespace {

void BM_InserimentoMovimento(benchmark::State& state) {
    const auto dir = bench::Cartella("inserimento", state.range(0));
    bench::ScriviRegistro(dir, static_cast<int>(state.range(0)));
    {
        bench::Sessione s(dir);
        const core::TipoMovimento& prelievo = *core::TipoDaPosizione(13);
        for (auto _ : state) {
            state.PauseTiming();
            bench::FinestraMinima finestra;
            entry::FormInserimento form(prelievo, s.contesto, finestra);
            form.Form_Load();
            finestra.ImpostaTesto("txtImporto", "200.000");
            finestra.ImpostaTesto("Txtrif", "contanti");
            state.ResumeTiming();
            form.cmdOk_Click();
            if (!finestra.chiusa) state.SkipWithError("movimento rifiutato");
        }
        state.counters["righe"] = s.griglia.Rows() - 1;
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_InserimentoMovimento)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.2);

}  // namespace

BENCHMARK_MAIN();
