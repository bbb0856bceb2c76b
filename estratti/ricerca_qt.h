#pragma once

#include <QDialog>
#include <filesystem>
#include <memory>

#include "ui/contesto.h"

class QLabel;
class QLineEdit;
class QTableView;

namespace estratti {

class CampoData;
class ModelloTrovati;

// "Cerca": next and previous move the grid's current row to each matching movement; every
// match is listed too, and choosing one there moves the grid to it.
class CercaQt : public QDialog {
    Q_OBJECT
  public:
    CercaQt(ui::Contesto& contesto, QTableView* vista, QWidget* parent = nullptr);
    void vai(bool avanti);
    QLineEdit* testo() const { return testo_; }

  private:
    // Moves the grid to register row `riga`, the `posizione`-th of the matches.
    void mostra(int riga, int posizione);
    ui::Contesto& c_;
    QTableView* vista_;
    QLineEdit* testo_ = nullptr;
    QLineEdit* importo_ = nullptr;
    CampoData* da_ = nullptr;
    CampoData* a_ = nullptr;
    QLabel* esito_ = nullptr;
    QTableView* elenco_ = nullptr;
    ModelloTrovati* modello_ = nullptr;
    bool spostando_ = false;
};

// "Esporta": the whole register or a range of dates to a CSV file (or an Excel workbook).
class EsportaQt : public QDialog {
    Q_OBJECT
  public:
    EsportaQt(ui::Contesto& contesto, QWidget* parent = nullptr, bool excel = false);
};

}  // namespace estratti
