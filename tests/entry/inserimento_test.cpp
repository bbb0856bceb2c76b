#include "entry/inserimento.h"

#include <gtest/gtest.h>

#include <limits>

#include "core/amounts.h"
#include "entry/form_inserimento.h"
#include "support/contesto_finto.h"

namespace {

using core::Money;

const core::TipoMovimento& Tipo(std::string_view caption) {
    for (const auto& t : core::TipiMovimento())
        if (t.caption == caption) return t;
    throw std::logic_error("tipo sconosciuto");
}

// Whole units of either currency.
Money U(std::int64_t unita) {
    return Money::FromUnits(unita);
}

struct CasoRifiuto {
    const char* nome;
    const char* data;
    const char* importo;
    const char* riferimento;
    const char* modo;
    const char* ultimaData;  // nullptr: empty register
    std::string messaggio;
    std::string_view focus;
};

class Rifiuti : public ::testing::TestWithParam<CasoRifiuto> {};

TEST_P(Rifiuti, MessaggioEFocus) {
    const auto& c = GetParam();
    const auto ultima = c.ultimaData ? std::optional<std::string_view>(c.ultimaData) : std::nullopt;
    const auto esito = entry::ValutaMovimento({c.data, c.importo, c.riferimento}, Tipo("Prelievo"),
                                              {U(1000), Money{}, c.modo}, ultima);
    ASSERT_TRUE(std::holds_alternative<entry::Rifiuto>(esito));
    EXPECT_EQ(std::get<entry::Rifiuto>(esito), (entry::Rifiuto{c.messaggio, c.focus}));
}

// Every message also has a case in the window test; these are the orderings and edges.
const std::string kDataNonValida = "La data inserita non è una data valida";
const std::string kNonPositivo = "L'importo non può essere inferiore o uguale a 0";
const std::string kDecimaliLire = "L'importo in lire non può contenere decimali";
const std::string kInferiore =
    "Non è possibile inserire un movimento con data inferiore all'ultima operazione nella tabella.";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Tabella, Rifiuti,
    ::testing::Values(
        CasoRifiuto{"DataVuotaPrimaDiTutto", "", "", "", "Lire", nullptr, "Manca la data", "txtData"},
        CasoRifiuto{"DataSoloBlank", "  ", "10", "", "Lire", nullptr, kDataNonValida, "txtData"},
        CasoRifiuto{"DataPrimaDellUltima", "14/03/2003", "10", "", "Lire", "15/03/2003", kInferiore, "txtData"},
        CasoRifiuto{"ImportoVuotoDopoLaData", "15/03/2003", "", "", "Euro", nullptr, "Manca l'importo", "txtImporto"},
        CasoRifiuto{"ImportoZeroDecimali", "15/03/2003", "0,00", "", "Euro", nullptr, kNonPositivo, "txtImporto"},
        CasoRifiuto{"ImportoNegativo", "15/03/2003", "-5", "", "Euro", nullptr, kNonPositivo, "txtImporto"},
        // The sign is checked before the decimals, also in lire.
        CasoRifiuto{"NegativoConDecimaliInLire", "15/03/2003", "-5,5", "", "Lire", nullptr, kNonPositivo, "txtImporto"},
        // Any mode other than exactly "Euro" refuses decimals.
        CasoRifiuto{"DecimaliInModoMinuscolo", "15/03/2003", "12,5", "", "euro", nullptr, kDecimaliLire, "txtImporto"},
        CasoRifiuto{"RiferimentoFuoriCodifica", "15/03/2003", "10", "ℓ 中", "Lire", nullptr,
                    "Il riferimento contiene caratteri che non possono essere memorizzati.", "Txtrif"},
        // A pasted tab would shift the row's columns in the grid.
        CasoRifiuto{"RiferimentoConTabulazione", "15/03/2003", "10", "Enel\tbolletta", "Lire", nullptr,
                    "Il riferimento contiene caratteri che non possono essere memorizzati.", "Txtrif"}),
    [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

TEST(ValutaMovimento, SaldoFuoriIntervalloRifiutato) {
    const Money quasiMassimo = Money::FromRaw(std::numeric_limits<std::int64_t>::max() - 5000);
    const auto esito = entry::ValutaMovimento({"15/03/2003", "1", ""}, Tipo("Versamento"),
                                              {quasiMassimo, Money{}, "Lire"}, std::nullopt);
    ASSERT_TRUE(std::holds_alternative<entry::Rifiuto>(esito));
    EXPECT_EQ(std::get<entry::Rifiuto>(esito).focus, "txtImporto");
}

struct CasoAccettato {
    const char* nome;
    const char* tipo;
    const char* modo;
    Money saldo;
    Money fido;
    const char* data;
    const char* importo;
    const char* ultimaData;
    core::RigaRegistro riga;
    Money nuovoSaldo;
    bool fuoriFido;
};

class Accettati : public ::testing::TestWithParam<CasoAccettato> {};

TEST_P(Accettati, RigaSaldoEAvviso) {
    const auto& c = GetParam();
    const auto ultima = c.ultimaData ? std::optional<std::string_view>(c.ultimaData) : std::nullopt;
    const auto esito = entry::ValutaMovimento({c.data, c.importo, "rif, à"}, Tipo(c.tipo),
                                              {c.saldo, c.fido, c.modo}, ultima);
    ASSERT_TRUE(std::holds_alternative<entry::Movimento>(esito))
        << std::get<entry::Rifiuto>(esito).messaggio;
    const auto& m = std::get<entry::Movimento>(esito);
    auto riga = c.riga;
    riga[2] = "rif, à";
    EXPECT_EQ(m.riga, riga);
    EXPECT_EQ(m.nuovoSaldo, c.nuovoSaldo);
    EXPECT_EQ(m.testoSaldo, riga[4]);
    EXPECT_EQ(m.fuoriFido, c.fuoriFido);
}

const Money kNulla{};

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Tabella, Accettati,
    ::testing::Values(
        CasoAccettato{"LireSenzaPunti", "Versamento", "Lire", kNulla, kNulla, "15/03/2003", "1500",
                      nullptr, {"15/03/2003", "Versamento", "", "1.500", "1.500"}, U(1500), false},
        CasoAccettato{"StessaDataDellUltima", "Versamento", "Euro", kNulla, kNulla, "15/03/2003", "12,5", "15/03/2003",
                      {"15/03/2003", "Versamento", "", "12,50", "12,50"}, Money::FromRaw(125000), false},
        CasoAccettato{"DataSenzaZeri", "Versamento", "Euro", kNulla, kNulla, "16/3/2003", "1", "15/03/2003",
                      {"16/03/2003", "Versamento", "", "1,00", "1,00"}, U(1), false},
        CasoAccettato{"UltimaDataIllegibile", "Versamento", "Euro", kNulla, kNulla, "01/01/1990", "1", "non è una data",
                      {"01/01/1990", "Versamento", "", "1,00", "1,00"}, U(1), false},
        CasoAccettato{"SottoIlDecimillesimo", "Versamento", "Euro", kNulla, kNulla, "15/03/2003", "0,00001",
                      nullptr, {"15/03/2003", "Versamento", "", "0,00", "0,00"}, kNulla, false},
        CasoAccettato{"SaldoZeroInLireCellaVuota", "Prelievo", "Lire", U(500), kNulla, "15/03/2003", "500",
                      nullptr, {"15/03/2003", "Prelievo", "", "500", ""}, kNulla, false},
        CasoAccettato{"ElettricitaInLire", "Addebito bolletta elettricità", "Lire", kNulla, kNulla, "15/03/2003", "10",
                      nullptr, {"15/03/2003", "Addebito boll.elettricità", "", "10", "-10"}, U(-10), false},
        CasoAccettato{"ElettricitaInEuro", "Addebito bolletta elettricità", "Euro", kNulla, kNulla, "15/03/2003", "10",
                      nullptr, {"15/03/2003", "Addebito boll. eletricità", "", "10,00", "-10,00"}, U(-10), false},
        CasoAccettato{"OltreIlFido", "Prelievo", "Lire", U(100000), U(-150000), "15/03/2003", "300.000",
                      nullptr, {"15/03/2003", "Prelievo", "", "300.000", "-200.000"}, U(-200000), true},
        CasoAccettato{"FidoRaggiuntoEsatto", "Prelievo", "Lire", U(100000), U(-200000), "15/03/2003", "300.000",
                      nullptr, {"15/03/2003", "Prelievo", "", "300.000", "-200.000"}, U(-200000), false},
        CasoAccettato{"SenzaFidoNessunAvviso", "Prelievo", "Lire", U(100000), kNulla, "15/03/2003", "300.000",
                      nullptr, {"15/03/2003", "Prelievo", "", "300.000", "-200.000"}, U(-200000), false},
        CasoAccettato{"AccreditoNonAvvisaMai", "Versamento", "Lire", U(-900000), U(-150000), "15/03/2003", "1.000",
                      nullptr, {"15/03/2003", "Versamento", "", "1.000", "-899.000"}, U(-899000), false}),
    [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

// The entry window's logic over fake windows, with the data files in a scratch directory.
class FormInserimentoTest : public ::testing::Test, public test::ContestoFinto {
  protected:
    FormInserimentoTest() {
        form1["Grid"].posizione = {143, 480, 8985, 3135};
        form1["CmdEsci"].posizione = {7320, 6240, 1815, 255};
        for (const char* nome : {"Rimuovi", "Rimuoviu", "CmdStampa"}) form1[nome].abilitato = false;
        stato.ModoValuta = "Lire";
    }

    // Opens the window of `tipo`, types the texts and presses OK.
    void inserisci(std::string_view tipo, std::string_view importo, std::string data = {}) {
        test::FinestraFinta finestra;
        entry::FormInserimento form(Tipo(tipo), contesto, finestra);
        form.Form_Load();
        if (!data.empty()) finestra.ImpostaTesto("txtData", data);
        finestra.ImpostaTesto("txtImporto", importo);
        form.cmdOk_Click();
        ASSERT_TRUE(finestra.chiusa) << finestra.Testo("txtImporto");
    }
};

// The date, symbol and focus at opening are the acceptance tests' part.
TEST_F(FormInserimentoTest, SuggerimentoSoloInEuro) {
    test::FinestraFinta finestra;
    entry::FormInserimento form(Tipo("Prelievo"), contesto, finestra);
    form.Form_Load();
    form.txtImporto_MouseMove();
    EXPECT_EQ(finestra.Suggerimento("txtImporto"), "");
}

TEST_F(FormInserimentoTest, PrelievoRegistratoSalvatoEBottoniAbilitati) {
    stato.SaldoConto = U(100000);
    stato.FidoConto = U(-150000);
    inserisci("Prelievo", "300.000");
    ASSERT_EQ(griglia.Rows(), 2);
    EXPECT_EQ(griglia.righe().riga(0),
              (core::RigaRegistro{"05/03/2003", "Prelievo", "", "300.000", "-200.000"}));
    EXPECT_EQ(stato.SaldoConto, U(-200000));
    EXPECT_EQ(form1.Testo("txtSaldo"), "-200.000");
    EXPECT_EQ(form1.ColoreTesto("txtSaldo"), ui::kRosso);
    for (const char* nome : {"Rimuovi", "Rimuoviu", "CmdStampa"})
        EXPECT_TRUE(form1.Abilitato(nome));
    EXPECT_EQ(dialoghi.testiMessaggi(), std::vector<std::string>{"ATTENZIONE! SEI FUORI FIDO"});
}

TEST_F(FormInserimentoTest, RifiutoSpostaLaCellaCorrenteENonCambiaNulla) {
    for (int i = 0; i < 5; ++i) inserisci("Versamento", "1");
    griglia.SetRow(0);
    griglia.SetCol(3);
    test::FinestraFinta finestra;
    entry::FormInserimento form(Tipo("Prelievo"), contesto, finestra);
    form.Form_Load();
    finestra.ImpostaTesto("txtData", "");
    finestra.ImpostaTesto("txtImporto", "7");
    form.cmdOk_Click();
    EXPECT_EQ(griglia.Row(), 5);
    EXPECT_EQ(griglia.Col(), 0);
    ASSERT_EQ(dialoghi.messaggi.size(), 1u);
    EXPECT_EQ(dialoghi.messaggi[0].testo, "Manca la data");
    EXPECT_EQ(dialoghi.messaggi[0].icona, ui::Icona::Esclamazione);
    EXPECT_EQ(dialoghi.messaggi[0].titolo, "Quibora Lite Edition");
    EXPECT_EQ(finestra.focus, "txtData");
    EXPECT_FALSE(finestra.chiusa);
    EXPECT_EQ(finestra.Testo("txtImporto"), "7");
    EXPECT_EQ(griglia.Rows(), 6);
    EXPECT_EQ(stato.SaldoConto, U(5));
}

TEST_F(FormInserimentoTest, TredicesimaRigaAllargaUnaVoltaSola) {
    for (int i = 0; i < 11; ++i) inserisci("Versamento", "1");
    EXPECT_EQ(form1.Posizione("Grid").width, 8985);
    EXPECT_EQ(griglia.TopRow(), 1);
    inserisci("Versamento", "1");
    EXPECT_EQ(griglia.Rows(), 13);
    EXPECT_EQ(form1.Posizione("Grid").width, 9225);
    EXPECT_EQ(form1.Posizione("CmdEsci").left, 7560);
    EXPECT_EQ(griglia.TopRow(), 12);
    inserisci("Versamento", "1");
    EXPECT_EQ(form1.Posizione("Grid").width, 9225);
    EXPECT_EQ(griglia.TopRow(), 13);
}

TEST_F(FormInserimentoTest, SalvataggioFallitoTieneIlMovimentoInMemoria) {
    disco.Guasta({.operazione = test::Operazione::Scrivi, .nome = "listcol"});
    inserisci("Versamento", "1.500");
    EXPECT_EQ(griglia.Rows(), 2);
    EXPECT_EQ(stato.SaldoConto, U(1500));
    ASSERT_EQ(dialoghi.messaggi.size(), 1u);
    EXPECT_NE(dialoghi.messaggi[0].testo.find("listcol"), std::string::npos)
        << dialoghi.messaggi[0].testo;
}

}  // namespace
