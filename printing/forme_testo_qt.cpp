#include "printing/forme_testo_qt.h"

#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>

namespace printing {

namespace {

// Pieces kept at most: the pairs that bind in a face are few, texts beyond Latin-1 may not be.
constexpr qsizetype kPezziMassimi = 20000;

// The same face at the same size, though perhaps through another engine once the font cache
// has been renewed.
bool StessaFaccia(const QRawFont& a, const QRawFont& b) {
    return a == b ||
           (a.familyName() == b.familyName() && a.styleName() == b.styleName() &&
            a.pixelSize() == b.pixelSize() && a.weight() == b.weight() && a.style() == b.style());
}

bool Latino(char16_t c) {
    return (c >= u' ' && c < 0x7f) || (c >= 0xa0 && c <= 0xff);
}

}  // namespace

FormeTesto::FormeTesto(const QFont& font)
    : font_(font), metriche_(font), grezzo_(QRawFont::fromFont(font)), coppie_(256 * 256, 0) {}

std::shared_ptr<FormeTesto> FormeTesto::Per(const QFont& font, const QPaintDevice& dispositivo) {
    // Never destroyed: fonts must not outlive the application object.
    static auto& tenute = *new QHash<QString, std::shared_ptr<FormeTesto>>;
    const QString chiave =
        font.key() +
        QStringLiteral("@%1x%2").arg(dispositivo.logicalDpiX()).arg(dispositivo.logicalDpiY());
    if (const auto trovate = tenute.constFind(chiave); trovate != tenute.constEnd())
        return *trovate;
    if (tenute.size() >= 8) tenute.clear();
    auto forme = std::make_shared<FormeTesto>(QFont(font, &dispositivo));
    tenute.insert(chiave, forme);
    return forme;
}

std::optional<Forma> FormeTesto::Sagoma(const QString& testo) const {
    QTextLayout layout(testo, font_);
    // Set from the left, in a left-to-right paragraph, as the painter draws a text at a point.
    QTextOption opzioni(Qt::AlignLeft | Qt::AlignAbsolute);
    opzioni.setWrapMode(QTextOption::NoWrap);
    opzioni.setTextDirection(Qt::LeftToRight);
    layout.setTextOption(opzioni);
    layout.beginLayout();
    QTextLine riga = layout.createLine();
    if (riga.isValid()) riga.setLineWidth(1e6);
    layout.endLayout();
    if (!riga.isValid() || riga.textLength() != testo.size()) return std::nullopt;
    const QList<QGlyphRun> corse = layout.glyphRuns();
    if (corse.size() != 1 || !StessaFaccia(corse[0].rawFont(), grezzo_)) return std::nullopt;
    Forma f;
    f.glifi = corse[0].glyphIndexes();
    const QPointF base = riga.position() + QPointF(0, riga.ascent());
    for (const QPointF& p : corse[0].positions()) f.posizioni.push_back(p - base);
    f.larghezza = metriche_.horizontalAdvance(testo);
    return f;
}

const Forma* FormeTesto::Carattere(char16_t c) {
    if (c >= caratteri_.size()) return nullptr;
    if (statoCaratteri_[c] == 0) {
        auto f = Sagoma(QString(QChar(c)));
        statoCaratteri_[c] = f ? 1 : -1;
        if (f) caratteri_[c] = std::move(*f);
    }
    return statoCaratteri_[c] > 0 ? &caratteri_[c] : nullptr;
}

const Forma* FormeTesto::Pezzo(const QString& testo) {
    auto trovato = pezzi_.constFind(testo);
    if (trovato == pezzi_.constEnd()) {
        if (pezzi_.size() >= kPezziMassimi) pezzi_.clear();
        trovato = pezzi_.insert(testo, Sagoma(testo));
    }
    return *trovato ? &**trovato : nullptr;
}

bool FormeTesto::Staccati(char16_t a, char16_t b) {
    std::int8_t& stato = coppie_[a * 256u + b];
    if (stato == 0) {
        const Forma* fa = Carattere(a);
        const Forma* fb = Carattere(b);
        bool staccati = false;
        if (fa && fb && fa->glifi.size() == 1 && fb->glifi.size() == 1) {
            const auto coppia = Sagoma(QString(QChar(a)) + QChar(b));
            staccati = coppia && coppia->glifi == QList{fa->glifi[0], fb->glifi[0]} &&
                       coppia->posizioni ==
                           QList{fa->posizioni[0], fb->posizioni[0] + QPointF(fa->larghezza, 0)} &&
                       coppia->larghezza == fa->larghezza + fb->larghezza;
        }
        stato = staccati ? 1 : -1;
    }
    return stato > 0;
}

const Forma* FormeTesto::Di(const QString& testo) {
    if (testo.isEmpty()) return nullptr;
    bool latino = true;
    for (const QChar c : testo) {
        if (Latino(c.unicode())) continue;
        // Left to the painter, whatever it makes of them.
        if (c.category() == QChar::Other_Control) return nullptr;
        latino = false;
    }
    if (!latino) return Pezzo(testo);
    testo_.glifi.clear();
    testo_.posizioni.clear();
    testo_.larghezza = 0;
    qsizetype inizio = 0;
    for (qsizetype i = 1; i <= testo.size(); ++i) {
        if (i < testo.size() && !Staccati(testo[i - 1].unicode(), testo[i].unicode())) continue;
        const Forma* pezzo = i - inizio == 1 ? Carattere(testo[inizio].unicode())
                                             : Pezzo(testo.mid(inizio, i - inizio));
        if (!pezzo) return nullptr;
        for (qsizetype g = 0; g < pezzo->glifi.size(); ++g) {
            testo_.glifi.push_back(pezzo->glifi[g]);
            testo_.posizioni.push_back(pezzo->posizioni[g] + QPointF(testo_.larghezza, 0));
        }
        testo_.larghezza += pezzo->larghezza;
        inizio = i;
    }
    return &testo_;
}

void Corsa::Aggiungi(const Forma& forma, QPointF origine) {
    glifi_.append(forma.glifi);
    // Each glyph goes to the nearest whole device pixel across the line, half a pixel at most
    // (0.01 mm at 1200 dpi) from where shaping puts it: the document writes a glyph's step in
    // three characters instead of ten, and the steps make most of a page's bytes to compress.
    for (const QPointF& p : forma.posizioni) {
        const QPointF punto = origine + p;
        posizioni_.push_back(QPointF(static_cast<double>(qRound64(punto.x())), punto.y()));
    }
}

void Corsa::Disegna(QPainter& p, const QRawFont& grezzo) {
    if (glifi_.isEmpty()) return;
    QGlyphRun corsa;
    corsa.setRawFont(grezzo);
    corsa.setGlyphIndexes(glifi_);
    corsa.setPositions(posizioni_);
    p.drawGlyphRun(QPointF(0, 0), corsa);
    glifi_.clear();
    posizioni_.clear();
}

}  // namespace printing
