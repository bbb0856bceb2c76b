#include <gtest/gtest.h>

#include <QAbstractAxis>
#include <QAccessible>
#include <QApplication>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QGraphicsTextItem>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
#include <QToolTip>
#include <QValueAxis>
#include <fstream>
#include <functional>
#include <memory>

#include "core/importi.h"
#include "estratti/andamento.h"
#include "estratti/andamento_qt.h"
#include "estratti/modello_anteprima_qt.h"
#include "estratti/ricerca_qt.h"
#include "support/contesto_finto.h"
#include "ui/finestra_qt.h"

namespace {

using estratti::GiornoDa;

// One euro movement a month from `primo` to `ultimo` (years), the balance wandering
// between -2.000 and 5.000; the account's balance is the last row's.
void Mensili(test::ContestoFinto& c, int primo, int ultimo) {
    std::int64_t saldo = 0;
    for (int a = primo; a <= ultimo; ++a)
        for (int m = 1; m <= 12; ++m) {
            const std::int64_t importo = (a * 12 + m) * 7919 % 3000;
            const bool prelievo = saldo > 3000 || (m % 3 == 0 && saldo > -2000);
            saldo += prelievo ? -importo : importo;
            char data[40];
            std::snprintf(data, sizeof data, "15/%02d/%04d", m, a);
            c.righe({{data, prelievo ? "Prelievo" : "Versamento", "",
                      core::FormatoEuro(core::Money::FromUnits(importo)),
                      core::FormatoEuro(core::Money::FromUnits(saldo))}});
        }
    c.stato.ModoValuta = "Euro";
    c.stato.SaldoConto = core::Money::FromUnits(saldo);
}

QChart* Linea(QWidget& w) {
    return w.findChildren<QChartView*>().value(0)->chart();
}

QLineSeries* Serie(QChart* g, const QString& nome) {
    for (auto* s : g->series())
        if (s->name() == nome) return qobject_cast<QLineSeries*>(s);
    return nullptr;
}

// The texts the chart actually draws: titles, legend, axis labels.
QStringList Scritte(QChartView* vista) {
    QStringList t;
    for (auto* item : vista->scene()->items())
        if (auto* testo = dynamic_cast<QGraphicsTextItem*>(item)) t << testo->toPlainText();
    return t;
}

// "15/03/2024" typed with or without slashes is the date, in full once used; anything else
// stays as typed and is pointed out.
struct Digitazione {
    const char* digitato;
    const char* mostrato;
    const char* esito;
};
class CercaDate : public testing::TestWithParam<Digitazione> {};
TEST_P(CercaDate, DigitataNonSiPerde) {
    test::ContestoFinto c;
    c.righe({{"10/03/2024", "Prelievo", "", "1,00", "-1,00"},
             {"15/03/2024", "Prelievo", "", "1,00", "-2,00"},
             {"20/03/2024", "Prelievo", "", "1,00", "-3,00"}});
    estratti::CercaQt cerca(c.contesto, nullptr);
    cerca.show();
    auto* dal = cerca.findChild<QLineEdit*>(QStringLiteral("dal"));
    QTest::keyClicks(dal, QString::fromUtf8(GetParam().digitato));
    cerca.vai(true);
    EXPECT_EQ(dal->text().toStdString(), GetParam().mostrato);
    EXPECT_EQ(cerca.findChild<QLabel*>(QStringLiteral("esito"))->text().toStdString(),
              GetParam().esito);
    EXPECT_EQ(c.dialoghi.messaggi.size(), std::string(GetParam().esito).empty() ? 1u : 0u);
}
INSTANTIATE_TEST_SUITE_P(
    Tabella, CercaDate,
    testing::Values(Digitazione{"15/03/2024", "15/03/2024", "Movimento 1 di 2 trovati."},
                    Digitazione{"15032024", "15/03/2024", "Movimento 1 di 2 trovati."},
                    Digitazione{"20/3/24", "20/03/2024", "Movimento 1 di 1 trovati."},
                    Digitazione{"31/02/2024", "31/02/2024", ""}));

// Every match listed as the grid shows it; choosing one moves the grid there.
TEST(Cerca, ElencoDeiTrovati) {
    test::ContestoFinto c;
    c.righe({{"10/03/2024", "Prelievo", "bancomat", "1,00", "-1,00"},
             {"11/03/2024", "Versamento", "stipendio", "900,00", "899,00"},
             {"12/03/2024", "Prelievo", "sportello", "2,00", "897,00"}});
    estratti::CercaQt cerca(c.contesto, nullptr);
    QTest::keyClicks(cerca.testo(), QStringLiteral("prel"));
    cerca.vai(true);
    auto* elenco = cerca.findChild<QTableView*>(QStringLiteral("trovati"));
    const QAbstractItemModel* m = elenco->model();
    ASSERT_EQ(m->rowCount(), 2);
    QStringList riga;
    for (int k = 0; k < m->columnCount(); ++k)
        riga << m->headerData(k, Qt::Horizontal).toString() + "=" +
                    m->index(1, k).data().toString();
    EXPECT_EQ(riga.join(' '),
              "Data=12/03/2024 Causale=Prelievo Riferimento=sportello Importo=2,00");
    elenco->setCurrentIndex(m->index(1, 0));
    EXPECT_EQ(c.griglia.Row(), 3);
    EXPECT_EQ(cerca.findChild<QLabel*>(QStringLiteral("esito"))->text(),
              QStringLiteral("Movimento 2 di 2 trovati."));
}

TEST(Andamento, DateDigitateSpostanoLAsse) {
    test::ContestoFinto c;
    Mensili(c, 2020, 2024);
    estratti::AndamentoQt finestra(c.contesto);
    // Five years of bars, one a year; from March 2022, 34 months, one a month.
    const QChartView* barre = finestra.findChildren<QChartView*>().value(1);
    ASSERT_TRUE(barre);
    EXPECT_EQ(barre->chart()->title(), QStringLiteral("Entrate e uscite per anno"));
    EXPECT_TRUE(barre->accessibleDescription().startsWith(QStringLiteral("5 anni: entrate")))
        << barre->accessibleDescription().toStdString();
    auto* dal = finestra.findChild<QLineEdit*>(QStringLiteral("dal"));
    EXPECT_EQ(dal->text(), QStringLiteral("15/01/2020"));
    dal->clear();
    QTest::keyClicks(dal, QStringLiteral("01032022"));
    ASSERT_TRUE(finestra.applicaIntervallo());
    EXPECT_EQ(dal->text(), QStringLiteral("01/03/2022"));
    EXPECT_EQ(barre->chart()->title(), QStringLiteral("Entrate e uscite per mese"));
    EXPECT_TRUE(barre->accessibleDescription().startsWith(QStringLiteral("34 mesi: entrate")));
    const auto* asse = Linea(finestra)->axes(Qt::Horizontal).value(0);
    EXPECT_EQ(qobject_cast<const QCategoryAxis*>(asse)->min(), GiornoDa({2022, 3, 1}));
    dal->clear();
    QTest::keyClicks(dal, QStringLiteral("15/13/2022"));
    EXPECT_FALSE(finestra.applicaIntervallo());
    EXPECT_EQ(dal->text(), QStringLiteral("15/13/2022"));
    EXPECT_EQ(c.dialoghi.testiMessaggi(), std::vector<std::string>{"Data non valida"});
}

TEST(Andamento, RegistroVuotoUnMessaggio) {
    test::ContestoFinto c;
    estratti::AndamentoQt finestra(c.contesto);
    EXPECT_TRUE(finestra.findChildren<QChartView*>().isEmpty());
    bool detto = false;
    for (auto* l : finestra.findChildren<QLabel*>()) detto |= l->text().contains("non contiene");
    EXPECT_TRUE(detto);
}

// One movement: a visible point, a week around it, a scale that holds it and the credit
// line, and the credit line across the whole axis.
TEST(Andamento, UnMovimentoEIlFido) {
    test::ContestoFinto c;
    c.righe({{"15/03/2024", "Versamento", "", "1.250,00", "1.250,00"}});
    c.stato.ModoValuta = "Euro";
    c.stato.SaldoConto = core::Money::FromUnits(1250);
    c.stato.FidoConto = core::Money::FromUnits(-800);
    estratti::AndamentoQt finestra(c.contesto);
    QChart* g = Linea(finestra);
    QLineSeries* saldo = Serie(g, QStringLiteral("Saldo"));
    ASSERT_TRUE(saldo);
    EXPECT_EQ(saldo->count(), 1);
    EXPECT_TRUE(saldo->pointsVisible());
    const auto* x = qobject_cast<QCategoryAxis*>(g->axes(Qt::Horizontal).value(0));
    const auto* y = qobject_cast<QValueAxis*>(g->axes(Qt::Vertical).value(0));
    const int giorno = GiornoDa({2024, 3, 15});
    EXPECT_EQ(x->min(), giorno - 3);
    EXPECT_EQ(x->max(), giorno + 3);
    EXPECT_LE(y->min(), -800);
    EXPECT_GE(y->max(), 1250);
    QLineSeries* fido = Serie(g, QStringLiteral("Fido"));
    ASSERT_TRUE(fido);
    EXPECT_EQ(fido->points(), (QList<QPointF>{{x->min(), -800.0}, {x->max(), -800.0}}));

    emit saldo->hovered(QPointF(giorno + 0.6, 1250), true);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("15/03/2024\nSaldo: €. 1.250,00"));
    QToolTip::hideText();
}

