// A process killed at any moment of a save, of a run's first save (which backs the set up
// first) or of a restore never leaves a torn register, nor a torn backup under a kept name.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <map>
#include <random>
#include <set>
#include <thread>

#include "core/file_dati.h"
#include "support/cartella_temporanea.h"

namespace {

namespace fs = std::filesystem;

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

enum Lavoro { kSalvataggio, kCopia, kRipristino };

// A run of the program, with its own FileDati: it saves the register then the parameters,
// or restores the set from sorgenti/; with backups named "AAAAMMGG-HHMMSS", unique within
// one process, unless it only saves.
bool Esegui(const fs::path& dir, bool b, Lavoro lavoro, int processo) {
    static int n = 0;
    core::FileDati run(core::FileSystemReale(), dir, dir);
    if (lavoro != kSalvataggio)
        run.AttivaCopie([processo] {
            char testo[32];
            std::snprintf(testo, sizeof testo, "2026%04d-%06d", processo, ++n % 1000000);
            return std::string(testo);
        });
    if (lavoro == kRipristino) return !run.RipristinaCopia(dir / "sorgenti" / (b ? "B" : "A"));
    const Insieme& s = b ? kB : kA;
    return !run.SalvaRegistro(s.righe) && !run.SalvaParametri(s.parametri);
}

// 'A' or 'B': the register in `dir` is that set whole; 0: it is torn. The parameters, saved
// after it, must be one of the sets whole.
char Riconosci(const fs::path& dir) {
    core::FileDati dati(core::FileSystemReale(), dir, dir);
    core::Registro righe;
    core::Parametri p;
    if (dati.Recupera() || dati.LeggiRegistro(righe) || dati.LeggiParametri(p)) return 0;
    const auto set = [&](const Insieme& s) {
        return p.ModoValuta == s.parametri.ModoValuta && p.SaldoConto == s.parametri.SaldoConto;
    };
    if (!set(kA) && !set(kB)) return 0;
    return righe == kA.righe ? 'A' : righe == kB.righe ? 'B' : 0;
}

class Uccisione : public testing::TestWithParam<Lavoro> {};

TEST_P(Uccisione, InsiemeSempreInteroDopoSIGKILL) {
    // A kill does not depend on the disk cache, so memory is as good as a disk here.
    test::CartellaTemporanea cartella(test::BaseVeloce());
    const fs::path dir = cartella.path();
    for (bool b : {false, true}) {
        fs::create_directories(dir / "sorgenti" / (b ? "B" : "A"));
        ASSERT_TRUE(Esegui(dir / "sorgenti" / (b ? "B" : "A"), b, kSalvataggio, 0));
    }
    // One round's time, so that kills fall before, during and after the work.
    const auto prova = std::chrono::steady_clock::now();
    ASSERT_TRUE(Esegui(dir, false, GetParam(), 9999));
    ASSERT_TRUE(Esegui(dir, true, GetParam(), 9999));
    fs::remove_all(dir / "backup");
    const auto durata = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - prova);
    const unsigned seme = std::random_device{}();
    SCOPED_TRACE("seme " + std::to_string(seme));
    std::mt19937 caso(seme);
    std::uniform_int_distribution<long> attesa(0, 3 * durata.count() / 2 + 1000);

    std::map<char, int> visti;
    int copie = 0;
    for (int i = 0; i < 300; ++i) {
        SCOPED_TRACE(i);
        const pid_t figlio = ::fork();
        ASSERT_GE(figlio, 0);
        // The child works the two sets in turn, one run each, until it is killed.
        for (bool b = i % 2; figlio == 0; b = !b)
            if (!Esegui(dir, b, GetParam(), i)) _exit(2);
        std::this_thread::sleep_for(std::chrono::microseconds(attesa(caso)));
        ASSERT_EQ(::kill(figlio, SIGKILL), 0);
        int stato = 0;
        ASSERT_EQ(::waitpid(figlio, &stato, 0), figlio);
        ASSERT_TRUE(WIFSIGNALED(stato)) << "the process stopped by itself: " << stato;
        ++visti[Riconosci(dir)];
        ASSERT_EQ(visti[0], 0);
        std::set<std::string> presenti;
        for (const auto& e : fs::directory_iterator(dir)) presenti.insert(e.path().filename());
        presenti.erase("backup");
        ASSERT_EQ(presenti,
                  (std::set<std::string>{"listcol1.txt", "listcol2.txt", "listcol3.txt",
                                         "listcol4.txt", "listcol5.txt", "para.txt", "sorgenti"}));
        // A folder under a kept name is whole; anything else is one being built.
        if (!fs::exists(dir / "backup")) continue;
        for (const auto& e : fs::directory_iterator(dir / "backup")) {
            const std::string nome = e.path().filename();
            if (nome.ends_with(".nuovo")) continue;
            ASSERT_TRUE(core::NomeCopia(nome) || nome.starts_with("danneggiati-")) << nome;
            ASSERT_NE(Riconosci(e.path()), 0) << nome;
            ++copie;
            if (GetParam() == kRipristino) fs::remove_all(e.path());
        }
    }
    // Both sets turned up, so the kills did land while the work was running.
    EXPECT_GT(visti['A'], 0);
    EXPECT_GT(visti['B'], 0);
    EXPECT_TRUE(GetParam() == kSalvataggio || copie > 0);
}

INSTANTIATE_TEST_SUITE_P(Lavori, Uccisione, testing::Values(kSalvataggio, kCopia, kRipristino));

}  // namespace
