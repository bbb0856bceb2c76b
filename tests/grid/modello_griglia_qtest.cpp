#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QFont>
#include <QHeaderView>
#include <QImage>
#include <QStringList>
#include <chrono>
#include <memory>
#include <vector>

#include "grid/modello_griglia_qt.h"
#include "grid/vista_griglia_qt.h"

namespace {

using grid::Griglia;
using grid::ModelloGrigliaQt;
using grid::VistaGrigliaQt;

// The model tester reports through qWarning: collect what it says.
QStringList avvisi;
void RaccogliAvvisi(QtMsgType tipo, const QMessageLogContext&, const QString& testo) {
    if (tipo != QtDebugMsg && tipo != QtInfoMsg) avvisi << testo;
}

class ModelloTest : public testing::Test {
  protected:
    void SetUp() override {
        avvisi.clear();
        precedente_ = qInstallMessageHandler(RaccogliAvvisi);
    }
    void TearDown() override { qInstallMessageHandler(precedente_); }

    Griglia griglia;

  private:
    QtMessageHandler precedente_ = nullptr;
};

// Column 0 differs on every row, as the model tester compares only that column.
std::vector<core::RigaRegistro> Righe(int quante, const std::string& prefisso = "r") {
    std::vector<core::RigaRegistro> righe;
    for (int i = 0; i < quante; ++i)
        righe.push_back({prefisso + std::to_string(i), "Versamento", "rif " + std::to_string(i),
                         "1.000", std::to_string(i)});
    return righe;
}

TEST_F(ModelloTest, IlTesterApprovaOgniCambio) {
    ModelloGrigliaQt modello(griglia);
    QAbstractItemModelTester tester(&modello,
                                    QAbstractItemModelTester::FailureReportingMode::Warning);
    griglia.AddItem("01/01/2001\tPrelievo\tbancomat\t200.000\t-200.000");
    griglia.AggiungiRighe(Righe(5));
    EXPECT_EQ(griglia.RemoveItem(1), 0);
    EXPECT_EQ(griglia.RemoveItem(3), 0);
    EXPECT_EQ(griglia.RemoveItem(griglia.Rows() - 1), 0);
    griglia.SetTextMatrix(0, 1, "Causale");
    griglia.SetTextMatrix(2, 2, "cambiato");
    griglia.SetFontBold(true);
    griglia.SetRows(6);
    griglia.SetRows(1);
    griglia.AggiungiRighe(Righe(3, "s"));
    EXPECT_EQ(modello.rowCount(), 3);
    EXPECT_EQ(avvisi.join(u'\n').toStdString(), "");
}

TEST_F(ModelloTest, LeRigheSeguonoLaGriglia) {
    griglia.AggiungiRighe(Righe(2));
    ModelloGrigliaQt modello(griglia);
    griglia.AddItem("02/02/2002\tAssegno");
    ASSERT_EQ(modello.rowCount(), 3);
    EXPECT_EQ(modello.rowCount(modello.index(0, 0)), 0);
    EXPECT_EQ(modello.index(2, 1).data().toString(), "Assegno");
    EXPECT_EQ(modello.index(0, 2).data().toString(), "rif 0");
    EXPECT_EQ(modello.data(modello.index(3, 0), Qt::DisplayRole), QVariant());
    EXPECT_EQ(griglia.RemoveItem(1), 0);
    EXPECT_EQ(modello.index(0, 2).data().toString(), "rif 1");
}

struct CasoAllineamento {
    const char* nome;
    int codice;
    std::string testo;
    Qt::Alignment atteso;
};

class AllineamentoTest : public testing::TestWithParam<CasoAllineamento> {};

TEST_P(AllineamentoTest, DalCodiceEDalTesto) {
    EXPECT_EQ(grid::AllineamentoQt(GetParam().codice, GetParam().testo), GetParam().atteso);
}

constexpr Qt::Alignment kSinistra = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment kDestra = Qt::AlignRight | Qt::AlignVCenter;

INSTANTIATE_TEST_SUITE_P(
    Codici, AllineamentoTest,
    testing::Values(CasoAllineamento{"ImportoLire", 9, "200.000", kDestra},
                    CasoAllineamento{"SaldoNegativoEuro", 9, "-1.234,56", kDestra},
                    CasoAllineamento{"Data", 9, "01/02/2003", kSinistra},
                    CasoAllineamento{"Testo", 9, "Prelievo", kSinistra},
                    CasoAllineamento{"SoloSegno", 9, "-", kSinistra},
                    CasoAllineamento{"NumeroInColonnaSinistra", 1, "123", kSinistra},
                    CasoAllineamento{"Centrato", 4, "Data", Qt::AlignCenter}),
    [](const auto& info) { return info.param.nome; });

TEST_F(ModelloTest, RuoliDiCelleEIntestazione) {
    ModelloGrigliaQt modello(griglia);
    griglia.SetTextMatrix(0, 3, "Importo");
    griglia.SetFixedAlignment(3, grid::kAllineaCentro);
    griglia.SetColAlignment(2, grid::kAllineaSinistra);
    griglia.SetForeColorFixed({128, 0, 0});
    griglia.AddItem("01/01/2001\tPrelievo\t500\t500");

    const auto allineamento = [&](int colonna) {
        return modello.index(0, colonna).data(Qt::TextAlignmentRole).value<Qt::Alignment>();
    };
    EXPECT_EQ(allineamento(2), kSinistra);
    EXPECT_EQ(allineamento(3), kDestra);
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

TEST_F(ModelloTest, VistaConLarghezzeInTwipsERigaInAlto) {
    ModelloGrigliaQt modello(griglia);
    VistaGrigliaQt vista(modello);
    const int larghezze[] = {1150, 2200, 2200, 1550, 1750};
    for (int c = 0; c < 5; ++c) griglia.SetColWidth(c, larghezze[c]);
    const int dpi = vista.logicalDpiX();
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(vista.columnWidth(c), (larghezze[c] * dpi + 720) / 1440) << c;
    EXPECT_TRUE(vista.verticalHeader()->isHidden());

    griglia.AggiungiRighe(Righe(100));
    griglia.SetTopRow(40);  // before the view is on screen, as when the register loads
    vista.resize(600, 200);
    vista.show();
    EXPECT_EQ(vista.PrimaRigaVisibile(), 39);
    griglia.SetTopRow(71);
    EXPECT_EQ(vista.PrimaRigaVisibile(), 70);
}

TEST_F(ModelloTest, LineeGrigieESfondoOltreLUltimaRiga) {
    ModelloGrigliaQt modello(griglia);
    VistaGrigliaQt vista(modello);
    for (int c = 0; c < 5; ++c) griglia.SetColWidth(c, 1500);
    griglia.AggiungiRighe(Righe(2));
    vista.resize(800, 300);
    vista.show();
    const QImage immagine = vista.viewport()->grab().toImage();
    const int fineRighe = vista.rowViewportPosition(1) + vista.rowHeight(1);
    const int fineColonne = vista.columnViewportPosition(4) + vista.columnWidth(4);
    EXPECT_EQ(immagine.pixelColor(3, fineRighe + 5), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(immagine.pixelColor(fineColonne + 5, 3), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(immagine.pixelColor(vista.columnWidth(0) - 1, 3), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(immagine.pixelColor(3, 3), vista.palette().color(QPalette::Base));
}

TEST_F(ModelloTest, UnMilioneDiRigheSiApreInFretta) {
    ModelloGrigliaQt modello(griglia);
    VistaGrigliaQt vista(modello);
    vista.resize(600, 300);
    vista.show();
    auto righe = Righe(1'000'000);
    const auto inizio = std::chrono::steady_clock::now();
    griglia.AggiungiRighe(std::move(righe));
    griglia.SetTopRow(griglia.Rows() - 1);
    QApplication::processEvents();
    const auto durata = std::chrono::steady_clock::now() - inizio;
    EXPECT_EQ(modello.rowCount(), 1'000'000);
    EXPECT_GT(vista.PrimaRigaVisibile(), 999'980);
    EXPECT_LT(durata, std::chrono::seconds(5));
}

}  // namespace
