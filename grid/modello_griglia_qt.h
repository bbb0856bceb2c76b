#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <optional>
#include <string_view>

#include "grid/griglia.h"

namespace grid {

// The register grid seen by Qt views: the header row becomes the horizontal header and
// the data rows the table rows (grid row r is model row r - 1). The grid stays the only
// copy of the register; the model follows it as its observer.
class ModelloGrigliaQt : public QAbstractTableModel, public OsservatoreGriglia {
    Q_OBJECT

  public:
    explicit ModelloGrigliaQt(Griglia& griglia, QObject* parent = nullptr);
    ~ModelloGrigliaQt() override;

    [[nodiscard]] int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex& indice, int ruolo) const override;
    [[nodiscard]] QVariant headerData(int sezione, Qt::Orientation orientamento,
                                      int ruolo) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& indice) const override;

    // The header band's background and the theme's text colour there: the header's own
    // colour is drawn readable on it (see ui::ColoreLeggibile).
    void ImpostaColoriIntestazione(const QColor& sfondo, const QColor& testo);

    [[nodiscard]] Griglia& griglia() { return griglia_; }
    [[nodiscard]] const Griglia& griglia() const { return griglia_; }

  signals:
    // The grid asked for this model row to be the first one shown.
    void rigaInAltoRichiesta(int rigaModello);
    // The grid's current cell moved to this model row (-1: the header) and column.
    void cellaCorrenteRichiesta(int rigaModello, int colonna);
    // Widths or grid lines changed: things only the view can apply.
    void aspettoGrigliaCambiato();

  private:
    void righeInserite(int prima, int ultima) override;
    void righeRimosse(int prima, int ultima) override;
    void cellaCambiata(int riga, int colonna) override;
    void aspettoCambiato() override;
    void rigaInAltoCambiata(int riga) override;
    void cellaCorrenteCambiata(int riga, int colonna) override;

    // The cell behind a model row, or nullptr for a row being removed. The grid tells us
    // of a change after making it, while Qt wants the old shape until the end*Rows call:
    // during that window `cambio_` maps the old model rows onto the new grid rows.
    [[nodiscard]] std::optional<std::string_view> cella(int rigaModello, int colonna) const;

    struct Cambio {
        bool inCorso = false;
        int inizio = 0;  // first model row inserted or removed
        int quante = 0;  // positive when inserted, negative when removed
    };

    Griglia& griglia_;
    QColor sfondoIntestazione_;
    QColor testoIntestazione_;
    int righeMostrate_ = 0;
    Cambio cambio_;
};

// Alignment flags of a column's alignment; the general one puts a text that reads as a
// number to the right and any other text to the left.
[[nodiscard]] Qt::Alignment AllineamentoQt(Allineamento allineamento, std::string_view testo);

}  // namespace grid
