// Loading and saving the register against the cost of merely reading its five files.
// Each size's register is written once into a temporary directory before any timing.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/date.h"
#include "core/denaro.h"
#include "core/file_dati.h"
#include "core/file_system.h"
#include "core/importi.h"
#include "core/tipi_movimento.h"
#include "grid/griglia.h"

namespace {

namespace fs = std::filesystem;
using Orologio = std::chrono::steady_clock;

const std::vector<std::string> kRiferimenti{
    "",        "Bancomat via Roma",     "Rata mutuo, casa", "Bolletta n. 4471/B",
    "Affitto", "Spesa al supermercato", "Caffè e giornali", "Rimborso spese società"};

// A plausible register: consecutive days, all fifteen types, references with commas and
// accents, the first half in lire and the second in euro, each row with its balance.
core::Registro RegistroRealistico(int movimenti) {
    std::mt19937 casuale(20240501);
    std::uniform_int_distribution<int> tipo(0, 14);
    std::uniform_int_distribution<std::int64_t> lire(1, 5000);  // thousands of lire
    core::Registro righe;
    righe.reserve(static_cast<std::size_t>(movimenti), static_cast<std::size_t>(movimenti) * 80);
    core::Data giorno{1999, 1, 1};
    core::Money saldo = core::Money::FromUnits(1'000'000);
    for (int i = 0; i < movimenti; ++i) {
        if (i % 3 == 0) {
            if (++giorno.giorno > 28) giorno = {giorno.anno, giorno.mese + 1, 1};
            if (giorno.mese > 12) giorno = {giorno.anno + 1, 1, 1};
        }
        const core::TipoMovimento& t =
            core::TipiMovimento()[static_cast<std::size_t>(tipo(casuale))];
        const bool inLire = i < movimenti / 2;
        core::Money importo = core::Money::FromUnits(lire(casuale) * 1000);
        if (!inLire) importo = core::LireInEuro(importo).value_or(importo);
        const auto nuovo =
            t.segno == core::Segno::Debito ? saldo.minus(importo) : saldo.plus(importo);
        saldo = nuovo.value_or(saldo);
        const std::string data = core::FormatoData(giorno);
        const std::string testoImporto =
            inLire ? core::FormatoLire(importo) : core::FormatoEuro(importo);
        const std::string testoSaldo = inLire ? core::FormatoLire(saldo) : core::FormatoEuro(saldo);
        righe.aggiungi({data, inLire ? t.CausaleLire : t.CausaleEuro,
                        kRiferimenti[static_cast<std::size_t>(i) % kRiferimenti.size()],
                        testoImporto, testoSaldo});
    }
    return righe;
}

struct Registro {
    fs::path cartella;
    fs::path cartellaSalva;
    double secondiLettura = 0;  // plain read of the five files, best of a few
};

std::map<int, Registro> registri;

struct Risultato {
    double secondi = 0;
    double rapporto = 0;
};
std::map<std::pair<std::string, int>, Risultato> risultati;

// The process's resident memory in bytes.
double MemoriaResidente() {
    long pagine = 0, residenti = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pagine, &residenti) != 2) residenti = 0;
        std::fclose(f);
    }
    return static_cast<double>(residenti) * static_cast<double>(::sysconf(_SC_PAGESIZE));
}

std::size_t LeggiCinqueFile(const fs::path& cartella) {
    std::size_t byte = 0;
    std::string contenuto;
    for (int k = 1; k <= 5; ++k) {
        if (core::FileSystemReale().leggi(cartella / core::NomeFileRegistro(k), contenuto))
            throw std::runtime_error("lettura del registro di prova fallita");
        byte += contenuto.size();
        benchmark::DoNotOptimize(contenuto.data());
    }
    return byte;
}

const Registro& RegistroDi(int movimenti) {
    auto [it, nuovo] = registri.try_emplace(movimenti);
    Registro& r = it->second;
    if (!nuovo) return r;
    const std::string nome =
        "quibora_bench_" + std::to_string(::getpid()) + "_" + std::to_string(movimenti);
    r.cartella = fs::temp_directory_path() / nome;
    r.cartellaSalva = fs::temp_directory_path() / (nome + "_salva");
    fs::create_directories(r.cartella);
    fs::create_directories(r.cartellaSalva);
    core::FileDati dati(core::FileSystemReale(), r.cartella, r.cartella);
    if (dati.SalvaRegistro(RegistroRealistico(movimenti)))
        throw std::runtime_error("scrittura del registro di prova fallita");
    // The reference read, in this same run and with the files as warm in the cache as
    // they are for the loads it is compared with.
    r.secondiLettura = 1e9;
    for (int volta = 0; volta < 5; ++volta) {
        const auto inizio = Orologio::now();
        LeggiCinqueFile(r.cartella);
        const std::chrono::duration<double> durata = Orologio::now() - inizio;
        r.secondiLettura = std::min(r.secondiLettura, durata.count());
    }
    return r;
}

