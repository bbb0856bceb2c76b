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

// "Importa estratto conto": the preview of a statement, with the mapping of a CSV file that
// the user can correct. Confirming appends the ticked rows and saves once.
class AnteprimaQt : public QDialog {
    Q_OBJECT
  public:
    AnteprimaQt(ui::Contesto& contesto, FileEstratto file, MemoriaMappature* memoria,
                QWidget* parent = nullptr);
    [[nodiscard]] const Anteprima& anteprima() const { return anteprima_; }
    [[nodiscard]] QTableWidget* tabella() const { return tabella_; }
    // The summary after a confirmed import; empty until then.
    [[nodiscard]] const std::string& riepilogo() const { return riepilogo_; }
    [[nodiscard]] bool letto() const { return letto_; }
    [[nodiscard]] const std::string& errore() const { return errore_; }
    void conferma();

  private:
    void rileggi();
    void riempi();
    void aggiornaSaldi();
    void creaMappatura(QWidget* contenitore);

    ui::Contesto& c_;
    FileEstratto file_;
    MemoriaMappature* memoria_;
    Anteprima anteprima_;
    std::string riepilogo_;
    std::string errore_;
    bool letto_ = false;
    bool mappaturaCambiata_ = false;
    QTableWidget* tabella_ = nullptr;
    QLabel* stato_ = nullptr;
    std::vector<QComboBox*> colonne_;
    QComboBox* decimale_ = nullptr;
    QComboBox* formatoData_ = nullptr;
    bool riempiendo_ = false;
};

// Opens a statement file: asks about lire first, reads it, shows the preview, then the
// summary. Returns whether rows were added.
bool ImportaEstratto(ui::Contesto& contesto, const std::filesystem::path& file,
                     const std::filesystem::path& cartellaConfigurazione, QWidget* parent);

}  // namespace estratti
