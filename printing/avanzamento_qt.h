#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

#include "printing/stampa.h"

class QProgressDialog;

namespace printing {

// The progress of one print run: a modal box with the page being printed and "Annulla",
// shown only when the run is longer than a few pages. Pressing "Annulla" asks the run to
// stop before its next page; the box goes away with this object.
class AvanzamentoQt : public Avanzamento {
  public:
    // Up to this many pages print without a box.
    static constexpr int kPochePagine = 3;

    explicit AvanzamentoQt(QWidget* padre);
    ~AvanzamentoQt() override;

    bool Pagina(int pagina, int pagine) override;

    // One box per run, over `padre`.
    static FabbricaAvanzamento Fabbrica(QWidget* padre);

  private:
    QPointer<QWidget> padre_;
    std::unique_ptr<QProgressDialog> finestra_;
};

}  // namespace printing
