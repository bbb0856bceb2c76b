#pragma once

#include <QPainter>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>

#include "printing/stampa.h"

class QPrinter;

namespace printing {

// The printer over QPrinter and QPainter, one document per object. The document opens at
// the first operation; one destroyed before FineDocumento is abandoned, not sent.
class StampanteQt : public Stampante {
  public:
    // The system's default printer; with none installed, a PDF file in cartella named
    // "stampa-registro-YYYYMMDD-HHMMSS.pdf", whose path goes to pdfSalvato once the
    // document has ended.
    static std::unique_ptr<StampanteQt> Predefinita(const std::filesystem::path& cartella,
                                                    std::function<void(const QString&)> pdfSalvato);
    // A PDF at the given path.
    static std::unique_ptr<StampanteQt> Pdf(const QString& percorso);
    // Every operation fails with the given code and nothing is written.
    static std::unique_ptr<StampanteQt> Guasta(int codice = kErroreStampante);

    ~StampanteQt() override;

    void ImpostaPixel() override;
    std::int32_t hDC() override;
    double LarghezzaStampabile() override;
    double AltezzaStampabile() override;
    double MmInOrizzontale(double mm) override;
    double MmInVerticale(double mm) override;
    void ImpostaX(double x) override;
    void ImpostaY(double y) override;
    void StampaRiga(std::string_view testo) override;
    void NuovaPagina() override;
    void FineDocumento() override;

  private:
    StampanteQt() = default;
    // The painter of the open document; opens it on first use.
    QPainter& Documento();

    std::unique_ptr<QPrinter> stampante_;
    QPainter painter_;
    std::int32_t handle_ = 0;
    int codiceGuasto_ = 0;
    bool finito_ = false;
    double x_ = 0, y_ = 0;
    QString pdf_;  // set when the printout goes to a file the user must be told of
    std::function<void(const QString&)> pdfSalvato_;
};

}  // namespace printing
