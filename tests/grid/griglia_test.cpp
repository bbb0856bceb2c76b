#include "grid/griglia.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using grid::Griglia;

std::vector<std::string> Celle(const Griglia& g, int riga) {
    std::vector<std::string> celle;
    for (int c = 0; c < g.Cols(); ++c) celle.push_back(g.TextMatrix(riga, c));
    return celle;
}

TEST(GrigliaTest, UnaRigaArrivaCellaPerCella) {
    Griglia g;
    g.AddItem({"01/02/2001", "a\tb", "", "à, è", "-1,50"});
    ASSERT_EQ(g.Rows(), 2);
    EXPECT_EQ(Celle(g, 1), (std::vector<std::string>{"01/02/2001", "a\tb", "", "à, è", "-1,50"}));
}

struct CasoRimozione {
    const char* nome;
    int righeDati;
    int indice;
    int esito;
    std::vector<std::string> primeCelle;  // column 0 of the data rows afterwards
};

class RemoveItemTest : public testing::TestWithParam<CasoRimozione> {};

TEST_P(RemoveItemTest, RimuoveORifiuta) {
    const auto& caso = GetParam();
    Griglia g;
    for (int i = 0; i < caso.righeDati; ++i)
        g.AddItem({std::string(1, static_cast<char>('A' + i)), "", "", "", ""});
    g.SetTopRow(caso.righeDati);  // scrolled to the end: the top row must stay a row
    EXPECT_EQ(g.RemoveItem(caso.indice), caso.esito);
    EXPECT_LE(g.TopRow(), std::max(g.Rows() - 1, 1));
    std::vector<std::string> prime;
    for (int r = 1; r < g.Rows(); ++r) prime.push_back(g.TextMatrix(r, 0));
    EXPECT_EQ(prime, caso.primeCelle);
}

INSTANTIATE_TEST_SUITE_P(Indici, RemoveItemTest,
                         testing::Values(CasoRimozione{"UnicaRiga", 1, 1, 30015, {"A"}},
                                         CasoRimozione{"Prima", 3, 1, 0, {"B", "C"}},
                                         CasoRimozione{"Mezzo", 3, 2, 0, {"A", "C"}},
                                         CasoRimozione{"Ultima", 3, 3, 0, {"A", "B"}},
                                         CasoRimozione{"Intestazione", 3, 0, 5, {"A", "B", "C"}},
                                         CasoRimozione{"OltreLaFine", 3, 4, 5, {"A", "B", "C"}},
                                         CasoRimozione{"Negativo", 2, -1, 5, {"A", "B"}},
                                         CasoRimozione{"GrigliaVuota", 0, 1, 5, {}}),
                         [](const auto& info) { return info.param.nome; });

TEST(GrigliaTest, CellaFuoriDaiLimitiSollevaEccezione) {
    Griglia g;
    g.AddItem({"a", "", "", "", ""});
    const std::vector<std::pair<int, int>> fuori{{-1, 0}, {2, 0}, {0, 5}, {1, -1}};
    for (const auto& [r, c] : fuori) {
        EXPECT_THROW((void)g.TextMatrix(r, c), std::out_of_range) << r << "," << c;
        EXPECT_THROW(g.SetTextMatrix(r, c, "x"), std::out_of_range) << r << "," << c;
    }
}

class Registratore : public grid::OsservatoreGriglia {
  public:
    void righeInserite(int p, int u) override { log.push_back("ins " + Coppia(p, u)); }
    void righeRimosse(int p, int u) override { log.push_back("rim " + Coppia(p, u)); }
    void cellaCambiata(int r, int c) override { log.push_back("cella " + Coppia(r, c)); }
    void aspettoCambiato() override { log.push_back("aspetto"); }
    void rigaInAltoCambiata(int r) override { log.push_back("alto " + std::to_string(r)); }
    std::vector<std::string> log;

  private:
    static std::string Coppia(int a, int b) { return std::to_string(a) + "-" + std::to_string(b); }
};

TEST(GrigliaTest, OgniCambioEComunicato) {
    Griglia g;
    Registratore oss;
    g.setOsservatore(&oss);
    g.AddItem({"a", "", "", "", ""});
    g.AggiungiRighe(core::Registro(std::vector<core::RigaRegistro>{{"b"}, {"c"}, {"d"}}));
    g.AggiungiRighe(core::Registro{});
    EXPECT_EQ(g.RemoveItem(2), 0);
    EXPECT_EQ(g.RemoveItem(9), 5);
    g.SetTextMatrix(0, 1, "Causale");
    g.SetColWidth(2, 2200);
    g.SetColAlignment(2, grid::Allineamento::Sinistra);
    g.SetFixedAlignment(0, grid::Allineamento::Centro);
    g.SetForeColorFixed({128, 0, 0});
    g.SetFontBold(true);
    g.SetGridLines(0);
    g.SetTopRow(30);
    EXPECT_EQ(Celle(g, 2)[0], "c");
    g.SetRows(5);
    EXPECT_EQ(Celle(g, 4), std::vector<std::string>(5, ""));
    g.SetRows(1);
    g.SetRows(0);
    EXPECT_EQ(g.Rows(), 1);
    EXPECT_EQ(g.TextMatrix(0, 1), "Causale");
    const std::vector<std::string> atteso{"ins 1-1", "ins 2-4", "rim 2-2", "cella 0-1", "aspetto",
                                          "aspetto", "aspetto", "aspetto", "aspetto",   "aspetto",
                                          "alto 3",  "ins 4-4", "rim 1-4"};
    EXPECT_EQ(oss.log, atteso);
}

TEST(GrigliaTest, AggiungiRigheDaRegistroInGrigliaVuotaEPiena) {
    Griglia g;
    Registratore oss;
    g.setOsservatore(&oss);
    core::Registro primo;
    primo.aggiungi({"a", "1", "", "", ""});
    primo.aggiungi({"b", "2", "", "", ""});
    g.AggiungiRighe(std::move(primo));
    core::Registro secondo;
    secondo.aggiungi({"c", "3", "", "", "è"});
    g.AggiungiRighe(std::move(secondo));
    g.SetTextMatrix(1, 2, "rif");
    EXPECT_EQ(Celle(g, 1), (std::vector<std::string>{"a", "1", "rif", "", ""}));
    EXPECT_EQ(Celle(g, 3), (std::vector<std::string>{"c", "3", "", "", "è"}));
    EXPECT_EQ(g.Cella(2, 1), "2");
    EXPECT_EQ(oss.log, (std::vector<std::string>{"ins 1-2", "ins 3-3", "cella 1-2"}));
}

}  // namespace
