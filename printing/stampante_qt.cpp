#include "printing/stampante_qt.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

#include "grid/render_griglia_qt.h"

namespace printing {

namespace {

constexpr double kMmPerPollice = 25.4;

std::unique_ptr<QPrinter> PrinterPdf(const QString& percorso) {
    auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
    p->setOutputFormat(QPrinter::PdfFormat);
    p->setOutputFileName(percorso);
    // A4 with the unprintable border of a common office printer, so positions measured
    // from the printable area come out on paper as they would on the real thing.
    p->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                 QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter));
    return p;
}

QString NuovoPdf(const std::filesystem::path& cartella) {
    const QString base = QString::fromStdString((cartella / "stampa-registro-").string()) +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString percorso = base + QStringLiteral(".pdf");
    for (int n = 2; QFileInfo::exists(percorso); ++n)
        percorso = base + QStringLiteral("-%1.pdf").arg(n);
    return percorso;
}

}  // namespace

std::unique_ptr<StampanteQt> StampanteQt::Predefinita(
    const std::filesystem::path& cartella, std::function<void(const QString&)> pdfSalvato) {
    std::unique_ptr<StampanteQt> s(new StampanteQt);
    const QPrinterInfo predefinita = QPrinterInfo::defaultPrinter();
    if (!predefinita.isNull()) {
        s->stampante_ = std::make_unique<QPrinter>(predefinita, QPrinter::HighResolution);
        s->stampante_->setDocName(QStringLiteral("Quibora Lite Edition"));
        return s;
    }
    s->pdf_ = NuovoPdf(cartella);
    s->stampante_ = PrinterPdf(s->pdf_);
    s->pdfSalvato_ = std::move(pdfSalvato);
    return s;
}

std::unique_ptr<StampanteQt> StampanteQt::Pdf(const QString& percorso) {
    std::unique_ptr<StampanteQt> s(new StampanteQt);
    s->stampante_ = PrinterPdf(percorso);
    return s;
}

std::unique_ptr<StampanteQt> StampanteQt::Guasta(int codice) {
    std::unique_ptr<StampanteQt> s(new StampanteQt);
    s->codiceGuasto_ = codice;
    return s;
}

StampanteQt::~StampanteQt() {
    if (handle_ != 0) grid::RilasciaDispositivo(handle_);
    if (painter_.isActive()) {
        stampante_->abort();
        if (painter_.isActive()) painter_.end();
    }
}

QPainter& StampanteQt::Documento() {
    if (codiceGuasto_ != 0 || finito_)
        throw ErroreStampa{codiceGuasto_ ? codiceGuasto_ : kErroreStampante};
    if (!painter_.isActive()) {
        if (!painter_.begin(stampante_.get())) throw ErroreStampa{kErroreStampante};
        handle_ = grid::RegistraDispositivo(&painter_);
    }
    return painter_;
}

// The painter of a printer works in device pixels from the printable area's corner.
void StampanteQt::ImpostaPixel() {
    Documento();
}

std::int32_t StampanteQt::hDC() {
    Documento();
    return handle_;
}

double StampanteQt::LarghezzaStampabile() {
    Documento();
    return stampante_->width();
}

double StampanteQt::AltezzaStampabile() {
    Documento();
    return stampante_->height();
}

double StampanteQt::MmInOrizzontale(double mm) {
    Documento();
    return mm * stampante_->logicalDpiX() / kMmPerPollice;
}

double StampanteQt::MmInVerticale(double mm) {
    Documento();
    return mm * stampante_->logicalDpiY() / kMmPerPollice;
}

void StampanteQt::ImpostaX(double x) {
    Documento();
    x_ = x;
}

void StampanteQt::ImpostaY(double y) {
    Documento();
    y_ = y;
}

void StampanteQt::StampaRiga(std::string_view testo) {
    QPainter& p = Documento();
    const QFontMetricsF metriche(p.font(), stampante_.get());
    if (!testo.empty())
        p.drawText(QPointF(x_, y_ + metriche.ascent()),
                   QString::fromUtf8(testo.data(), static_cast<qsizetype>(testo.size())));
    x_ = 0;
    y_ += metriche.height();
}

void StampanteQt::NuovaPagina() {
    Documento();
    if (!stampante_->newPage()) throw ErroreStampa{kErroreStampante};
    x_ = 0;
    y_ = 0;
}

void StampanteQt::FineDocumento() {
    Documento();
    grid::RilasciaDispositivo(handle_);
    handle_ = 0;
    finito_ = true;
    if (!painter_.end()) throw ErroreStampa{kErroreStampante};
    if (!pdf_.isEmpty() && pdfSalvato_) pdfSalvato_(pdf_);
}

}  // namespace printing
