#include "printing/frm_stampa.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/finti.h"

namespace {

// Records which routine ran, with the range and the grid-line style it saw.
struct ProceduraFinta : printing::ProceduraStampa {
    void StampaTutto() override { annota("tutto"); }
    void StampaPeriodo() override { annota("periodo"); }
    void annota(const std::string& nome) {
        chiamata = nome + " " + core::FormatoData(stato.DataInizioStampa) + " " +
                   core::FormatoData(stato.DataFineStampa) + " " +
                   std::to_string(gridPrint.GridLines());
    }
    core::StatoConto stato;
    grid::Griglia gridPrint;
    std::string chiamata;
};

const char* const kCampi[] = {"txtDadata", "txtAdata", "Label1", "Label2"};

// A run that prints names its range and the grid-line style it saw (the box's, set before
// the dates are checked and put back after a run); one that stops names its message and
// focus, and keeps the style.
struct Caso {
    const char *da, *a, *stampa, *messaggio, *focus;
};

class ControlliDate : public ::testing::TestWithParam<Caso> {};

TEST_P(ControlliDate, StampaIlPeriodoOSpiegaPercheNo) {
    const Caso& c = GetParam();
    test::FinestraFinta finestra;
    test::DialoghiFinti dialoghi;
    ProceduraFinta procedura;
    printing::FrmStampa dialogo{finestra, dialoghi, procedura.stato, procedura.gridPrint,
                                procedura};
    for (const char* campo : kCampi) finestra[campo].visibile = false;
    finestra["Option1_1"].selezionato = true;  // the range boxes show with the range option
    dialogo.Option1_Click();
    for (const char* campo : kCampi) EXPECT_TRUE(finestra.Visibile(campo)) << campo;
    finestra["txtDadata"].testo = c.da;
    finestra["txtAdata"].testo = c.a;
    finestra.focus = "cmdOk";
    dialogo.cmdOk_Click();
    EXPECT_EQ(procedura.chiamata, c.stampa);
    EXPECT_EQ(finestra.chiusa, *c.stampa != '\0');
    EXPECT_EQ(procedura.gridPrint.GridLines(), *c.stampa != '\0');
    EXPECT_EQ(finestra.focus, c.focus);
    EXPECT_EQ(dialoghi.testiMessaggi(),
              *c.messaggio ? std::vector<std::string>{c.messaggio} : std::vector<std::string>{});
    for (const auto& m : dialoghi.messaggi)
        EXPECT_EQ(m.icona,
                  m.testo.starts_with("Deve") ? ui::Icona::Esclamazione : ui::Icona::Critica);
}

// A missing first day is 1/1/1900, a missing last day 1/1/2050, never checked against the
// typed one.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Casi, ControlliDate, ::testing::Values(
    Caso{"4/1/2024", "04/01/2024", "periodo 04/01/2024 04/01/2024 0", "", "cmdOk"},
    Caso{"   ", "07/03/2024", "periodo 01/01/1900 07/03/2024 0", "", "cmdOk"},
    Caso{"01/02/2060", "", "periodo 01/02/2060 01/01/2050 0", "", "cmdOk"},
    Caso{"05/01/2024", "04/01/2024", "", "Data iniziale superiore a quella finale", "cmdOk"},
    Caso{"32/01/2024", "04/01/2024", "", "Non è una data valida", "txtDadata"},
    Caso{"01/01/2024", "abc", "", "Non è una data valida", "txtAdata"},
    Caso{"  ", " ", "", "Deve essere specificata almeno una data.", "txtDadata"}));
// clang-format on

}  // namespace
