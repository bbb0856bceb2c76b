#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "estratti/esportazione_excel.h"
#include "estratti/lettore_csv.h"
#include "estratti/lettore_excel.h"

namespace {

// A statement of `n` rows as a bank's workbook would hold it, written by the program's own
// export: title, frozen header, date cells, amounts as numbers.
std::string Cartella(int n) {
    std::vector<core::RigaRegistro> righe;
    righe.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        char data[16];
        std::snprintf(data, sizeof data, "%02d/%02d/%04d", 1 + i % 28, 1 + (i / 28) % 12,
                      2030 + i / 336);
        righe.push_back({data, "Prelievo", "Pagamento POS negozio " + std::to_string(i),
                         std::to_string(1 + i % 500) + ",25", "1.000,00"});
    }
    std::string modello = (std::filesystem::temp_directory_path() / "quibora-XXXXXX").string();
    if (!::mkdtemp(modello.data())) return {};
    const std::filesystem::path file = std::filesystem::path(modello) / "estratto.xlsx";
    if (estratti::EsportaExcel(core::FileSystemReale(), file, core::Registro(righe),
                               {"1234", "Banca"}, std::nullopt, std::nullopt))
        return {};
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    std::filesystem::remove_all(modello);
    return s.str();
}

// Unzipping, the XML, the cells into rows, the columns found and every row read.
void BM_LeggiXlsx(benchmark::State& stato) {
    const std::string byte = Cartella(static_cast<int>(stato.range(0)));
    std::size_t movimenti = 0;
    for (auto _ : stato) {
        auto foglio = estratti::LeggiFoglioXlsx(byte, "estratto.xlsx");
        const auto& t = std::get<estratti::TabellaCsv>(foglio);
        auto e = estratti::LeggiTabella(t, estratti::RilevaColonne(t, ';'), "estratto.xlsx");
        movimenti = std::get<estratti::Estratto>(e).transazioni.size();
        benchmark::DoNotOptimize(movimenti);
    }
    if (movimenti != static_cast<std::size_t>(stato.range(0))) stato.SkipWithError("righe perse");
    stato.SetItemsProcessed(stato.iterations() * stato.range(0));
    stato.counters["byte"] = static_cast<double>(byte.size());
}
BENCHMARK(BM_LeggiXlsx)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
