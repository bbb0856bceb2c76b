#include <benchmark/benchmark.h>

#include <QApplication>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bench/dialoghi_muti.h"
#include "main_window/form1_qt.h"

namespace {

namespace fs = std::filesystem;

using bench::DialoghiMuti;

// A register of `movimenti` rows in lire, written once per size.
const fs::path& CartellaRegistro(int movimenti) {
    static std::map<int, fs::path> cartelle;
    auto& dir = cartelle[movimenti];
    if (!dir.empty()) return dir;
    dir = fs::temp_directory_path() / ("apertura_bench_" + std::to_string(movimenti));
    fs::remove_all(dir);
    fs::create_directories(dir / "sys");
    core::FileDati file(core::FileSystemReale(), dir, dir / "sys");
    std::vector<core::RigaRegistro> righe;
    righe.reserve(static_cast<std::size_t>(movimenti));
    for (int i = 0; i < movimenti; ++i)
        righe.push_back({"12/03/2001", i % 2 ? "Prelievo" : "Versamento",
                         "riferimento " + std::to_string(i % 1000), "150.000",
                         std::to_string(i) + ".000"});
    if (file.SalvaRegistro(core::Registro(righe)) || file.SalvaParametri({"Lire", {}, {}}))
        std::abort();
    return dir;
}

// Opening the program: the main window built, the register loaded and the window shown
// and painted once.
void BM_AperturaFinestra(benchmark::State& state) {
    const fs::path& dir = CartellaRegistro(static_cast<int>(state.range(0)));
    DialoghiMuti dialoghi;
    for (auto _ : state) {
        core::FileDati file(core::FileSystemReale(), dir, dir / "sys");
        core::StatoConto stato;
        main_window::Form1Qt finestra(stato, file, dialoghi, [] {
            return core::Data{2001, 3, 12};
        });
        if (finestra.Carica() != 0) state.SkipWithError("caricamento fallito");
        finestra.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(finestra.griglia().Rows());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_AperturaFinestra)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
