#include "printing/stampa.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "support/finti.h"

namespace {

// What the printer was told; the first call whose entry starts with `guasto` fails.
struct Diario {
    std::vector<std::string> voci;
    std::string guasto;
    int codice = printing::kErroreStampante;
    void annota(std::string voce) {
        const bool rotta = !guasto.empty() && voce.starts_with(guasto);
        voci.push_back(std::move(voce));
        if (rotta) throw printing::ErroreStampa{codice};
    }
};

// The grid's rows fill two pages, two rows on the first.
struct RenderFinto : printing::RenderGriglia {
    Diario& d;
    int pagine = 0;
    explicit RenderFinto(Diario& diario) : d(diario) {}
    bool Pagina(const printing::Rettangolo& a) override {
        d.annota("Pagina " + std::to_string(a.sinistra) + "," + std::to_string(a.alto) + "," +
                 std::to_string(a.destra) + "," + std::to_string(a.basso));
        return ++pagine < 2;
    }
    int RigheDisegnate() const override { return 2 * pagine; }
};

// Tells each page into the diary; asks to stop at page `ferma`.
struct AvanzamentoFinto : printing::Avanzamento {
    Diario& d;
    int ferma;
    AvanzamentoFinto(Diario& diario, int pagina) : d(diario), ferma(pagina) {}
    bool Pagina(int pagina, int pagine) override {
        d.annota("Avanzamento " + std::to_string(pagina) + "/" + std::to_string(pagine));
        return pagina != ferma;
    }
};

// 10 pixels per mm plus half a pixel across, 12 plus a half down: every margin lands on a
// half, so the rounding shows.
struct StampanteFinta : printing::Stampante {
    Diario& d;
    double x = 0, y = 0;
    explicit StampanteFinta(Diario& diario) : d(diario) {}
    void ImpostaPixel() override { d.annota("ImpostaPixel"); }
    double LarghezzaStampabile() override { return 2480.5; }
    double AltezzaStampabile() override { return 3507.5; }
    double MmInOrizzontale(double mm) override { return mm * 10 + 0.5; }
    double MmInVerticale(double mm) override { return mm * 12 + 0.5; }
    void ImpostaX(double v) override { x = v; }
    void ImpostaY(double v) override { y = v; }
    void StampaRiga(std::string_view t) override {
        char dove[48];
        std::snprintf(dove, sizeof dove, "Riga %g,%g ", x, y);
        d.annota(dove + std::string(t));
    }
    std::unique_ptr<printing::RenderGriglia> Render(const grid::Griglia&) override {
        d.annota("Render");
        return std::make_unique<RenderFinto>(d);
    }
    void NuovaPagina() override { d.annota("NuovaPagina"); }
    std::string FineDocumento() override {
        d.annota("FineDocumento");
        return avviso;
    }
    void Annulla() override { d.annota("Annulla"); }
    std::string avviso;
};

struct StampaTest : ::testing::Test {
    StampaTest() {
        stato.BancaAppoggio = "Banca";
        stato.NumeroConto = "12";
        for (const char* data : {"05/01/2024", "non data", "01/01/2024"})
            registro.AddItem({data, "Prelievo", "rif a\tb", "1.000", "-1.000"});
    }
    void Stampa(bool periodo, printing::FabbricaAvanzamento avanzamento = {}) {
        const auto oggi = [] { return core::Data{2024, 3, 7}; };
        printing::StampaRegistro procedura({registro, gridPrint, stato, dialoghi,
                                            [this] {
                                                auto s = std::make_unique<StampanteFinta>(diario);
                                                s->avviso = avviso;
                                                return s;
                                            },
                                            oggi, std::move(avanzamento)});
        periodo ? procedura.StampaPeriodo() : procedura.StampaTutto();
    }

