#include "printing/frm_stampa.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "support/finti.h"

namespace {

// Records which routine ran, with the range and the grid-line style it saw.
class ProceduraFinta : public printing::ProceduraStampa {
  public:
    ProceduraFinta(const core::StatoConto& s, const grid::Griglia& g) : stato_(s), griglia_(g) {}
    void StampaTutto() override { annota("tutto"); }
    void StampaPeriodo() override { annota("periodo"); }

    std::string chiamata;
    core::Data inizio, fine;
    int lineeDurante = -1;

  private:
    void annota(const char* nome) {
        chiamata = nome;
        inizio = stato_.DataInizioStampa;
        fine = stato_.DataFineStampa;
        lineeDurante = griglia_.GridLines();
    }
    const core::StatoConto& stato_;
    const grid::Griglia& griglia_;
};

struct FrmStampaTest : ::testing::Test {
    FrmStampaTest() {
        finestra["Option1_0"].selezionato = true;
        for (const char* c : {"txtDadata", "txtAdata", "Label1", "Label2"})
            finestra[c].visibile = false;
        dialogo.Form_Load({2024, 3, 7});
    }

    void Periodo(const char* da, const char* a) {
        finestra["Option1_0"].selezionato = false;
        finestra["Option1_1"].selezionato = true;
        dialogo.Option1_Click();
        finestra["txtDadata"].testo = da;
        finestra["txtAdata"].testo = a;
        finestra.focus = "cmdOk";
    }