// Over decades: Italian numbers, years that fit, bars of several years, nothing cut to "…".
TEST(Andamento, EtichetteItalianeIntere) {
    test::ContestoFinto c;
    Mensili(c, 1975, 2024);
    estratti::AndamentoQt finestra(c.contesto);
    finestra.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&finestra));
    QApplication::processEvents();
    const auto viste = finestra.findChildren<QChartView*>();
    ASSERT_EQ(viste.size(), 2);
    for (QChartView* v : viste)
        for (QAbstractAxis* asse : v->chart()->axes()) EXPECT_FALSE(asse->labelsTruncated());
    const QStringList linea = Scritte(viste[0]);
    EXPECT_TRUE(linea.contains(QStringLiteral("2000"))) << linea.join('|').toStdString();
    EXPECT_TRUE(linea.contains(QStringLiteral("-2.000"))) << linea.join('|').toStdString();
    const QStringList barre = Scritte(viste[1]);
    EXPECT_TRUE(barre.contains(QStringLiteral("10.000"))) << barre.join('|').toStdString();
    // Fifty years: a bar for every two.
    EXPECT_TRUE(barre.contains(QStringLiteral("1990\u20131991"))) << barre.join('|').toStdString();
    EXPECT_EQ(viste[1]->chart()->title(), QStringLiteral("Entrate e uscite ogni 2 anni"));
    EXPECT_TRUE(viste[1]->accessibleDescription().startsWith(
        QStringLiteral("26 periodi di 2 anni: entrate")))
        << viste[1]->accessibleDescription().toStdString();
}