    grid::Griglia registro, gridPrint;
    core::StatoConto stato;
    test::DialoghiFinti dialoghi;
    Diario diario;
    std::string avviso;
};

// Every page has the label, title and date above the grid, placed within the margins, until
// the last row is drawn; the print grid gets every row, a tab as a blank, in the printout's
// layout; a one-day range takes that day's rows only, in a grid cleared of the last run.
TEST_F(StampaTest, OgniPaginaHaLeSueRigheEIlGrigliatoDiStampa) {
    gridPrint.SetGridLines(0);
    Stampa(false);
    std::vector<std::string> attese{"ImpostaPixel", "Render", "Riga 0,0 "};
    // The grid's area, rounded half to even as the printer does: 200.5 -> 200,
    // 2480 - 200.5 -> 2280, 3508 - 240.5 -> 3268.
    for (const char* pagina : {"1", "2"})
        attese.insert(attese.end(), {"Riga 200.5,120.5 Banca  conto n° 12 - elenco movimenti al : ",
                                     "Riga 200.5,192.5 07/03/2024",
                                     "Riga 200.5,48.5 Pagina N° " + std::string(pagina),
                                     "Pagina 200,300,2280,3268", "NuovaPagina"});
    attese.back() = "FineDocumento";
    EXPECT_EQ(diario.voci, attese);
    EXPECT_TRUE(dialoghi.messaggi.empty());

    ASSERT_EQ(gridPrint.Rows(), 4);
    EXPECT_EQ(gridPrint.righe().riga(1),
              (core::RigaRegistro{"non data", "Prelievo", "rif a b", "1.000", "-1.000"}));
    EXPECT_EQ(gridPrint.TextMatrix(0, 0), "Data");
    EXPECT_EQ(gridPrint.ColAlignment(2), grid::Allineamento::Sinistra);
    EXPECT_EQ(gridPrint.ColWidth(4), 1750);
    EXPECT_EQ(gridPrint.GridLines(), 0);  // the dialog's choice is left alone

    stato.DataInizioStampa = stato.DataFineStampa = {2024, 1, 5};
    Stampa(true);
    ASSERT_EQ(gridPrint.Rows(), 2);
    EXPECT_EQ(gridPrint.TextMatrix(1, 0), "05/01/2024");
}

// A failing call is told as the printer's error or by its number, and nothing follows it.
TEST_F(StampaTest, UnGuastoSiDiceENonSiVaAvanti) {
    const std::vector<std::tuple<const char*, int, const char*>> casi{
        {"ImpostaPixel", 482, "Errore della stampante"},
        {"Riga 200.5,48.5", 57, "Si è verificato l'errore N° 57"}};
    for (const auto& [chiamata, numero, messaggio] : casi) {
        diario = {{}, chiamata, numero};
        dialoghi.messaggi.clear();
        Stampa(false);
        EXPECT_TRUE(diario.voci.back().starts_with(chiamata)) << diario.voci.back();
        ASSERT_EQ(dialoghi.testiMessaggi(), std::vector<std::string>{messaggio});
        EXPECT_EQ(dialoghi.messaggi[0].icona, ui::Icona::Critica);
    }
}

// Progress is told before every page, with the page count once the first page has shown
// how many rows a page takes; a stop asked there abandons the document before that page is
// begun, silently. A queue's notice on sending is shown as information.
TEST_F(StampaTest, AvanzamentoPerPaginaEAnnullaAllaSuccessiva) {
    const auto voci = [this](int ferma) {
        diario = {};
        dialoghi.messaggi.clear();
        Stampa(false, [this, ferma] { return std::make_unique<AvanzamentoFinto>(diario, ferma); });
        std::vector<std::string> scelte;
        for (const std::string& v : diario.voci)
            if (!v.starts_with("Riga")) scelte.push_back(v);
        return scelte;
    };
    const std::string pagina = "Pagina 200,300,2280,3268";
    EXPECT_EQ(voci(0), (std::vector<std::string>{"ImpostaPixel", "Render", "Avanzamento 1/0",
                                                 pagina, "Avanzamento 2/2", "NuovaPagina", pagina,
                                                 "FineDocumento"}));
    EXPECT_TRUE(dialoghi.messaggi.empty());
    EXPECT_EQ(voci(2), (std::vector<std::string>{"ImpostaPixel", "Render", "Avanzamento 1/0",
                                                 pagina, "Avanzamento 2/2", "Annulla"}));
    EXPECT_TRUE(dialoghi.messaggi.empty());

    avviso = "in attesa";
    voci(0);
    ASSERT_EQ(dialoghi.testiMessaggi(), std::vector<std::string>{"in attesa"});
    EXPECT_EQ(dialoghi.messaggi[0].icona, ui::Icona::Informazione);
}

}  // namespace
