// One smoke run of the program through its real windows, as a user would, on scratch
// folders: what the window shows and the exact bytes on the disk. The faults are the
// business of the other acceptance tests and of the logic tests.
#include <gtest/gtest.h>

#include <optional>

#include "acceptance/support/banco.h"
#include "acceptance/support/formato_atteso.h"
#include "main_window/form1_qt.h"

namespace {

using accettazione::AggiungiRegistro;
using accettazione::Banco;
using accettazione::Disco;
using accettazione::kCartella;
using accettazione::Parametri;
using accettazione::Record;
using accettazione::Riga;
using accettazione::Scrambla;

using Testi = std::vector<std::string>;

const QColor kNero(0, 0, 0);

// The two empty folders, the account file and, when set, the password file.
Disco Conto(std::string_view numero, std::string_view banca,
            std::optional<std::string_view> password) {
    Disco d{{"programma", std::string(kCartella)},
            {"configurazione", std::string(kCartella)},
            {"programma/dati.txt", Record({numero, banca})}};
    if (password) d["configurazione/Vorn.lst"] = Record({Scrambla(*password)});
    return d;
}

// The lines of a printout with their blanks collapsed, empty ones left out.
Testi RigheStampa(const QString& testo) {
    Testi righe;
    for (const QString& r : testo.split(QLatin1Char('\n'))) {
        const QString s = r.simplified();
        if (!s.isEmpty()) righe.push_back(s.toStdString());
    }
    return righe;
}

// A new account switched to lire, a deposit and a withdrawal, the printout of one day,
// the switch back to euro and the shutdown.
TEST(Accettazione, VitaDiUnConto) {
    Banco b;
    ASSERT_TRUE(b.Avvia());
    b.PrimoUso(QStringLiteral("12345"), QStringLiteral("Banca Uno"), std::nullopt);
    Disco atteso = Conto("12345", "Banca Uno", std::nullopt);
    EXPECT_EQ(b.disco(), atteso) << "no password file without a password";

    b.Clicca("CmdEuro");
    EXPECT_EQ(b.Testo("CmdEuro"), "&Gestisci in €uro");
    EXPECT_EQ(b.Testo("Label6"), "£ire");
    b.Inserisci(
        {"Versamento", QStringLiteral("01/03/2003"), QStringLiteral("1.000.000"), {}, "£."});
    b.oggi = {2003, 3, 10};
    b.Inserisci({"Prelievo", {}, QStringLiteral("200.000"), QStringLiteral("bancomat"), "£."});
    std::vector<Riga> righe{{"01/03/2003", "Versamento", "", "1.000.000", "1.000.000"},
                            {"10/03/2003", "Prelievo", "bancomat", "200.000", "800.000"}};
    EXPECT_EQ(b.RigheMostrate(), righe);
    EXPECT_EQ(b.Testo("txtSaldo"), "800.000");
    EXPECT_EQ(b.ColoreSaldo(), kNero);
    AggiungiRegistro(atteso, "programma", righe);
    atteso["programma/para.txt"] = Parametri("Lire", "800000", "0");
    EXPECT_EQ(b.disco(), atteso);

    // A range of one day holds the movements of that day.
    const Testi stampa =
        RigheStampa(b.StampaPeriodo(QStringLiteral("10/03/2003"), QStringLiteral("10/03/2003")));
    EXPECT_EQ(stampa, (Testi{"Pagina N° 1", "Banca Uno conto n° 12345 - elenco movimenti al :",
                             "10/03/2003", "Data Causale Riferimento Importo Saldo",
                             "10/03/2003 Prelievo bancomat 200.000 800.000"}));
    EXPECT_EQ(b.disco(), atteso) << "printing writes no data file";

    // To euro: the balance and the last row's balance are converted.
    b.Clicca("CmdEuro");
    EXPECT_EQ(b.Testo("txtSaldo"), "413,17");
    righe.back()[4] = "413,17";
    EXPECT_EQ(b.RigheMostrate(), righe);
    b.Clicca("CmdEsci");
    EXPECT_TRUE(b.dialoghi.terminato);
    AggiungiRegistro(atteso, "programma", righe);
    atteso["programma/para.txt"] = Parametri("Euro", "413,1655", "0");
    EXPECT_EQ(b.disco(), atteso);
    EXPECT_TRUE(b.NuoviMessaggi().empty());
}

}  // namespace