// Under a dark palette the chart takes the window's colours, its texts readable (4.5:1).
TEST(Andamento, TemaScuro) {
    const QPalette prima = QApplication::palette();
    QPalette scuro = prima;
    scuro.setColor(QPalette::Base, QColor(25, 25, 25));
    scuro.setColor(QPalette::Window, QColor(40, 40, 40));
    scuro.setColor(QPalette::WindowText, QColor(235, 235, 235));
    QApplication::setPalette(scuro);
    test::ContestoFinto c;
    Mensili(c, 2023, 2024);
    c.stato.FidoConto = core::Money::FromUnits(-1000);
    auto finestra = std::make_unique<estratti::AndamentoQt>(c.contesto);
    QApplication::setPalette(prima);
    const auto contrasto = ui::Contrasto;
    for (QChartView* v : finestra->findChildren<QChartView*>()) {
        const QColor sfondo = v->chart()->backgroundBrush().color();
        EXPECT_EQ(sfondo, QColor(25, 25, 25));
        EXPECT_GE(contrasto(v->chart()->titleBrush().color(), sfondo), 4.5);
        for (QAbstractAxis* asse : v->chart()->axes())
            EXPECT_GE(contrasto(asse->labelsColor(), sfondo), 4.5);
        for (auto* s : v->chart()->series()) {
            if (auto* l = qobject_cast<QLineSeries*>(s)) {
                EXPECT_GE(contrasto(l->pen().color(), sfondo), 3.0) << l->name().toStdString();
            }
        }
    }
}

