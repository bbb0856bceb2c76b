// A process killed at any moment of a save, of a run's first save (which backs the set up
// first) or of a restore never leaves a torn register, nor a torn backup under a kept name.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <thread>

#include "core/file_dati.h"
#include "support/cartella_temporanea.h"

namespace {

namespace fs = std::filesystem;
using core::FileDati;

struct Insieme {
    core::Registro righe;
    core::Parametri parametri;
};
Insieme Crea(int n, const char* modo) {
    Insieme s{{}, {modo, core::Money::FromUnits(n), core::Money::FromUnits(-20 * n)}};
    for (int i = 0; i < n; ++i)
        s.righe.aggiungi({"15/06/2001", "Versamento", modo + std::to_string(i),
                          std::to_string(i) + ",5", std::to_string(-7 * i) + ",50"});
    return s;
}
const Insieme kA = Crea(50, "Euro"), kB = Crea(80, "Lire");

FileDati Dati(const fs::path& dir) {
    return FileDati(core::FileSystemReale(), dir, dir);
}
// Register then parameters, as the program saves them.
bool Salva(FileDati&& dati, const Insieme& s) {
    return !dati.SalvaRegistro(s.righe) && !dati.SalvaParametri(s.parametri);
}
// Backup folder names ("AAAAMMGG-HHMMSS") unique within one process.
std::function<std::string()> Orologio(int figlio, int& n) {
    return [figlio, &n] {
        char testo[32];
        std::snprintf(testo, sizeof testo, "2026%04d-%06d", figlio % 10000, ++n % 1000000);
        return std::string(testo);
    };
}

enum class Lavoro { Salvataggio, Copia, Ripristino };

// The child saves (or restores) the two sets in turn until it is killed; each round is a
// run of the program, with its own FileDati.
[[noreturn]] void Lavora(const fs::path& dir, bool b, Lavoro lavoro, int figlio) {
    for (int n = 0;; b = !b) {
        FileDati run = Dati(dir);
        if (lavoro != Lavoro::Salvataggio) run.AttivaCopie(Orologio(figlio, n));
        const bool ok = lavoro == Lavoro::Ripristino
                            ? !run.RipristinaCopia(dir / "sorgenti" / (b ? "B" : "A"))
                            : Salva(std::move(run), b ? kB : kA);
        if (!ok) _exit(2);
    }
}

// 'A' or 'B': the register in `dir` is that set whole; 0: it is torn.
char Riconosci(const fs::path& dir) {
    FileDati dati = Dati(dir);
    core::Registro righe;
    core::Parametri p;
    if (dati.Recupera() || dati.LeggiRegistro(righe) || dati.LeggiParametri(p)) return 0;
    // The two are saved one after the other: each must be one of the sets, whole.
    const auto set = [&](const core::Parametri& q) {
        return p.ModoValuta == q.ModoValuta && p.SaldoConto == q.SaldoConto;
    };
    if (!set(kA.parametri) && !set(kB.parametri)) return 0;
    return righe == kA.righe ? 'A' : righe == kB.righe ? 'B' : 0;
}

class Uccisione : public testing::TestWithParam<Lavoro> {};

TEST_P(Uccisione, InsiemeSempreInteroDopoSIGKILL) {
    // A kill does not depend on the disk cache, so memory is as good as a disk here.
    test::CartellaTemporanea cartella(test::BaseVeloce());
    const fs::path dir = cartella.path();
    for (const char* s : {"A", "B"}) {
        fs::create_directories(dir / "sorgenti" / s);
        ASSERT_TRUE(Salva(Dati(dir / "sorgenti" / s), *s == 'A' ? kA : kB));
    }
    // One round's time, so that kills fall before, during and after the work.
    const auto prova = std::chrono::steady_clock::now();
    int n = 0;
    FileDati run = Dati(dir);
    run.AttivaCopie(Orologio(9999, n));
    ASSERT_TRUE(Salva(Dati(dir), kA));
    ASSERT_TRUE(Salva(std::move(run), kB));
    ASSERT_EQ(Dati(dir).RipristinaCopia(dir / "sorgenti" / "A"), std::nullopt);
    fs::remove_all(dir / "backup");
    const auto durata = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - prova);
    const unsigned seme = std::random_device{}();
    SCOPED_TRACE("seme " + std::to_string(seme));
    std::mt19937 caso(seme);
    std::uniform_int_distribution<long> attesa(0, 3 * durata.count() + 1000);

    const char* valore = std::getenv("QUIBORA_UCCISIONI");
    const int uccisioni = valore ? std::max(1, std::atoi(valore)) : 300;
    std::map<char, int> visti;
    int copie = 0;
    for (int i = 0; i < uccisioni; ++i) {
        SCOPED_TRACE(i);
        const pid_t figlio = ::fork();
        ASSERT_GE(figlio, 0);
        if (figlio == 0) Lavora(dir, i % 2 == 0, GetParam(), i);
        std::this_thread::sleep_for(std::chrono::microseconds(attesa(caso)));
        ASSERT_EQ(::kill(figlio, SIGKILL), 0);
        int stato = 0;
        ASSERT_EQ(::waitpid(figlio, &stato, 0), figlio);
        ASSERT_TRUE(WIFSIGNALED(stato)) << "the process stopped by itself: " << stato;
        ++visti[Riconosci(dir)];
        ASSERT_EQ(visti[0], 0);
        std::set<std::string> presenti,
            attesi = {"listcol1.txt", "listcol2.txt", "listcol3.txt", "listcol4.txt",
                      "listcol5.txt", "para.txt",     "sorgenti",     "backup"};
        for (const auto& e : fs::directory_iterator(dir)) presenti.insert(e.path().filename());
        if (!presenti.contains("backup")) attesi.erase("backup");
        ASSERT_EQ(presenti, attesi);
        // A folder under a kept name is whole; anything else is one being built.
        if (!presenti.contains("backup")) continue;
        for (const auto& e : fs::directory_iterator(dir / "backup")) {
            const std::string nome = e.path().filename();
            if (nome.ends_with(".nuovo")) continue;
            ASSERT_TRUE(core::NomeCopia(nome) || nome.starts_with("danneggiati-")) << nome;
            ASSERT_NE(Riconosci(e.path()), 0) << nome;
            ++copie;
            if (GetParam() == Lavoro::Ripristino) fs::remove_all(e.path());
        }
    }
    // Both sets turned up, so the kills did land while the work was running.
    EXPECT_GT(visti['A'], 0);
    EXPECT_GT(visti['B'], 0);
    EXPECT_TRUE(GetParam() == Lavoro::Salvataggio || copie > 0);
}

INSTANTIATE_TEST_SUITE_P(Lavori, Uccisione,
                         testing::Values(Lavoro::Salvataggio, Lavoro::Copia, Lavoro::Ripristino),
                         [](const auto& info) {
                             return std::string(
                                 std::array{"Salvataggio", "Copia",
                                            "Ripristino"}[static_cast<int>(info.param)]);
                         });

}  // namespace
