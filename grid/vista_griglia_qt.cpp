#include "grid/vista_griglia_qt.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QPainter>
#include <QPalette>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>

#include "ui/finestra_qt.h"

namespace grid {

namespace {

constexpr int kTwipsPerPollice = 1440;
// Height of every row: 240 twips, the grid's own row height.
constexpr int kAltezzaRigaTwips = 240;
const QColor kColoreLinee(0xC0, 0xC0, 0xC0);
const QColor kColoreOltreRighe(0x80, 0x80, 0x80);

bool SoloCifre(const QString& testo) {
    bool cifra = false;
    for (const QChar c : testo) {
        if (c.isDigit())
            cifra = true;
        else if (c != '.' && c != ',' && c != '-' && c != ' ')
            return false;
    }
    return cifra;
}

// An amount wider than its column is drawn whole in a narrower, smaller face: cut short
// with "…" it could pass for another amount at a glance.
class DelegatoImporti : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

  protected:
    void initStyleOption(QStyleOptionViewItem* opzioni, const QModelIndex& indice) const override {
        QStyledItemDelegate::initStyleOption(opzioni, indice);
        if (!SoloCifre(opzioni->text)) return;
        const QWidget* vista = opzioni->widget;
        const QStyle* stile = vista ? vista->style() : nullptr;
        const int margine =
            stile ? stile->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, vista) + 1 : 3;
        const int spazio = opzioni->rect.width() - 2 * margine;
        QFont f = opzioni->font;
        if (QFontMetrics(f).horizontalAdvance(opzioni->text) <= spazio) return;
        f.setStretch(QFont::Condensed);
        while (QFontMetrics(f).horizontalAdvance(opzioni->text) > spazio && f.pointSizeF() > 4)
            f.setPointSizeF(f.pointSizeF() - 0.25);
        opzioni->font = f;
        opzioni->fontMetrics = QFontMetrics(f);
    }
};

}  // namespace

VistaGrigliaQt::VistaGrigliaQt(ModelloGrigliaQt& modello, QWidget* parent)
    : QTableView(parent), modello_(modello) {
    setModel(&modello_);
    setItemDelegate(new DelegatoImporti(this));
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Tab leaves the grid for the next control, as in every other control of the window.
    setTabKeyNavigation(false);
    setStyleSheet(QStringLiteral("QTableView { gridline-color: %1; }").arg(kColoreLinee.name()));

    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(
        std::max(PixelDaTwips(kAltezzaRigaTwips), fontMetrics().height() + 2));

    QHeaderView* intestazione = horizontalHeader();
    intestazione->setSectionResizeMode(QHeaderView::Fixed);
    intestazione->setStretchLastSection(false);
    intestazione->setHighlightSections(false);
    intestazione->setSectionsClickable(false);
    AggiornaColori();

    connect(&modello_, &ModelloGrigliaQt::aspettoGrigliaCambiato, this,
            &VistaGrigliaQt::applicaAspetto);
    connect(&modello_, &ModelloGrigliaQt::rigaInAltoRichiesta, this, &VistaGrigliaQt::mostraInAlto);
    connect(&modello_, &ModelloGrigliaQt::cellaCorrenteRichiesta, this,
            &VistaGrigliaQt::mostraCellaCorrente);
    applicaAspetto();
    if (modello_.griglia().TopRow() > 1) inSospeso_ = modello_.griglia().TopRow() - 1;
}

int VistaGrigliaQt::PixelDaTwips(int twips) const {
    return (twips * logicalDpiX() + kTwipsPerPollice / 2) / kTwipsPerPollice;
}

int VistaGrigliaQt::PrimaRigaVisibile() const {
    return rowAt(0);
}

