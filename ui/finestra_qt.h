#pragma once

#include <QColor>
#include <QFont>
#include <QLineEdit>
#include <QStringList>
#include <QWidget>
#include <string>

#include "ui/finestra.h"

namespace ui {

// Twips to pixels at the screen's logical resolution (15 twips to a pixel at 96 dpi).
[[nodiscard]] int TwipsInPixelX(double twips, const QWidget* w);
[[nodiscard]] int TwipsInPixelY(double twips, const QWidget* w);
[[nodiscard]] double PixelInTwipsX(int pixel, const QWidget* w);
[[nodiscard]] double PixelInTwipsY(int pixel, const QWidget* w);

// Places a control by its design rectangle in twips and remembers the twips, so that a
// position read back and changed by whole twips (the widening of the main window) comes
// back exactly, with no pixel rounding creeping in.
void Posiziona(QWidget* w, double left, double top, double width, double height);
// Sets a window's fixed client area in twips.
void DimensionaFinestra(QWidget* finestra, double width, double height);

// A sans-serif standing in for the designed face, at the designed point size.
[[nodiscard]] QFont FontSans(double punti, bool grassetto);

// The stand-in face is wider than the designed one: a label or a button that must show
// its texts (its own text when none are given) in its designed width, with a little space
// to spare, takes the narrow cut of the face, and a smaller size only when even that does
// not fit.
void AdattaCarattere(QWidget* etichetta, const QStringList& testi = {});
// AdattaCarattere for every label and button of a window that shows a text.
void AdattaTesti(QWidget* finestra);
// The width a label's or button's text has inside it, spare space left out.
[[nodiscard]] int SpazioPerIlTesto(const QWidget* controllo);
// The text of a label or a button as it shows, without the "&" of its access key.
[[nodiscard]] QString TestoMostrato(const QWidget* controllo);

// A read-only box whose whole text must show: its face (starting from `base`) gets
// narrower and smaller until the text fits.
void AdattaTestoCasella(QLineEdit* casella, const QFont& base);

// A password box that shows "*" for each typed character.
void MascheraPassword(QLineEdit* casella);

// Places a window in the centre of its screen before it is shown.
void CentraSulloSchermo(QWidget* finestra);

// Gives a window the keyboard back after a modal one closed over it: some window managers
// activate no window at all when a dialog that raised a message goes away.
void RiattivaFinestra(QWidget* finestra);

// Contrast ratio of two colours as the accessibility guidelines reckon it (1 to 21).
[[nodiscard]] double Contrasto(const QColor& a, const QColor& b);
// The least a coloured text needs against its background to be read.
inline constexpr double kContrastoMinimo = 4.5;
// `voluto` where it reads on `sfondo`; otherwise the same hue drawn toward the theme's own
// text colour `testo` until it does (a grey or black turns into `testo` itself).
[[nodiscard]] QColor ColoreLeggibile(const QColor& voluto, const QColor& sfondo,
                                     const QColor& testo);
// Colours a label's or a box's text with `voluto`, made readable on the background it
// lands on under the current theme; the colour asked for is remembered.
void ColoraTesto(QWidget* w, const QColor& voluto);
// The colour last asked of ColoraTesto, or the text colour of the palette.
[[nodiscard]] QColor ColoreVoluto(const QWidget* w);
// ColoraTesto again for every control of a window it coloured, once the desktop theme
// has changed under the running program.
void RicoloraTesti(QWidget* finestra);

// ui::Finestra over a real Qt window: controls are found by their objectName and the
// window itself answers to its own name.
class FinestraQt : public Finestra {
  public:
    FinestraQt(QWidget* radice, std::string nomeFinestra);

    std::string Testo(std::string_view controllo) const override;
    void ImpostaTesto(std::string_view controllo, std::string_view testo) override;
    Colore ColoreTesto(std::string_view controllo) const override;
    void ImpostaColoreTesto(std::string_view controllo, Colore colore) override;
    bool Abilitato(std::string_view controllo) const override;
    void ImpostaAbilitato(std::string_view controllo, bool abilitato) override;
    bool Visibile(std::string_view controllo) const override;
    void ImpostaVisibile(std::string_view controllo, bool visibile) override;
    bool Selezionato(std::string_view controllo) const override;
    void ImpostaSelezionato(std::string_view controllo, bool selezionato) override;
    void ImpostaSuggerimento(std::string_view controllo, std::string_view testo) override;
    void Focus(std::string_view controllo) override;
    Rettangolo Posizione(std::string_view controllo) const override;
    void ImpostaPosizione(std::string_view controllo, const Rettangolo& r) override;
    void Chiudi() override;

    [[nodiscard]] QWidget* controllo(std::string_view nome) const;

  private:
    QWidget* radice_;
    std::string nome_;
};

}  // namespace ui
