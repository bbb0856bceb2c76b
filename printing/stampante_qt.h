#pragma once

#include <QFile>
#include <QPainter>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "printing/coda_stampa.h"
#include "printing/forme_testo_qt.h"
#include "printing/stampa.h"

class QPdfWriter;

namespace printing {

// The printer, one document per object. The document is drawn into a PDF under a
// temporary name, created anew (never through a link) and readable only by the user;
// at its end the file is checked to be written whole and then either submitted to a print
// queue, whose answer is checked, or renamed into its place. On any failure the temporary
// file is removed and ErroreStampa tells why. One destroyed before FineDocumento is
// abandoned, not sent, and leaves no file.
class StampanteQt : public Stampante {
  public:
    // The named queue of `coda`.
    static std::unique_ptr<StampanteQt> Coda(CodaStampa& coda, std::string stampante);
    // A PDF in cartella named "stampa-registro-YYYYMMDD-HHMMSS.pdf", whose path goes to
    // pdfSalvato once the file is safely in place.
    static std::unique_ptr<StampanteQt> PdfInCartella(
        const std::filesystem::path& cartella, std::function<void(const QString&)> pdfSalvato);
    // A PDF at the given path.
    static std::unique_ptr<StampanteQt> Pdf(const QString& percorso);
    // Every operation fails with the given code and nothing is written.
    static std::unique_ptr<StampanteQt> Guasta(int codice = kErroreStampante);

    ~StampanteQt() override;

    void ImpostaPixel() override;
    double LarghezzaStampabile() override;
    double AltezzaStampabile() override;
    double MmInOrizzontale(double mm) override;
    double MmInVerticale(double mm) override;
    void ImpostaX(double x) override;
    void ImpostaY(double y) override;
    void StampaRiga(std::string_view testo) override;
    std::unique_ptr<RenderGriglia> Render(const grid::Griglia& griglia) override;
    void NuovaPagina() override;
    std::string FineDocumento() override;
    void Annulla() override;

  private:
    StampanteQt() = default;
    // The painter of the open document; opens it on first use.
    QPainter& Documento();
    // Flushes the temporary file to the disk; throws when it was not written whole.
    void ChiudiFile();
    // The notice for the user, if any.
    std::string Consegna();
    void EliminaTemporaneo();
    // Closes the document and its file, unfinished.
    void Abbandona();

    std::unique_ptr<QPdfWriter> pdf_;
    QFile file_;
    std::filesystem::path temporaneo_;
    QPainter painter_;
    std::shared_ptr<FormeTesto> righe_;  // the shapes of the lines, in the printer's font
    int codiceGuasto_ = 0;
    bool finito_ = false;
    double x_ = 0, y_ = 0;

    // Where the document goes: a queue, or a file (a fixed path, or a new name in a folder).
    CodaStampa* coda_ = nullptr;
    std::string stampante_;
    std::filesystem::path destinazione_;
    bool nomeNuovo_ = false;
    std::function<void(const QString&)> pdfSalvato_;
};

}  // namespace printing
