// Backups: by hard links, at most five kept, folders not the program's never touched, the
// reset and a damaged set restored through them.
#include <sys/stat.h>

#include "insieme_dati.h"

namespace {

using namespace prova;

struct Copie_ : ::testing::Test {
    test::CartellaTemporanea dir;
    fs::path programma = dir / "programma", sistema = dir / "config";
    int secondo = 0;

    void SetUp() override {
        fs::create_directories(programma);
        core::FileDati prima(core::FileSystemReale(), programma, sistema);
        SalvaInsieme(prima, 1);
    }
    // A run of the program: its own FileDati, with a clock one second later each time.
    core::FileDati Esecuzione(core::FileSystem& fsys = core::FileSystemReale()) {
        core::FileDati file(fsys, programma, sistema);
        const int s = ++secondo;
        file.AttivaCopie(
            [s] { return "20261206-1200" + std::string(s < 10 ? "0" : "") + std::to_string(s); });
        return file;
    }
};

TEST_F(Copie_, TheResetMovesTheDataSetIntoTheBackupsInsteadOfLosingIt) {
    const std::string parametri = test::LeggiByte(programma / "para.txt");
    ASSERT_FALSE(Esecuzione().EliminaDati());
    EXPECT_EQ(NomiIn(programma), Nomi{"backup"});
    EXPECT_EQ(NomiIn(sistema), Nomi{});
    const fs::path copia = programma / "backup" / "20261206-120001";
    EXPECT_EQ(test::LeggiByte(copia / "para.txt"), parametri);
    EXPECT_EQ(test::LeggiByte(copia / "dati.txt"), "\"12345\",\"Banca Uno\"\r\n");
}

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
    auto seconda = Esecuzione(guasto);
    ASSERT_FALSE(seconda.SalvaRegistro(kUnaRiga));
    EXPECT_EQ(NomiIn(programma / "backup"), Nomi{});

    guasto.Ripara();
    guasto.Guasta({test::Operazione::CreaCartella, "", 0, false, ENOSPC});
    auto reset = Esecuzione(guasto);
    EXPECT_TRUE(reset.EliminaDati().has_value());
    EXPECT_TRUE(fs::exists(programma / "listcol1.txt"));
    EXPECT_TRUE(fs::exists(sistema / "Vorn.lst"));
}

// The first save of each run keeps the set as it stood, by hard links, and later saves of
// the run add none; only the five newest are kept, and folders not ours are never touched.
TEST_F(Copie_, HardLinksAndPruningOnlyOfTheProgramsOwnFolders) {
    const std::string registroPrima = test::LeggiByte(programma / "listcol1.txt");
    struct stat prima {};
    ASSERT_EQ(::stat((programma / "listcol1.txt").c_str(), &prima), 0);
    fs::create_directories(programma / "backup" / "foto mie");
    fs::create_directories(dir / "altrove");
    Scrivi(dir / "altrove" / "tesi.txt", "mia");
    fs::create_symlink(dir / "altrove", programma / "backup" / "20000101-000000");
    for (int run = 0; run < 7; ++run) {
        auto file = Esecuzione();
        ASSERT_FALSE(file.SalvaRegistro(run % 2 ? kUnaRiga : kDueRighe));
        ASSERT_FALSE(file.SalvaParametri({"Lire", core::Money::FromUnits(900000), {}}));
        ASSERT_FALSE(file.erroreCopia());
        if (run > 0) continue;
        const fs::path copia = programma / "backup" / "20261206-120001";
        EXPECT_EQ(NomiIn(programma / "backup").size(), 3u);
        EXPECT_EQ(NomiIn(copia).size(), 8u);  // five register files, para, dati and the password
        EXPECT_EQ(test::LeggiByte(copia / "listcol1.txt"), registroPrima);
        EXPECT_EQ(test::LeggiByte(copia / "Vorn.lst"), test::LeggiByte(sistema / "Vorn.lst"));
        struct stat copiato {};
        ASSERT_EQ(::stat((copia / "listcol1.txt").c_str(), &copiato), 0);
        EXPECT_EQ(copiato.st_ino, prima.st_ino);  // the very file the save replaced
    }
    EXPECT_EQ(NomiIn(programma / "backup"),
              (Nomi{"20000101-000000", "20261206-120003", "20261206-120004", "20261206-120005",
                    "20261206-120006", "20261206-120007", "foto mie"}));
    EXPECT_EQ(test::LeggiByte(dir / "altrove" / "tesi.txt"), "mia");

    // A backup/ that is a link is not followed: the save goes on and the failure is told.
    fs::rename(programma / "backup", dir / "vere");
    fs::create_symlink(dir / "altrove", programma / "backup");
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
    Scrivi(programma / "backup" / "20261206-120002" / "listcol4.txt", "3\"4\r\n\"1\"\r\n");
    Scrivi(programma / "listcol3.txt", "");
    auto file = Esecuzione();
    core::Registro registro;
    ASSERT_NE(file.LeggiRegistro(registro), 0);
    const auto copia = file.CopiaRipristinabile();
    ASSERT_TRUE(copia.has_value());
    EXPECT_EQ(copia->filename(), "20261206-120001");

    fs::path accantonati;
    ASSERT_FALSE(file.RipristinaCopia(*copia, &accantonati));
    EXPECT_EQ(accantonati, programma / "backup" / "danneggiati-20261206-120003");
    EXPECT_EQ(test::LeggiByte(accantonati / "listcol3.txt"), "");
    ASSERT_EQ(file.LeggiRegistro(registro), 0);
    EXPECT_EQ(registro.size(), 1u);  // the set as it stood before the first run's save
    for (const char* n : {"listcol1.txt", "para.txt", "dati.txt"})
        EXPECT_EQ(test::LeggiByte(programma / n), test::LeggiByte(*copia / n)) << n;

    // Six more runs: the set kept aside is never pruned.
    for (int run = 0; run < 6; ++run) ASSERT_FALSE(Esecuzione().SalvaRegistro(kDueRighe));
    EXPECT_TRUE(fs::exists(accantonati / "listcol3.txt"));
}

}  // namespace
