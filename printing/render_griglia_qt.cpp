#include "printing/render_griglia_qt.h"

#include <QFont>
#include <QFontMetricsF>
#include <QList>
#include <QPainter>
#include <QPen>
#include <QString>
#include <algorithm>
#include <array>
#include <string_view>

#include "core/tipi_movimento.h"
#include "grid/modello_griglia_qt.h"
#include "ui/testo_qt.h"

namespace printing {

using grid::kColonne;

namespace {

constexpr double kTwipsPerPollice = 1440;
constexpr double kAltezzaRigaTwips = 240;  // the grid's row height for its 8.25 pt font
constexpr double kMargineCellaTwips = 45;
constexpr double kSpessoreLineaTwips = 10;
constexpr double kPuntiMassimi = 8.25;  // the grid's designed size
constexpr double kPuntiMinimi = 6;
constexpr int kColonnaCausale = 1;

// The printout's face: the condensed cut of the sans-serif, at the largest size up to the
// designed one at which every "Causale" text of both currencies fits its column.
QFont FontStampa(bool grassetto, const QPaintDevice* dispositivo, double larghezzaCausale) {
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setBold(grassetto);
    for (double punti = kPuntiMassimi;; punti -= 0.25) {
        font.setPointSizeF(punti);
        const QFontMetricsF metriche(font, dispositivo);
        double massima = 0;
        for (const core::TipoMovimento& tipo : core::TipiMovimento())
            for (std::string_view causale : {tipo.CausaleLire, tipo.CausaleEuro})
                massima = std::max(massima, metriche.horizontalAdvance(ui::InQString(causale)));
        if (massima <= larghezzaCausale || punti <= kPuntiMinimi) return font;
    }
}

struct Misure {
    std::array<double, kColonne + 1> bordi{};  // left edge of each column, then the right end
    double altezzaRiga = 0;
    double margine = 0;
    double linea = 0;
};

}  // namespace

bool RenderGrigliaQt::Pagina(const Rettangolo& area) {
    QPainter* p = &painter_;
    if (!p->isActive()) throw ErroreStampa{kErroreStampante};

    const QPaintDevice* dispositivo = p->device();
    const double dpiX = dispositivo->logicalDpiX();
    const double dpiY = dispositivo->logicalDpiY();

    Misure m;
    m.bordi[0] = area.sinistra;
    for (int c = 0; c < kColonne; ++c)
        m.bordi[c + 1] = m.bordi[c] + griglia_.ColWidth(c) * dpiX / kTwipsPerPollice;
    m.margine = kMargineCellaTwips * dpiX / kTwipsPerPollice;
    // The face depends only on the grid and the device: chosen once per run, as measuring
    // every type at each size costs as much as a page's text.
    if (!font_)
        font_ = FontStampa(griglia_.FontBold(), dispositivo,
                           m.bordi[kColonnaCausale + 1] - m.bordi[kColonnaCausale] - 2 * m.margine);
    p->save();
    p->setFont(*font_);
    const QFontMetricsF metriche(p->font(), dispositivo);
    if (!forme_) forme_ = FormeTesto::Per(p->font(), *dispositivo);
    m.altezzaRiga = std::max(kAltezzaRigaTwips * dpiY / kTwipsPerPollice, metriche.height() * 1.25);
    m.linea = std::max(1.0, kSpessoreLineaTwips * dpiY / kTwipsPerPollice);
    // The baseline of a line centred in its row, as a layout of the cell would place it.
    const double baseline =
        (m.altezzaRiga - (metriche.ascent() + metriche.descent())) / 2 + metriche.ascent();

    const QRectF rettangolo(QPointF(area.sinistra, area.alto), QPointF(area.destra, area.basso));
    p->setClipRect(rettangolo);

    // The glyphs of a band's cells, drawn together.
    Corsa corsa;
    // A text too wide for its cell: an amount is drawn whole in a narrower cut of the face, so
    // that it never reads as another amount; any other text is cut with a visible "…" at its
    // end. Only what shows goes into the document (copying from a PDF gives what the page
    // shows).
    const auto scriviCella = [&](double y, int c, std::string_view testo,
                                 grid::Allineamento allineamentoCella) {
        if (testo.empty()) return;
        const double sinistra = m.bordi[c] + m.margine;
        const double larghezza = m.bordi[c + 1] - m.bordi[c] - 2 * m.margine;
        const Qt::Alignment allineamento = grid::AllineamentoQt(allineamentoCella, testo);
        QString t = ui::InQString(testo);
        const Forma* forma = forme_->Di(t);
        double necessaria = forma ? forma->larghezza : metriche.horizontalAdvance(t);
        double scala = 1;
        if (necessaria > larghezza) {
            if (grid::SembraNumero(testo)) {
                scala = larghezza / necessaria;
            } else {
                t = metriche.elidedText(t, Qt::ElideRight, larghezza);
                forma = forme_->Di(t);
                necessaria = forma ? forma->larghezza : metriche.horizontalAdvance(t);
            }
        }
        const double occupata = std::min(necessaria * scala, larghezza);
        double x = sinistra;
        if (allineamento & Qt::AlignRight)
            x += larghezza - occupata;
        else if (allineamento & Qt::AlignHCenter)
            x += (larghezza - occupata) / 2;
        const QPointF origine(x, y + baseline);
        if (scala == 1 && forma) {
            corsa.Aggiungi(*forma, origine);
            return;
        }
        if (scala == 1) {
            p->drawText(origine, t);
            return;
        }
        // Drawn wide and squeezed into the cell.
        p->save();
        p->translate(origine);
        p->scale(scala, 1);
        p->drawText(QPointF(0, 0), t);
        p->restore();
    };

    double y = rettangolo.top();
    const double destra = m.bordi[kColonne];
    p->fillRect(QRectF(m.bordi[0], y, destra - m.bordi[0], m.altezzaRiga), Qt::black);
    p->setPen(QPen(Qt::white, m.linea));
    for (int c = 1; c < kColonne; ++c)
        p->drawLine(QPointF(m.bordi[c], y), QPointF(m.bordi[c], y + m.altezzaRiga));
    for (int c = 0; c < kColonne; ++c)
        scriviCella(y, c, griglia_.intestazione()[static_cast<std::size_t>(c)],
                    griglia_.FixedAlignment(c));
    corsa.Disegna(*p, forme_->Grezzo());
    y += m.altezzaRiga;

    const double inizioCorpo = y;
    const auto& righe = griglia_.righe();
    const int totale = static_cast<int>(righe.size());
    int disegnate = 0;
    p->setPen(Qt::black);
    while (prossima_ <= totale && (disegnate == 0 || y + m.altezzaRiga <= rettangolo.bottom())) {
        for (int c = 0; c < kColonne; ++c)
            scriviCella(
                y, c,
                righe.cella(static_cast<std::size_t>(prossima_ - 1), static_cast<std::size_t>(c)),
                griglia_.ColAlignment(c));
        y += m.altezzaRiga;
        ++prossima_;
        ++disegnate;
    }
    corsa.Disegna(*p, forme_->Grezzo());

    if (griglia_.GridLines() != 0 && disegnate > 0) {
        p->setPen(QPen(Qt::black, m.linea));
        for (double riga = inizioCorpo + m.altezzaRiga; riga <= y + 0.5; riga += m.altezzaRiga)
            p->drawLine(QPointF(m.bordi[0], riga), QPointF(destra, riga));
        for (const double x : m.bordi) p->drawLine(QPointF(x, inizioCorpo), QPointF(x, y));
    }
    p->restore();

    return prossima_ <= totale;
}

}  // namespace printing
