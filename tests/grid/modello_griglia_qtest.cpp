#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QFont>
#include <QStringList>
#include <vector>

#include "grid/modello_griglia_qt.h"
#include "grid/vista_griglia_qt.h"

namespace {

using grid::Allineamento;

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

// Numbers to the right unless the column says otherwise; the header has its own alignment,
// colour and face.
TEST_F(ModelloTest, CelleEIntestazione) {
    griglia.AddItem({"-", "123", "01/02/2003", "-1.234,56", " +1 "});
    griglia.SetColAlignment(1, Allineamento::Sinistra);
    griglia.SetFixedAlignment(3, Allineamento::Centro);
    griglia.SetForeColorFixed({128, 0, 0});
    griglia.SetFontBold(true);
    std::vector<Qt::Alignment> allineamenti;
    for (int c = 0; c < 5; ++c)
        allineamenti.push_back(
            modello.index(0, c).data(Qt::TextAlignmentRole).value<Qt::Alignment>());
    allineamenti.push_back(
        modello.headerData(3, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>());
    const Qt::Alignment sx = Qt::AlignLeft | Qt::AlignVCenter,
                        dx = Qt::AlignRight | Qt::AlignVCenter;
    EXPECT_EQ(allineamenti, (std::vector<Qt::Alignment>{sx, sx, sx, dx, dx, Qt::AlignCenter}));
    EXPECT_EQ(modello.headerData(3, Qt::Horizontal, Qt::ForegroundRole).value<QBrush>().color(),
              QColor(128, 0, 0));
    EXPECT_TRUE(modello.headerData(0, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
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
