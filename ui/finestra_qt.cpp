#include "ui/finestra_qt.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QRectF>
#include <QScreen>
#include <QStyleOptionButton>
#include <QTextEdit>
#include <QVariant>
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "ui/testo_qt.h"

namespace ui {
namespace {

constexpr const char* kProprietaTwips = "quiboraTwips";
constexpr const char* kProprietaColore = "quiboraColoreVoluto";

int dpiX(const QWidget* w) {
    return w ? w->logicalDpiX() : 96;
}
int dpiY(const QWidget* w) {
    return w ? w->logicalDpiY() : 96;
}

using ui::InQString;

QPalette::ColorRole ruoloTesto(const QWidget* w) {
    return (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QTextEdit*>(w) ||
            qobject_cast<const QPlainTextEdit*>(w))
               ? QPalette::Text
               : QPalette::WindowText;
}

// The rectangle in twips a widget was last placed at, when its pixels still match it.
std::optional<QRectF> twipsRicordati(const QWidget* w, const QRect& pixel, bool radice) {
    const QVariant v = w->property(kProprietaTwips);
    if (!v.isValid()) return std::nullopt;
    const QRectF t = v.toRectF();
    const bool stessaDimensione = TwipsInPixelX(t.width(), w) == pixel.width() &&
                                  TwipsInPixelY(t.height(), w) == pixel.height();
    const bool stessaPosizione = radice || (TwipsInPixelX(t.left(), w) == pixel.left() &&
                                            TwipsInPixelY(t.top(), w) == pixel.top());
    if (stessaDimensione && stessaPosizione) return t;
    return std::nullopt;
}

}  // namespace

int TwipsInPixelX(double twips, const QWidget* w) {
    return static_cast<int>(std::lround(twips * dpiX(w) / 1440.0));
}
int TwipsInPixelY(double twips, const QWidget* w) {
    return static_cast<int>(std::lround(twips * dpiY(w) / 1440.0));
}
double PixelInTwipsX(int pixel, const QWidget* w) {
    return pixel * 1440.0 / dpiX(w);
}
double PixelInTwipsY(int pixel, const QWidget* w) {
    return pixel * 1440.0 / dpiY(w);
}

void Posiziona(QWidget* w, double left, double top, double width, double height) {
    w->setGeometry(TwipsInPixelX(left, w), TwipsInPixelY(top, w), TwipsInPixelX(width, w),
                   TwipsInPixelY(height, w));
    w->setProperty(kProprietaTwips, QRectF(left, top, width, height));
}

void DimensionaFinestra(QWidget* finestra, double width, double height) {
    finestra->setFixedSize(TwipsInPixelX(width, finestra), TwipsInPixelY(height, finestra));
    finestra->setProperty(kProprietaTwips, QRectF(0, 0, width, height));
}

// The designed face is a narrow one; the condensed cut keeps the designed texts inside
// their designed boxes.
QFont FontSans(double punti, bool grassetto) {
    QFont f;
    f.setFamilies({QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")});
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(punti);
    f.setBold(grassetto);
    return f;
}

namespace {

// Pixels left free beside a text, so that it never touches its neighbour.
int Respiro(const QWidget* w) {
    return std::max(2, TwipsInPixelX(45, w));
}

QString SenzaAcceleratore(QString testo) {
    testo.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    testo.remove(QChar('&'));
    testo.replace(QChar(1), QChar('&'));
    return testo;
}

}  // namespace

QString TestoMostrato(const QWidget* w) {
    if (auto* l = qobject_cast<const QLabel*>(w)) return l->text();
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) return SenzaAcceleratore(b->text());
    return {};
}

int SpazioPerIlTesto(const QWidget* w) {
    int spazio = w->width();
    if (auto* l = qobject_cast<const QLabel*>(w)) {
        spazio = l->contentsRect().width() - 2 * l->margin() - std::max(0, l->indent());
    } else if (qobject_cast<const QRadioButton*>(w) || qobject_cast<const QCheckBox*>(w)) {
        QStyleOptionButton opzioni;
        opzioni.initFrom(w);
        opzioni.text = TestoMostrato(w);
        const bool radio = qobject_cast<const QRadioButton*>(w) != nullptr;
        spazio = w->style()
                     ->subElementRect(
                         radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents,
                         &opzioni, w)
                     .width();
    } else if (qobject_cast<const QPushButton*>(w)) {
        QStyleOptionButton opzioni;
        opzioni.initFrom(w);
        spazio = w->style()->subElementRect(QStyle::SE_PushButtonContents, &opzioni, w).width();
    }
    return spazio - Respiro(w);
}

void AdattaCarattere(QWidget* etichetta, const QStringList& testi) {
    QStringList daMisurare;
    for (const QString& t : testi) daMisurare << SenzaAcceleratore(t);
    if (daMisurare.isEmpty()) daMisurare << TestoMostrato(etichetta);
    const int spazio = SpazioPerIlTesto(etichetta);
    QFont f = etichetta->font();
    // A caption on several lines needs the width of its longest line.
    auto larghezzaMassima = [&] {
        const QFontMetrics m(f, etichetta);
        int massima = 0;
        for (const QString& t : daMisurare)
            for (const QString& riga : t.split(QChar('\n')))
                massima = std::max(massima, m.horizontalAdvance(riga));
        return massima;
    };
    if (larghezzaMassima() <= spazio) return;
    f.setStretch(QFont::SemiCondensed);
    while (larghezzaMassima() > spazio && f.pointSizeF() > 6)
        f.setPointSizeF(f.pointSizeF() - 0.25);
    etichetta->setFont(f);
}

void AdattaTesti(QWidget* finestra) {
    for (QWidget* w : finestra->findChildren<QWidget*>()) {
        if ((qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w)) &&
            !TestoMostrato(w).isEmpty())
            AdattaCarattere(w);
    }
}

void AdattaTestoCasella(QLineEdit* casella, const QFont& base) {
    const int cornice =
        casella->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, casella);
    const QMargins margini = casella->textMargins();
    // The box keeps two pixels of its own on each side of the text.
    const int spazio =
        casella->width() - 2 * cornice - 4 - margini.left() - margini.right() - Respiro(casella);
    QFont f = base;
    const QString testo = casella->text();
    if (QFontMetrics(f, casella).horizontalAdvance(testo) > spazio) {
        f.setStretch(QFont::Condensed);
        while (QFontMetrics(f, casella).horizontalAdvance(testo) > spazio && f.pointSizeF() > 4)
            f.setPointSizeF(f.pointSizeF() - 0.25);
    }
    if (casella->font() != f) casella->setFont(f);
}