void Annota(benchmark::State& state, const char* nome, const Registro& r, double secondiTotali) {
    const double media = secondiTotali / static_cast<double>(state.iterations());
    const double rapporto = media / r.secondiLettura;
    state.counters["rapporto_lettura"] = rapporto;
    state.counters["lettura_ms"] = r.secondiLettura * 1e3;
    risultati[{nome, static_cast<int>(state.range(0))}] = {media, rapporto};
}

void BM_LetturaFile(benchmark::State& state) {
    const Registro& r = RegistroDi(static_cast<int>(state.range(0)));
    std::size_t byte = 0;
    double totale = 0;
    for (auto _ : state) {
        const auto inizio = Orologio::now();
        byte = LeggiCinqueFile(r.cartella);
        totale += std::chrono::duration<double>(Orologio::now() - inizio).count();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(byte) * state.iterations());
    Annota(state, "LetturaFile", r, totale);
}

void BM_CaricaRegistro(benchmark::State& state) {
    const Registro& r = RegistroDi(static_cast<int>(state.range(0)));
    core::FileDati dati(core::FileSystemReale(), r.cartella, r.cartella);
    grid::Griglia griglia;
    double totale = 0;
    double occupati = 0;
    for (auto _ : state) {
        const double prima = MemoriaResidente();
        const auto inizio = Orologio::now();
        core::Registro righe;
        if (dati.LeggiRegistro(righe) != 0) {
            state.SkipWithError("LeggiRegistro non riuscita");
            return;
        }
        griglia.AggiungiRighe(std::move(righe));
        benchmark::DoNotOptimize(griglia.Rows());
        totale += std::chrono::duration<double>(Orologio::now() - inizio).count();
        state.PauseTiming();  // freeing the rows is not part of loading
        occupati = MemoriaResidente() - prima;
        griglia.SetRows(1);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.range(0) * state.iterations());
    // The memory the loaded register takes, as the system counts it.
    state.counters["registro_MB"] = occupati / 1e6;
    Annota(state, "CaricaRegistro", r, totale);
}

void BM_SalvaRegistro(benchmark::State& state) {
    const Registro& r = RegistroDi(static_cast<int>(state.range(0)));
    core::Registro righe;
    if (core::FileDati(core::FileSystemReale(), r.cartella, r.cartella).LeggiRegistro(righe) != 0) {
        state.SkipWithError("LeggiRegistro non riuscita");
        return;
    }
    grid::Griglia griglia;
    griglia.AggiungiRighe(std::move(righe));
    core::FileDati dati(core::FileSystemReale(), r.cartellaSalva, r.cartellaSalva);
    double totale = 0;
    for (auto _ : state) {
        const auto inizio = Orologio::now();
        if (dati.SalvaRegistro(griglia.righe())) {
            state.SkipWithError("SalvaRegistro non riuscita");
            return;
        }
        totale += std::chrono::duration<double>(Orologio::now() - inizio).count();
    }
    state.SetItemsProcessed(state.range(0) * state.iterations());
    Annota(state, "SalvaRegistro", r, totale);
}

BENCHMARK(BM_LetturaFile)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CaricaRegistro)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SalvaRegistro)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond);

void StampaRiepilogo() {
    if (risultati.empty()) return;
    std::printf("\n%-10s %12s %16s %10s %16s %10s\n", "movimenti", "lettura ms", "caricamento ms",
                "rapporto", "salvataggio ms", "rapporto");
    for (const auto& [movimenti, r] : registri) {
        const auto carica = risultati.find({"CaricaRegistro", movimenti});
        const auto salva = risultati.find({"SalvaRegistro", movimenti});
        const Risultato vuoto;
        const Risultato& c = carica != risultati.end() ? carica->second : vuoto;
        const Risultato& s = salva != risultati.end() ? salva->second : vuoto;
        std::printf("%-10d %12.2f %16.2f %10.1f %16.2f %10.1f\n", movimenti, r.secondiLettura * 1e3,
                    c.secondi * 1e3, c.rapporto, s.secondi * 1e3, s.rapporto);
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    StampaRiepilogo();
    benchmark::Shutdown();
    for (const auto& [movimenti, r] : registri) {
        std::error_code ignora;
        fs::remove_all(r.cartella, ignora);
        fs::remove_all(r.cartellaSalva, ignora);
    }
    return 0;
}