// Every control a user can reach has a name a screen reader speaks.
class Nomi : public testing::TestWithParam<int> {};
TEST_P(Nomi, OgniControlloHaUnNome) {
    test::ContestoFinto c;
    Mensili(c, 2023, 2024);
    std::unique_ptr<QDialog> finestra;
    if (GetParam() == 0) finestra = std::make_unique<estratti::AndamentoQt>(c.contesto);
    if (GetParam() == 1) finestra = std::make_unique<estratti::CercaQt>(c.contesto, nullptr);
    if (GetParam() == 2) finestra = std::make_unique<estratti::EsportaQt>(c.contesto);
    finestra->show();
    for (auto* r : finestra->findChildren<QRadioButton*>()) r->setChecked(true);
    int controlli = 0;
    for (QWidget* w : finestra->findChildren<QWidget*>()) {
        // A chart's viewport hands its focus to the chart view, which is checked itself.
        if (!w->isVisibleTo(finestra.get()) || w->focusPolicy() == Qt::NoFocus || w->focusProxy())
            continue;
        ++controlli;
        const QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        ASSERT_TRUE(a);
        EXPECT_FALSE(a->text(QAccessible::Name).trimmed().isEmpty())
            << w->metaObject()->className() << " " << w->objectName().toStdString();
    }
    EXPECT_GE(controlli, 4);
}
INSTANTIATE_TEST_SUITE_P(Finestre, Nomi, testing::Values(0, 1, 2));

// The picture replaces a file by rename, through the register's disk: another name for the
// old file keeps its bytes, and a full disk leaves the old file.
TEST(Andamento, ImmaginePngPerRinomina) {
    test::ContestoFinto c;
    Mensili(c, 2023, 2024);
    estratti::AndamentoQt finestra(c.contesto);
    const auto file = c.dir / "grafico.png";
    std::ofstream(file) << "vecchio";
    std::filesystem::create_hard_link(file, c.dir / "copia.png");
    EXPECT_FALSE(finestra.esportaPng(QString::fromStdString(file.string())));
    EXPECT_EQ(test::LeggiByte(file).substr(0, 4), "\x89PNG");
    EXPECT_EQ(test::LeggiByte(c.dir / "copia.png"), "vecchio");

    test::Guasto pieno;
    pieno.errore = ENOSPC;
    pieno.parziale = true;
    c.disco.Guasta(pieno);
    EXPECT_TRUE(finestra.esportaPng(QString::fromStdString((c.dir / "copia.png").string())));
    EXPECT_EQ(test::LeggiByte(c.dir / "copia.png"), "vecchio");
}

// Dates of the export are checked before a file is asked for.
TEST(Esporta, DataNonValidaPrimaDelFile) {
    test::ContestoFinto c;
    Mensili(c, 2023, 2023);
    estratti::EsportaQt finestra(c.contesto);
    finestra.show();
    finestra.findChild<QRadioButton*>(QStringLiteral("intervallo"))->setChecked(true);
    auto* dal = finestra.findChild<QLineEdit*>(QStringLiteral("dal"));
    auto* al = finestra.findChild<QLineEdit*>(QStringLiteral("al"));
    EXPECT_EQ(al->text(), QStringLiteral("05/03/2003"));
    dal->clear();
    al->clear();
    QTest::keyClicks(dal, QStringLiteral("01032023"));
    QTest::keyClicks(al, QStringLiteral("32032023"));
    finestra.findChild<QPushButton*>(QStringLiteral("esporta"))->click();
    EXPECT_EQ(c.dialoghi.testiMessaggi(), std::vector<std::string>{"Data non valida"});
    EXPECT_EQ(dal->text(), QStringLiteral("01/03/2023"));
    EXPECT_EQ(al->text(), QStringLiteral("32032023"));
    EXPECT_TRUE(finestra.isVisible());
}

}  // namespace
