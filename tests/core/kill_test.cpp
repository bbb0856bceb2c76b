#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/data_files.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using core::FileDati;
using core::Money;
using core::Parametri;
using core::RigaRegistro;

std::vector<RigaRegistro> Insieme(int righe, const std::string& nome) {
    std::vector<RigaRegistro> r;
    for (int i = 0; i < righe; ++i) {
        // Appended, not "-" + text: g++ 12 at -O3 warns on that form (-Wrestrict).
        std::string saldo = "-";
        saldo += std::to_string(i * 7) + ",50";
        r.push_back({"15/06/2001", "Versamento", nome + ", riga " + std::to_string(i),
                     std::to_string(i) + "," + std::to_string(i % 100), saldo});
    }
    return r;
}

const auto kInsiemeA = Insieme(50, "A");
const auto kInsiemeB = Insieme(80, "B");
const Parametri kParametriA{"Euro", Money::FromUnits(50), Money::FromUnits(-1000)};
const Parametri kParametriB{"Lire", Money::FromUnits(80), Money::FromUnits(-2000)};

// What the killed process is doing: saving, saving with a backup at each run's first
// save, or putting a backup back.
enum class Lavoro { Salvataggio, Copia, Ripristino };

// A backup folder name ("AAAAMMGG-HHMMSS") unique within one child.
std::string Marca(int figlio, int& n) {
    char testo[32];
    std::snprintf(testo, sizeof testo, "2026%04d-%06d", figlio % 10000, ++n % 1000000);
    return testo;
}

// The child saves the two sets in turn, register then parameters as the program does,
// until it is killed.
[[noreturn]] void SalvaPerSempre(const fs::path& dir, bool primaB, Lavoro lavoro, int figlio) {
    int n = 0;
    FileDati dati(core::FileSystemReale(), dir, dir);
    for (bool b = primaB;; b = !b) {
        if (lavoro == Lavoro::Ripristino) {
            dati.AttivaCopie([&] { return Marca(figlio, n); });
            if (dati.RipristinaCopia(dir / "sorgenti" / (b ? "B" : "A"))) _exit(4);
            continue;
        }
        // Each run of the program backs the set up before its first save.
        FileDati run(core::FileSystemReale(), dir, dir);
        if (lavoro == Lavoro::Copia) run.AttivaCopie([&] { return Marca(figlio, n); });
        if (run.SalvaRegistro(b ? kInsiemeB : kInsiemeA)) _exit(2);
        if (run.SalvaParametri(b ? kParametriB : kParametriA)) _exit(3);
    }
}

int Uccisioni() {
    const char* valore = std::getenv("QUIBORA_UCCISIONI");
    return valore ? std::max(1, std::atoi(valore)) : 300;
}

// The register in `dir` is one of the two sets whole: 'A', 'B', or 0 when it is neither
// (or the parameters are neither: the two are saved one after the other).
char Insieme(const fs::path& dir) {
    FileDati dati(core::FileSystemReale(), dir, dir);
    std::vector<RigaRegistro> righe;
    Parametri p;
    if (dati.Recupera() || dati.LeggiRegistro(righe) != 0 || dati.LeggiParametri(p) != 0) return 0;
    const bool parametri = (p.ModoValuta == "Euro" && p.SaldoConto == kParametriA.SaldoConto) ||
                           (p.ModoValuta == "Lire" && p.SaldoConto == kParametriB.SaldoConto);
    if (!parametri) return 0;
    return righe == kInsiemeA ? 'A' : righe == kInsiemeB ? 'B' : 0;
}

class Uccisione : public testing::TestWithParam<Lavoro> {};

