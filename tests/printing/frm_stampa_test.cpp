#include "printing/frm_stampa.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/finti.h"

namespace {

// Records which routine ran, with the range and the grid-line style it saw.
struct ProceduraFinta : printing::ProceduraStampa {
    ProceduraFinta(const core::StatoConto& s, const grid::Griglia& g) : stato(s), griglia(g) {}
    void StampaTutto() override { annota("tutto"); }
    void StampaPeriodo() override { annota("periodo"); }
    void annota(const std::string& nome) {
        chiamata = nome + " " + core::FormatoData(stato.DataInizioStampa) + " " +
                   core::FormatoData(stato.DataFineStampa);
        lineeDurante = griglia.GridLines();
    }
    const core::StatoConto& stato;
    const grid::Griglia& griglia;
    std::string chiamata;  // the routine with the range it saw
    int lineeDurante = -1;
};

const char* const kCampi[] = {"txtDadata", "txtAdata", "Label1", "Label2"};

struct FrmStampaTest : ::testing::Test {
    FrmStampaTest() {
        finestra["Option1_0"].selezionato = true;
        for (const char* c : kCampi) finestra[c].visibile = false;
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

// A run that prints names its range; one that stops names its message, icon and focus.
struct Caso {
    const char *da, *a, *stampa, *messaggio, *focus;
};

class ControlliDate : public FrmStampaTest, public ::testing::WithParamInterface<Caso> {};

TEST_P(ControlliDate, StampaIlPeriodoOSpiegaPercheNo) {
    const Caso& c = GetParam();
    Periodo(c.da, c.a);
    dialogo.cmdOk_Click();
    EXPECT_EQ(procedura.chiamata, c.stampa);
    EXPECT_EQ(finestra.chiusa, *c.stampa != '\0');
    EXPECT_EQ(finestra.focus, c.focus);
    EXPECT_EQ(dialoghi.testiMessaggi(),
              *c.messaggio ? std::vector<std::string>{c.messaggio} : std::vector<std::string>{});
    for (const auto& m : dialoghi.messaggi)
        EXPECT_EQ(m.icona,
                  m.testo.starts_with("Deve") ? ui::Icona::Esclamazione : ui::Icona::Critica);
}

const char* kNonValida = "Non è una data valida";

// A missing first day is 1/1/1900, a missing last day 1/1/2050, never checked against the
// typed one.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Casi, ControlliDate, ::testing::Values(
    Caso{"4/1/2024", "04/01/2024", "periodo 04/01/2024 04/01/2024", "", "cmdOk"},
    Caso{"   ", "07/03/2024", "periodo 01/01/1900 07/03/2024", "", "cmdOk"},
    Caso{"01/02/2060", "", "periodo 01/02/2060 01/01/2050", "", "cmdOk"},
    Caso{"05/01/2024", "04/01/2024", "", "Data iniziale superiore a quella finale", "cmdOk"},
    Caso{"32/01/2024", "04/01/2024", "", kNonValida, "txtDadata"},
    Caso{"01/01/2024", "abc", "", kNonValida, "txtAdata"},
    Caso{"  ", " ", "", "Deve essere specificata almeno una data.", "txtDadata"}));
// clang-format on

// The range boxes show with the range option only; the grid-line style is set before the
// dates are checked, and put back after a run.
TEST_F(FrmStampaTest, OpzioniELineeDellaGriglia) {
    finestra["txtDadata"].testo = "sbagliata";  // not read when printing everything
    finestra["Check1"].selezionato = true;
    dialogo.cmdOk_Click();
    EXPECT_EQ(procedura.chiamata.substr(0, 6), "tutto ");
    EXPECT_EQ(procedura.lineeDurante, 1);
    finestra["Check1"].selezionato = false;
    dialogo.cmdOk_Click();
    EXPECT_EQ(procedura.lineeDurante, 0);
    EXPECT_EQ(gridPrint.GridLines(), 1);

    Periodo("", "");
    for (const char* c : kCampi) EXPECT_TRUE(finestra.Visibile(c)) << c;
    dialogo.cmdOk_Click();
    EXPECT_EQ(gridPrint.GridLines(), 0);  // a stopped run keeps the choice
    finestra["Option1_0"].selezionato = true;
    dialogo.Option1_Click();
    EXPECT_FALSE(finestra.Selezionato("Option1_1"));
    for (const char* c : kCampi) EXPECT_FALSE(finestra.Visibile(c)) << c;
}

}  // namespace
