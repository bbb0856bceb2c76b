// The actions of a session on a long register, each from the user's OK to its data on the
// disk, on the real disk in a folder that already holds the register (loaded from there as
// at start), at 10,000, 100,000 and 1,000,000 movements:
// - entering one movement: the entry's own logic, the new grid row and the save (each
//   iteration adds one more movement, as a session of entries does);
// - removing the first movement, with its save;
// - exporting the whole register to CSV (File > Esporta…, "Tutto il registro"): the rows
//   read and formatted, the file written beside its name, flushed and renamed in.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench/sessione.h"
#include "entry/form_inserimento.h"
#include "estratti/esportazione.h"

namespace {

// Runs `azione` once an iteration on a session of its own register; it returns false
// when the action was refused.
template <class Azione>
void SuRegistro(benchmark::State& state, const char* nome, Azione&& azione) {
    const auto dir = bench::Cartella(nome, state.range(0));
    bench::ScriviRegistro(dir, static_cast<int>(state.range(0)));
    {
        bench::Sessione s(dir);
        for (auto _ : state)
            if (!azione(s, state)) state.SkipWithError(nome);
        state.counters["righe"] = s.griglia.Rows() - 1;
    }
    std::filesystem::remove_all(dir);
}

void Dimensioni(benchmark::internal::Benchmark* b) {
    b->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(0.2);
}

void BM_InserimentoMovimento(benchmark::State& state) {
    const core::TipoMovimento& prelievo = *core::TipoDaPosizione(13);
    SuRegistro(state, "inserimento", [&](bench::Sessione& s, benchmark::State& st) {
        st.PauseTiming();
        bench::FinestraMinima finestra;
        entry::FormInserimento form(prelievo, s.contesto, finestra);
        form.Form_Load();
        finestra.ImpostaTesto("txtImporto", "200.000");
        finestra.ImpostaTesto("Txtrif", "contanti");
        st.ResumeTiming();
        form.cmdOk_Click();
        return finestra.chiusa;
    });
}
BENCHMARK(BM_InserimentoMovimento)->Apply(Dimensioni);

void BM_RimozionePrimoMovimento(benchmark::State& state) {
    SuRegistro(state, "rimozione", [](bench::Sessione& s, benchmark::State&) {
        const int righe = s.griglia.Rows();
        s.logica.Rimuovi_Click();
        return s.griglia.Rows() == righe - 1;
    });
}
BENCHMARK(BM_RimozionePrimoMovimento)->Apply(Dimensioni);

void BM_EsportazioneRegistro(benchmark::State& state) {
    SuRegistro(state, "esportazione", [](bench::Sessione& s, benchmark::State&) {
        return !estratti::Esporta(s.file.fileSystem(), s.file.dirProgramma() / "registro.csv",
                                  s.griglia.righe(), std::nullopt, std::nullopt);
    });
}
BENCHMARK(BM_EsportazioneRegistro)->Apply(Dimensioni);

}  // namespace

BENCHMARK_MAIN();
