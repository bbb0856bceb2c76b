#include "estratti/andamento_qt.h"

#include <QAction>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBuffer>
#include <QCalendarWidget>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QStyle>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>
#include <cmath>

#include "core/uscite.h"
#include "estratti/andamento.h"
#include "estratti/date_qt.h"
#include "ui/testo_qt.h"
#include "ui/valuta.h"

namespace estratti {

namespace {

using ui::InQString;

const QLocale& Italiano() {
    static const QLocale italiano(QLocale::Italian, QLocale::Italy);
    return italiano;
}

// Red and green that read on the window's own background, light or dark.
bool SfondoScuro(const QPalette& p) {
    return p.color(QPalette::Base).lightness() < 128;
}
QColor Rosso(const QPalette& p) {
    return SfondoScuro(p) ? QColor(255, 120, 120) : QColor(190, 0, 0);
}
QColor Verde(const QPalette& p) {
    return SfondoScuro(p) ? QColor(110, 210, 110) : QColor(0, 120, 0);
}

// The chart's texts, lines and background from the window's palette, so that a dark theme
// reads as well as a light one. Axes are recoloured each time they are made.
void Colora(QChart* grafico, const QPalette& p) {
    const QColor testo = p.color(QPalette::WindowText);
    grafico->setBackgroundBrush(p.color(QPalette::Base));
    grafico->setBackgroundPen(QPen(p.color(QPalette::Mid)));
    grafico->setTitleBrush(testo);
    grafico->legend()->setLabelColor(testo);
    for (QAbstractAxis* asse : grafico->axes()) {
        asse->setLabelsColor(testo);
        asse->setLinePenColor(testo);
        asse->setGridLineColor(p.color(QPalette::Mid));
    }
}

// Italian numbers on a value axis: "1.000", "-80.000"; decimals only for euro steps below one.
void FormatoValori(QValueAxis* asse, bool lire) {
    const double passo = (asse->max() - asse->min()) / std::max(1, asse->tickCount() - 1);
    asse->setLabelFormat(!lire && passo < 1 ? QStringLiteral("%.2f") : QStringLiteral("%.0f"));
}

QChart* NuovoGrafico(const QString& titolo) {
    auto* g = new QChart;
    g->setTitle(titolo);
    g->setLocale(Italiano());
    g->setLocalizeNumbers(true);
    g->setBackgroundRoundness(0);
    return g;
}

}  // namespace

CampoData::CampoData(QWidget* parent) : QLineEdit(parent) {
    setPlaceholderText(QStringLiteral("gg/mm/aaaa"));
    setMaxLength(10);
    setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9/.\\- ]{0,10}")), this));
    QAction* calendario =
        addAction(style()->standardIcon(QStyle::SP_ArrowDown), QLineEdit::TrailingPosition);
    calendario->setText(QStringLiteral("Calendario"));
    calendario->setToolTip(QStringLiteral("Scegli la data dal calendario (Alt+Giù)"));
    connect(calendario, &QAction::triggered, this, &CampoData::apriCalendario);
    connect(this, &QLineEdit::editingFinished, this, [this] {
        if (const auto d = data()) impostaData(*d);
    });
}

std::optional<core::Data> CampoData::data() const {
    return LeggiDataDigitata(text().toStdString());
}

bool CampoData::vuoto() const {
    return text().trimmed().isEmpty();
}

void CampoData::impostaData(const core::Data& d) {
    const QString testo = InQString(core::FormatoData(d));
    if (testo != text()) setText(testo);
}

