#include "estratti/andamento_qt.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTimeAxis>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include "core/importi.h"
#include "estratti/andamento.h"
#include "estratti/date_qt.h"
#include "estratti/esportazione.h"
#include "ui/testo_qt.h"
#include "ui/valuta.h"

namespace estratti {

namespace {

using ui::InQString;

}  // namespace

class AndamentoQt::Grafici {
  public:
    QChart* linea = nullptr;
    QChart* barre = nullptr;
    QDateTimeAxis* asseX = nullptr;
    QValueAxis* asseY = nullptr;
    Andamento dati;
};

AndamentoQt::AndamentoQt(const ui::Contesto& c, QWidget* parent)
    : QDialog(parent), g_(std::make_unique<Grafici>()) {
    setWindowTitle(QStringLiteral("Andamento del saldo"));
    g_->dati = CalcolaAndamento(c.griglia.righe(), c.stato);
    const bool lire = core::InLire(c.stato);
    auto* layout = new QVBoxLayout(this);
    auto* riga = new QHBoxLayout;
    da_ = new QDateEdit(this);
    a_ = new QDateEdit(this);
    for (auto* d : {da_, a_}) {
        d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        d->setCalendarPopup(true);
    }
    if (!g_->dati.punti.empty()) {
        da_->setDate(QData(g_->dati.punti.front().data));
        a_->setDate(QData(g_->dati.punti.back().data));
    }
    riga->addWidget(new QLabel(QStringLiteral("Dal:"), this));
    riga->addWidget(da_);
    riga->addWidget(new QLabel(QStringLiteral("al:"), this));
    riga->addWidget(a_);
    auto* applica = new QPushButton(QStringLiteral("&Mostra"), this);
    auto* png = new QPushButton(QStringLiteral("&Salva immagine PNG…"), this);
    riga->addWidget(applica);
    riga->addStretch();
    riga->addWidget(png);
    layout->addLayout(riga);

    const QString valuta = QString::fromUtf8(ui::Didascalie(lire).nome);
    auto* saldo = new QLineSeries;
    saldo->setName(QStringLiteral("Saldo"));
    // One point per day (its last balance) keeps a long register light to draw.
    QList<QPointF> punti;
    punti.reserve(static_cast<qsizetype>(g_->dati.punti.size()));
    for (std::size_t i = 0; i < g_->dati.punti.size(); ++i) {
        const auto& p = g_->dati.punti[i];
        const double x =
            static_cast<double>(QDateTime(QData(p.data), QTime(12, 0)).toMSecsSinceEpoch());
        if (!punti.isEmpty() && punti.back().x() == x)
            punti.back().setY(p.saldo);
        else
            punti.append(QPointF(x, p.saldo));
    }
    saldo->replace(punti);
    g_->linea = new QChart;
    g_->linea->setTitle(QStringLiteral("Saldo (") + valuta + QLatin1Char(')'));
    g_->linea->addSeries(saldo);
    g_->asseX = new QDateTimeAxis;
    g_->asseX->setFormat(QStringLiteral("MM/yyyy"));
    g_->asseY = new QValueAxis;
    g_->asseY->setLabelFormat(QStringLiteral("%.0f"));
    g_->linea->addAxis(g_->asseX, Qt::AlignBottom);
    g_->linea->addAxis(g_->asseY, Qt::AlignLeft);
    saldo->attachAxis(g_->asseX);
    saldo->attachAxis(g_->asseY);
    if (g_->dati.fido < 0 && !punti.isEmpty()) {
        auto* fido = new QLineSeries;
        fido->setName(QStringLiteral("Fido"));
        fido->setPen(QPen(Qt::red, 1.5, Qt::DashLine));
        fido->append(punti.front().x(), g_->dati.fido);
        fido->append(punti.back().x(), g_->dati.fido);
        g_->linea->addSeries(fido);
        fido->attachAxis(g_->asseX);
        fido->attachAxis(g_->asseY);
    }
    auto* vistaLinea = new QChartView(g_->linea, this);
    vistaLinea->setRenderHint(QPainter::Antialiasing);

    g_->barre = new QChart;
    g_->barre->setTitle(QStringLiteral("Entrate e uscite per mese"));
    auto* vistaBarre = new QChartView(g_->barre, this);
    auto* grafici = new QWidget(this);
    auto* colonna = new QVBoxLayout(grafici);
    colonna->setContentsMargins(0, 0, 0, 0);
    colonna->addWidget(vistaLinea, 1);
    colonna->addWidget(vistaBarre, 1);
    grafici_ = grafici;
    layout->addWidget(grafici, 1);
    connect(applica, &QPushButton::clicked, this, &AndamentoQt::applicaIntervallo);
    connect(png, &QPushButton::clicked, this, [this] {
        const QString f = QFileDialog::getSaveFileName(this, QStringLiteral("Salva immagine"),
                                                       QStringLiteral("andamento-saldo.png"),
                                                       QStringLiteral("Immagini PNG (*.png)"));
        if (!f.isEmpty() && !esportaPng(f))
            QMessageBox::warning(this, QStringLiteral("Quibora Lite Edition"),
                                 QStringLiteral("Impossibile salvare il file \"%1\".").arg(f));
    });
    resize(860, 680);
    applicaIntervallo();
}

AndamentoQt::~AndamentoQt() = default;

void AndamentoQt::applicaIntervallo() {
    const core::Data da = DataDa(da_->date());
    const core::Data a = DataDa(a_->date());
    g_->asseX->setRange(QDateTime(da_->date(), QTime(0, 0)), QDateTime(a_->date(), QTime(23, 59)));
    double minimo = g_->dati.fido, massimo = 0;
    for (const auto& p : g_->dati.punti) {
        if (p.data < da || a < p.data) continue;
        minimo = std::min(minimo, p.saldo);
        massimo = std::max(massimo, p.saldo);
    }
    const double margine = (massimo - minimo) * 0.05 + 1;
    g_->asseY->setRange(minimo - margine, massimo + margine);
    g_->asseY->applyNiceNumbers();

    g_->barre->removeAllSeries();
    for (auto* asse : g_->barre->axes()) g_->barre->removeAxis(asse);
    auto* entrate = new QBarSet(QStringLiteral("Entrate"));
    auto* uscite = new QBarSet(QStringLiteral("Uscite"));
    entrate->setColor(QColor(0, 140, 0));
    uscite->setColor(QColor(200, 0, 0));
    // Past three years of months the labels no longer fit under the bars: years instead.
    int nelPeriodo = 0;
    for (const auto& m : g_->dati.mesi)
        if (m.anno * 100 + m.mese >= da.anno * 100 + da.mese &&
            m.anno * 100 + m.mese <= a.anno * 100 + a.mese)
            ++nelPeriodo;
    const bool perAnno = nelPeriodo > 36;
    g_->barre->setTitle(perAnno ? QStringLiteral("Entrate e uscite per anno")
                                : QStringLiteral("Entrate e uscite per mese"));
    QStringList periodi;
    for (const auto& m : g_->dati.mesi) {
        if (m.anno * 100 + m.mese < da.anno * 100 + da.mese ||
            m.anno * 100 + m.mese > a.anno * 100 + a.mese)
            continue;
        const QString nome = perAnno ? QString::number(m.anno)
                                     : QStringLiteral("%1/%2")
                                           .arg(m.mese, 2, 10, QLatin1Char('0'))
                                           .arg(m.anno % 100, 2, 10, QLatin1Char('0'));
        if (!periodi.isEmpty() && periodi.back() == nome) {
            entrate->replace(entrate->count() - 1, entrate->at(entrate->count() - 1) + m.crediti);
            uscite->replace(uscite->count() - 1, uscite->at(uscite->count() - 1) + m.debiti);
            continue;
        }
        periodi << nome;
        *entrate << m.crediti;
        *uscite << m.debiti;
    }
    auto* serie = new QBarSeries;
    serie->append(entrate);
    serie->append(uscite);
    g_->barre->addSeries(serie);
    auto* asseMesi = new QBarCategoryAxis;
    asseMesi->append(periodi);
    if (!perAnno && periodi.size() > 12) {
        asseMesi->setLabelsAngle(-90);
        QFont piccolo = asseMesi->labelsFont();
        piccolo.setPointSizeF(piccolo.pointSizeF() * 0.85);
        asseMesi->setLabelsFont(piccolo);
    }
    g_->barre->addAxis(asseMesi, Qt::AlignBottom);
    serie->attachAxis(asseMesi);
    auto* asseValori = new QValueAxis;
    asseValori->setLabelFormat(QStringLiteral("%.0f"));
    g_->barre->addAxis(asseValori, Qt::AlignLeft);
    serie->attachAxis(asseValori);
    asseValori->applyNiceNumbers();
}

bool AndamentoQt::esportaPng(const QString& file) {
    return grafici_->grab().save(file, "PNG");
}

}  // namespace estratti
