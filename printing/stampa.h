#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/conto.h"
#include "core/date.h"
#include "grid/griglia.h"
#include "ui/dialoghi.h"

namespace printing {

// Error numbers of a print run.
inline constexpr int kErroreStampante = 482;
inline constexpr int kErroreOverflow = 6;
inline constexpr int kErroreMemoria = 7;
inline constexpr int kErroreInterno = 51;

// Raised by a printer or renderer operation that fails; stops the print run. The detail,
// when given, tells the user what failed (a refused job, a file that could not be saved).
struct ErroreStampa {
    explicit ErroreStampa(int codiceErrore = kErroreStampante, std::string testo = {})
        : codice(codiceErrore), dettaglio(std::move(testo)) {}
    int codice;
    std::string dettaglio;
};

// A rectangle in printer device pixels.
struct Rettangolo {
    std::int32_t sinistra = 0;
    std::int32_t alto = 0;
    std::int32_t destra = 0;
    std::int32_t basso = 0;
    friend bool operator==(const Rettangolo&, const Rettangolo&) = default;
};

// Draws the pages of one grid, one print run long.
class RenderGriglia {
  public:
    virtual ~RenderGriglia() = default;
    // Draws the rows not yet drawn that fit in the rectangle, at least one; true while rows
    // remain for a further page. May raise ErroreStampa.
    virtual bool Pagina(const Rettangolo& area) = 0;
    // The data rows drawn so far.
    [[nodiscard]] virtual int RigheDisegnate() const = 0;
};

// The system printer, one document per object. Lengths are in the current unit (device
// pixels once ImpostaPixel has run), measured from the top-left corner of the printable
// area. Every operation may raise ErroreStampa.
class Stampante {
  public:
    virtual ~Stampante() = default;
    virtual void ImpostaPixel() = 0;
    [[nodiscard]] virtual double LarghezzaStampabile() = 0;
    [[nodiscard]] virtual double AltezzaStampabile() = 0;
    [[nodiscard]] virtual double MmInOrizzontale(double mm) = 0;
    [[nodiscard]] virtual double MmInVerticale(double mm) = 0;
    virtual void ImpostaX(double x) = 0;
    virtual void ImpostaY(double y) = 0;
    // Prints the text at the current position in the printer's font, then goes to the
    // start of the next line.
    virtual void StampaRiga(std::string_view testo) = 0;
    // The renderer that draws the grid's pages into this document; it must not outlive the
    // printer.
    [[nodiscard]] virtual std::unique_ptr<RenderGriglia> Render(const grid::Griglia& griglia) = 0;
    virtual void NuovaPagina() = 0;
    // Sends the job. A notice for the user when the job was taken but will not print yet
    // (its queue is stopped), otherwise empty.
    [[nodiscard]] virtual std::string FineDocumento() = 0;
    // Abandons the document: no job is sent and no file is left.
    virtual void Annulla() = 0;
};

using FabbricaStampante = std::function<std::unique_ptr<Stampante>()>;

// How far a print run has gone, told before each page; lets the user stop it.
class Avanzamento {
  public:
    virtual ~Avanzamento() = default;
    // Page `pagina` (from 1) of `pagine` is about to be drawn; `pagine` is 0 until the
    // first page has shown how many rows a page holds. False when the user asked to stop.
    [[nodiscard]] virtual bool Pagina(int pagina, int pagine) = 0;
};

// One per print run, so that whatever shows the progress goes away with the run.
using FabbricaAvanzamento = std::function<std::unique_ptr<Avanzamento>()>;

// Margins of the printout, in millimetres.
struct Margini {
    float sinistro = 20, alto = 25, destro = 20, basso = 20;
};

// Empties the print grid to its header row and gives it the printout's layout.
void PreparaGridPrint(grid::Griglia& gridPrint);

// Both ends included.
[[nodiscard]] bool InPeriodo(const core::Data& data, const core::Data& inizio,
                             const core::Data& fine);

// "<banca>  conto n° <numero> - elenco movimenti al : "
[[nodiscard]] std::string TitoloStampa(std::string_view banca, std::string_view numero);

// "Errore della stampante" for 482, "Si è verificato l'errore N° <n>" otherwise; the
// detail, when given, follows on its own line.
[[nodiscard]] std::string MessaggioErroreStampa(int codice, std::string_view dettaglio = {});

// Nearest whole number, halves to the even neighbour; ErroreStampa{6} beyond 32 bits.
[[nodiscard]] std::int32_t ArrotondaPixel(double valore);

// Pages needed for `righe` rows when the first page took `primaPagina` of them (every page
// holds as many); at least 1.
[[nodiscard]] int PagineStimate(int righe, int primaPagina);

// Prints the grid with the three header lines on every page. A failure is shown with its
// message and stops the run at once: the document is not ended. A stop asked through
// `avanzamento` (checked before each page) abandons the document and says nothing.
void StampaGrid(const grid::Griglia& griglia, Stampante& stampante, ui::Dialoghi& dialoghi,
                const Margini& margini, std::string_view titolo, const core::Data& oggi,
                Avanzamento* avanzamento = nullptr);

// The two print routines the print dialog calls.
class ProceduraStampa {
  public:
    virtual ~ProceduraStampa() = default;
    virtual void StampaTutto() = 0;
    // The movements dated from stato.DataInizioStampa to stato.DataFineStampa.
    virtual void StampaPeriodo() = 0;
};

// Copies the chosen rows of the register into the print grid and prints it on a printer
// made afresh for each run.
class StampaRegistro : public ProceduraStampa {
  public:
    struct Servizi {
        const grid::Griglia& registro;
        grid::Griglia& gridPrint;
        const core::StatoConto& stato;
        ui::Dialoghi& dialoghi;
        FabbricaStampante stampante;
        std::function<core::Data()> oggi;
        // The progress of each run; none shown when empty.
        FabbricaAvanzamento avanzamento = {};
    };

    explicit StampaRegistro(Servizi servizi) : s_(std::move(servizi)) {}

    void StampaTutto() override;
    // A row whose date cannot be read is left out.
    void StampaPeriodo() override;

  private:
    void Stampa(bool soloPeriodo);

    Servizi s_;
};

}  // namespace printing
