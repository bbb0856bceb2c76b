#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QFont>
#include <QHeaderView>
#include <QImage>
#include <QStringList>
#include <tuple>
#include <vector>

#include "grid/modello_griglia_qt.h"
#include "grid/vista_griglia_qt.h"

namespace {

using grid::ModelloGrigliaQt;
using grid::VistaGrigliaQt;

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
};

TEST_F(ModelloTest, IlTesterApprovaOgniCambio) {
    ModelloGrigliaQt modello(griglia);
    avvisi.clear();
    const QtMessageHandler precedente = qInstallMessageHandler(RaccogliAvvisi);
    {
        QAbstractItemModelTester tester(&modello,
                                        QAbstractItemModelTester::FailureReportingMode::Warning);
        griglia.AddItem({"01/01/2001", "Prelievo", "bancomat", "200.000", "-200.000"});
        griglia.AggiungiRighe(Righe(5));
        EXPECT_EQ(griglia.RemoveItem(1), 0);
        EXPECT_EQ(griglia.RemoveItem(griglia.Rows() - 1), 0);
        griglia.SetTextMatrix(2, 2, "cambiato");
        griglia.SetFontBold(true);
        griglia.SetRows(6);
        griglia.SetRows(1);
        griglia.AggiungiRighe(Righe(3, "s"));
    }
    qInstallMessageHandler(precedente);
    EXPECT_EQ(modello.rowCount(), 3);
    EXPECT_EQ(avvisi.join(u'\n').toStdString(), "");
}

TEST_F(ModelloTest, CelleRuoliEIntestazione) {
    griglia.AggiungiRighe(Righe(2));
    ModelloGrigliaQt modello(griglia);  // over rows already there
    griglia.SetTextMatrix(0, 3, "Importo");
    griglia.SetFixedAlignment(3, grid::Allineamento::Centro);
    griglia.SetColAlignment(2, grid::Allineamento::Sinistra);
    griglia.SetForeColorFixed({128, 0, 0});
    griglia.AddItem({"02/02/2002", "Assegno", "500", "500", ""});
    ASSERT_EQ(modello.rowCount(), 3);
    EXPECT_EQ(modello.index(2, 1).data().toString(), "Assegno");
    EXPECT_EQ(griglia.RemoveItem(1), 0);
    EXPECT_EQ(modello.index(0, 2).data().toString(), "rif 1");

    const auto allineamento = [&](int c) {
        return modello.index(1, c).data(Qt::TextAlignmentRole).value<Qt::Alignment>();
    };
    EXPECT_EQ(allineamento(2), Qt::AlignLeft | Qt::AlignVCenter);
    EXPECT_EQ(allineamento(3), Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(modello.headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), "Importo");
    EXPECT_EQ(modello.headerData(3, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignCenter);
    EXPECT_EQ(modello.headerData(3, Qt::Horizontal, Qt::ForegroundRole).value<QBrush>().color(),
              QColor(128, 0, 0));
    EXPECT_FALSE(modello.index(0, 0).data(Qt::FontRole).isValid());
    griglia.SetFontBold(true);
    EXPECT_TRUE(modello.index(0, 0).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_TRUE(modello.headerData(0, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
}

// The general alignment: numbers to the right, everything else to the left.
using grid::Allineamento;
using CasoAllineamento = std::tuple<Allineamento, std::string, Qt::Alignment>;
class AllineamentoTest : public testing::TestWithParam<CasoAllineamento> {};

TEST_P(AllineamentoTest, DalCodiceEDalTesto) {
    EXPECT_EQ(grid::AllineamentoQt(std::get<0>(GetParam()), std::get<1>(GetParam())),
              std::get<2>(GetParam()));
}

constexpr Qt::Alignment kSx = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment kDx = Qt::AlignRight | Qt::AlignVCenter;
constexpr Allineamento kGen = Allineamento::Generale;
// clang-format off
INSTANTIATE_TEST_SUITE_P(Codici, AllineamentoTest, testing::Values(
    CasoAllineamento{kGen, "200.000", kDx}, CasoAllineamento{kGen, "-1.234,56", kDx},
    CasoAllineamento{kGen, " +1 ", kDx}, CasoAllineamento{kGen, "01/02/2003", kSx},
    CasoAllineamento{kGen, "Prelievo", kSx}, CasoAllineamento{kGen, "-", kSx},
    CasoAllineamento{Allineamento::Sinistra, "123", kSx},
    CasoAllineamento{Allineamento::Centro, "Data", Qt::AlignCenter}));
// clang-format on

struct VistaTest : ModelloTest {
    ModelloGrigliaQt modello{griglia};
    VistaGrigliaQt vista{modello};
};

TEST_F(VistaTest, LarghezzeInTwipsLineeGrigieESfondoOltreLUltimaRiga) {
    const int larghezze[] = {1150, 2200, 2200, 1550, 1750};
    for (int c = 0; c < 5; ++c) griglia.SetColWidth(c, larghezze[c]);
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(vista.columnWidth(c), (larghezze[c] * vista.logicalDpiX() + 720) / 1440) << c;
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
}

// The top row is set before the view is on screen, as when the register loads (its speed on
// a million rows is apertura_bench's).
TEST_F(VistaTest, LaRigaInAltoImpostataPrimaDiMostrareVale) {
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