// Killing the process at random moments never leaves a register that is not one of the
// two sets whole, nor a backup folder under a kept name that is not whole.
TEST_P(Uccisione, InsiemeSempreInteroDopoSIGKILL) {
    const Lavoro lavoro = GetParam();
    // A kill does not depend on the disk cache, so memory is as good as a disk here.
    test::CartellaTemporanea cartella(test::BaseVeloce());
    const fs::path dir = cartella.path();
    for (const char* nome : {"A", "B"}) {
        const fs::path sorgente = dir / "sorgenti" / nome;
        fs::create_directories(sorgente);
        FileDati s(core::FileSystemReale(), sorgente, sorgente);
        ASSERT_EQ(s.SalvaRegistro(*nome == 'A' ? kInsiemeA : kInsiemeB), std::nullopt);
        ASSERT_EQ(s.SalvaParametri(*nome == 'A' ? kParametriA : kParametriB), std::nullopt);
    }
    FileDati dati(core::FileSystemReale(), dir, dir);
    ASSERT_EQ(dati.SalvaRegistro(kInsiemeA), std::nullopt);
    ASSERT_EQ(dati.SalvaParametri(kParametriA), std::nullopt);

    const unsigned seme = std::random_device{}();
    SCOPED_TRACE("seme " + std::to_string(seme));
    std::mt19937 caso(seme);
    // Waits of up to a few rounds' time, so that kills fall before, during and after them.
    const auto prova = std::chrono::steady_clock::now();
    {
        int n = 0;
        FileDati run(core::FileSystemReale(), dir, dir);
        run.AttivaCopie([&] { return Marca(9999, n); });
        ASSERT_EQ(run.SalvaRegistro(kInsiemeB), std::nullopt);
        ASSERT_EQ(run.SalvaParametri(kParametriB), std::nullopt);
        ASSERT_EQ(run.RipristinaCopia(dir / "sorgenti" / "A"), std::nullopt);
        fs::remove_all(dir / "backup");
    }
    const auto durata = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - prova);
    std::uniform_int_distribution<long> attesa(0, 3 * durata.count() + 1000);
    int visteA = 0;
    int visteB = 0;
    int copieViste = 0;
    const int uccisioni = Uccisioni();
    for (int i = 0; i < uccisioni; ++i) {
        const pid_t figlio = ::fork();
        ASSERT_GE(figlio, 0);
        if (figlio == 0) SalvaPerSempre(dir, i % 2 == 0, lavoro, i);
        std::this_thread::sleep_for(std::chrono::microseconds(attesa(caso)));
        ASSERT_EQ(::kill(figlio, SIGKILL), 0);
        int stato = 0;
        ASSERT_EQ(::waitpid(figlio, &stato, 0), figlio);
        ASSERT_TRUE(WIFSIGNALED(stato)) << "the process stopped by itself: " << stato;

        const char visto = Insieme(dir);
        ASSERT_NE(visto, 0) << "kill " << i;
        ++(visto == 'A' ? visteA : visteB);
        std::set<std::string> attesi = {"listcol1.txt", "listcol2.txt", "listcol3.txt",
                                        "listcol4.txt", "listcol5.txt", "para.txt",
                                        "sorgenti"};
        if (fs::exists(dir / "backup")) attesi.insert("backup");
        std::set<std::string> presenti;
        for (const auto& e : fs::directory_iterator(dir)) {
            presenti.insert(e.path().filename().string());
        }
        ASSERT_EQ(presenti, attesi) << "kill " << i;

        // A folder under a kept name is whole; anything else is one being built.
        if (!fs::exists(dir / "backup")) continue;
        for (const auto& e : fs::directory_iterator(dir / "backup")) {
            const std::string nome = e.path().filename().string();
            if (nome.ends_with(".nuovo")) continue;
            ASSERT_TRUE(core::NomeCopia(nome) || nome.starts_with("danneggiati-")) << nome;
            ASSERT_NE(Insieme(e.path()), 0) << "kill " << i << ": " << nome;
            ++copieViste;
            if (lavoro == Lavoro::Ripristino) fs::remove_all(e.path());
        }
    }
    // Both sets turned up, so the kills did land while the work was running.
    EXPECT_GT(visteA, 0);
    EXPECT_GT(visteB, 0);
    if (lavoro != Lavoro::Salvataggio) {
        EXPECT_GT(copieViste, 0);
    }
}

std::string NomeLavoro(const testing::TestParamInfo<Lavoro>& info) {
    constexpr const char* kNomi[] = {"Salvataggio", "Copia", "Ripristino"};
    return kNomi[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Lavori, Uccisione,
                         testing::Values(Lavoro::Salvataggio, Lavoro::Copia, Lavoro::Ripristino),
                         NomeLavoro);

}  // namespace
