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

// "Andamento del saldo": the balance line, the credit line, each month's credits and debits.
class AndamentoQt : public QDialog {
    Q_OBJECT
  public:
    AndamentoQt(const ui::Contesto& contesto, QWidget* parent = nullptr);
    ~AndamentoQt() override;
    bool esportaPng(const QString& file);

  private:
    void applicaIntervallo();
    QWidget* grafici_ = nullptr;
    QDateEdit* da_ = nullptr;
    QDateEdit* a_ = nullptr;
    class Grafici;
    std::unique_ptr<Grafici> g_;
};

}  // namespace estratti
