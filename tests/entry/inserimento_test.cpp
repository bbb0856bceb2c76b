#include "entry/inserimento.h"

#include <gtest/gtest.h>

#include <limits>

#include "entry/form_inserimento.h"
#include "support/contesto_finto.h"

namespace {

using core::Money;

const core::TipoMovimento& Tipo(std::string_view caption) {
    for (const auto& t : core::TipiMovimento())
        if (t.caption == caption) return t;
    throw std::logic_error("tipo sconosciuto");
}

Money U(std::int64_t unita) {
    return Money::FromUnits(unita);
}

struct Caso {
    const char* nome;
    const char* tipo;
    const char* modo;
    Money saldo, fido;
    const char* ultima;  // the last row's date; nullptr: empty register
    const char* data;
    const char* importo;
    const char* riferimento;
    // A refusal as "box: message"; an entry as its row's cells joined by "|", " =" and the
    // new balance in ten-thousandths, then " FUORI FIDO" when the warning is due.
    std::string esito;
};

std::string Descrivi(const entry::EsitoInserimento& esito) {
    if (const auto* r = std::get_if<entry::Rifiuto>(&esito))
        return std::string(r->focus) + ": " + r->messaggio;
    const auto& m = std::get<entry::Movimento>(esito);
    EXPECT_EQ(m.testoSaldo, m.riga[4]);
    std::string s;
    for (const auto& cella : m.riga) s += cella + "|";
    return s + " =" + std::to_string(m.nuovoSaldo.raw()) + (m.fuoriFido ? " FUORI FIDO" : "");
}

class ValutaMovimento : public ::testing::TestWithParam<Caso> {};

// The checks of an entry in their order, the row it makes, the balance and the warning.
TEST_P(ValutaMovimento, RifiutoOMovimento) {
    const Caso& c = GetParam();
    const auto ultima = c.ultima ? std::optional<std::string_view>(c.ultima) : std::nullopt;
    EXPECT_EQ(Descrivi(entry::ValutaMovimento({c.data, c.importo, c.riferimento}, Tipo(c.tipo),
                                              {c.saldo, c.fido, c.modo}, ultima)),
              c.esito);
}

const Money k0{}, kQuasiMassimo = Money::FromRaw(std::numeric_limits<std::int64_t>::max() - 5000);
const std::string kNonPositivo = "txtImporto: L'importo non può essere inferiore o uguale a 0";
const std::string kDataInferiore =
    "txtData: Non è possibile inserire un movimento con data inferiore all'ultima operazione "
    "nella tabella.";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Tabella, ValutaMovimento, ::testing::Values(
    Caso{"DataVuotaPrimaDiTutto", "Prelievo", "Lire", U(1000), k0, nullptr, "", "", "", "txtData: Manca la data"},
    Caso{"DataPrimaDellUltima", "Prelievo", "Lire", U(1000), k0, "15/03/2003", "14/03/2003", "10", "", kDataInferiore},
    Caso{"ImportoVuoto", "Prelievo", "Euro", U(1000), k0, nullptr, "15/03/2003", "", "", "txtImporto: Manca l'importo"},
    Caso{"ImportoZero", "Prelievo", "Euro", U(1000), k0, nullptr, "15/03/2003", "0,00", "", kNonPositivo},
    // The sign is checked before the decimals, also in lire.
    Caso{"NegativoConDecimaliInLire", "Prelievo", "Lire", U(1000), k0, nullptr, "15/03/2003", "-5,5", "", kNonPositivo},
    // Any mode other than exactly "Euro" refuses decimals.
    Caso{"DecimaliInModoMinuscolo", "Prelievo", "euro", U(1000), k0, nullptr, "15/03/2003", "12,5", "", "txtImporto: L'importo in lire non può contenere decimali"},
    // A dot only separates thousands: "12.50" is not twelve and a half, nor 1250.
    Caso{"PuntoNonDiMigliaia", "Prelievo", "Lire", U(1000), k0, nullptr, "15/03/2003", "12.50", "", "txtImporto: Importo non valido"},
    // A pasted tab would shift the row's columns in the grid.
    Caso{"RiferimentoConTabulazione", "Prelievo", "Lire", U(1000), k0, nullptr, "15/03/2003", "10", "Enel\tbolletta", "Txtrif: Il riferimento contiene caratteri che non possono essere memorizzati."},
    Caso{"SaldoFuoriIntervallo", "Versamento", "Lire", kQuasiMassimo, k0, nullptr, "15/03/2003", "1", "", "txtImporto: Il movimento porterebbe il saldo oltre il limite consentito: non è stato registrato."},
    Caso{"LireAGruppi", "Versamento", "Lire", k0, k0, nullptr, "15/03/2003", "1500", "rif, à", "15/03/2003|Versamento|rif, à|1.500|1.500| =15000000"},
    Caso{"StessaDataDellUltima", "Versamento", "Euro", k0, k0, "15/03/2003", "15/03/2003", "12,5", "", "15/03/2003|Versamento||12,50|12,50| =125000"},
    Caso{"DataSenzaZeri", "Versamento", "Euro", k0, k0, "15/03/2003", "16/3/2003", "1", "", "16/03/2003|Versamento||1,00|1,00| =10000"},
    Caso{"UltimaDataIllegibile", "Versamento", "Euro", k0, k0, "non è una data", "01/01/1990", "1", "", "01/01/1990|Versamento||1,00|1,00| =10000"},
    Caso{"SaldoZeroInLireCellaVuota", "Prelievo", "Lire", U(500), k0, nullptr, "15/03/2003", "500", "", "15/03/2003|Prelievo||500|| =0"},
    Caso{"ElettricitaInLire", "Addebito bolletta elettricità", "Lire", k0, k0, nullptr, "15/03/2003", "10", "", "15/03/2003|Addebito boll.elettricità||10|-10| =-100000"},
    Caso{"ElettricitaInEuro", "Addebito bolletta elettricità", "Euro", k0, k0, nullptr, "15/03/2003", "10", "", "15/03/2003|Addebito boll. eletricità||10,00|-10,00| =-100000"},
    // A mode read as neither currency makes a euro row, yet refuses decimals (above).
    Caso{"ModoMinuscoloRigaInEuro", "Addebito bolletta elettricità", "euro", k0, k0, nullptr, "15/03/2003", "10", "", "15/03/2003|Addebito boll. eletricità||10,00|-10,00| =-100000"},
    // The credit-line warning: only for a debit that ends below a credit line there is.
    Caso{"OltreIlFido", "Prelievo", "Lire", U(100000), U(-150000), nullptr, "15/03/2003", "300.000", "", "15/03/2003|Prelievo||300.000|-200.000| =-2000000000 FUORI FIDO"},
    Caso{"FidoRaggiuntoEsatto", "Prelievo", "Lire", U(100000), U(-200000), nullptr, "15/03/2003", "300.000", "", "15/03/2003|Prelievo||300.000|-200.000| =-2000000000"},
    Caso{"SenzaFidoNessunAvviso", "Prelievo", "Lire", U(100000), k0, nullptr, "15/03/2003", "300.000", "", "15/03/2003|Prelievo||300.000|-200.000| =-2000000000"},
    Caso{"AccreditoNonAvvisaMai", "Versamento", "Lire", U(-900000), U(-150000), nullptr, "15/03/2003", "1.000", "", "15/03/2003|Versamento||1.000|-899.000| =-8990000000"}),
    [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

// The entry window's logic over fake windows, with the data files in a scratch directory.
class FormInserimentoTest : public ::testing::Test, public test::ContestoFinto {
  protected:
    FormInserimentoTest() {
        for (const char* nome : {"Rimuovi", "Rimuoviu", "CmdStampa"}) form1[nome].abilitato = false;
        stato.ModoValuta = "Lire";
    }

    // Opens the window of `tipo`, types the texts and presses OK; true when it closed.
    bool inserisci(std::string_view tipo, std::string_view importo, const char* data = nullptr) {
        test::FinestraFinta finestra;
        entry::FormInserimento form(Tipo(tipo), contesto, finestra);
        form.Form_Load();
        if (data) finestra.ImpostaTesto("txtData", data);
        finestra.ImpostaTesto("txtImporto", importo);
        form.cmdOk_Click();
        focus = finestra.focus;
        return finestra.chiusa;
    }
    std::string focus;
};

// An entry past the credit line is recorded, saved and shown, then warned about. A refusal
// tells why, moves the focus and the grid's current cell, and changes nothing.
TEST_F(FormInserimentoTest, PrelievoOltreIlFidoPoiRifiuto) {
    stato.SaldoConto = U(100000);
    stato.FidoConto = U(-150000);
    ASSERT_TRUE(inserisci("Prelievo", "300.000"));
    EXPECT_EQ(griglia.righe().riga(0),
              (core::RigaRegistro{"05/03/2003", "Prelievo", "", "300.000", "-200.000"}));
    EXPECT_EQ(test::LeggiByte(dir / "listcol2.txt"), "\"Prelievo\"\r\n");
    EXPECT_EQ(form1.Testo("txtSaldo"), "-200.000");
    EXPECT_EQ(form1.ColoreTesto("txtSaldo"), ui::kRosso);
    for (const char* nome : {"Rimuovi", "Rimuoviu", "CmdStampa"})
        EXPECT_TRUE(form1.Abilitato(nome));
    EXPECT_EQ(dialoghi.testiMessaggi(), std::vector<std::string>{"ATTENZIONE! SEI FUORI FIDO"});

    dialoghi.messaggi.clear();
    griglia.SetRow(0);
    griglia.SetCol(3);
    EXPECT_FALSE(inserisci("Prelievo", "7", ""));
    EXPECT_EQ(
        std::make_tuple(griglia.Row(), griglia.Col(), griglia.Rows(), focus, stato.SaldoConto),
        std::make_tuple(1, 0, 2, "txtData", U(-200000)));
    ASSERT_EQ(dialoghi.messaggi.size(), 1u);
    const auto& m = dialoghi.messaggi[0];
    EXPECT_EQ(std::tie(m.testo, m.icona, m.titolo),
              std::make_tuple("Manca la data", ui::Icona::Esclamazione, "Quibora Lite Edition"));
}

}  // namespace
