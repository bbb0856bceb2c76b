// Backups: by hard links, at most five kept, folders not the program's never touched, the
// reset and a damaged set restored through them.
#include "insieme_dati.h"
#include "support/file_system_difettoso.h"

namespace {

using namespace prova;

// The backup folder of the s-th run: "AAAAMMGG-HHMMSS".
std::string Copia(int s) {
    return "20261206-120" + std::to_string(100 + s);
}

struct Copie_ : ::testing::Test {
    test::CartellaTemporanea dir;
    fs::path programma = dir / "programma", sistema = dir / "config", copie = programma / "backup";
    int secondo = 0;

    void SetUp() override {
        fs::create_directories(programma);
        core::FileDati prima(core::FileSystemReale(), programma, sistema);
        SalvaInsieme(prima, 1);
    }
    // A run of the program: its own FileDati, with a clock one second later each time.
    core::FileDati Esecuzione(core::FileSystem& fsys = core::FileSystemReale()) {
        core::FileDati file(fsys, programma, sistema);
        file.AttivaCopie([s = ++secondo] { return Copia(s); });
        return file;
    }
};

TEST_F(Copie_, ABackupThatCannotBeWrittenNeitherStopsTheSaveNorLetsTheResetDelete) {
    test::FileSystemDifettoso guasto;
    guasto.Guasta({test::Operazione::CreaCartella, "backup", 0, false, ENOSPC});
    auto file = Esecuzione(guasto);
    ASSERT_FALSE(file.SalvaRegistro(kDueRighe));
    ASSERT_TRUE(file.erroreCopia().has_value());
    EXPECT_EQ(file.erroreCopia()->file.filename(), "backup");

    // A copy (where no hard link can be made) that fails half-way leaves no partial
    // folder to pass for a backup.
    guasto.Ripara();
    guasto.Guasta({test::Operazione::Collega, "", 0, false, EXDEV});
    guasto.Guasta({test::Operazione::Scrivi, "listcol3", 1, false, ENOSPC, true});
    ASSERT_FALSE(Esecuzione(guasto).SalvaRegistro(kUnaRiga));
    EXPECT_EQ(NomiIn(copie), Nomi{});

    const auto prima = Contenuti({programma, sistema});
    guasto.Ripara();
    guasto.Guasta({test::Operazione::CreaCartella, "", 0, false, ENOSPC});
    EXPECT_TRUE(Esecuzione(guasto).EliminaDati().has_value());
    EXPECT_EQ(Contenuti({programma, sistema}), prima);
    // Once it can, the reset moves the data set into the backups instead of losing it.
    ASSERT_FALSE(Esecuzione().EliminaDati());
    EXPECT_EQ(Contenuti({programma, sistema}), Contenuto{});
    EXPECT_EQ(Contenuti({copie / Copia(4)}), prima);
}

// The first save of each run keeps the set as it stood, by hard links, and later saves of
// the run add none; only the five newest are kept, and folders not ours are never touched.
TEST_F(Copie_, HardLinksAndPruningOnlyOfTheProgramsOwnFolders) {
    const auto prima = Contenuti({programma, sistema});
    fs::create_hard_link(programma / "listcol1.txt", dir / "registro prima");
    fs::create_directories(copie / "foto mie");
    fs::create_directories(dir / "altrove");
    Scrivi(dir / "altrove" / "tesi.txt", "mia");
    fs::create_symlink(dir / "altrove", copie / "20000101-000000");
    for (int run = 0; run < 7; ++run) {
        auto file = Esecuzione();
        ASSERT_FALSE(file.SalvaRegistro(run % 2 ? kUnaRiga : kDueRighe));
        ASSERT_FALSE(file.SalvaParametri({"Lire", core::Money::FromUnits(900000), {}}));
        ASSERT_FALSE(file.erroreCopia());
        if (run > 0) continue;
        EXPECT_EQ(NomiIn(copie).size(), 3u);
        EXPECT_EQ(Contenuti({copie / Copia(1)}), prima);
        // The very files the save replaced.
        EXPECT_TRUE(fs::equivalent(copie / Copia(1) / "listcol1.txt", dir / "registro prima"));
    }
    EXPECT_EQ(NomiIn(copie), (Nomi{"20000101-000000", Copia(3), Copia(4), Copia(5), Copia(6),
                                   Copia(7), "foto mie"}));
    EXPECT_EQ(test::LeggiByte(dir / "altrove" / "tesi.txt"), "mia");

    // A backup/ that is a link is not followed: the save goes on and the failure is told.
    fs::rename(copie, dir / "vere");
    fs::create_symlink(dir / "altrove", copie);
    auto file = Esecuzione();
    ASSERT_FALSE(file.SalvaRegistro(kDueRighe));
    ASSERT_TRUE(file.ErroreCopiaDaMostrare().has_value());
    EXPECT_FALSE(file.ErroreCopiaDaMostrare().has_value()) << "told once";
    EXPECT_EQ(NomiIn(dir / "altrove"), Nomi{"tesi.txt"});
}

TEST_F(Copie_, ADamagedSetIsReplacedByTheNewestBackupThatLoadsAndKeptAside) {
    for (int run = 0; run < 2; ++run)
        ASSERT_FALSE(Esecuzione().SalvaRegistro(run ? kUnaRiga : kDueRighe));
    // The newest backup is damaged too: the one before it is offered.
    Scrivi(copie / Copia(2) / "listcol4.txt", "3\"4\r\n\"1\"\r\n");
    Scrivi(programma / "listcol3.txt", "");
    auto file = Esecuzione();
    core::Registro registro;
    ASSERT_NE(file.LeggiRegistro(registro), 0);
    ASSERT_EQ(file.CopiaRipristinabile(), copie / Copia(1));

    // A backup folder holding no data is refused, never restored as an empty set.
    const auto danneggiato = Contenuti({programma, sistema});
    fs::create_directories(dir / "vuota");
    EXPECT_TRUE(file.RipristinaCopia(dir / "vuota").has_value());
    EXPECT_EQ(Contenuti({programma, sistema}), danneggiato);

    fs::path accantonati;
    ASSERT_FALSE(file.RipristinaCopia(copie / Copia(1), &accantonati));
    EXPECT_EQ(accantonati, copie / ("danneggiati-" + Copia(3)));
    EXPECT_EQ(test::LeggiByte(accantonati / "listcol3.txt"), "");
    // The set as it stood before the first run's save.
    EXPECT_EQ(Contenuti({programma, sistema}), Contenuti({copie / Copia(1)}));

    // Six more runs: the set kept aside is never pruned.
    for (int run = 0; run < 6; ++run) ASSERT_FALSE(Esecuzione().SalvaRegistro(kDueRighe));
    EXPECT_TRUE(fs::exists(accantonati / "listcol3.txt"));
}

// A file no save of the run replaced is copied, never linked: damaged in place (an editor,
// "> dati.txt") it leaves its backups whole. A save that fails after the backup breaks the
// links it made, since the files stay live.
TEST_F(Copie_, NessunaCopiaCondivideIFileVivi) {
    for (const bool fallisce : {false, true}) {
        SCOPED_TRACE(fallisce);
        test::FileSystemDifettoso guasto;
        if (fallisce) guasto.Guasta({test::Operazione::Rinomina, ".salvataggio", 1, false, EIO});
        auto file = Esecuzione(guasto);
        EXPECT_EQ(file.SalvaRegistro(secondo % 2 ? kDueRighe : kUnaRiga).has_value(), fallisce);
        const fs::path copia = copie / Copia(secondo);
        ASSERT_TRUE(fs::exists(copia / "dati.txt"));
        for (const auto& n : NomiIn(copia)) {
            const fs::path vivo = (n == "Vorn.lst" ? sistema : programma) / n;
            EXPECT_FALSE(fs::equivalent(copia / n, vivo)) << n;
        }
        const auto tenuti = Contenuti({copia});
        for (const char* n : {"dati.txt", "listcol1.txt"}) std::ofstream(programma / n) << "";
        EXPECT_EQ(Contenuti({copia}), tenuti);
    }
}

// A run that loads the set and saves what it loaded writes nothing and keeps no backup:
// five sessions that only look do not push the history out of backup/.
TEST_F(Copie_, UnaSessioneCheNonCambiaNullaNonScriveNulla) {
    test::FileSystemDifettoso conta;
    auto file = Esecuzione(conta);
    std::string numero, banca, password;
    core::Parametri parametri;
    core::Registro registro;
    ASSERT_EQ(file.LeggiConto(numero, banca) + file.LeggiPassword(password) +
                  file.LeggiParametri(parametri) + file.LeggiRegistro(registro),
              0);
    ASSERT_FALSE(file.SalvaRegistroEParametri(registro, parametri));
    ASSERT_FALSE(file.SalvaConto(numero, banca));
    ASSERT_FALSE(file.SalvaPassword("Segreta"));
    using enum test::Operazione;
    for (auto op : {Scrivi, Rinomina, Elimina, CreaCartella, Collega})
        EXPECT_EQ(conta.Chiamate(op), 0) << static_cast<int>(op);
    EXPECT_FALSE(fs::exists(copie));
    // A change is saved, and backed up first.
    ASSERT_FALSE(file.SalvaConto(numero, "Banca Due"));
    EXPECT_EQ(NomiIn(copie), Nomi{Copia(1)});
}

// A save that failed leaves the disk unsure (here the next start completes it): going back to
// what was loaded is written all the same, never skipped as unchanged.
TEST_F(Copie_, DopoUnSalvataggioFallitoSiScriveDiNuovo) {
    test::FileSystemDifettoso guasto;
    auto file = Esecuzione(guasto);
    core::Registro registro;
    ASSERT_EQ(file.LeggiRegistro(registro), 0);
    guasto.Guasta({test::Operazione::Rinomina, "listcol2.txt", 0, false, EIO});
    guasto.Guasta({test::Operazione::Rinomina, "annullamento", 0, false, EIO});
    const auto errore = file.SalvaRegistro(kDueRighe);
    ASSERT_TRUE(errore.has_value());
    ASSERT_EQ(errore->dati, core::DatiDopoErrore::CompletatiAlRiavvio);
    guasto.Ripara();
    ASSERT_FALSE(file.SalvaRegistro(registro));
    ASSERT_EQ(core::FileDati(core::FileSystemReale(), programma, sistema).LeggiRegistro(registro),
              0);
    EXPECT_EQ(registro, kUnaRiga);
}

}  // namespace
