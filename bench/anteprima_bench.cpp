// The import preview window, built and shown offscreen for a statement of N rows: what the
// user waits for between choosing the file and seeing its rows; on an empty register, and
// on one of 100,000 or 1,000,000 movements loaded as at start.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTableView>
#include <filesystem>
#include <string>

#include "bench/dialoghi_muti.h"
#include "bench/finestra_minima.h"
#include "bench/sessione.h"
#include "estratti/anteprima_qt.h"
#include "grid/griglia.h"
#include "ui/contesto.h"
#include "ui/finestra.h"

namespace {

std::string Csv(int n) {
    std::string t = "Data;Data valuta;Descrizione;Dare;Avere\r\n";
    for (int i = 0; i < n; ++i) {
        char data[16];
        std::snprintf(data, sizeof data, "%02d/%02d/%04d", 1 + i % 28, 1 + (i / 28) % 12,
                      2030 + i / 336);
        const std::string cifra = std::to_string(1 + i % 500) + ",25";
        t += std::string(data) + ";" + data + ";Pagamento POS negozio " + std::to_string(i) +
             (i % 3 ? ";" + cifra + ";" : ";;" + cifra) + "\r\n";
    }
    return t;
}

using FinestraMuta = bench::FinestraMinima;

void MostraAnteprima(benchmark::State& state) {
    const auto dir = std::filesystem::temp_directory_path() / "quibora-bench-anteprima";
    std::filesystem::create_directories(dir);
    estratti::FileEstratto file;
    file.nome = "banca.csv";
    file.testo = Csv(static_cast<int>(state.range(0)));
    file.mappatura = estratti::RilevaMappatura(file.testo);
    core::StatoConto stato;
    stato.ModoValuta = "Euro";
    stato.SaldoConto = core::Money::FromUnits(1000000);
    grid::Griglia griglia;
    core::FileDati dati(core::FileSystemReale(), dir, dir);
    bench::DialoghiMuti dialoghi;
    dialoghi.severo = true;
    FinestraMuta form1;
    ui::Contesto c{stato, griglia, dati, dialoghi, form1, [] { return core::Data{}; }};
    for (auto _ : state) {
        estratti::AnteprimaQt finestra(c, file, nullptr);
        finestra.show();
        // Painted, as the user sees it.
        finestra.grab();
        if (finestra.anteprima().righe.size() != static_cast<std::size_t>(state.range(0)))
            state.SkipWithError("righe mancanti");
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(MostraAnteprima)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

// Statement rows, register movements.
void MostraAnteprimaSuRegistro(benchmark::State& state) {
    const auto dir = bench::Cartella("anteprima", state.range(1));
    bench::ScriviRegistro(dir, static_cast<int>(state.range(1)));
    {
        bench::Sessione s(dir);
        estratti::FileEstratto file;
        file.nome = "banca.csv";
        file.testo = Csv(static_cast<int>(state.range(0)));
        file.mappatura = estratti::RilevaMappatura(file.testo);
        s.stato.ModoValuta = "Euro";
        for (auto _ : state) {
            estratti::AnteprimaQt finestra(s.contesto, file, nullptr);
            finestra.show();
            finestra.grab();
            if (finestra.anteprima().righe.size() != static_cast<std::size_t>(state.range(0)))
                state.SkipWithError("righe mancanti");
        }
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(MostraAnteprimaSuRegistro)
    ->Args({10000, 100000})
    ->Args({10000, 1000000})
    ->Args({50000, 100000})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