    test::FinestraFinta finestra;
    test::DialoghiFinti dialoghi;
    core::StatoConto stato;
    grid::Griglia gridPrint;
    ProceduraFinta procedura{stato, gridPrint};
    printing::FrmStampa dialogo{finestra, dialoghi, stato, gridPrint, procedura};
};
TEST_F(FrmStampaTest, LoadPutsTodayInTheLastDayField) {
    EXPECT_EQ("07/03/2024", finestra.Testo("txtAdata"));
    EXPECT_EQ("", finestra.Testo("txtDadata"));
}

TEST_F(FrmStampaTest, OptionButtonsShowAndHideTheRangeFields) {
    finestra["Option1_0"].selezionato = false;
    finestra["Option1_1"].selezionato = true;
    dialogo.Option1_Click();
    EXPECT_FALSE(finestra.Selezionato("Option1_0"));
    EXPECT_EQ("txtDadata", finestra.focus);
    for (const char* c : {"txtDadata", "txtAdata", "Label1", "Label2"})
        EXPECT_TRUE(finestra.Visibile(c)) << c;

    finestra["Option1_0"].selezionato = true;
    dialogo.Option1_Click();
    EXPECT_FALSE(finestra.Selezionato("Option1_1"));
    for (const char* c : {"txtDadata", "txtAdata", "Label1", "Label2"})
        EXPECT_FALSE(finestra.Visibile(c)) << c;
}

TEST_F(FrmStampaTest, StampaTuttoIgnoresTheDateFields) {
    finestra["txtDadata"].testo = "sbagliata";
    dialogo.cmdOk_Click();
    EXPECT_EQ("tutto", procedura.chiamata);
    EXPECT_TRUE(dialoghi.messaggi.empty());
    EXPECT_TRUE(finestra.chiusa);
}

// A run that prints names its range; one that stops names its message, icon and focus.
struct Caso {
    const char* nome;
    const char* da;
    const char* a;
    std::optional<core::Data> inizio, fine;
    const char* messaggio = "";
    ui::Icona icona = ui::Icona::Nessuna;
    const char* focus = "";
};

Caso Stampa(const char* nome, const char* da, const char* a, core::Data inizio, core::Data fine) {
    return {nome, da, a, inizio, fine};
}
Caso Ferma(const char* nome, const char* da, const char* a, const char* messaggio, ui::Icona icona,
           const char* focus) {
    return {nome, da, a, {}, {}, messaggio, icona, focus};
}

class ControlliDate : public FrmStampaTest, public ::testing::WithParamInterface<Caso> {};

TEST_P(ControlliDate, PrintsTheRangeOrExplainsWhyNot) {
    const Caso& c = GetParam();
    Periodo(c.da, c.a);
    dialogo.cmdOk_Click();

    if (c.inizio) {
        EXPECT_EQ("periodo", procedura.chiamata);
        EXPECT_EQ(*c.inizio, procedura.inizio);
        EXPECT_EQ(*c.fine, procedura.fine);
        EXPECT_TRUE(dialoghi.messaggi.empty());
        EXPECT_TRUE(finestra.chiusa);
        return;
    }
    EXPECT_EQ("", procedura.chiamata);
    EXPECT_FALSE(finestra.chiusa);
    EXPECT_EQ(c.da, finestra.Testo("txtDadata"));
    ASSERT_EQ(1u, dialoghi.messaggi.size());
    EXPECT_EQ(c.messaggio, dialoghi.messaggi[0].testo);
    EXPECT_EQ(c.icona, dialoghi.messaggi[0].icona);
    EXPECT_EQ(ui::Pulsanti::Ok, dialoghi.messaggi[0].pulsanti);
    EXPECT_EQ(ui::kTitoloApplicazione, dialoghi.messaggi[0].titolo);
    EXPECT_EQ(c.focus, finestra.focus);
}

constexpr auto kCritica = ui::Icona::Critica;
constexpr core::Data k1900{1900, 1, 1}, k2050{2050, 1, 1};
const char* kNonValida = "Non è una data valida";
const char* kNessunaData = "Deve essere specificata almeno una data.";

INSTANTIATE_TEST_SUITE_P(
    Casi, ControlliDate,
    ::testing::Values(
        Stampa("Entrambe", "02/01/2024", "04/01/2024", {2024, 1, 2}, {2024, 1, 4}),
        Stampa("StessoGiorno", "5/1/2024", "05/01/2024", {2024, 1, 5}, {2024, 1, 5}),
        Stampa("SoloUltimo", "", "07/03/2024", k1900, {2024, 3, 7}),
        Stampa("SoloUltimoPrimoBianco", "   ", "07/03/2024", k1900, {2024, 3, 7}),
        Stampa("SoloPrimo", "01/02/2024", "", {2024, 2, 1}, k2050),
        Stampa("SoloPrimoOltreIl2050", "01/02/2060", "", {2060, 2, 1}, k2050),
        Ferma("Invertite", "05/01/2024", "04/01/2024", "Data iniziale superiore a quella finale",
              kCritica, "cmdOk"),
        Ferma("PrimoNonData", "32/01/2024", "04/01/2024", kNonValida, kCritica, "txtDadata"),
        Ferma("UltimoNonData", "01/01/2024", "abc", kNonValida, kCritica, "txtAdata"),
        Ferma("EntrambeNonDate", "abc", "def", kNonValida, kCritica, "txtDadata"),
        Ferma("SoloPrimoNonData", "29/02/2023", "  ", kNonValida, kCritica, "txtDadata"),
        Ferma("SoloUltimoNonData", "", "7/13/2024", kNonValida, kCritica, "txtAdata"),
        Ferma("Bianche", "  ", " ", kNessunaData, ui::Icona::Esclamazione, "txtDadata")),
    [](const auto& info) { return std::string(info.param.nome); });

TEST_F(FrmStampaTest, GridLinesFollowTheBoxAndAreRestoredAfterTheRun) {
    finestra["Check1"].selezionato = false;
    dialogo.cmdOk_Click();
    EXPECT_EQ(0, procedura.lineeDurante);
    EXPECT_EQ(1, gridPrint.GridLines());

    finestra["Check1"].selezionato = true;
    dialogo.cmdOk_Click();
    EXPECT_EQ(1, procedura.lineeDurante);

    finestra["Check1"].selezionato = false;  // a stopped run keeps the choice
    Periodo("", "");
    dialogo.cmdOk_Click();
    EXPECT_EQ(0, gridPrint.GridLines());
}

TEST_F(FrmStampaTest, AnnullaClosesWithoutPrinting) {
    dialogo.cmdAnnulla_Click();
    EXPECT_TRUE(finestra.chiusa);
    EXPECT_EQ("", procedura.chiamata);
}

}  // namespace
