#include "startup/avvio.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <set>

#include "core/cp1252.h"
#include "core/scrambler.h"
#include "support/finti.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// Start-up's windows, scripted: the password window "types" a text, or cancels.
class FinestreFinte : public avvio::FinestreAvvio {
  public:
    FinestreFinte(core::StatoConto& stato, avvio::DialoghiConFine& d) : stato_(stato), d_(d) {}
    void ApriImpostazioneConto() override { passi.push_back("impostazione"); }
    void CreaPrincipale() override { passi.push_back("crea"); }
    int CaricaPrincipale() override {
        passi.push_back("carica");
        return erroreCaricamento;
    }
    void ApriPassword() override {
        passi.push_back("password");
        if (digitata)
            stato_.PasswordInserita = *digitata;
        else
            d_.TerminaProgramma();
    }
    void MostraPrincipale(const std::string& t) override {
        passi.push_back("mostra");
        titolo = t;
    }

    std::optional<std::string> digitata;
    int erroreCaricamento = 0;
    std::vector<std::string> passi;
    std::string titolo;

  private:
    core::StatoConto& stato_;
    avvio::DialoghiConFine& d_;
};

void Scrivi(const fs::path& p, std::string_view byte) {
    std::ofstream(p, std::ios::binary) << byte;
}

class AvvioTest : public ::testing::Test {
  protected:
    AvvioTest() { fs::create_directories(dir_ / "conf"); }
    void password(std::string_view chiara) {
        Scrivi(dir_ / "conf" / "Vorn.lst",
               "\"" + *core::Codifica(*core::Utf8InCp1252(chiara)) + "\"\r\n");
    }
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
    EXPECT_EQ(finestre_.passi, (std::vector<std::string>{"crea", "carica", "mostra"}));
    EXPECT_EQ(finestre_.titolo, "Quibora Lite Edition (Free)  - Conto N° 12345 - Banca Uno");
    EXPECT_TRUE(dialoghi_.messaggi.empty());
}

struct CasoPassword {
    const char* nome;
    const char* salvata;
    std::optional<std::string> digitata;  // nullopt: Cancel
    std::vector<std::string> messaggi;    // empty and typed: accepted
};

class AvvioPassword : public AvvioTest, public ::testing::WithParamInterface<CasoPassword> {};

TEST_P(AvvioPassword, ConfrontaSenzaBadareAlleMaiuscole) {
    const auto& c = GetParam();
    const bool accettata = c.digitata && c.messaggi.empty();
    Scrivi(dir_ / "dati.txt", "\"1\",\"B\"\r\n");
    password(c.salvata);
    finestre_.digitata = c.digitata;
    const auto prima = contenuto();

    EXPECT_EQ(avvia(), accettata ? avvio::Esito::InCorso : avvio::Esito::Finito);
    EXPECT_TRUE(stato_.VerificaPassword);
    EXPECT_EQ(dialoghi_.testiMessaggi(), c.messaggi);
    EXPECT_EQ(dialoghi_.terminato, !accettata);
    EXPECT_EQ(finestre_.passi.back(), accettata ? "mostra" : c.digitata ? "carica" : "password");
    EXPECT_EQ(contenuto(), prima) << "start-up writes nothing";
}

INSTANTIATE_TEST_SUITE_P(
    Tabella, AvvioPassword,
    ::testing::Values(CasoPassword{"Uguale", "Segreto", "Segreto", {}},
                      CasoPassword{"AltreMaiuscole", "Segreto", "sEGRETO", {}},
                      CasoPassword{"Accentata", "città", "CITTÀ", {}},
                      CasoPassword{"Sbagliata", "Segreto", "Segreta", {"Password errata"}},
                      CasoPassword{"ChiusaSenzaTesto", "Segreto", "", {"Password errata"}},
                      CasoPassword{"Annullata", "Segreto", std::nullopt, {}}),
    [](const auto& info) { return std::string(info.param.nome); });

struct CasoFatale {
    const char* nome;
    const char* conto;
    const char* password;  // nullptr: no password file
    int erroreCaricamento;
    int numero;
};

class AvvioFatale : public AvvioTest, public ::testing::WithParamInterface<CasoFatale> {};

TEST_P(AvvioFatale, FinisceConIlNumeroDelGuasto) {
    const auto& c = GetParam();
    Scrivi(dir_ / "dati.txt", c.conto);
    if (c.password) Scrivi(dir_ / "conf" / "Vorn.lst", c.password);
    finestre_.digitata = "x";
    finestre_.erroreCaricamento = c.erroreCaricamento;

    EXPECT_EQ(avvia(), avvio::Esito::Finito);
    ASSERT_EQ(dialoghi_.messaggi.size(), 1u);
    EXPECT_EQ(dialoghi_.messaggi[0].testo, "Si è verificato l'errore N° " +
                                               std::to_string(c.numero) +
                                               " contattare il fornitore del programma.");
    EXPECT_EQ(dialoghi_.messaggi[0].icona, ui::Icona::Critica);
    EXPECT_TRUE(dialoghi_.terminato);
    EXPECT_EQ(std::count(finestre_.passi.begin(), finestre_.passi.end(), "mostra"), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Tabella, AvvioFatale,
    ::testing::Values(CasoFatale{"ContoCorto", "\"12345\"\r\n", nullptr, 0, 62},
                      CasoFatale{"PasswordVuota", "\"1\",\"B\"\r\n", "", 0, 62},
                      CasoFatale{"PasswordIndecifrabile", "\"1\",\"B\"\r\n", "\"\x01\x01\"", 0, 5},
                      CasoFatale{"CaricamentoFallito", "\"1\",\"B\"\r\n", nullptr, 53, 53},
                      CasoFatale{"DopoLaPassword", "\"1\",\"B\"\r\n", "\"y\"\r\n", 13, 13}),
    [](const auto& info) { return std::string(info.param.nome); });

}  // namespace
