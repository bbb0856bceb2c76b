#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
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

// The child saves the two sets in turn, register then parameters as the program does,
// until it is killed.
[[noreturn]] void SalvaPerSempre(const fs::path& dir, bool primaB) {
    FileDati dati(core::FileSystemReale(), dir, dir);
    for (bool b = primaB;; b = !b) {
        if (dati.SalvaRegistro(b ? kInsiemeB : kInsiemeA)) _exit(2);
        if (dati.SalvaParametri(b ? kParametriB : kParametriA)) _exit(3);
    }
}

int Uccisioni() {
    const char* valore = std::getenv("QUIBORA_UCCISIONI");
    return valore ? std::max(1, std::atoi(valore)) : 400;
}

// Killing the saving process at random moments never leaves a register that is not one
// of the two sets whole.
TEST(Uccisione, RegistroSempreInteroDopoSIGKILL) {
    // A kill does not depend on the disk cache, so memory is as good as a disk here.
    test::CartellaTemporanea cartella(test::BaseVeloce());
    FileDati dati(core::FileSystemReale(), cartella.path(), cartella.path());
    ASSERT_EQ(dati.SalvaRegistro(kInsiemeA), std::nullopt);
    ASSERT_EQ(dati.SalvaParametri(kParametriA), std::nullopt);

    const unsigned seme = std::random_device{}();
    SCOPED_TRACE("seme " + std::to_string(seme));
    std::mt19937 caso(seme);
    // Waits of up to a few saves' time, so that kills fall before, during and after them.
    const auto prova = std::chrono::steady_clock::now();
    ASSERT_EQ(dati.SalvaRegistro(kInsiemeB), std::nullopt);
    ASSERT_EQ(dati.SalvaParametri(kParametriB), std::nullopt);
    const auto durata = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - prova);
    std::uniform_int_distribution<long> attesa(0, 3 * durata.count() + 1000);
    int visteA = 0;
    int visteB = 0;
    const int uccisioni = Uccisioni();
    for (int i = 0; i < uccisioni; ++i) {
        const pid_t figlio = ::fork();
        ASSERT_GE(figlio, 0);
        if (figlio == 0) SalvaPerSempre(cartella.path(), i % 2 == 0);
        std::this_thread::sleep_for(std::chrono::microseconds(attesa(caso)));
        ASSERT_EQ(::kill(figlio, SIGKILL), 0);
        int stato = 0;
        ASSERT_EQ(::waitpid(figlio, &stato, 0), figlio);
        ASSERT_TRUE(WIFSIGNALED(stato)) << "the saving process stopped by itself: " << stato;

        ASSERT_EQ(dati.Recupera(), std::nullopt) << "kill " << i;
        std::vector<RigaRegistro> righe;
        ASSERT_EQ(dati.LeggiRegistro(righe), 0) << "kill " << i;
        if (righe == kInsiemeA) {
            ++visteA;
        } else {
            ASSERT_EQ(righe, kInsiemeB) << "kill " << i;
            ++visteB;
        }
        Parametri p;
        ASSERT_EQ(dati.LeggiParametri(p), 0) << "kill " << i;
        EXPECT_TRUE((p.ModoValuta == "Euro" && p.SaldoConto == kParametriA.SaldoConto) ||
                    (p.ModoValuta == "Lire" && p.SaldoConto == kParametriB.SaldoConto))
            << "kill " << i;
        const std::set<std::string> attesi = {"listcol1.txt", "listcol2.txt", "listcol3.txt",
                                              "listcol4.txt", "listcol5.txt", "para.txt"};
        std::set<std::string> presenti;
        for (const auto& e : fs::directory_iterator(cartella.path())) {
            presenti.insert(e.path().filename().string());
        }
        ASSERT_EQ(presenti, attesi) << "kill " << i;
    }
    // Both sets turned up, so the kills did land while saves were running.
    EXPECT_GT(visteA, 0);
    EXPECT_GT(visteB, 0);
}

}  // namespace
