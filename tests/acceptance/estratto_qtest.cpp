// A bank statement dropped on the main window, as a user would from a file manager: the
// preview opens, its default button imports, and the data files hold exactly the new rows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMimeData>
#include <QTableWidget>
#include <QTest>

#include "acceptance/support/banco.h"
#include "acceptance/support/formato_atteso.h"
#include "acceptance/support/modale.h"
#include "estratti/finestre_qt.h"
#include "main_window/form1_qt.h"

namespace {

using accettazione::Banco;
using accettazione::Disco;
using accettazione::kCartella;
using accettazione::Record;

TEST(Accettazione, EstrattoTrascinatoAnteprimaEFileDati) {
    Banco b;
    ASSERT_TRUE(b.Avvia());
    b.PrimoUso(QStringLiteral("12345"), QStringLiteral("Banca Uno"), std::nullopt);

    const QString file = QStringLiteral(QUIBORA_DATI_ESTRATTI "/conto_102.ofx");
    QMimeData dati;
    dati.setUrls({QUrl::fromLocalFile(file)});
    QDragEnterEvent entra(QPoint(50, 50), Qt::CopyAction, &dati, Qt::LeftButton, Qt::NoModifier);
    // Qt hands a drop only to the widget that accepted the drag's entry.
    QApplication::sendEvent(&b.principale(), &entra);
    ASSERT_TRUE(entra.isAccepted()) << "a statement file is welcome";

    int righe = -1;
    {
        accettazione::RispostaModale risposta(QStringLiteral("Anteprima"), [&](QWidget& finestra) {
            EXPECT_EQ(finestra.windowTitle(), QStringLiteral("Importa estratto conto"));
            righe = finestra.findChild<QTableWidget*>(QStringLiteral("tabella"))->rowCount();
            QTest::keyClick(&finestra, Qt::Key_Return);  // the default button imports
        });
        QDropEvent rilascio(QPointF(50, 50), Qt::CopyAction, &dati, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&b.principale(), &rilascio);
        // The preview opens once the drop is over, from the event loop.
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return risposta.risposta() && !QApplication::activeModalWidget(); }, 5000));
    }
    EXPECT_EQ(righe, 4);
    const auto messaggi = b.NuoviMessaggi();
    ASSERT_EQ(messaggi.size(), 1u);
    EXPECT_NE(messaggi[0].find("Il saldo del registro a quella data coincide."), std::string::npos)
        << messaggi[0];

    const std::vector<accettazione::Riga> attese{
        {"05/01/2024", "Prelievo", "PRELIEVO BANCOMA", "250,00", "-250,00"},
        {"27/01/2024", "Accredito stipendio", "STIPENDIO GENNAI", "1.850,00", "1.600,00"},
        {"10/02/2024", "Addebito bolletta gas", "ADDEBITO SDD GAS", "84,37", "1.515,63"}};
    EXPECT_EQ(b.RigheMostrate(), attese);
    Disco atteso{{"programma", std::string(kCartella)},
                 {"configurazione", std::string(kCartella)},
                 {"programma/dati.txt", Record({"12345", "Banca Uno"})}};
    accettazione::AggiungiRegistro(atteso, "programma", attese);
    atteso["programma/para.txt"] = accettazione::Parametri("Euro", "1515,63", "0");
    EXPECT_EQ(b.disco(), atteso) << "nothing else written, in either folder";
}

}  // namespace
