#include "startup/avvio.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <set>

#include "core/cp1252.h"
#include "core/scrambler.h"
#include "support/finti.h"

namespace {

namespace fs = std::filesystem;

// The windows of start-up, scripted: the password window "types" a text or cancels.
class FinestreFinte : public avvio::FinestreAvvio {
  public:
    FinestreFinte(core::StatoConto& stato, avvio::DialoghiConFine& dialoghi)
        : stato_(stato), dialoghi_(dialoghi) {}

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
            dialoghi_.TerminaProgramma();  // Cancel at start-up
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
    avvio::DialoghiConFine& dialoghi_;
};

void Scrivi(const fs::path& p, std::string_view byte) {
    std::ofstream(p, std::ios::binary) << byte;
}

class AvvioTest : public ::testing::Test {
  protected:
    AvvioTest()
        : dir_(fs::temp_directory_path() /
               ("avvio_test_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()))) {
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "conf");
    }
    ~AvvioTest() override { fs::remove_all(dir_); }

    void conto() { Scrivi(dir_ / "dati.txt", "\"12345\",\"Banca Uno\"\r\n"); }
    void password(std::string_view chiara) {
        Scrivi(dir_ / "conf" / "Vorn.lst",
               "\"" + *core::Codifica(*core::Utf8InCp1252(chiara)) + "\"\r\n");
    }
    std::set<fs::path> contenuto() const {
        std::set<fs::path> c;
        for (const auto& e : fs::recursive_directory_iterator(dir_)) c.insert(e.path());
        return c;
    }
    avvio::Esito avvia() { return avvio::Main(file_, stato_, conFine_, finestre_); }

    fs::path dir_;
    core::FileDati file_{core::FileSystemReale(), dir_, core::DirSistema(dir_ / "conf")};
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
    conto();
    EXPECT_EQ(avvia(), avvio::Esito::InCorso);
    EXPECT_EQ(finestre_.passi, (std::vector<std::string>{"crea", "carica", "mostra"}));
    EXPECT_EQ(finestre_.titolo, "Quibora Lite Edition (Free)  - Conto N° 12345 - Banca Uno");
    EXPECT_FALSE(stato_.VerificaPassword);
    EXPECT_TRUE(dialoghi_.messaggi.empty());
}

struct CasoPassword {
    const char* nome;
    const char* salvata;
    std::optional<std::string> digitata;  // nullopt: Cancel
    bool accettata;
    std::vector<std::string> messaggi;
};

class AvvioPassword : public AvvioTest, public ::testing::WithParamInterface<CasoPassword> {};

TEST_P(AvvioPassword, ConfrontaSenzaBadareAlleMaiuscole) {
    const auto& caso = GetParam();
    conto();
    password(caso.salvata);
    finestre_.digitata = caso.digitata;
    const auto prima = contenuto();

    EXPECT_EQ(avvia(), caso.accettata ? avvio::Esito::InCorso : avvio::Esito::Finito);

    EXPECT_TRUE(stato_.VerificaPassword);
    EXPECT_EQ(dialoghi_.testiMessaggi(), caso.messaggi);
    EXPECT_EQ(dialoghi_.terminato, !caso.accettata);
    EXPECT_EQ(finestre_.passi.back(), caso.accettata  ? "mostra"
                                      : caso.digitata ? "carica"
                                                      : "password");
    EXPECT_EQ(contenuto(), prima) << "start-up writes nothing";
}

INSTANTIATE_TEST_SUITE_P(
    Tabella, AvvioPassword,
    ::testing::Values(CasoPassword{"Uguale", "Segreto", "Segreto", true, {}},
                      CasoPassword{"AltreMaiuscole", "Segreto", "sEGRETO", true, {}},
                      CasoPassword{"Accentata", "città", "CITTÀ", true, {}},
                      CasoPassword{"Sbagliata", "Segreto", "Segreta", false, {"Password errata"}},
                      CasoPassword{"ChiusuraSenzaTesto", "Segreto", "", false, {"Password errata"}},
                      CasoPassword{"Annullata", "Segreto", std::nullopt, false, {}}),
    [](const auto& info) { return std::string(info.param.nome); });

struct CasoFatale {
    const char* nome;
    const char* conto;
    const char* password;  // nullptr: no password file
    int erroreCaricamento;
    std::string messaggio;
};

class AvvioFatale : public AvvioTest, public ::testing::WithParamInterface<CasoFatale> {};

TEST_P(AvvioFatale, FinisceConIlNumeroDelGuasto) {
    const auto& caso = GetParam();
    Scrivi(dir_ / "dati.txt", caso.conto);
    if (caso.password) Scrivi(dir_ / "conf" / "Vorn.lst", caso.password);
    finestre_.digitata = "x";
    finestre_.erroreCaricamento = caso.erroreCaricamento;

    EXPECT_EQ(avvia(), avvio::Esito::Finito);

    ASSERT_EQ(dialoghi_.messaggi.size(), 1u);
    EXPECT_EQ(dialoghi_.messaggi[0].testo, caso.messaggio);
    EXPECT_EQ(dialoghi_.messaggi[0].icona, ui::Icona::Critica);
    EXPECT_TRUE(dialoghi_.terminato);
    EXPECT_EQ(std::count(finestre_.passi.begin(), finestre_.passi.end(), "mostra"), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Tabella, AvvioFatale,
    ::testing::Values(
        CasoFatale{"ContoCorto", "\"12345\"\r\n", nullptr, 0,
                   "Si è verificato l'errore N° 62 contattare il fornitore del programma."},
        CasoFatale{"PasswordVuota", "\"1\",\"B\"\r\n", "", 0,
                   "Si è verificato l'errore N° 62 contattare il fornitore del programma."},
        CasoFatale{"PasswordIndecifrabile", "\"1\",\"B\"\r\n", "\"\x01\x01\"\r\n", 0,
                   "Si è verificato l'errore N° 5 contattare il fornitore del programma."},
        CasoFatale{"CaricamentoFallito", "\"1\",\"B\"\r\n", nullptr, 53,
                   "Si è verificato l'errore N° 53 contattare il fornitore del programma."},
        CasoFatale{"CaricamentoFallitoDopoPassword", "\"1\",\"B\"\r\n", "\"y\"\r\n", 13,
                   "Si è verificato l'errore N° 13 contattare il fornitore del programma."}),
    [](const auto& info) { return std::string(info.param.nome); });

TEST(MessaggioIstanzaAttiva, NominaLEseguibile) {
    EXPECT_EQ(avvio::MessaggioIstanzaAttiva("quibora"),
              "L'applicazione quibora è gia' in esecuzione.");
}

}  // namespace
