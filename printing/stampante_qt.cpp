#include "printing/stampante_qt.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include "printing/render_griglia_qt.h"
#include "ui/testo_qt.h"

namespace printing {

namespace fs = std::filesystem;

namespace {

constexpr double kMmPerPollice = 25.4;
constexpr int kRisoluzione = 1200;

std::string Percorso(const fs::path& p) {
    return p.string();
}

ErroreStampa ErroreFile(const fs::path& percorso, const std::string& motivo) {
    return ErroreStampa{kErroreStampante,
                        "Impossibile scrivere il file " + Percorso(percorso) + ": " + motivo};
}

ErroreStampa ErroreFile(const fs::path& percorso, int codiceErrno) {
    return ErroreFile(percorso, std::strerror(codiceErrno));
}

// A new file that cannot follow or reuse a link, readable only by the user.
int CreaTemporaneo(const fs::path& cartella, const std::string& base, fs::path& percorso) {
    std::random_device casuale;
    for (int tentativo = 0; tentativo < 100; ++tentativo) {
        percorso = cartella / ("." + base + "-" + std::to_string(casuale() % 1000000) + ".tmp");
        const int fd =
            ::open(percorso.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

void SincronizzaCartella(const fs::path& cartella) {
    const int fd = ::open(cartella.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

fs::path Cartella(const fs::path& file) {
    return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

// "stampa-registro-YYYYMMDD-HHMMSS.pdf", then "-2", "-3"... while the name is taken.
fs::path NomeLibero(const fs::path& cartella, const std::string& base, int n) {
    return cartella / (base + (n > 1 ? "-" + std::to_string(n) : "") + ".pdf");
}

}  // namespace

std::unique_ptr<StampanteQt> StampanteQt::Coda(CodaStampa& coda, std::string stampante) {
    std::unique_ptr<StampanteQt> s(new StampanteQt);
    s->coda_ = &coda;
    s->stampante_ = std::move(stampante);
    return s;
}

std::unique_ptr<StampanteQt> StampanteQt::PdfInCartella(
    const fs::path& cartella, std::function<void(const QString&)> pdfSalvato) {
    std::unique_ptr<StampanteQt> s(new StampanteQt);
    s->destinazione_ =
        cartella /
        ("stampa-registro-" +
         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")).toStdString());
    s->nomeNuovo_ = true;
    s->pdfSalvato_ = std::move(pdfSalvato);
    return s;
}

std::unique_ptr<StampanteQt> StampanteQt::Pdf(const QString& percorso) {
    std::unique_ptr<StampanteQt> s(new StampanteQt);
    s->destinazione_ = percorso.toStdString();
    return s;
}

std::unique_ptr<StampanteQt> StampanteQt::Guasta(int codice) {
    std::unique_ptr<StampanteQt> s(new StampanteQt);
    s->codiceGuasto_ = codice;
    return s;
}

StampanteQt::~StampanteQt() {
    Abbandona();
}

void StampanteQt::Abbandona() {
    if (painter_.isActive()) painter_.end();
    pdf_.reset();
    file_.close();
    EliminaTemporaneo();
}

void StampanteQt::Annulla() {
    finito_ = true;
    Abbandona();
}

void StampanteQt::EliminaTemporaneo() {
    if (!temporaneo_.empty()) ::unlink(temporaneo_.c_str());
    temporaneo_.clear();
}

QPainter& StampanteQt::Documento() {
    if (codiceGuasto_ != 0 || finito_)
        throw ErroreStampa{codiceGuasto_ ? codiceGuasto_ : kErroreStampante};
    if (!painter_.isActive()) {
        const bool inCoda = coda_ != nullptr;
        const fs::path cartella = inCoda ? fs::temp_directory_path() : Cartella(destinazione_);
        const std::string base =
            inCoda ? std::string("quibora-stampa") : destinazione_.filename().string();
        const int fd = CreaTemporaneo(cartella, base, temporaneo_);
        if (fd < 0) {
            const int e = errno;
            temporaneo_.clear();
            throw ErroreFile(inCoda ? cartella : destinazione_, e);
        }
        if (!file_.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            throw ErroreFile(temporaneo_, EIO);
        }
        pdf_ = std::make_unique<QPdfWriter>(&file_);
        pdf_->setResolution(kRisoluzione);
        pdf_->setTitle(QStringLiteral("Quibora Lite Edition"));
        pdf_->setCreator(QStringLiteral("Quibora Lite Edition"));
        // A4 with the unprintable border of a common office printer, so positions measured
        // from the printable area come out on paper as they would on the real thing.
        pdf_->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                        QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter));
        if (!painter_.begin(pdf_.get())) throw ErroreStampa{kErroreStampante};
    }
    return painter_;
}

// The painter of a printer works in device pixels from the printable area's corner.
void StampanteQt::ImpostaPixel() {
    Documento();
}

std::unique_ptr<RenderGriglia> StampanteQt::Render(const grid::Griglia& griglia) {
    return std::make_unique<RenderGrigliaQt>(griglia, Documento());
}

double StampanteQt::LarghezzaStampabile() {
    Documento();
    return pdf_->width();
}

double StampanteQt::AltezzaStampabile() {
    Documento();
    return pdf_->height();
}

double StampanteQt::MmInOrizzontale(double mm) {
    Documento();
    return mm * pdf_->logicalDpiX() / kMmPerPollice;
}

double StampanteQt::MmInVerticale(double mm) {
    Documento();
    return mm * pdf_->logicalDpiY() / kMmPerPollice;
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
    if (!righe_) righe_ = FormeTesto::Per(p.font(), *pdf_);
    const QFontMetricsF& metriche = righe_->Metriche();
    if (!testo.empty()) {
        const QString t = ui::InQString(testo);
        const QPointF origine(x_, y_ + metriche.ascent());
        if (const Forma* forma = righe_->Di(t)) {
            Corsa corsa;
            corsa.Aggiungi(*forma, origine);
            corsa.Disegna(p, righe_->Grezzo());
        } else {
            p.drawText(origine, t);
        }
    }
    x_ = 0;
    y_ += metriche.height();
}

void StampanteQt::NuovaPagina() {
    Documento();
    if (!pdf_->newPage()) throw ErroreStampa{kErroreStampante};
    x_ = 0;
    y_ = 0;
}

void StampanteQt::ChiudiFile() {
    const fs::path nome = coda_ ? temporaneo_ : destinazione_;
    const qint64 scritti = file_.pos();
    if (!file_.flush() || file_.error() != QFileDevice::NoError) {
        const std::string motivo = file_.errorString().toStdString();
        file_.close();
        throw ErroreFile(nome, motivo);
    }
    // The file on the disk must hold every byte the document produced.
    struct stat info {};
    const int fd = file_.handle();
    const bool intero =
        ::fstat(fd, &info) == 0 && info.st_size == scritti && scritti > 0 && ::fsync(fd) == 0;
    const int e = errno;
    file_.close();
    if (!intero) throw ErroreFile(nome, e ? e : EIO);
}

std::string StampanteQt::Consegna() {
    if (coda_) {
        const EsitoInvio esito =
            coda_->Invia(stampante_, temporaneo_, "Quibora Lite Edition - registro");
        EliminaTemporaneo();
        if (!esito.errore.empty())
            throw ErroreStampa{
                kErroreStampante,
                "La stampante \"" + stampante_ + "\" non ha accettato la stampa: " + esito.errore};
        if (!esito.codaFerma) return {};
        return "La stampa è in attesa nella coda \"" + stampante_ +
               "\", che è ferma: uscirà quando la coda sarà riavviata.";
    }
    fs::path finale = destinazione_;
    if (!nomeNuovo_) {
        if (::rename(temporaneo_.c_str(), finale.c_str()) != 0) throw ErroreFile(finale, errno);
    } else {
        // A new name never replaces a file already there.
        const fs::path cartella = Cartella(destinazione_);
        const std::string base = destinazione_.filename().string();
        for (int n = 1;; ++n) {
            finale = NomeLibero(cartella, base, n);
            if (::renameat2(AT_FDCWD, temporaneo_.c_str(), AT_FDCWD, finale.c_str(),
                            RENAME_NOREPLACE) == 0)
                break;
            if (errno != EEXIST || n >= 1000) throw ErroreFile(finale, errno);
        }
    }
    temporaneo_.clear();
    SincronizzaCartella(Cartella(finale));
    if (pdfSalvato_) pdfSalvato_(QString::fromStdString(finale.string()));
    return {};
}

std::string StampanteQt::FineDocumento() {
    Documento();
    finito_ = true;
    try {
        if (!painter_.end()) throw ErroreStampa{kErroreStampante};
        pdf_.reset();
        ChiudiFile();
        return Consegna();
    } catch (...) {
        // The user is told at once, and no broken file is left behind meanwhile.
        EliminaTemporaneo();
        throw;
    }
}

}  // namespace printing