void CampoData::apriCalendario() {
    auto* calendario = new QCalendarWidget(this);
    calendario->setWindowFlags(Qt::Popup);
    calendario->setAttribute(Qt::WA_DeleteOnClose);
    calendario->setLocale(Italiano());
    calendario->setFirstDayOfWeek(Qt::Monday);
    calendario->setAccessibleName(QStringLiteral("Calendario"));
    if (const auto d = data()) calendario->setSelectedDate(QData(*d));
    connect(calendario, &QCalendarWidget::activated, this, [this, calendario](QDate giorno) {
        impostaData(DataDa(giorno));
        calendario->close();
        setFocus();
    });
    connect(calendario, &QCalendarWidget::clicked, calendario, &QCalendarWidget::activated);
    calendario->move(mapToGlobal(rect().bottomLeft()));
    calendario->show();
    calendario->setFocus();
}

void CampoData::keyPressEvent(QKeyEvent* evento) {
    if (evento->key() == Qt::Key_F4 ||
        (evento->key() == Qt::Key_Down && evento->modifiers() & Qt::AltModifier)) {
        apriCalendario();
        return;
    }
    QLineEdit::keyPressEvent(evento);
}

class AndamentoQt::Grafici {
  public:
    Andamento dati;
    QChart* linea = nullptr;
    QChart* barre = nullptr;
    QChartView* vistaLinea = nullptr;
    QChartView* vistaBarre = nullptr;
    QLineSeries* saldo = nullptr;
    QLineSeries* fido = nullptr;
    QCategoryAxis* asseX = nullptr;
    QValueAxis* asseY = nullptr;
};

