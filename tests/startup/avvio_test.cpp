#include "startup/avvio.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <set>

#include "support/finti.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// Start-up's windows, scripted: the password window "types" a text, or cancels.
struct FinestreFinte : avvio::FinestreAvvio {
    FinestreFinte(core::StatoConto& s, avvio::DialoghiConFine& d) : stato(s), dialoghi(d) {}
    void ApriImpostazioneConto() override { passi.push_back("impostazione"); }
    void CreaPrincipale() override { passi.push_back("crea"); }
    int CaricaPrincipale() override { return passi.push_back("carica"), erroreCaricamento; }
    void ApriPassword() override {
        passi.push_back("password");
        digitata ? void(stato.PasswordInserita = *digitata) : dialoghi.TerminaProgramma();
    }
    void MostraPrincipale(const std::string& t) override { passi.push_back("mostra: " + t); }

    core::StatoConto& stato;
    avvio::DialoghiConFine& dialoghi;
    std::optional<std::string> digitata;
    int erroreCaricamento = 0;
    std::vector<std::string> passi;
};

void Scrivi(const fs::path& p, std::string_view byte) {
    std::ofstream(p, std::ios::binary) << byte;
}

class AvvioTest : public ::testing::Test {
  protected:
    AvvioTest() { fs::create_directories(dir_ / "conf"); }
    std::set<fs::path> contenuto() const {
        return {fs::recursive_directory_iterator(dir_.path()), {}};
    }
    avvio::Esito avvia() { return avvio::Main(file_, stato_, conFine_, finestre_); }

    test::CartellaTemporanea dir_;
    core::FileDati file_{core::FileSystemReale(), dir_.path(), core::DirSistema(dir_ / "conf")};
    core::StatoConto stato_;
    test::DialoghiFinti dialoghi_;
    avvio::DialoghiConFine conFine_{dialoghi_};
    FinestreFinte finestre_{stato_, conFine_};
};

TEST_F(AvvioTest, PrimoUsoApreSoloLImpostazioneDelConto) {
    EXPECT_EQ(avvia(), avvio::Esito::InCorso);
    EXPECT_EQ(finestre_.passi, std::vector<std::string>{"impostazione"});
    EXPECT_EQ(contenuto(), std::set<fs::path>{dir_ / "conf"}) << "nothing written";
}

TEST_F(AvvioTest, SenzaPasswordMostraLaFinestraColTitolo) {
    Scrivi(dir_ / "dati.txt", "\"12345\",\"Banca Uno\"\r\n");
    EXPECT_EQ(avvia(), avvio::Esito::InCorso);
    EXPECT_EQ(finestre_.passi,
              (std::vector<std::string>{
                  "crea", "carica",
                  "mostra: Quibora Lite Edition (Free)  - Conto N° 12345 - Banca Uno"}));
    EXPECT_TRUE(dialoghi_.messaggi.empty());
}

struct CasoPassword {
    const char *salvata, *digitata;  // salvata scrambled as stored; digitata nullptr: Cancel
    const char* messaggio;           // "" with a typed text: accepted
};

class AvvioPassword : public AvvioTest, public ::testing::WithParamInterface<CasoPassword> {};

TEST_P(AvvioPassword, ConfrontaSenzaBadareAlleMaiuscole) {
    const auto& c = GetParam();
    const bool accettata = c.digitata && !*c.messaggio;
    Scrivi(dir_ / "dati.txt", "\"1\",\"B\"\r\n");
    Scrivi(dir_ / "conf" / "Vorn.lst", std::string("\"") + c.salvata + "\"\r\n");
    if (c.digitata) finestre_.digitata = c.digitata;
    const auto prima = contenuto();

    EXPECT_EQ(avvia(), accettata ? avvio::Esito::InCorso : avvio::Esito::Finito);
    EXPECT_TRUE(stato_.VerificaPassword);
    EXPECT_EQ(dialoghi_.testiMessaggi(),
              *c.messaggio ? std::vector<std::string>{c.messaggio} : std::vector<std::string>{});
    EXPECT_EQ(dialoghi_.terminato, !accettata);
    EXPECT_EQ(finestre_.passi.back().substr(0, 6), accettata    ? "mostra"
                                                   : c.digitata ? "carica"
                                                                : "passwo");
    EXPECT_EQ(contenuto(), prima) << "start-up writes nothing";
}

// "Tgjvjzv" is "Segreto" scrambled, "dkwx\xE5" is "città" (cp1252).
// clang-format off
INSTANTIATE_TEST_SUITE_P(Tabella, AvvioPassword, ::testing::Values(
    CasoPassword{"Tgjvjzv", "Segreto", ""}, CasoPassword{"Tgjvjzv", "sEGRETO", ""},
    CasoPassword{"dkwx\xE5", "CITTÀ", ""}, CasoPassword{"Tgjvjzv", "Segreta", "Password errata"},
    CasoPassword{"Tgjvjzv", "", "Password errata"}, CasoPassword{"Tgjvjzv", nullptr, ""}));
// clang-format on

struct CasoFatale {
    const char *conto, *password;  // password nullptr: no password file
    int erroreCaricamento, numero;
    const char* dove;  // the file (under the test folder) and row named, "" for none
};

class AvvioFatale : public AvvioTest, public ::testing::WithParamInterface<CasoFatale> {};

TEST_P(AvvioFatale, FinisceConIlNumeroDelGuasto) {
    const auto& c = GetParam();
    Scrivi(dir_ / "dati.txt", c.conto);
    if (c.password) Scrivi(dir_ / "conf" / "Vorn.lst", c.password);
    finestre_.digitata = "x";
    finestre_.erroreCaricamento = c.erroreCaricamento;

    EXPECT_EQ(avvia(), avvio::Esito::Finito);
    const std::string dove =
        *c.dove ? " leggendo il file " + (dir_ / c.dove).string() + ":" : std::string();
    EXPECT_EQ(dialoghi_.testiMessaggi(),
              std::vector<std::string>{"Si è verificato l'errore N° " + std::to_string(c.numero) +
                                       dove + " contattare il fornitore del programma."});
    EXPECT_EQ(dialoghi_.messaggi[0].icona, ui::Icona::Critica);
    EXPECT_TRUE(dialoghi_.terminato);
    for (const auto& passo : finestre_.passi) EXPECT_FALSE(passo.starts_with("mostra"));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Tabella, AvvioFatale, ::testing::Values(
    CasoFatale{"\"12345\"\r\n", nullptr, 0, 62, "dati.txt, riga 1"},
    CasoFatale{"\"1\",\"B\"\r\n", "", 0, 62, "conf/Vorn.lst, riga 1"},
    CasoFatale{"\"1\",\"B\"\r\n", "\"\x01\x01\"", 0, 5, "conf/Vorn.lst"},
    CasoFatale{"\"1\",\"B\"\r\n", nullptr, 53, 53, ""},
    CasoFatale{"\"1\",\"B\"\r\n", "\"y\"\r\n", 13, 13, ""}));
// clang-format on

}  // namespace
