#pragma once

#include <QDialog>
#include <filesystem>
#include <memory>

#include "estratti/anteprima.h"
#include "estratti/apertura.h"
#include "ui/contesto.h"

class QTableWidget;
class QComboBox;
class QLabel;
class QLineEdit;
class QDateEdit;
class QTableView;

namespace estratti {

// "Cerca": next and previous move the grid's current row to each matching movement.
class CercaQt : public QDialog {
    Q_OBJECT
  public:
    CercaQt(ui::Contesto& contesto, QTableView* vista, QWidget* parent = nullptr);
    void vai(bool avanti);
    QLineEdit* testo() const { return testo_; }

  private:
    ui::Contesto& c_;
    QTableView* vista_;
    QLineEdit* testo_ = nullptr;
    QLineEdit* importo_ = nullptr;
    QDateEdit* da_ = nullptr;
    QDateEdit* a_ = nullptr;
    QLabel* esito_ = nullptr;
};

// "Esporta": the whole register or a range of dates to a CSV file (or an Excel workbook).
class EsportaQt : public QDialog {
    Q_OBJECT
  public:
    EsportaQt(ui::Contesto& contesto, QWidget* parent = nullptr, bool excel = false);
};

}  // namespace estratti