AndamentoQt::AndamentoQt(const ui::Contesto& c, QWidget* parent)
    : QDialog(parent), c_(c), g_(std::make_unique<Grafici>()) {
    setWindowTitle(QStringLiteral("Andamento del saldo"));
    g_->dati = CalcolaAndamento(c.griglia.righe(), c.stato);
    const Andamento& dati = g_->dati;
    const QPalette& tavolozza = palette();
    auto* layout = new QVBoxLayout(this);
    auto* riga = new QHBoxLayout;
    da_ = new CampoData(this);
    a_ = new CampoData(this);
    da_->setObjectName(QStringLiteral("dal"));
    a_->setObjectName(QStringLiteral("al"));
    auto* etichettaDa = new QLabel(QStringLiteral("&Dal:"), this);
    auto* etichettaA = new QLabel(QStringLiteral("&al:"), this);
    etichettaDa->setBuddy(da_);
    etichettaA->setBuddy(a_);
    riga->addWidget(etichettaDa);
    riga->addWidget(da_);
    riga->addWidget(etichettaA);
    riga->addWidget(a_);
    auto* applica = new QPushButton(QStringLiteral("&Mostra"), this);
    auto* png = new QPushButton(QStringLiteral("&Salva immagine PNG…"), this);
    applica->setDefault(true);
    riga->addWidget(applica);
    riga->addStretch();
    riga->addWidget(png);
    layout->addLayout(riga);
    if (dati.illeggibili > 0) {
        auto* nota = new QLabel(
            QStringLiteral("%1 movimenti non compaiono nel grafico: la data, l'importo o il "
                           "saldo non sono leggibili.")
                .arg(dati.illeggibili),
            this);
        nota->setWordWrap(true);
        layout->addWidget(nota);
    }
    resize(860, 680);
    if (dati.punti.empty()) {
        // No movement, no line to draw: an empty chart would only show odd scales.
        auto* vuoto = new QLabel(QStringLiteral("Il registro non contiene movimenti: il grafico "
                                                "del saldo comparirà dopo il primo movimento."),
                                 this);
        vuoto->setAlignment(Qt::AlignCenter);
        vuoto->setWordWrap(true);
        layout->addWidget(vuoto, 1);
        for (QWidget* w : std::initializer_list<QWidget*>{da_, a_, applica, png})
            w->setEnabled(false);
        return;
    }
    da_->impostaData(DataDelGiorno(dati.punti.front().giorno));
    a_->impostaData(DataDelGiorno(dati.punti.back().giorno));

    const bool lire = dati.inLire;
    g_->saldo = new QLineSeries;
    g_->saldo->setName(QStringLiteral("Saldo"));
    g_->saldo->setPen(QPen(tavolozza.color(QPalette::Highlight), 2));
    g_->linea = NuovoGrafico(QStringLiteral("Saldo (") +
                             QString::fromUtf8(ui::Didascalie(lire).nome) + QLatin1Char(')'));
    g_->linea->addSeries(g_->saldo);
    g_->asseX = new QCategoryAxis;
    g_->asseX->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    g_->asseY = new QValueAxis;
    g_->linea->addAxis(g_->asseX, Qt::AlignBottom);
    g_->linea->addAxis(g_->asseY, Qt::AlignLeft);
    g_->saldo->attachAxis(g_->asseX);
    g_->saldo->attachAxis(g_->asseY);
    if (!dati.fido.isZero()) {
        g_->fido = new QLineSeries;
        g_->fido->setName(QStringLiteral("Fido"));
        g_->fido->setPen(QPen(Rosso(tavolozza), 1.5, Qt::DashLine));
        g_->linea->addSeries(g_->fido);
        g_->fido->attachAxis(g_->asseX);
        g_->fido->attachAxis(g_->asseY);
    }
    g_->vistaLinea = new QChartView(g_->linea, this);
    g_->vistaLinea->setRenderHint(QPainter::Antialiasing);
    g_->vistaLinea->setAccessibleName(QStringLiteral("Grafico del saldo"));
    g_->barre = NuovoGrafico(QStringLiteral("Entrate e uscite per mese"));
    g_->vistaBarre = new QChartView(g_->barre, this);
    g_->vistaBarre->setAccessibleName(QStringLiteral("Grafico delle entrate e delle uscite"));
    auto* grafici = new QWidget(this);
    auto* colonna = new QVBoxLayout(grafici);
    colonna->setContentsMargins(0, 0, 0, 0);
    colonna->addWidget(g_->vistaLinea, 1);
    colonna->addWidget(g_->vistaBarre, 1);
    grafici_ = grafici;
    layout->addWidget(grafici, 1);

    connect(g_->saldo, &QLineSeries::hovered, this, [this](const QPointF& punto, bool sopra) {
        const PuntoSaldo* p =
            sopra ? SaldoAl(g_->dati.punti, static_cast<int>(std::floor(punto.x()))) : nullptr;
        if (!p) {
            QToolTip::hideText();
            return;
        }
        QToolTip::showText(QCursor::pos(),
                           InQString(core::FormatoData(DataDelGiorno(p->giorno)) +
                                     "\nSaldo: " + TestoSaldo(g_->dati, p->saldo)),
                           g_->vistaLinea);
    });
    connect(applica, &QPushButton::clicked, this, &AndamentoQt::applicaIntervallo);
    connect(png, &QPushButton::clicked, this, &AndamentoQt::salvaPng);
    applicaIntervallo();
}

AndamentoQt::~AndamentoQt() = default;

