#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QPaintDevice;
class QPainter;

namespace printing {

// A text's glyphs in one face, placed as shaping places them, from the start of its baseline.
struct Forma {
    QList<quint32> glifi;
    QList<QPointF> posizioni;
    double larghezza = 0;  // the advance of the whole text
};

// The shapes of texts in one face, found without shaping each text anew: a printout shapes
// thousands of texts made of a few hundred pairs of characters. Where two neighbouring
// characters come out of shaping as each would alone (no ligature, no kerning between them)
// a text can be cut and its pieces shaped apart. Each pair is tried once, each piece between
// cuts is shaped once and kept, and a text is put together from its pieces. A text with a
// character beyond Latin-1 is shaped whole, and kept.
class FormeTesto {
  public:
    // The font as set for the device it is drawn on.
    explicit FormeTesto(const QFont& font);
    // Those of the font on the device, kept for the session: one printout after another meets
    // the same pairs and pieces.
    static std::shared_ptr<FormeTesto> Per(const QFont& font, const QPaintDevice& dispositivo);

    // The text's shape, valid until the next call; null for an empty text or one that needs
    // glyphs of another face.
    const Forma* Di(const QString& testo);
    // The text's shape as a layout of the whole text gives it, with nothing kept.
    [[nodiscard]] std::optional<Forma> Sagoma(const QString& testo) const;
    [[nodiscard]] const QRawFont& Grezzo() const { return grezzo_; }
    [[nodiscard]] const QFontMetricsF& Metriche() const { return metriche_; }

  private:
    const Forma* Carattere(char16_t c);
    const Forma* Pezzo(const QString& testo);
    bool Staccati(char16_t a, char16_t b);

    QFont font_;
    QFontMetricsF metriche_;
    QRawFont grezzo_;
    std::array<Forma, 256> caratteri_;
    std::array<std::int8_t, 256> statoCaratteri_{};  // 0 not tried, 1 shaped, -1 not in face
    std::vector<std::int8_t> coppie_;                // 0 not tried, 1 apart, -1 bound
    QHash<QString, std::optional<Forma>> pezzi_;
    Forma testo_;
};

// Glyphs of one face gathered to be drawn together: each text drawn on its own would cost the
// document as much again in setting its colour and face. Glyphs stand on whole pixels across
// the line.
class Corsa {
  public:
    void Aggiungi(const Forma& forma, QPointF origine);
    // Draws what was gathered with the painter's pen, and starts anew.
    void Disegna(QPainter& p, const QRawFont& grezzo);

  private:
    QList<quint32> glifi_;
    QList<QPointF> posizioni_;
};

}  // namespace printing
