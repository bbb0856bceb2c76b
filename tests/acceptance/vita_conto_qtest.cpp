// The program run through its real windows on scratch folders: what the window shows and
// the exact bytes on the disk.
#include <QMimeData>
#include <QPrinterInfo>

#include "acceptance/support/banco.h"

namespace {

using namespace accettazione;

// A new account switched to lire, a deposit and a withdrawal, a printout, the switch back
// to euro and the shutdown.
TEST(Accettazione, VitaDiUnConto) {
    Banco b;
    b.oggi = {2003, 3, 1};
    ASSERT_TRUE(b.Avvia());
    b.PrimoUso();
    EXPECT_EQ(b.principale().windowTitle().toStdString(),
              "Quibora Lite Edition (Free)  - Conto N° 12345 - Banca Uno");
    EXPECT_EQ(b.disco().size(), 3u) << "the folders and dati.txt: no password, no register";

    b.Clicca("CmdEuro");
    EXPECT_EQ(Testo(b.principale(), "CmdEuro"), "&Gestisci in €uro");
    EXPECT_EQ(Testo(b.principale(), "Label6"), "£ire");
    b.Inserisci("Versamento", QStringLiteral("1.000.000"));
    b.oggi = {2003, 3, 10};
    b.Inserisci("Prelievo", QStringLiteral("200.000"), QStringLiteral("bancomat"));
    std::vector<Riga> righe{{"01/03/2003", "Versamento", "", "1.000.000", "1.000.000"},
                            {"10/03/2003", "Prelievo", "bancomat", "200.000", "800.000"}};
    EXPECT_EQ(b.RigheMostrate(), righe);
    EXPECT_EQ(Testo(b.principale(), "txtSaldo"), "800.000");
    EXPECT_EQ(Figlio(b.principale(), "txtSaldo")->palette().color(QPalette::Text), QColor(0, 0, 0));
    EXPECT_EQ(b.disco(), Registro(righe, "Lire", "800000"));

    // With no printer, as on the build machines, the printout goes to a PDF beside the
    // program, which says where.
    if (QPrinterInfo::defaultPrinter().isNull()) {
        {
            RispostaModale risposta([](QWidget& f) { Clic(f, "cmdOk"); });
            b.Clicca("CmdStampa");
        }
        const Testi m = b.NuoviMessaggi();
        const fs::path pdf = m.empty() ? "" : m[0].substr(m[0].find('\n') + 1);
        EXPECT_EQ(m, Testi{"Nessuna stampante installata: la stampa è stata salvata nel file\n" +
                           pdf.string()});
        EXPECT_EQ(pdf.parent_path(), b.cartella());
        EXPECT_GT(fs::file_size(pdf), 1000u);
        fs::remove(pdf);
    }

    // To euro: the balance and the last row's balance are converted.
    b.Clicca("CmdEuro");
    EXPECT_EQ(Testo(b.principale(), "txtSaldo"), "413,17");
    righe.back()[4] = "413,17";
    EXPECT_EQ(b.RigheMostrate(), righe);
    b.Clicca("CmdEsci");
    EXPECT_TRUE(b.dialoghi.terminato);
    EXPECT_EQ(b.disco(), Registro(righe, "Euro", "413,1655"));
    EXPECT_EQ(b.NuoviMessaggi(), Testi{});
}

// A statement dropped on the main window from a file manager: the preview opens, its
// default button imports, and the data files hold exactly the new rows.
TEST(Accettazione, EstrattoTrascinatoAnteprimaEFileDati) {
    Banco b;
    ASSERT_TRUE(b.Avvia());
    b.PrimoUso();
    QMimeData dati;
    dati.setUrls({QUrl::fromLocalFile(QStringLiteral(QUIBORA_DATI_ESTRATTI "/conto_102.ofx"))});
    QDragEnterEvent entra(QPoint(50, 50), Qt::CopyAction, &dati, Qt::LeftButton, Qt::NoModifier);
    // Qt hands a drop only to the widget that accepted the drag's entry.
    QApplication::sendEvent(&b.principale(), &entra);
    ASSERT_TRUE(entra.isAccepted()) << "a statement file is welcome";
    {
        // The default button imports.
        RispostaModale risposta([&](QWidget& f) { QTest::keyClick(&f, Qt::Key_Return); });
        QDropEvent rilascio(QPointF(50, 50), Qt::CopyAction, &dati, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&b.principale(), &rilascio);
        // The preview opens once the drop is over, from the event loop.
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return risposta.fatta && !QApplication::activeModalWidget(); }, 5000));
    }
    EXPECT_EQ(b.NuoviMessaggi(),
              Testi{"Estratto conto \"conto_102.ofx\".\n\nMovimenti aggiunti al registro: 3.\n"
                    "Movimenti esclusi: 1:\n  - Presente due volte nell'estratto: 1\n\nSaldo "
                    "dichiarato dalla banca al 29/02/2024: 1.515,63 €.\nIl saldo del registro a "
                    "quella data coincide.\n"});
    const std::vector<Riga> attese{
        {"05/01/2024", "Prelievo", "PRELIEVO BANCOMA", "250,00", "-250,00"},
        {"27/01/2024", "Accredito stipendio", "STIPENDIO GENNAI", "1.850,00", "1.600,00"},
        {"10/02/2024", "Addebito bolletta gas", "GAS NATURALE", "84,37", "1.515,63"}};
    EXPECT_EQ(b.RigheMostrate(), attese);
    EXPECT_EQ(b.disco(), Registro(attese, "Euro", "1515,63"))
        << "nothing else written, in either folder";
}

}  // namespace