bool AndamentoQt::applicaIntervallo() {
    const Andamento& dati = g_->dati;
    if (dati.punti.empty()) return false;
    for (CampoData* campo : {da_, a_}) {
        if (const auto d = campo->data()) campo->impostaData(*d);
        if (!campo->vuoto() && !campo->data()) {
            c_.dialoghi.Messaggio("Data non valida", ui::Pulsanti::Ok, ui::Icona::Esclamazione);
            campo->setFocus();
            campo->selectAll();
            return false;
        }
    }
    // An empty field is the first or the last day with movements.
    const int da = da_->data() ? GiornoDa(*da_->data()) : dati.punti.front().giorno;
    const int a = a_->data() ? GiornoDa(*a_->data()) : dati.punti.back().giorno;
    if (a < da) {
        c_.dialoghi.Messaggio("La data iniziale è successiva alla data finale.", ui::Pulsanti::Ok,
                              ui::Icona::Esclamazione);
        da_->setFocus();
        return false;
    }
    // A single day, or a few, get a week around them so that the points stand apart.
    const int margine = a - da < 6 ? (7 - (a - da)) / 2 : 0;
    const int inizio = da - margine, fine = a + margine;
    const QPalette& tavolozza = palette();

    // Drawn by pixel: no more points than the widest screen can show, as steps, since the
    // balance holds from one day with movements to the next.
    const QScreen* schermo = screen() ? screen() : QGuiApplication::primaryScreen();
    const int colonne = std::max(g_->vistaLinea->width(), schermo ? schermo->size().width() : 1920);
    const auto scelti = PuntiDaDisegnare(dati.punti, inizio, fine, colonne);
    QList<QPointF> linea;
    linea.reserve(static_cast<qsizetype>(scelti.size() * 2));
    for (const auto& p : scelti) {
        const double y = static_cast<double>(p.saldo.raw()) / core::Money::kScala;
        if (!linea.isEmpty()) linea.append(QPointF(p.giorno, linea.back().y()));
        linea.append(QPointF(p.giorno, y));
    }
    g_->saldo->replace(linea);
    g_->saldo->setPointsVisible(scelti.size() < 40);
    if (g_->fido) {
        const double fido = static_cast<double>(dati.fido.raw()) / core::Money::kScala;
        g_->fido->replace({QPointF(inizio, fido), QPointF(fine, fido)});
    }

    g_->asseX->setRange(inizio, fine);
    etichettaTempo();
    const QFontMetrics metrica(g_->asseX->labelsFont());
    const int spazio = width() - 140;

    const Scala scala = ScalaSaldi(dati, inizio, fine);
    const double spazioY = (scala.massimo - scala.minimo) * 0.05;
    g_->asseY->setRange(scala.minimo - spazioY, scala.massimo + spazioY);
    g_->asseY->applyNiceNumbers();
    FormatoValori(g_->asseY, dati.inLire);
    g_->vistaLinea->setAccessibleDescription(InQString(DescrizioneSaldo(dati, da, a)));

    QChart* barre = g_->barre;
    barre->removeAllSeries();
    for (auto* asse : barre->axes()) {
        barre->removeAxis(asse);
        delete asse;
    }
    const auto periodi = Periodi(dati, da, a);
    const int anni = periodi.empty() ? 0 : periodi.front().anni;
    barre->setTitle(anni == 0   ? QStringLiteral("Entrate e uscite per mese")
                    : anni == 1 ? QStringLiteral("Entrate e uscite per anno")
                                : QStringLiteral("Entrate e uscite ogni %1 anni").arg(anni));
    auto* entrate = new QBarSet(QStringLiteral("Entrate"));
    auto* uscite = new QBarSet(QStringLiteral("Uscite"));
    entrate->setColor(Verde(tavolozza));
    uscite->setColor(Rosso(tavolozza));
    QStringList nomi;
    double totaleEntrate = 0, totaleUscite = 0, massimo = 0;
    for (const auto& p : periodi) {
        nomi << InQString(p.nome);
        *entrate << p.crediti;
        *uscite << p.debiti;
        totaleEntrate += p.crediti;
        totaleUscite += p.debiti;
        massimo = std::max({massimo, p.crediti, p.debiti});
    }
    auto* serie = new QBarSeries;
    serie->append(entrate);
    serie->append(uscite);
    barre->addSeries(serie);
    auto* asseNomi = new QBarCategoryAxis;
    asseNomi->append(nomi);
    // Labels that do not fit side by side stand upright rather than end in "…".
    const int perNome = metrica.horizontalAdvance(nomi.value(0)) + 8;
    if (!nomi.isEmpty() && perNome * nomi.size() > spazio) {
        asseNomi->setLabelsAngle(-90);
        QFont piccolo = asseNomi->labelsFont();
        piccolo.setPointSizeF(piccolo.pointSizeF() * 0.85);
        asseNomi->setLabelsFont(piccolo);
        // Upright labels have the room they need; the check would still cut them to "…".
        asseNomi->setTruncateLabels(false);
    }
    barre->addAxis(asseNomi, Qt::AlignBottom);
    serie->attachAxis(asseNomi);
    auto* asseValori = new QValueAxis;
    barre->addAxis(asseValori, Qt::AlignLeft);
    serie->attachAxis(asseValori);
    asseValori->setRange(0, massimo > 0 ? massimo * 1.05 : (dati.inLire ? 10000 : 10));
    asseValori->applyNiceNumbers();
    FormatoValori(asseValori, dati.inLire);
    g_->vistaBarre->setAccessibleDescription(
        QStringLiteral("%1 %2: entrate %3, uscite %4.")
            .arg(nomi.size())
            .arg(anni == 0   ? QStringLiteral("mesi")
                 : anni == 1 ? QStringLiteral("anni")
                             : QStringLiteral("periodi di %1 anni").arg(anni))
            .arg(InQString(TestoSaldo(dati, core::Money::FromRaw(static_cast<std::int64_t>(
                                                totaleEntrate * core::Money::kScala)))))
            .arg(InQString(TestoSaldo(dati, core::Money::FromRaw(static_cast<std::int64_t>(
                                                totaleUscite * core::Money::kScala))))));
    Colora(g_->linea, tavolozza);
    Colora(barre, tavolozza);
    return true;
}

