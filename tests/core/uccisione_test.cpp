// A process killed at any moment of a save, of a run's first save (which backs the set up
// first) or of a restore never leaves a torn register, nor a torn backup under a kept name;
// stopped at each change to the disk, a restore, a reset or a copy into the user's folder
// leaves the old data set or the new one.
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <random>
#include <thread>

#include "insieme_dati.h"
#include "support/file_system_difettoso.h"

namespace {

using namespace prova;

enum Lavoro { kSalvataggio, kCopia, kRipristino };

// A run of the program, with its own FileDati: it saves the set of one or two rows, the
// register then parameters that tell which, or restores it from sorgenti/; with backups
// named "AAAAMMGG-HHMMSS", unique within one process, unless it only saves.
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
    const auto& righe = b ? kDueRighe : kUnaRiga;
    return !run.SalvaRegistro(righe) &&
           !run.SalvaParametri({"Euro", core::Money::FromUnits(righe.size()), {}});
}

// The rows of the register in `dir` when it is one of the sets whole, and the parameters,
// saved after it, tell one of them; 0 when anything is torn.
std::size_t Riconosci(const fs::path& dir) {
    core::FileDati dati(core::FileSystemReale(), dir, dir);
    core::Registro righe;
    core::Parametri p;
    if (dati.Recupera() || dati.LeggiRegistro(righe) || dati.LeggiParametri(p)) return 0;
    const auto uno = core::Money::FromUnits(1), due = core::Money::FromUnits(2);
    const bool parametri = p.SaldoConto == uno || p.SaldoConto == due;
    return parametri && (righe == kUnaRiga || righe == kDueRighe) ? righe.size() : 0;
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

    std::map<std::size_t, int> visti;
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
        auto nomi = NomiIn(dir);
        nomi.erase("backup");
        ASSERT_EQ(nomi, (Nomi{"listcol1.txt", "listcol2.txt", "listcol3.txt", "listcol4.txt",
                              "listcol5.txt", "para.txt", "sorgenti"}));
        // A folder under a kept name is whole; anything else is one being built.
        for (const auto& nome : NomiIn(dir / "backup")) {
            if (nome.ends_with(".nuovo")) continue;
            ASSERT_TRUE(core::NomeCopia(nome) || nome.starts_with("danneggiati-")) << nome;
            ASSERT_NE(Riconosci(dir / "backup" / nome), 0u) << nome;
            ++copie;
            if (GetParam() == kRipristino) fs::remove_all(dir / "backup" / nome);
        }
    }
    // Both sets turned up, so the kills did land while the work was running.
    EXPECT_GT(visti[1] * visti[2], 0);
    EXPECT_TRUE(GetParam() == kSalvataggio || copie > 0);
}

INSTANTIATE_TEST_SUITE_P(Lavori, Uccisione, testing::Values(kSalvataggio, kCopia, kRipristino));

enum Passaggio { kRipristina, kAzzera, kCopiaInCasa };

// The three switches of a whole data set, each stopped after every number of changes to
// the disk (the machine stops: every later change fails), then started again.
class ArrestoAdOgniPasso : public testing::TestWithParam<Passaggio> {};

TEST_P(ArrestoAdOgniPasso, IlRiavvioTrovaIlVecchioInsiemeOIlNuovo) {
    test::CartellaTemporanea dir(test::BaseVeloce());
    const fs::path dati = dir / "dati", conf = dir / "conf", sorgente = dir / "sorgente";
    const auto passaggio = GetParam();
    const auto prepara = [&] {
        fs::remove_all(dati);
        fs::remove_all(conf);
        fs::create_directories(dati);
        core::FileDati vecchio(core::FileSystemReale(), dati, conf);
        if (passaggio == kCopiaInCasa) {
            fs::create_directories(conf);
            Scrivi(conf / "Vorn.lst", "\"altra\"\r\n");
        } else {
            SalvaInsieme(vecchio, 2);
        }
    };
    // The set put in: one row and no password (the password leaves with a restore); for the
    // copy into the user's folder, the portable register with its own password.
    fs::create_directories(sorgente);
    core::FileDati nuovo(core::FileSystemReale(), sorgente, sorgente);
    SalvaInsieme(nuovo, 1);
    if (passaggio == kRipristina) fs::remove(sorgente / "Vorn.lst");
    prepara();
    const auto vecchi = Contenuti({dati, conf});
    const auto nuovi = passaggio == kAzzera ? Contenuto{} : Contenuti({sorgente});

    using enum test::Operazione;
    std::map<std::string, int> visti;
    for (int passi = 0;; ++passi) {
        SCOPED_TRACE(passi);
        prepara();
        test::FileSystemDifettoso fsys;
        fsys.CrollaDopo(passi);
        core::FileDati run(fsys, dati, conf);
        run.AttivaCopie([] { return std::string("20261207-120000"); });
        const auto errore = passaggio == kRipristina ? run.RipristinaCopia(sorgente)
                            : passaggio == kAzzera
                                ? run.EliminaDati()
                                : run.AdottaRegistro(sorgente, sorgente / "Vorn.lst");
        int cambi = 0;
        for (auto op : {Scrivi, Rinomina, Elimina, SincronizzaCartella, CreaCartella,
                        EliminaCartella, Collega})
            cambi += fsys.Chiamate(op);

        core::FileDati riavvio(core::FileSystemReale(), dati, conf);
        ASSERT_EQ(riavvio.Recupera(), std::nullopt);
        const auto trovati = Contenuti({dati, conf});
        ASSERT_TRUE(trovati == vecchi || trovati == nuovi) << testing::PrintToString(trovati);
        ++visti[trovati == vecchi ? "vecchi" : "nuovi"];
        if (cambi < passi) {
            ASSERT_EQ(errore, std::nullopt);
            break;
        }
    }
    EXPECT_GT(visti["vecchi"] * visti["nuovi"], 0);
}

