#include "grid/griglia.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace {

using grid::Griglia;

std::vector<std::string> Colonna0(const Griglia& g) {
    std::vector<std::string> celle;
    for (int r = 1; r < g.Rows(); ++r) celle.push_back(g.TextMatrix(r, 0));
    return celle;
}

// Only a data row goes, never the only one; the top row stays a row.
TEST(Griglia, RemoveItemRimuoveORifiuta) {
    // Data rows, the index removed, the answer, column 0 of the data rows afterwards.
    const std::vector<std::tuple<int, int, int, std::vector<std::string>>> casi{
        {1, 1, grid::kErroreUnicaRiga, {"A"}},
        {3, 2, 0, {"A", "C"}},
        {3, 3, 0, {"A", "B"}},
        {3, 0, 5, {"A", "B", "C"}},
        {3, 4, 5, {"A", "B", "C"}}};
    for (const auto& [righe, indice, esito, restano] : casi) {
        Griglia g;
        for (int i = 0; i < righe; ++i) g.AddItem({std::string(1, 'A' + i), "", "", "", ""});
        g.SetTopRow(righe);
        EXPECT_EQ(g.RemoveItem(indice), esito) << indice;
        EXPECT_LE(g.TopRow(), g.Rows() - 1) << indice;
        EXPECT_EQ(Colonna0(g), restano) << indice;
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

// The views hear of every change with the rows it touched; a cell outside the grid is an
// error, not a read past its end.
TEST(Griglia, OgniCambioEComunicato) {
    Griglia g;
    Registratore oss;
    g.setOsservatore(&oss);
    g.AddItem({"a", "", "", "", ""});
    g.AggiungiRighe(core::Registro(std::vector<core::RigaRegistro>{{"b"}, {"c", "\t"}, {"d"}}));
    g.AggiungiRighe(core::Registro{});
    EXPECT_EQ(g.RemoveItem(2), 0);
    g.SetTextMatrix(0, 1, "Causale");
    g.SetTextMatrix(2, 2, "rif");
    g.SetColWidth(2, 2200);
    g.SetFontBold(true);
    g.SetTopRow(30);
    EXPECT_EQ(Colonna0(g), (std::vector<std::string>{"a", "c", "d"}));
    EXPECT_EQ(g.righe().riga(1), (core::RigaRegistro{"c", "\t", "rif", "", ""}));
    g.SetRows(5);
    EXPECT_EQ(g.TextMatrix(4, 4), "");
    g.SetRows(0);
    EXPECT_EQ(g.Rows(), 1);
    EXPECT_EQ(g.TextMatrix(0, 1), "Causale");
    EXPECT_EQ(oss.log,
              (std::vector<std::string>{"ins 1-1", "ins 2-4", "rim 2-2", "cella 0-1", "cella 2-2",
                                        "aspetto", "aspetto", "alto 3", "ins 4-4", "rim 1-4"}));
    for (const auto& [r, c] : std::vector<std::pair<int, int>>{{-1, 0}, {1, 0}, {0, 5}, {0, -1}}) {
        EXPECT_THROW((void)g.TextMatrix(r, c), std::out_of_range) << r << "," << c;
        EXPECT_THROW(g.SetTextMatrix(r, c, "x"), std::out_of_range) << r << "," << c;
    }
}

}  // namespace