namespace {

class StileAsterisco : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* opzione, const QWidget* w,
                  QStyleHintReturn* ritorno) const override {
        if (hint == SH_LineEdit_PasswordCharacter) return '*';
        return QProxyStyle::styleHint(hint, opzione, w, ritorno);
    }
};

}  // namespace

void MascheraPassword(QLineEdit* casella) {
    // One style for every password box of the run; a widget does not own its style.
    static QStyle* const stile = new StileAsterisco;
    casella->setStyle(stile);
    casella->setEchoMode(QLineEdit::Password);
}

void CentraSulloSchermo(QWidget* finestra) {
    const QScreen* schermo =
        finestra->screen() ? finestra->screen() : QGuiApplication::primaryScreen();
    if (schermo) finestra->move(schermo->availableGeometry().center() - finestra->rect().center());
}

void RiattivaFinestra(QWidget* finestra) {
    if (!finestra || !finestra->isVisible()) return;
    finestra->raise();
    finestra->activateWindow();
    QWidget* f = finestra->focusWidget();
    if (!f || !f->isVisible() || !f->isEnabled()) f = finestra->nextInFocusChain();
    if (f) f->setFocus(Qt::ActiveWindowFocusReason);
}

namespace {

double Luminanza(const QColor& c) {
    auto lineare = [](double v) {
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = c.toRgb();
    return 0.2126 * lineare(rgb.redF()) + 0.7152 * lineare(rgb.greenF()) +
           0.0722 * lineare(rgb.blueF());
}

QColor Miscela(const QColor& a, const QColor& b, double quota) {
    auto canale = [quota](float x, float y) { return x + (y - x) * quota; };
    const QColor ra = a.toRgb(), rb = b.toRgb();
    return QColor::fromRgbF(canale(ra.redF(), rb.redF()), canale(ra.greenF(), rb.greenF()),
                            canale(ra.blueF(), rb.blueF()));
}

// The colour the text of a widget is painted on: a box's base, a label's window (which a
// label without a background of its own takes from the widget under it).
QColor SfondoDelTesto(const QWidget* w) {
    if (ruoloTesto(w) == QPalette::Text) return w->palette().color(QPalette::Base);
    const QWidget* sotto = w;
    while (sotto->parentWidget() && !sotto->autoFillBackground() && !sotto->isWindow())
        sotto = sotto->parentWidget();
    return sotto->palette().color(sotto->backgroundRole());
}

}  // namespace

double Contrasto(const QColor& a, const QColor& b) {
    const double la = Luminanza(a), lb = Luminanza(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ColoreLeggibile(const QColor& voluto, const QColor& sfondo, const QColor& testo) {
    if (Contrasto(voluto, sfondo) >= kContrastoMinimo) return voluto;
    if (voluto.toHsv().hsvSaturation() == 0) return testo;
    for (int passo = 1; passo < 10; ++passo) {
        const QColor c = Miscela(voluto, testo, passo / 10.0);
        if (Contrasto(c, sfondo) >= kContrastoMinimo) return c;
    }
    return testo;
}

void ColoraTesto(QWidget* w, const QColor& voluto) {
    w->setProperty(kProprietaColore, voluto);
    const QPalette::ColorRole ruolo = ruoloTesto(w);
    // The theme's own colours, not the ones a previous call put in.
    const QColor testo = w->parentWidget() ? w->parentWidget()->palette().color(ruolo)
                                           : QGuiApplication::palette().color(ruolo);
    const QColor c = ColoreLeggibile(voluto, SfondoDelTesto(w), testo);
    QPalette p = w->palette();
    p.setColor(QPalette::Active, ruolo, c);
    p.setColor(QPalette::Inactive, ruolo, c);
    p.setColor(QPalette::Disabled, ruolo, c);
    w->setPalette(p);
}

QColor ColoreVoluto(const QWidget* w) {
    const QVariant v = w->property(kProprietaColore);
    return v.isValid() ? v.value<QColor>() : w->palette().color(ruoloTesto(w));
}

void RicoloraTesti(QWidget* finestra) {
    for (QWidget* w : finestra->findChildren<QWidget*>())
        if (w->property(kProprietaColore).isValid()) ColoraTesto(w, ColoreVoluto(w));
}

FinestraQt::FinestraQt(QWidget* radice, std::string nomeFinestra)
    : radice_(radice), nome_(std::move(nomeFinestra)) {}

QWidget* FinestraQt::controllo(std::string_view nome) const {
    if (nome == nome_) return radice_;
    auto* w = radice_->findChild<QWidget*>(InQString(nome));
    if (!w) throw std::logic_error("controllo inesistente: " + std::string(nome));
    return w;
}

std::string FinestraQt::Testo(std::string_view nome) const {
    QWidget* w = controllo(nome);
    if (w == radice_) return w->windowTitle().toStdString();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text().toStdString();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text().toStdString();
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text().toStdString();
    if (auto* t = qobject_cast<QTextEdit*>(w)) return t->toPlainText().toStdString();
    if (auto* p = qobject_cast<QPlainTextEdit*>(w)) return p->toPlainText().toStdString();
    return w->windowTitle().toStdString();
}

void FinestraQt::ImpostaTesto(std::string_view nome, std::string_view testo) {
    QWidget* w = controllo(nome);
    const QString t = InQString(testo);
    if (w == radice_)
        w->setWindowTitle(t);
    else if (auto* l = qobject_cast<QLabel*>(w))
        l->setText(t);
    else if (auto* b = qobject_cast<QAbstractButton*>(w))
        b->setText(t);
    else if (auto* e = qobject_cast<QLineEdit*>(w))
        e->setText(t);
    else if (auto* te = qobject_cast<QTextEdit*>(w))
        te->setPlainText(t);
    else if (auto* p = qobject_cast<QPlainTextEdit*>(w))
        p->setPlainText(t);
    else
        w->setWindowTitle(t);
}

// The colour the logic asked for; the screen shows it, or its readable neighbour under
// the user's theme.
Colore FinestraQt::ColoreTesto(std::string_view nome) const {
    const QColor c = ColoreVoluto(controllo(nome)).toRgb();
    return {static_cast<unsigned char>(c.red()), static_cast<unsigned char>(c.green()),
            static_cast<unsigned char>(c.blue())};
}

void FinestraQt::ImpostaColoreTesto(std::string_view nome, Colore colore) {
    ColoraTesto(controllo(nome), QColor(colore.r, colore.g, colore.b));
}

bool FinestraQt::Abilitato(std::string_view nome) const {
    return controllo(nome)->isEnabled();
}
void FinestraQt::ImpostaAbilitato(std::string_view nome, bool abilitato) {
    controllo(nome)->setEnabled(abilitato);
}

// A control counts as visible when it is not hidden itself, even while its window is
// still off the screen.
bool FinestraQt::Visibile(std::string_view nome) const {
    return !controllo(nome)->isHidden();
}
void FinestraQt::ImpostaVisibile(std::string_view nome, bool visibile) {
    controllo(nome)->setVisible(visibile);
}

bool FinestraQt::Selezionato(std::string_view nome) const {
    auto* b = qobject_cast<QAbstractButton*>(controllo(nome));
    return b && b->isChecked();
}
void FinestraQt::ImpostaSelezionato(std::string_view nome, bool selezionato) {
    if (auto* b = qobject_cast<QAbstractButton*>(controllo(nome))) b->setChecked(selezionato);
}

void FinestraQt::ImpostaSuggerimento(std::string_view nome, std::string_view testo) {
    controllo(nome)->setToolTip(InQString(testo));
}

void FinestraQt::Focus(std::string_view nome) {
    controllo(nome)->setFocus(Qt::OtherFocusReason);
}

Rettangolo FinestraQt::Posizione(std::string_view nome) const {
    QWidget* w = controllo(nome);
    const bool radice = w == radice_;
    const QRect pixel = radice ? QRect(w->pos(), w->size()) : w->geometry();
    if (auto t = twipsRicordati(w, pixel, radice)) {
        return {radice ? PixelInTwipsX(pixel.left(), w) : t->left(),
                radice ? PixelInTwipsY(pixel.top(), w) : t->top(), t->width(), t->height()};
    }
    return {PixelInTwipsX(pixel.left(), w), PixelInTwipsY(pixel.top(), w),
            PixelInTwipsX(pixel.width(), w), PixelInTwipsY(pixel.height(), w)};
}

void FinestraQt::ImpostaPosizione(std::string_view nome, const Rettangolo& r) {
    QWidget* w = controllo(nome);
    if (w == radice_) {
        // The window grows or shrinks on its right side; it is not moved.
        DimensionaFinestra(w, r.width, r.height);
        return;
    }
    Posiziona(w, r.left, r.top, r.width, r.height);
}

// A dialog is ended with done(), which leaves its exec() without running its close-box
// handler again (that handler is the Cancel of most dialogs).
void FinestraQt::Chiudi() {
    if (auto* d = qobject_cast<QDialog*>(radice_)) {
        d->done(QDialog::Accepted);
        return;
    }
    radice_->close();
}

}  // namespace ui