INSTANTIATE_TEST_SUITE_P(Passaggi, ArrestoAdOgniPasso,
                         testing::Values(kRipristina, kAzzera, kCopiaInCasa));

}  // namespace

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kMilione = 100'000;  // the same work, at a size a sanitized run can take
#else
constexpr std::size_t kMilione = 1'000'000;
#endif

std::string Rif(const char* tipo, std::size_t n) {
    return std::string(tipo) + " " + std::to_string(n);
}

// A run that loads the register and then, save after save, enters movement n (told by the
// balance, n + 1 after it) and every ninth time removes the first movement (told by the
// credit line): journal appends, folds when it grows, until it is killed.
[[noreturn]] void Lavora(const fs::path& dir) {
    core::FileDati f(core::FileSystemReale(), dir, dir);
    f.ImpostaLimitiGiornale({0, 16 * 1024, 1'000'000});
    core::Parametri p;
    core::Registro r;
    if (f.Recupera() || f.LeggiParametri(p) || f.LeggiRegistro(r)) _exit(2);
    for (auto n = static_cast<std::size_t>(p.SaldoConto.raw() / 10000);; ++n) {
        if (n % 9 == 8) {
            r.rimuovi(0);
            p.FidoConto = *p.FidoConto.minus(core::Money::FromUnits(1));
        }
        r.aggiungi({"02/01/2003", "Prelievo", Rif("nuovo", n), "1,00", "0,00"});
        p.SaldoConto = core::Money::FromUnits(static_cast<std::int64_t>(n) + 1);
        if (f.SalvaRegistroEParametri(r, p)) _exit(3);
    }
}

// A million movements saved by the journal: killed at any moment, the next start finds the
// register and the parameters of one and the same save.
TEST(UccisioneMilione, RegistroEParametriDellaStessaModifica) {
    test::CartellaTemporanea cartella(test::BaseVeloce());
    const fs::path dir = cartella.path();
    auto carica = [&](core::Registro& r, core::Parametri& p) {
        core::FileDati f(core::FileSystemReale(), dir, dir);
        return f.Recupera().has_value() || f.LeggiParametri(p) != 0 || f.LeggiRegistro(r) != 0;
    };
    std::chrono::microseconds caricamento{};
    {
        core::Registro r;
        r.reserve(kMilione, kMilione * 40);
        for (std::size_t i = 0; i < kMilione; ++i)
            r.aggiungi({"01/01/2003", "Versamento", Rif("base", i), "1,00", "1,00"});
        core::FileDati f(core::FileSystemReale(), dir, dir);
        ASSERT_FALSE(f.SalvaRegistroEParametri(r, {"Euro", {}, {}}));
        const auto inizio = std::chrono::steady_clock::now();
        core::Parametri p;
        ASSERT_FALSE(carica(r, p));
        caricamento = std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::steady_clock::now() - inizio);
    }
    const unsigned seme = std::random_device{}();
    SCOPED_TRACE("seme " + std::to_string(seme));
    std::mt19937 caso(seme);
    std::uniform_int_distribution<long> attesa(caricamento.count(),
                                               3 * caricamento.count() + 300000);
    std::size_t ultimo = 0, giornali = 0;
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        const pid_t figlio = ::fork();
        ASSERT_GE(figlio, 0);
        if (figlio == 0) Lavora(dir);
        std::this_thread::sleep_for(std::chrono::microseconds(attesa(caso)));
        ASSERT_EQ(::kill(figlio, SIGKILL), 0);
        int stato = 0;
        ASSERT_EQ(::waitpid(figlio, &stato, 0), figlio);
        ASSERT_TRUE(WIFSIGNALED(stato)) << "the process stopped by itself: " << stato;
        giornali += fs::exists(dir / "giornale.txt");

        core::Registro r;
        core::Parametri p;
        ASSERT_FALSE(carica(r, p));
        const auto nuove = static_cast<std::size_t>(p.SaldoConto.raw() / 10000);
        const auto tolte = static_cast<std::size_t>(-p.FidoConto.raw() / 10000);
        ASSERT_GE(nuove, ultimo);
        ultimo = nuove;
        ASSERT_EQ(r.size(), kMilione - tolte + nuove);
        for (std::size_t j = 0; j < r.size(); j += (j < kMilione - tolte ? 997 : 1)) {
            const bool base = j < kMilione - tolte;
            ASSERT_EQ(r.cella(j, 2),
                      base ? Rif("base", j + tolte) : Rif("nuovo", j - (kMilione - tolte)))
                << j;
        }
        ASSERT_EQ(r.cella(kMilione - tolte - 1, 2), Rif("base", kMilione - 1));
    }
    RecordProperty("movimenti", static_cast<int>(ultimo));
    // The kills fell while movements were being entered, some with a journal on the disk.
    EXPECT_GT(ultimo, 0u);
    EXPECT_GT(giornali, 0u);
}

}  // namespace
