#include "main_window/logo_qt.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>

namespace main_window {

QPixmap LogoQuibora(QSize dimensione) {
    QPixmap logo(dimensione);
    logo.fill(Qt::transparent);
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);

    const double w = dimensione.width();
    const double h = dimensione.height();

    // The open ledger: two pages on a dark blue cover.
    const QRectF copertina(w * 0.04, h * 0.16, w * 0.78, h * 0.70);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 128));
    p.drawRoundedRect(copertina, w * 0.04, w * 0.04);
    const QRectF sinistra(copertina.left() + w * 0.03, copertina.top() + h * 0.04,
                          copertina.width() / 2 - w * 0.035, copertina.height() - h * 0.08);
    const QRectF destra = sinistra.translated(sinistra.width() + w * 0.01, 0);
    for (const QRectF& pagina : {sinistra, destra}) {
        QLinearGradient carta(pagina.topLeft(), pagina.bottomRight());
        carta.setColorAt(0, QColor(255, 253, 240));
        carta.setColorAt(1, QColor(232, 226, 205));
        p.setBrush(carta);
        p.drawRect(pagina);
        p.setPen(QPen(QColor(150, 170, 210), std::max(1.0, h / 90)));
        for (int riga = 1; riga <= 5; ++riga) {
            const double y = pagina.top() + pagina.height() * riga / 6.5;
            p.drawLine(QPointF(pagina.left() + w * 0.03, y), QPointF(pagina.right() - w * 0.03, y));
        }
        p.setPen(Qt::NoPen);
    }
    // A red margin rule on each page, as on a bank register.
    p.setPen(QPen(QColor(192, 0, 0), std::max(1.0, h / 100)));
    p.drawLine(QPointF(sinistra.left() + w * 0.07, sinistra.top()),
               QPointF(sinistra.left() + w * 0.07, sinistra.bottom()));
    p.drawLine(QPointF(destra.left() + w * 0.07, destra.top()),
               QPointF(destra.left() + w * 0.07, destra.bottom()));

    // The coin over the lower right corner.
    const double diametro = std::min(w, h) * 0.52;
    const QRectF moneta(w - diametro - w * 0.02, h - diametro - h * 0.02, diametro, diametro);
    QRadialGradient oro(moneta.center() - QPointF(diametro * 0.15, diametro * 0.15),
                        diametro * 0.7);
    oro.setColorAt(0, QColor(255, 236, 140));
    oro.setColorAt(0.7, QColor(222, 170, 30));
    oro.setColorAt(1, QColor(160, 110, 10));
    p.setPen(QPen(QColor(120, 80, 0), std::max(1.0, diametro / 30)));
    p.setBrush(oro);
    p.drawEllipse(moneta);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 240, 170), std::max(1.0, diametro / 40)));
    p.drawEllipse(
        moneta.adjusted(diametro * 0.1, diametro * 0.1, -diametro * 0.1, -diametro * 0.1));

    QFont f(QStringLiteral("DejaVu Serif"));
    f.setStyleHint(QFont::Serif);
    f.setBold(true);
    f.setPixelSize(std::max(6, static_cast<int>(diametro * 0.55)));
    p.setFont(f);
    p.setPen(QColor(0, 0, 128));
    p.drawText(moneta, Qt::AlignCenter, QStringLiteral("Q"));
    return logo;
}

}  // namespace main_window
