#include "startup/avvio.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "core/record.h"
#include "support/cartella_temporanea.h"
#include "support/contesto_finto.h"
#include "support/finti.h"

namespace {

namespace fs = std::filesystem;

struct Caso {
    const char *conto, *password;  // as stored (password scrambled); nullptr: no such file
    const char* digitata;          // nullptr: the password window is cancelled
    int erroreCaricamento;
    bool fine;                      // the program ends
    const char *passi, *messaggio;  // "@" in the message stands for the test folder
};

// Start-up's windows, scripted: the password window "types" the case's text, or cancels.
struct FinestreFinte : avvio::FinestreAvvio {
    FinestreFinte(core::StatoConto& s, test::DialoghiFinti& d, const Caso& c)
        : stato(s), dialoghi(d), caso(c) {}
    void ApriImpostazioneConto() override { passi += "impostazione"; }
    void CreaPrincipale() override { passi += "crea "; }
    int CaricaPrincipale() override { return passi += "carica", caso.erroreCaricamento; }
    void ApriPassword() override {
        passi += "password ";
        caso.digitata ? void(stato.PasswordInserita = caso.digitata) : dialoghi.TerminaProgramma();
    }
    void MostraPrincipale(const std::string& t) override { passi += " mostra: " + t; }

    core::StatoConto& stato;
    test::DialoghiFinti& dialoghi;
    const Caso& caso;
    std::string passi;
};

class Avvio : public ::testing::TestWithParam<Caso> {};

// Every way a start goes: the window it reaches or the one report it ends with; it never
// writes a file.
TEST_P(Avvio, RaggiungeLaFinestraGiustaOFinisceDicendoPerche) {
    const Caso& c = GetParam();
    test::CartellaTemporanea dir;
    fs::create_directories(dir / "conf");
    if (c.conto) std::ofstream(dir / "dati.txt", std::ios::binary) << c.conto;
    if (c.password) std::ofstream(dir / "conf" / "Vorn.lst", std::ios::binary) << c.password;
    core::FileDati file{core::FileSystemReale(), dir.path(), core::DirSistema(dir / "conf")};
    core::StatoConto stato;
    test::DialoghiFinti dialoghi;
    FinestreFinte finestre{stato, dialoghi, c};
    const auto contenuto = [&] {
        return std::set<fs::path>{fs::recursive_directory_iterator(dir.path()), {}};
    };
    const auto prima = contenuto();

    EXPECT_EQ(avvio::Main(file, stato, dialoghi, finestre),
              c.fine ? avvio::Esito::Finito : avvio::Esito::InCorso);
    EXPECT_EQ(dialoghi.terminato, c.fine);
    EXPECT_EQ(finestre.passi, c.passi);
    EXPECT_EQ(stato.VerificaPassword, finestre.passi.find("password") != std::string::npos);
    std::string atteso = c.messaggio;
    if (const auto at = atteso.find('@'); at != std::string::npos)
        atteso.replace(at, 1, dir.path().string() + "/");
    EXPECT_EQ(dialoghi.testiMessaggi(),
              atteso.empty() ? std::vector<std::string>{} : std::vector<std::string>{atteso});
    for (const auto& m : dialoghi.messaggi)
        EXPECT_EQ(m.icona, atteso.starts_with("Si") ? ui::Icona::Critica : ui::Icona::Esclamazione);
    EXPECT_EQ(contenuto(), prima);
}

constexpr const char* kConto = "\"1\",\"B\"\r\n";
constexpr const char* kSegreto = "\"Tgjvjzv\"\r\n";  // "Segreto" scrambled
#define MOSTRA "carica mostra: Quibora Lite Edition (Free)  - Conto N° 1 - B"
constexpr const char* kErrata = "Password errata";
#define ERRORE "Si è verificato l'errore N° "
#define FATALE " contattare il fornitore del programma."

// clang-format off
INSTANTIATE_TEST_SUITE_P(Tabella, Avvio, ::testing::Values(
    Caso{nullptr, nullptr, nullptr, 0, false, "impostazione", ""},
    Caso{kConto, nullptr, nullptr, 0, false, "crea " MOSTRA, ""},
    // The password is compared without regard to case, "città" stored in cp1252.
    Caso{kConto, kSegreto, "sEGRETO", 0, false, "crea password " MOSTRA, ""},
    Caso{kConto, "\"dkwx\xE5\"\r\n", "CITTÀ", 0, false, "crea password " MOSTRA, ""},
    Caso{kConto, kSegreto, "Segreta", 0, true, "crea password carica", kErrata},
    Caso{kConto, "\"\"\r\n", "", 0, true, "crea password carica", kErrata},  // none set
    Caso{kConto, kSegreto, nullptr, 0, true, "crea password ", ""},
    // A damaged file is found before any window opens; the report names file and row.
    Caso{"\"1\"\r\n", nullptr, "x", 0, true, "", ERRORE "62 leggendo il file @dati.txt, riga 1:" FATALE},
    Caso{kConto, "", "x", 0, true, "", ERRORE "62 leggendo il file @conf/Vorn.lst, riga 1:" FATALE},
    Caso{kConto, "\"\x01\x01\"", "x", 0, true, "", ERRORE "5 leggendo il file @conf/Vorn.lst:" FATALE},
    Caso{kConto, nullptr, "x", 53, true, "crea carica", ERRORE "53" FATALE},
    Caso{kConto, kSegreto, "x", 13, true, "crea password carica", ERRORE "13" FATALE}));
// clang-format on

}  // namespace

// A kill half-way through a restore left dati.txt under its new name only: the start
// finishes that switch before it looks for the account, so it opens the register, not
// the first-use window.
TEST(AvvioInterrotto, CompletaIlSalvataggioPrimaDiCercareIlConto) {
    test::CartellaTemporanea dir;
    std::ofstream(dir / ".salvataggio", std::ios::binary) << core::ScriviRecord({"dati.txt", "1"});
    std::ofstream(dir / "dati.txt.nuovo", std::ios::binary) << kConto;
    core::FileDati file{core::FileSystemReale(), dir.path(), core::DirSistema(dir / "conf")};
    core::StatoConto stato;
    test::DialoghiFinti dialoghi;
    const Caso c{kConto, nullptr, nullptr, 0, false, "", ""};
    FinestreFinte finestre{stato, dialoghi, c};
    EXPECT_EQ(avvio::Main(file, stato, dialoghi, finestre), avvio::Esito::InCorso);
    EXPECT_EQ(finestre.passi, "crea " MOSTRA);
    EXPECT_EQ(test::LeggiByte(dir / "dati.txt"), kConto);
}
