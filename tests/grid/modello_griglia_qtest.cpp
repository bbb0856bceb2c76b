#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QFont>
#include <QHeaderView>
#include <QImage>
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
TEST_F(ModelloTest, CelleRuoliEIntestazione) {
    griglia.AddItem({"-", " +1 ", "01/02/2003", "-1.234,56", "Prelievo"});
    griglia.SetTextMatrix(0, 3, "Importo");
    griglia.SetFixedAlignment(3, Allineamento::Centro);
    griglia.SetForeColorFixed({128, 0, 0});
    const auto allineamenti = [&] {
        std::vector<Qt::Alignment> a;
        for (int c = 0; c < 5; ++c)
            a.push_back(modello.index(0, c).data(Qt::TextAlignmentRole).value<Qt::Alignment>());
        return a;
    };
    constexpr Qt::Alignment kSx = Qt::AlignLeft | Qt::AlignVCenter;
    constexpr Qt::Alignment kDx = Qt::AlignRight | Qt::AlignVCenter;
    EXPECT_EQ(allineamenti(), (std::vector<Qt::Alignment>{kSx, kDx, kSx, kDx, kSx}));
    griglia.SetColAlignment(3, Allineamento::Sinistra);
    EXPECT_EQ(allineamenti()[3], kSx);
    EXPECT_EQ(modello.index(0, 4).data().toString(), "Prelievo");
    EXPECT_EQ(modello.headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), "Importo");
    EXPECT_EQ(modello.headerData(3, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignCenter);
    EXPECT_EQ(modello.headerData(3, Qt::Horizontal, Qt::ForegroundRole).value<QBrush>().color(),
              QColor(128, 0, 0));
    griglia.SetFontBold(true);
    EXPECT_TRUE(modello.headerData(0, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
}

// Widths in twips, grey lines, the grey background past the last row and column; a top row
// set before the view is shown (as when the register loads) holds.
TEST_F(ModelloTest, LaVistaDisegnaComeLaGriglia) {
    grid::VistaGrigliaQt vista{modello};
    griglia.SetColWidth(4, 1750);
    EXPECT_EQ(vista.columnWidth(4), (1750 * vista.logicalDpiX() + 720) / 1440);
    EXPECT_TRUE(vista.verticalHeader()->isHidden());
    griglia.AggiungiRighe(Righe(2));
    vista.resize(1000, 300);
    vista.show();
    const QImage immagine = vista.viewport()->grab().toImage();
    const int fineRighe = vista.rowViewportPosition(1) + vista.rowHeight(1);
    const int fineColonne = vista.columnViewportPosition(4) + vista.columnWidth(4);
    EXPECT_EQ(immagine.pixelColor(3, fineRighe + 5), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(immagine.pixelColor(fineColonne + 5, 3), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(immagine.pixelColor(vista.columnWidth(0) - 1, 3), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(immagine.pixelColor(3, 3), vista.palette().color(QPalette::Base));

    grid::VistaGrigliaQt nuova{modello};
    griglia.AggiungiRighe(Righe(200));
    griglia.SetTopRow(40);
    nuova.resize(600, 300);
    nuova.show();
    EXPECT_EQ(nuova.PrimaRigaVisibile(), 39);
    griglia.SetTopRow(griglia.Rows() - 1);
    QApplication::processEvents();
    EXPECT_GT(nuova.PrimaRigaVisibile(), 180);
}

}  // namespace
