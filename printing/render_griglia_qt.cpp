#include "printing/render_griglia_qt.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
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

// A text for a cell too narrow for it. An amount is drawn whole in a narrower cut of the
// face, so that it never reads as another amount; any other text is cut with a visible
// "…" at its end. Only what shows goes into the document (copying from a PDF gives what
// the page shows).
struct TestoCella {
    QString testo;
    double larghezza = 0;  // of the text in the unsqueezed face
    double scala = 1;      // horizontal squeeze of the face, 1 when the text fits as it is
    bool cifre = false;    // digits and their signs only, fitting as they are
};

// The sum of the advances of a plain ASCII text's characters, or -1 for any other text.
double SommaAnticipi(const QString& testo, const std::array<double, 128>& anticipi) {
    double somma = 0;
    for (const QChar ch : testo) {
        if (ch.unicode() < u' ' || ch.unicode() >= anticipi.size()) return -1;
        somma += anticipi[ch.unicode()];
    }
    return somma;
}

// Measuring a text shapes it once more than drawing it. That is spared where the sum of its
// characters' advances says enough: a text of digits and their signs (no ligatures or
// kerning among them) is exactly that wide; a text set from the left needs only to fit,
// which it surely does when the sum leaves room beyond what kerning could take back.
TestoCella Adatta(QString testo, bool numero, bool daSinistra,
                  const std::array<double, 128>& anticipi, const QFontMetricsF& metriche,
                  double larghezza) {
    constexpr double kMarginePerCrenatura = 0.9;
    const double somma = SommaAnticipi(testo, anticipi);
    const bool soloCifre = std::all_of(testo.begin(), testo.end(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || QStringView(u".,-+/ ").contains(c);
    });
    if (somma >= 0 && soloCifre && somma <= larghezza) return {std::move(testo), somma, 1, true};
    if (somma >= 0 && daSinistra && somma <= larghezza * kMarginePerCrenatura)
        return {std::move(testo), somma, 1};
    const double necessaria = metriche.horizontalAdvance(testo);
    if (necessaria <= larghezza) return {std::move(testo), necessaria, 1};
    if (numero) return {std::move(testo), necessaria, larghezza / necessaria};
    QString tagliato = metriche.elidedText(testo, Qt::ElideRight, larghezza);
    const double resta = metriche.horizontalAdvance(tagliato);
    return {std::move(tagliato), resta, 1};
}

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
    if (!grezzo_) {
        grezzo_ = QRawFont::fromFont(p->font());
        QString ascii;
        for (char16_t c = u' '; c < anticipi_.size(); ++c) {
            anticipi_[c] = metriche.horizontalAdvance(QChar(c));
            ascii += QChar(c);
        }
        const QList<quint32> glifi = grezzo_->glyphIndexesForString(ascii);
        for (qsizetype i = 0; i < glifi.size() && i < ascii.size(); ++i)
            glifi_[ascii[i].unicode()] = glifi[i];
    }
    m.altezzaRiga = std::max(kAltezzaRigaTwips * dpiY / kTwipsPerPollice, metriche.height() * 1.25);
    m.linea = std::max(1.0, kSpessoreLineaTwips * dpiY / kTwipsPerPollice);
    // The baseline of a line centred in its row, as a layout of the cell would place it.
    const double baseline =
        (m.altezzaRiga - (metriche.ascent() + metriche.descent())) / 2 + metriche.ascent();

    const QRectF rettangolo(QPointF(area.sinistra, area.alto), QPointF(area.destra, area.basso));
    p->setClipRect(rettangolo);

    // Each text is shaped once to be measured and drawn at a point: laying it out in a
    // rectangle would shape it twice more.
    const auto scriviCella = [&](double y, int c, std::string_view testo,
                                 grid::Allineamento allineamentoCella) {
        if (testo.empty()) return;
        const double sinistra = m.bordi[c] + m.margine;
        const double larghezza = m.bordi[c + 1] - m.bordi[c] - 2 * m.margine;
        const Qt::Alignment allineamento = grid::AllineamentoQt(allineamentoCella, testo);
        const TestoCella t = Adatta(ui::InQString(testo), grid::SembraNumero(testo),
                                    !(allineamento & (Qt::AlignRight | Qt::AlignHCenter)),
                                    anticipi_, metriche, larghezza);
        const double occupata = std::min(t.larghezza * t.scala, larghezza);
        double x = sinistra;
        if (allineamento & Qt::AlignRight)
            x += larghezza - occupata;
        else if (allineamento & Qt::AlignHCenter)
            x += (larghezza - occupata) / 2;
        if (t.cifre) {
            // Digits take no ligatures or kerning: their glyphs are placed one after the other
            // as shaping would, without shaping each amount and date again.
            QList<quint32> indici;
            QList<QPointF> posizioni;
            indici.reserve(t.testo.size());
            posizioni.reserve(t.testo.size());
            double avanza = 0;
            for (const QChar ch : t.testo) {
                indici.push_back(glifi_[ch.unicode()]);
                posizioni.push_back(QPointF(avanza, 0));
                avanza += anticipi_[ch.unicode()];
            }
            QGlyphRun glifi;
            glifi.setRawFont(*grezzo_);
            glifi.setGlyphIndexes(indici);
            glifi.setPositions(posizioni);
            p->drawGlyphRun(QPointF(x, y + baseline), glifi);
            return;
        }
        if (t.scala == 1) {
            p->drawText(QPointF(x, y + baseline), t.testo);
            return;
        }
        // Drawn wide and squeezed into the cell.
        p->save();
        p->translate(x, y + baseline);
        p->scale(t.scala, 1);
        p->drawText(QPointF(0, 0), t.testo);
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
