#pragma once

#include <QFont>
#include <memory>
#include <optional>

#include "grid/griglia.h"
#include "printing/forme_testo_qt.h"
#include "printing/stampa.h"

class QPainter;

namespace printing {

// Draws a grid's pages with a printer's painter. Column widths in twips are scaled to the
// printer's resolution; the header band (black, white text) is repeated at the top of every
// page; body cells follow the grid's alignments, bold flag and line style (black lines or
// none). The face is sized so that every movement type fits its column; an amount wider
// than its cell is squeezed to fit, whole, and any other long text ends with "…". Every
// page takes at least one row, so a rectangle too small for a row still ends the run.
class RenderGrigliaQt : public RenderGriglia {
  public:
    RenderGrigliaQt(const grid::Griglia& griglia, QPainter& painter)
        : griglia_(griglia), painter_(painter) {}

    // Raises ErroreStampa{482} once the printer's document is closed.
    bool Pagina(const Rettangolo& area) override;
    int RigheDisegnate() const override { return prossima_ - 1; }

  private:
    const grid::Griglia& griglia_;
    QPainter& painter_;
    int prossima_ = 1;                   // the next data row to draw
    std::optional<QFont> font_;          // the face, once chosen
    std::shared_ptr<FormeTesto> forme_;  // the shapes of texts in it
};

}  // namespace printing
