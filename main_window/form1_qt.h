#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "grid/griglia.h"
#include "main_window/form1.h"
#include "ui/finestra_qt.h"

class QLineEdit;
class QListWidget;
class QPlainTextEdit;

namespace grid {
class ModelloGrigliaQt;
class VistaGrigliaQt;
}  // namespace grid

namespace main_window {

// The main window: the register grid, the type list, the balance box and the command
// buttons at their designed places. Every event goes to main_window::Form1; this class
// only builds the controls and opens the child windows.
class Form1Qt : public QWidget, public ApriFinestre {
    Q_OBJECT

  public:
    Form1Qt(core::StatoConto& stato, core::FileDati& file, ui::Dialoghi& dialoghi,
            std::function<core::Data()> oggi, QWidget* parent = nullptr);
    ~Form1Qt() override;

    // Reads the parameters and the register; 0 or the error number of the failure.
    [[nodiscard]] int Carica();

    [[nodiscard]] ui::Contesto& contesto() { return contesto_; }
    [[nodiscard]] Form1& logica() { return form1_; }
    [[nodiscard]] grid::Griglia& griglia() { return griglia_; }
    [[nodiscard]] ui::FinestraQt& finestra() { return finestra_; }
    [[nodiscard]] QListWidget* lista() const { return lista_; }
    [[nodiscard]] grid::VistaGrigliaQt* vistaGriglia() const { return vista_; }

    void ApriInserimento(const core::TipoMovimento& tipo) override;
    void ApriPassword() override;
    void ApriStampa() override;
    // After a modal window opened over this one has closed: the keyboard comes back here
    // (whatever the window manager did) and the balance box's spoken state is brought up
    // to date.
    void Riprendi();

  protected:
    void closeEvent(QCloseEvent* evento) override;
    void showEvent(QShowEvent* evento) override;
    void changeEvent(QEvent* evento) override;
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

  private:
    void creaControlli();
    void aggiornaSaldoParlato();
    void coloraAvviso();

    grid::Griglia griglia_;
    ui::FinestraQt finestra_;
    ui::Contesto contesto_;
    Form1 form1_;
    std::unique_ptr<grid::ModelloGrigliaQt> modello_;
    grid::VistaGrigliaQt* vista_ = nullptr;
    QListWidget* lista_ = nullptr;
    QLineEdit* saldo_ = nullptr;
    QPlainTextEdit* ditta_ = nullptr;
    bool centrata_ = false;
    bool ricolorazioneInAttesa_ = false;
};

}  // namespace main_window
