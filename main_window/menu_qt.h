#pragma once

#include <QObject>
#include <QString>

class QMenuBar;

namespace main_window {

class Form1Qt;

// The menu bar above the unchanged form: File, Visualizza, ?. The form's controls move
// into a page below the menu and the window grows by the menu's height. Also opens a
// statement dropped on the window or named on the command line.
class MenuQt : public QObject {
    Q_OBJECT
  public:
    explicit MenuQt(Form1Qt& form);
    [[nodiscard]] QMenuBar* barra() const { return barra_; }
    // Opens the import of a statement file (menu, drop, command line).
    void Importa(const QString& file);

  protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

  private:
    void sceltaImporta();
    Form1Qt& form_;
    QMenuBar* barra_ = nullptr;
    QWidget* pagina_ = nullptr;
    bool rigaComandoFatta_ = false;
};

// A statement file the program can import (by its name).
[[nodiscard]] bool FileEstratto(const QString& file);

}  // namespace main_window
