#pragma once

#include <QTableView>

#include "grid/modello_griglia_qt.h"

namespace grid {

// The register grid on screen: widths in twips, header band, light grey lines, dark grey
// beyond the last row. Rows all have one height so a register of a million movements
// opens and scrolls without measuring any of them.
class VistaGrigliaQt : public QTableView {
    Q_OBJECT

  public:
    explicit VistaGrigliaQt(ModelloGrigliaQt& modello, QWidget* parent = nullptr);

    // Pixels of a length in twips on this widget's screen.
    [[nodiscard]] int PixelDaTwips(int twips) const;
    // The model row shown first, or -1 for an empty register.
    [[nodiscard]] int PrimaRigaVisibile() const;
    // Selection and header colours from the current desktop theme (again after it changed).
    void AggiornaColori();

  protected:
    void paintEvent(QPaintEvent* evento) override;
    void showEvent(QShowEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;

  private:
    void applicaAspetto();
    void mostraInAlto(int rigaModello);
    void applicaRigaInAlto();
    void mostraCellaCorrente(int rigaModello, int colonna);
    // Whole rows only: the header takes up the pixels that are not a full row.
    void adattaIntestazione();

    ModelloGrigliaQt& modello_;
    int inSospeso_ = -1;  // model row asked to be first, not yet applied on screen
};

}  // namespace grid
