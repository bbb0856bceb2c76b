#include "startup/avvio.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <set>

#include "support/cartella_temporanea.h"
#include "support/finti.h"

namespace {

namespace fs = std::filesystem;

// Start-up's windows, scripted: the password window "types" a text, or cancels.
struct FinestreFinte : avvio::FinestreAvvio {
    FinestreFinte(core::StatoConto& s, test::DialoghiFinti& d) : stato(s), dialoghi(d) {}
    void ApriImpostazioneConto() override { passi += "impostazione"; }
    void CreaPrincipale() override { passi += "crea "; }
    int CaricaPrincipale() override { return passi += "carica", erroreCaricamento; }
    void ApriPassword() override {
        passi += "password ";
        digitata ? void(stato.PasswordInserita = digitata) : dialoghi.TerminaProgramma();
    }
    void MostraPrincipale(const std::string& t) override { passi += " mostra: " + t; }

    core::StatoConto& stato;
    test::DialoghiFinti& dialoghi;
    const char* digitata = nullptr;
    int erroreCaricamento = 0;
    std::string passi;
};

void Scrivi(const fs::path& p, std::string_view byte) {
    std::ofstream(p, std::ios::binary) << byte;
}

struct Caso {
    const char *conto, *password;  // as stored (password scrambled); nullptr: no such file
    const char* digitata;          // nullptr: the password window is cancelled
    int erroreCaricamento;
    bool fine;                      // the program ends
    const char *passi, *messaggio;  // "@" in the message stands for the test folder
};

class Avvio : public ::testing::TestWithParam<Caso> {
  protected:
    Avvio() { fs::create_directories(dir_ / "conf"); }
    std::set<fs::path> contenuto() const {
        return {fs::recursive_directory_iterator(dir_.path()), {}};
    }

    test::CartellaTemporanea dir_;
    core::FileDati file_{core::FileSystemReale(), dir_.path(), core::DirSistema(dir_ / "conf")};
    core::StatoConto stato_;
    test::DialoghiFinti dialoghi_;
    FinestreFinte finestre_{stato_, dialoghi_};
};

// Every way a start goes: the window it reaches or the one report it ends with; it never
// writes a file.
TEST_P(Avvio, RaggiungeLaFinestraGiustaOFinisceDicendoPerche) {
    const Caso& c = GetParam();
    if (c.conto) Scrivi(dir_ / "dati.txt", c.conto);
    if (c.password) Scrivi(dir_ / "conf" / "Vorn.lst", c.password);
    finestre_.digitata = c.digitata;
    finestre_.erroreCaricamento = c.erroreCaricamento;
    const auto prima = contenuto();

    EXPECT_EQ(avvio::Main(file_, stato_, dialoghi_, finestre_),
              c.fine ? avvio::Esito::Finito : avvio::Esito::InCorso);
    EXPECT_EQ(dialoghi_.terminato, c.fine);
    EXPECT_EQ(finestre_.passi, c.passi);
    EXPECT_EQ(stato_.VerificaPassword, finestre_.passi.find("password") != std::string::npos);
    std::string atteso = c.messaggio;
    if (const auto at = atteso.find('@'); at != std::string::npos)
        atteso.replace(at, 1, dir_.path().string() + "/");
    EXPECT_EQ(dialoghi_.testiMessaggi(),
              atteso.empty() ? std::vector<std::string>{} : std::vector<std::string>{atteso});
    if (!atteso.empty()) {
        EXPECT_EQ(dialoghi_.messaggi[0].icona,
                  atteso.starts_with("Si") ? ui::Icona::Critica : ui::Icona::Esclamazione);
    }
    EXPECT_EQ(contenuto(), prima);
}

constexpr const char* kConto = "\"1\",\"B\"\r\n";
constexpr const char* kSegreto = "\"Tgjvjzv\"\r\n";  // "Segreto" scrambled
constexpr const char* kMostra =
    "crea password carica mostra: Quibora Lite Edition (Free)  - "
    "Conto N° 1 - B";
constexpr const char* kErrata = "Password errata";
#define FATALE " contattare il fornitore del programma."

// clang-format off
INSTANTIATE_TEST_SUITE_P(Tabella, Avvio, ::testing::Values(
    Caso{nullptr, nullptr, nullptr, 0, false, "impostazione", ""},
    Caso{"\"12345\",\"Banca Uno\"\r\n", nullptr, nullptr, 0, false,
         "crea carica mostra: Quibora Lite Edition (Free)  - Conto N° 12345 - Banca Uno", ""},
    // The password is compared without regard to case, "città" stored in cp1252.
    Caso{kConto, kSegreto, "sEGRETO", 0, false, kMostra, ""},
    Caso{kConto, "\"dkwx\xE5\"\r\n", "CITTÀ", 0, false, kMostra, ""},
    Caso{kConto, kSegreto, "Segreta", 0, true, "crea password carica", kErrata},
    Caso{kConto, kSegreto, "", 0, true, "crea password carica", kErrata},
    Caso{kConto, "\"\"\r\n", "", 0, true, "crea password carica", kErrata},  // none set
    Caso{kConto, kSegreto, nullptr, 0, true, "crea password ", ""},
    // A damaged file is found before any window opens; the report names file and row.
    Caso{"\"12345\"\r\n", nullptr, "x", 0, true, "",
         "Si è verificato l'errore N° 62 leggendo il file @dati.txt, riga 1:" FATALE},
    Caso{kConto, "", "x", 0, true, "",
         "Si è verificato l'errore N° 62 leggendo il file @conf/Vorn.lst, riga 1:" FATALE},
    Caso{kConto, "\"\x01\x01\"", "x", 0, true, "",
         "Si è verificato l'errore N° 5 leggendo il file @conf/Vorn.lst:" FATALE},
    Caso{kConto, nullptr, "x", 53, true, "crea carica", "Si è verificato l'errore N° 53" FATALE},
    Caso{kConto, kSegreto, "x", 13, true, "crea password carica",
         "Si è verificato l'errore N° 13" FATALE}));
// clang-format on

}  // namespace
