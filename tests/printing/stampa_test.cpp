#include "printing/stampa.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/finti.h"

namespace {

using printing::ErroreStampa;
using printing::Rettangolo;

// One log shared by the printer and the renderer, so their order can be checked.
struct Registro {
    std::vector<std::string> voci;
    std::string guastoA;  // the first call whose name starts with this fails
    int codiceGuasto = printing::kErroreStampante;

    void annota(std::string voce) {
        const bool guasto = !guastoA.empty() && voce.rfind(guastoA, 0) == 0;
        voci.push_back(std::move(voce));
        if (guasto) throw ErroreStampa{codiceGuasto};
    }
};

std::string Num(double v) {
    char testo[32];
    std::snprintf(testo, sizeof testo, "%.1f", v);
    return testo;
}

// What the renderer is told and answers: whether rows remain after each page.
struct Pagine {
    std::vector<bool> risposte;  // none left: the last row is drawn
    std::vector<Rettangolo> aree;
};

class RenderFinto : public printing::RenderGriglia {
  public:
    RenderFinto(Registro& r, Pagine& p) : r_(r), p_(p) {}
    bool Pagina(const Rettangolo& a) override {
        p_.aree.push_back(a);
        r_.annota("Pagina");
        if (p_.risposte.empty()) return false;
        const bool altre = p_.risposte.front();
        p_.risposte.erase(p_.risposte.begin());
        return altre;
    }

  private:
    Registro& r_;
    Pagine& p_;
};

// 10 pixels per mm plus half a pixel across, 12 plus a half down: every margin lands on
// a half, so the rounding shows.
class StampanteFinta : public printing::Stampante {
  public:
    StampanteFinta(Registro& r, Pagine& p) : r_(r), p_(p) {}
    void ImpostaPixel() override { r_.annota("ImpostaPixel"); }
    double LarghezzaStampabile() override { return r_.annota("Larghezza"), 2480.5; }
    double AltezzaStampabile() override { return r_.annota("Altezza"), 3507.5; }
    double MmInOrizzontale(double mm) override { return mm * 10 + 0.5; }
    double MmInVerticale(double mm) override { return mm * 12 + 0.5; }
    void ImpostaX(double x) override { x_ = x; }
    void ImpostaY(double y) override { y_ = y; }
    void StampaRiga(std::string_view t) override {
        r_.annota("Riga " + Num(x_) + "," + Num(y_) + " " + std::string(t));
    }
    std::unique_ptr<printing::RenderGriglia> Render(const grid::Griglia&) override {
        r_.annota("Render");
        return std::make_unique<RenderFinto>(r_, p_);
    }
    void NuovaPagina() override { r_.annota("NuovaPagina"); }
    void FineDocumento() override { r_.annota("FineDocumento"); }

