#pragma once

#include <QDialog>
#include <QLineEdit>
#include <memory>
#include <optional>

#include "core/date.h"
#include "core/file_system.h"
#include "ui/contesto.h"

class QLabel;

namespace estratti {

// A date typed as gg/mm/aaaa, with or without the slashes, or picked from a calendar
// (Alt+Giù). What is typed stays as typed: a date is written out in full once it reads as
// one, and anything else is left for the window to point out, never cleared or moved.
class CampoData : public QLineEdit {
    Q_OBJECT
  public:
    explicit CampoData(QWidget* parent = nullptr);
    // The date typed; nullopt when the field is empty or holds no date.
    [[nodiscard]] std::optional<core::Data> data() const;
    [[nodiscard]] bool vuoto() const;
    void impostaData(const core::Data& data);
    void apriCalendario();

  protected:
    void keyPressEvent(QKeyEvent* evento) override;
};

// "Andamento del saldo": the balance line, the credit line, each month's credits and debits.
class AndamentoQt : public QDialog {
    Q_OBJECT
  public:
    AndamentoQt(const ui::Contesto& contesto, QWidget* parent = nullptr);
    ~AndamentoQt() override;
    // The two charts as a PNG picture, written as the data files are.
    [[nodiscard]] core::EsitoFile esportaPng(const QString& file);
    // Redraws the charts for the dates typed; false (and a message) when they are not dates.
    bool applicaIntervallo();

  protected:
    void resizeEvent(QResizeEvent* evento) override;

  private:
    void salvaPng();
    void etichettaTempo();
    const ui::Contesto& c_;
    QWidget* grafici_ = nullptr;
    CampoData* da_ = nullptr;
    CampoData* a_ = nullptr;
    class Grafici;
    std::unique_ptr<Grafici> g_;
};

}  // namespace estratti