void VistaGrigliaQt::AggiornaColori() {
    // The theme's own colours, not the ones set here before.
    const QPalette tema = parentWidget() ? parentWidget()->palette() : QGuiApplication::palette();
    // The selection keeps its highlight when the focus moves to the buttons; its text is
    // white where white reads on the theme's highlight.
    QPalette tavolozza = palette();
    const QColor evidenziato = tema.color(QPalette::Active, QPalette::Highlight);
    tavolozza.setColor(QPalette::Highlight, evidenziato);
    tavolozza.setColor(
        QPalette::HighlightedText,
        ui::ColoreLeggibile(Qt::white, evidenziato,
                            tema.color(QPalette::Active, QPalette::HighlightedText)));
    setPalette(tavolozza);
    QPalette tavolozzaIntestazione = horizontalHeader()->palette();
    tavolozzaIntestazione.setColor(QPalette::Window, tema.color(QPalette::Button));
    horizontalHeader()->setPalette(tavolozzaIntestazione);
    modello_.ImpostaColoriIntestazione(tema.color(QPalette::Button),
                                       tema.color(QPalette::ButtonText));
}

void VistaGrigliaQt::applicaAspetto() {
    const Griglia& g = modello_.griglia();
    for (int c = 0; c < kColonne; ++c) setColumnWidth(c, PixelDaTwips(g.ColWidth(c)));
    setShowGrid(g.GridLines() != 0);
    QFont font = this->font();
    font.setBold(g.FontBold());
    horizontalHeader()->setFont(font);
    // The header paints on its viewport, whose face is not handed down after a move.
    horizontalHeader()->viewport()->setFont(font);
}

void VistaGrigliaQt::mostraInAlto(int rigaModello) {
    inSospeso_ = rigaModello;
    applicaRigaInAlto();
}

void VistaGrigliaQt::applicaRigaInAlto() {
    // updateGeometries() can show the scroll bar, whose resize comes back here and clears
    // the request: the row is read once, before that.
    const int riga = inSospeso_;
    if (riga < 0) return;
    if (riga < modello_.rowCount()) {
        // Per-item scrolling: the scroll bar value is the first row shown.
        updateGeometries();
        verticalScrollBar()->setValue(riga);
    }
    // Before the first layout the scroll range is still empty: keep the request until the
    // view is on screen, so that it is applied once the range is known.
    if (isVisible()) inSospeso_ = -1;
}

void VistaGrigliaQt::mostraCellaCorrente(int rigaModello, int colonna) {
    const QModelIndex indice = modello_.index(rigaModello, colonna);
    if (!indice.isValid()) {
        selectionModel()->clear();
        return;
    }
    selectionModel()->setCurrentIndex(indice, QItemSelectionModel::ClearAndSelect);
}

void VistaGrigliaQt::adattaIntestazione() {
    const int riga = verticalHeader()->defaultSectionSize();
    const int minimo = horizontalHeader()->sizeHint().height();
    const int barra =
        horizontalScrollBar()->isVisible() ? horizontalScrollBar()->sizeHint().height() : 0;
    const int disponibile = height() - 2 * frameWidth() - barra;
    const int righe = std::max(1, (disponibile - minimo) / riga);
    const int altezza = std::max(minimo, disponibile - righe * riga);
    if (horizontalHeader()->height() != altezza) {
        horizontalHeader()->setFixedHeight(altezza);
        updateGeometries();
    }
}

void VistaGrigliaQt::showEvent(QShowEvent* evento) {
    QTableView::showEvent(evento);
    applicaRigaInAlto();
}

void VistaGrigliaQt::resizeEvent(QResizeEvent* evento) {
    adattaIntestazione();
    QTableView::resizeEvent(evento);
    applicaRigaInAlto();
}

void VistaGrigliaQt::paintEvent(QPaintEvent* evento) {
    QTableView::paintEvent(evento);
    // Past the last row and the last column lies the grid's background, not empty cells.
    QPainter pittore(viewport());
    const QRect area = viewport()->rect();
    const int righe = modello_.rowCount();
    const int sotto = righe > 0 ? rowViewportPosition(righe - 1) + rowHeight(righe - 1) : 0;
    if (sotto < area.height())
        pittore.fillRect(QRect(0, sotto, area.width(), area.height() - sotto), kColoreOltreRighe);
    const int destra = columnViewportPosition(kColonne - 1) + columnWidth(kColonne - 1);
    if (destra < area.width())
        pittore.fillRect(QRect(destra, 0, area.width() - destra, area.height()), kColoreOltreRighe);
}

}  // namespace grid