  private:
    Registro& r_;
    Pagine& p_;
    double x_ = 0, y_ = 0;
};

constexpr core::Data kOggi{2024, 3, 7};
const std::string kTitolo = "Banca  conto n° 1 - elenco movimenti al : ";

struct StampaGridTest : ::testing::Test {
    void Stampa() {
        StampanteFinta stampante(registro, pagine);
        printing::StampaGrid(griglia, stampante, dialoghi, printing::Margini{}, kTitolo, kOggi);
    }
    Registro registro;
    Pagine pagine;
    grid::Griglia griglia;
    test::DialoghiFinti dialoghi;
};

std::vector<std::string> Intestazione(const std::string& pagina) {
    return {"Riga 200.5,120.5 " + kTitolo, "Riga 200.5,192.5 07/03/2024",
            "Riga 200.5,48.5 Pagina N° " + pagina};
}

TEST_F(StampaGridTest, PrintsTheHeaderOnEveryPageUntilTheLastRowIsDrawn) {
    // The margins land on half pixels: 200.5 -> 200, 2480 - 200.5 -> 2280, 3508 - 240.5 -> 3268.
    const Rettangolo area{200, 300, 2280, 3268};
    pagine.risposte = {true, true, false};
    Stampa();

    std::vector<std::string> atteso = {"ImpostaPixel", "Larghezza", "Altezza", "Render",
                                       "Riga 0.0,0.0 "};
    for (const char* pagina : {"1", "2", "3"}) {
        for (auto& v : Intestazione(pagina)) atteso.push_back(v);
        atteso.push_back("Pagina");
        if (std::string(pagina) != "3") atteso.push_back("NuovaPagina");
    }
    atteso.push_back("FineDocumento");
    EXPECT_EQ(atteso, registro.voci);
    EXPECT_EQ(std::vector<Rettangolo>(3, area), pagine.aree);
    EXPECT_TRUE(dialoghi.messaggi.empty());
}

struct Guasto {
    const char* nome;
    const char* chiamata;
    int codice;
    const char* messaggio;
};

class GuastoStampa : public StampaGridTest, public ::testing::WithParamInterface<Guasto> {};

TEST_P(GuastoStampa, ShowsTheErrorAndMakesNoFurtherCall) {
    const auto& g = GetParam();
    registro.guastoA = g.chiamata;
    registro.codiceGuasto = g.codice;
    pagine.risposte = {true, false};
    Stampa();

    ASSERT_FALSE(registro.voci.empty());
    EXPECT_EQ(0u, registro.voci.back().rfind(g.chiamata, 0));
    ASSERT_EQ(1u, dialoghi.messaggi.size());
    EXPECT_EQ(g.messaggio, dialoghi.messaggi[0].testo);
    EXPECT_EQ(ui::Icona::Critica, dialoghi.messaggi[0].icona);
    EXPECT_EQ(ui::Pulsanti::Ok, dialoghi.messaggi[0].pulsanti);
    EXPECT_EQ(ui::kTitoloApplicazione, dialoghi.messaggi[0].titolo);
}

INSTANTIATE_TEST_SUITE_P(
    Chiamate, GuastoStampa,
    ::testing::Values(Guasto{"PrimaChiamata", "ImpostaPixel", 482, "Errore della stampante"},
                      Guasto{"Render", "Render", 482, "Errore della stampante"},
                      Guasto{"AperturaDocumento", "Riga 0.0", 482, "Errore della stampante"},
                      Guasto{"Etichetta", "Riga 200.5,48.5", 57, "Si è verificato l'errore N° 57"},
                      Guasto{"PrimaPagina", "Pagina", 482, "Errore della stampante"},
                      Guasto{"Fine", "FineDocumento", 1004, "Si è verificato l'errore N° 1004"}),
    [](const auto& info) { return std::string(info.param.nome); });

TEST(ArrotondaPixel, HalvesGoToTheEvenNeighbour) {
    const std::vector<std::pair<double, int>> casi = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {2.4999, 2}, {2.5001, 3}, {-0.5, 0}, {-1.5, -2}, {-2.6, -3}};
    for (const auto& [valore, atteso] : casi) EXPECT_EQ(atteso, printing::ArrotondaPixel(valore));
    EXPECT_THROW((void)printing::ArrotondaPixel(3e9), ErroreStampa);
}

TEST(TitoloStampa, JoinsBankAndAccountWithTheFixedTexts) {
    EXPECT_EQ("Banca Sella  conto n° 12/345 - elenco movimenti al : ",
              printing::TitoloStampa("Banca Sella", "12/345"));
    EXPECT_EQ("  conto n°  - elenco movimenti al : ", printing::TitoloStampa("", ""));
}

// The register and the print grid as the two routines see them.
struct StampaRegistroTest : ::testing::Test {
    StampaRegistroTest() {
        stato.BancaAppoggio = "Banca";
        stato.NumeroConto = "1";
        for (const char* data : {"05/01/2024", "01/01/2024", "03/01/2024", "02/01/2024", "non data",
                                 "04/01/2024", "06/01/2024"})
            registro.AddItem({data, "Prelievo", "rif " + std::string(data), "1.000", "-1.000"});
    }

    printing::StampaRegistro Procedura() {
        return printing::StampaRegistro(
            {registro, gridPrint, stato, dialoghi,
             [this] { return std::make_unique<StampanteFinta>(log, pagine); },
             [] { return kOggi; }});
    }

