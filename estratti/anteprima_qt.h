#pragma once

#include <QDialog>
#include <filesystem>
#include <memory>

#include "estratti/anteprima.h"
#include "estratti/apertura.h"
#include "estratti/importazione.h"
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
                QWidget* parent = nullptr, OpzioniImportazione opzioni = {});
    [[nodiscard]] const Anteprima& anteprima() const { return anteprima_; }
    [[nodiscard]] QTableWidget* tabella() const { return tabella_; }
    // The summary after a confirmed import; empty until then.
    [[nodiscard]] const std::string& riepilogo() const { return esito_.riepilogo; }
    [[nodiscard]] const EsitoImportazione& esito() const { return esito_; }
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
    OpzioniImportazione opzioni_;
    EsitoImportazione esito_;
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

// The import's windows on the screen.
class VistaImportazioneQt : public VistaImportazione {
  public:
    VistaImportazioneQt(ui::Contesto& contesto, QWidget* parent) : c_(contesto), parent_(parent) {}
    bool Esegui(const std::function<void()>& lavoro) override;
    std::optional<EsitoImportazione> Anteprima(FileEstratto file, MemoriaMappature& memoria,
                                               const OpzioniImportazione& opzioni) override;

  private:
    ui::Contesto& c_;
    QWidget* parent_;
};

}  // namespace estratti
