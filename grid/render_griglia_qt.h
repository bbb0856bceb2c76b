#pragma once

#include <cstdint>

#include "grid/griglia.h"
#include "printing/stampa.h"

class QPainter;

namespace grid {

// Printer handles: a printer registers the painter of its open document and hands out
// the number, which is all a page request carries.
[[nodiscard]] std::int32_t RegistraDispositivo(QPainter* painter);
void RilasciaDispositivo(std::int32_t handle);
[[nodiscard]] QPainter* Dispositivo(std::int32_t handle);

// Draws a grid's pages onto a printer. Column widths in twips are scaled to the printer's
// resolution; the header band (black, white text) is repeated at the top of every page;
// body cells follow the grid's alignments, bold flag and line style (black lines or
// none). The face is sized so that every movement type fits its column; an amount wider
// than its cell is squeezed to fit, whole, and any other long text ends with "…". Every page takes
// at least one row, so a rectangle too small for a row still ends the run.
class RenderGrigliaQt : public printing::RenderGriglia {
  public:
    explicit RenderGrigliaQt(const Griglia& griglia) : griglia_(griglia) {}

    int Inizia() override;
    // Raises ErroreStampa{482} for a handle no printer has registered.
    int Pagina(const printing::AreaPagina& area) override;
    void Fine() override { prossima_ = 1; }

  private:
    const Griglia& griglia_;
    int prossima_ = 1;  // the next data row to draw
};

}  // namespace grid