void AndamentoQt::etichettaTempo() {
    QCategoryAxis* asseX = g_->asseX;
    if (!asseX || !g_->vistaLinea) return;
    for (const QString& etichetta : asseX->categoriesLabels()) asseX->remove(etichetta);
    const int inizio = static_cast<int>(asseX->min()), fine = static_cast<int>(asseX->max());
    asseX->setStartValue(inizio);
    const QFontMetrics metrica(asseX->labelsFont());
    const int larghezza = metrica.horizontalAdvance(QStringLiteral("00/00/0000")) + 16;
    // The plot spans the window but for the margins and the balance labels.
    const int spazio = std::max(width() - 140, 2 * larghezza);
    for (const auto& e : EtichetteTempo(inizio, fine, spazio / larghezza))
        asseX->append(InQString(e.testo), e.giorno);
}

void AndamentoQt::resizeEvent(QResizeEvent* evento) {
    QDialog::resizeEvent(evento);
    // As many month or year labels as the new width holds.
    etichettaTempo();
}

core::EsitoFile AndamentoQt::esportaPng(const QString& file) {
    QByteArray immagine;
    QBuffer buffer(&immagine);
    buffer.open(QIODevice::WriteOnly);
    if (!(grafici_ ? grafici_ : this)->grab().save(&buffer, "PNG"))
        return core::ErroreFile{file.toStdString(), "l'immagine non è stata generata"};
    // Only a help to tidy up after a kill: the picture is saved whatever it returns.
    (void)core::RicordaCartellaUscita(c_.file.fileSystem(), c_.file.percorso(core::kFileUscite),
                                      std::filesystem::path(file.toStdString()).parent_path());
    return ScriviFileUtente(
        c_.file.fileSystem(), file.toStdString(),
        std::string_view(immagine.constData(), static_cast<std::size_t>(immagine.size())));
}

void AndamentoQt::salvaPng() {
    const QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Salva immagine"),
                                                      QStringLiteral("andamento-saldo.png"),
                                                      QStringLiteral("Immagini PNG (*.png)"));
    if (file.isEmpty()) return;
    const bool esisteva = c_.file.fileSystem().esiste(file.toStdString());
    if (const auto e = esportaPng(file))
        c_.dialoghi.Messaggio(MessaggioFileUtente(*e, file.toStdString(), esisteva),
                              ui::Pulsanti::Ok, ui::Icona::Esclamazione);
}

}  // namespace estratti
