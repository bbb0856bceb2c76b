#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QStringList>
#include <string>

#include "grid/modello_griglia_qt.h"
#include "grid/vista_griglia_qt.h"

namespace {

// The model tester reports through qWarning: collect what it says.
QStringList avvisi;
void RaccogliAvvisi(QtMsgType tipo, const QMessageLogContext&, const QString& testo) {
    if (tipo != QtDebugMsg && tipo != QtInfoMsg) avvisi << testo;
}

// Column 0 differs on every row, as the model tester compares only that column.
core::Registro Righe(int quante, const std::string& prefisso = "r") {
    core::Registro righe;
    for (int i = 0; i < quante; ++i)
        righe.aggiungi({prefisso + std::to_string(i), "Versamento", "rif " + std::to_string(i),
                        "1.000", std::to_string(i)});
    return righe;
}

struct ModelloTest : testing::Test {
    grid::Griglia griglia;
    grid::ModelloGrigliaQt modello{griglia};
};

TEST_F(ModelloTest, IlTesterApprovaOgniCambio) {
    const QtMessageHandler precedente = qInstallMessageHandler(RaccogliAvvisi);
    {
        QAbstractItemModelTester tester(&modello,
                                        QAbstractItemModelTester::FailureReportingMode::Warning);
        griglia.AddItem({"01/01/2001", "Prelievo", "bancomat", "200.000", "-200.000"});
        griglia.AggiungiRighe(Righe(5));
        EXPECT_EQ(griglia.RemoveItem(griglia.Rows() - 1), 0);
        griglia.SetTextMatrix(2, 2, "cambiato");
        griglia.SetRows(6);
        griglia.SetRows(1);
        griglia.AggiungiRighe(Righe(3, "s"));
    }
    qInstallMessageHandler(precedente);
    EXPECT_EQ(modello.rowCount(), 3);
    EXPECT_EQ(avvisi.join(u'\n').toStdString(), "");
}

// A top row set before the view is shown, as when the register loads, holds.
TEST_F(ModelloTest, LaRigaInAltoImpostataPrimaDiMostrareVale) {
    grid::VistaGrigliaQt vista{modello};
    griglia.AggiungiRighe(Righe(200));
    griglia.SetTopRow(40);
    vista.resize(600, 300);
    vista.show();
    EXPECT_EQ(vista.PrimaRigaVisibile(), 39);
    griglia.SetTopRow(griglia.Rows() - 1);
    QApplication::processEvents();
    EXPECT_GT(vista.PrimaRigaVisibile(), 180);
}

}  // namespace