    std::vector<std::string> DateStampate() const {
        std::vector<std::string> date;
        for (int r = 1; r < gridPrint.Rows(); ++r) date.push_back(gridPrint.TextMatrix(r, 0));
        return date;
    }

    Registro log;
    Pagine pagine;
    grid::Griglia registro;
    grid::Griglia gridPrint;
    core::StatoConto stato;
    test::DialoghiFinti dialoghi;
};

struct Periodo {
    core::Data inizio, fine;
    std::vector<std::string> date;
};

class SceltaPeriodo : public StampaRegistroTest, public ::testing::WithParamInterface<Periodo> {};

TEST_P(SceltaPeriodo, CopiesTheRowsOfTheRangeInRegisterOrder) {
    stato.DataInizioStampa = GetParam().inizio;
    stato.DataFineStampa = GetParam().fine;
    Procedura().StampaPeriodo();
    EXPECT_EQ(GetParam().date, DateStampate());
    EXPECT_TRUE(dialoghi.messaggi.empty());
}

// Both ends are included, the register's order is kept and the row without a date is skipped.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Periodi, SceltaPeriodo,
    ::testing::Values(Periodo{{2024, 1, 2}, {2024, 1, 4}, {"03/01/2024", "02/01/2024", "04/01/2024"}},
                      Periodo{{2024, 1, 5}, {2024, 1, 5}, {"05/01/2024"}},
                      Periodo{{2024, 1, 7}, {2050, 1, 1}, {}},
                      Periodo{{1900, 1, 1}, {2050, 1, 1}, {"05/01/2024", "01/01/2024", "03/01/2024", "02/01/2024", "04/01/2024", "06/01/2024"}}));
// clang-format on

TEST_F(StampaRegistroTest, StampaTuttoCopiesEveryRowWithItsCellsAndARunClearsTheLast) {
    registro.SetTextMatrix(2, 2, "a\tb");  // stays in its column
    Procedura().StampaTutto();
    ASSERT_EQ(8, gridPrint.Rows());
    EXPECT_EQ("non data", gridPrint.TextMatrix(5, 0));
    const core::RigaRegistro attesa{"05/01/2024", "Prelievo", "rif 05/01/2024", "1.000", "-1.000"};
    EXPECT_EQ(attesa, gridPrint.righe().riga(0));
    EXPECT_EQ("a b", gridPrint.TextMatrix(2, 2));
    EXPECT_EQ("1.000", gridPrint.TextMatrix(2, 3));
    EXPECT_EQ("ImpostaPixel", log.voci.front());
    EXPECT_EQ("Riga 200.5,120.5 Banca  conto n° 1 - elenco movimenti al : ", log.voci[5]);

    stato.DataInizioStampa = {2024, 1, 6};
    stato.DataFineStampa = {2024, 1, 6};
    Procedura().StampaPeriodo();
    EXPECT_EQ(std::vector<std::string>{"06/01/2024"}, DateStampate());
}

TEST_F(StampaRegistroTest, ThePrintGridGetsThePrintoutLayout) {
    gridPrint.SetGridLines(0);
    Procedura().StampaTutto();
    const std::vector<std::string> intestazione(gridPrint.intestazione().begin(),
                                                gridPrint.intestazione().end());
    EXPECT_EQ((std::vector<std::string>{"Data", "Causale", "Riferimento", "Importo", "Saldo"}),
              intestazione);
    const std::vector<int> larghezze = {1150, 2200, 2200, 1550, 1750};
    using grid::Allineamento;
    const std::vector<Allineamento> corpo = {Allineamento::Centro, Allineamento::Generale,
                                             Allineamento::Sinistra, Allineamento::Generale,
                                             Allineamento::Generale};
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(larghezze[c], gridPrint.ColWidth(c));
        EXPECT_EQ(corpo[c], gridPrint.ColAlignment(c));
        EXPECT_EQ(Allineamento::Centro, gridPrint.FixedAlignment(c));
    }
    EXPECT_TRUE(gridPrint.FontBold());
    EXPECT_EQ(0, gridPrint.GridLines());  // the dialog's choice is left alone
}

}  // namespace
