// GCC 12 warns falsely on "literal" + std::string at -O3 (its bug 105329).
#pragma GCC diagnostic ignored "-Wrestrict"
#include <benchmark/benchmark.h>

#include <QApplication>
#include <map>
#include <memory>
#include <string>

#include "bench/dialoghi_muti.h"
#include "bench/finestra_minima.h"
#include "core/file_dati.h"
#include "core/importi.h"
#include "estratti/andamento.h"
#include "estratti/andamento_qt.h"
#include "grid/griglia.h"
#include "ui/contesto.h"

namespace {

using FinestraMuta = bench::FinestraMinima;

// `movimenti` euro movements spread over thirty years, many on the same day when they are
// many, with a balance that wanders so that the line has a shape to keep. Built once a size.
const grid::Griglia& Registro(int movimenti) {
    static std::map<int, std::unique_ptr<grid::Griglia>> griglie;
    auto& g = griglie[movimenti];
    if (g) return *g;
    constexpr int kGiorni = 10957;  // 1995 to 2024
    core::Registro r;
    std::int64_t saldo = 0;
    for (int i = 0; i < movimenti; ++i) {
        const long giorno = static_cast<long>(i) * kGiorni / movimenti;
        const int anno = 1995 + static_cast<int>(giorno / 366);
        const int mese = 1 + static_cast<int>(giorno / 30 % 12);
        const int gg = 1 + static_cast<int>(giorno % 28);
        char data[40];
        std::snprintf(data, sizeof data, "%02d/%02d/%04d", gg, mese, anno);
        const bool versamento = i % 7 == 0;
        const std::int64_t centesimi = versamento ? 60000 + i % 9000 : 1000 + (i * 7919L) % 9000;
        saldo += versamento ? centesimi : -centesimi;
        r.aggiungi({data, versamento ? "Versamento" : "Prelievo", "Rif " + std::to_string(i),
                    core::FormatoEuro(core::Money::FromRaw(centesimi * 100)),
                    core::FormatoEuro(core::Money::FromRaw(saldo * 100))});
    }
    g = std::make_unique<grid::Griglia>();
    g->AggiungiRighe(std::move(r));
    return *g;
}

core::StatoConto Stato() {
    core::StatoConto s;
    s.ModoValuta = "Euro";
    s.SaldoConto = core::Money::FromUnits(1000);
    s.FidoConto = core::Money::FromUnits(-2000);
    return s;
}

// Opening "Andamento del saldo": the window built, shown and painted once.
void BM_AperturaAndamento(benchmark::State& state) {
    auto& griglia = const_cast<grid::Griglia&>(Registro(static_cast<int>(state.range(0))));
    core::StatoConto stato = Stato();
    const auto dir = std::filesystem::temp_directory_path();
    core::FileDati file(core::FileSystemReale(), dir, dir);
    bench::DialoghiMuti dialoghi;
    FinestraMuta form1;
    const ui::Contesto c{stato, griglia, file, dialoghi, form1, [] { return core::Data{}; }};
    for (auto _ : state) {
        estratti::AndamentoQt finestra(c);
        finestra.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(finestra.grab());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_AperturaAndamento)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1);

// The logic alone: the register read into one balance a day and each month's totals.
void BM_CalcolaAndamento(benchmark::State& state) {
    const auto& griglia = Registro(static_cast<int>(state.range(0)));
    const core::StatoConto stato = Stato();
    for (auto _ : state)
        benchmark::DoNotOptimize(estratti::CalcolaAndamento(griglia.righe(), stato));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CalcolaAndamento)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
