// Entering one movement into a long register: the OK routine, the new grid row and the
// save of the five register files and the parameters file, on the real disk.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>

#include "bench/dialoghi_muti.h"
#include "core/importi.h"
#include "entry/form_inserimento.h"

namespace {

namespace fs = std::filesystem;

// A window that keeps texts and nothing else.
class FinestraMinima : public ui::Finestra {
  public:
    std::string Testo(std::string_view c) const override {
        auto it = testi_.find(std::string(c));
        return it == testi_.end() ? std::string() : it->second;
    }
    void ImpostaTesto(std::string_view c, std::string_view t) override {
        testi_[std::string(c)] = t;
    }
    ui::Colore ColoreTesto(std::string_view) const override { return ui::kNero; }
    void ImpostaColoreTesto(std::string_view, ui::Colore) override {}
    bool Abilitato(std::string_view) const override { return true; }
    void ImpostaAbilitato(std::string_view, bool) override {}
    bool Visibile(std::string_view) const override { return true; }
    void ImpostaVisibile(std::string_view, bool) override {}
    bool Selezionato(std::string_view) const override { return false; }
    void ImpostaSelezionato(std::string_view, bool) override {}
    void ImpostaSuggerimento(std::string_view, std::string_view) override {}
    void Focus(std::string_view) override {}
    ui::Rettangolo Posizione(std::string_view) const override { return {}; }
    void ImpostaPosizione(std::string_view, const ui::Rettangolo&) override {}
    void Chiudi() override { chiusa = true; }
    bool chiusa = false;

  private:
    std::map<std::string, std::string, std::less<>> testi_;
};

using bench::DialoghiMuti;

void BM_InserimentoMovimento(benchmark::State& state) {
    const fs::path dir =
        fs::temp_directory_path() / ("inserimento_bench_" + std::to_string(::getpid()));
    fs::create_directories(dir / "sys");
    {
        core::FileDati file(core::FileSystemReale(), dir, dir / "sys");
        core::StatoConto stato;
        stato.ModoValuta = core::kLire;
        grid::Griglia griglia;
        std::vector<core::RigaRegistro> righe(static_cast<std::size_t>(state.range(0)));
        for (std::size_t i = 0; i < righe.size(); ++i)
            righe[i] = {
                "01/02/2003", "Versamento", "rif " + std::to_string(i), "1.000",
                core::FormatoLire(core::Money::FromUnits(1000 * static_cast<std::int64_t>(i + 1)))};
        griglia.AggiungiRighe(core::Registro(righe));
        stato.SaldoConto = core::Money::FromUnits(1000 * state.range(0));
        DialoghiMuti dialoghi;
        FinestraMinima form1;
        ui::Contesto contesto{stato,    griglia, file,
                              dialoghi, form1,   [] { return core::Data{2003, 3, 5}; }};
        const core::TipoMovimento& prelievo = *core::TipoDaPosizione(13);

        for (auto _ : state) {
            FinestraMinima finestra;
            entry::FormInserimento form(prelievo, contesto, finestra);
            form.Form_Load();
            finestra.ImpostaTesto("txtImporto", "200.000");
            finestra.ImpostaTesto("Txtrif", "contanti");
            form.cmdOk_Click();
            state.PauseTiming();
            if (!finestra.chiusa || dialoghi.messaggi != 0)
                state.SkipWithError("movimento rifiutato");
            static_cast<void>(griglia.RemoveItem(griglia.Rows() - 1));
            state.ResumeTiming();
        }
        state.SetItemsProcessed(state.iterations());
    }
    fs::remove_all(dir);
}

BENCHMARK(BM_InserimentoMovimento)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
