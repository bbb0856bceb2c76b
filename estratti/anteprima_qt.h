#pragma once

#include <QDialog>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>

#include "estratti/anteprima.h"
#include "estratti/apertura.h"
#include "estratti/importazione.h"
#include "ui/contesto.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableView;
class QWidget;

namespace estratti {

class ModelloAnteprima;

// Runs a slow job and tells whether it finished (false: the user cancelled it).
using Esecutore = std::function<bool(const std::function<void()>&)>;

// "Importa estratto conto": the preview of a statement, with the mapping of a CSV file that
// the user can correct. Confirming appends the ticked rows and saves once.
class AnteprimaQt : public QDialog {
    Q_OBJECT
  public:
    // `esegui` reads the file (again after a change of mapping); by default on this thread.
    AnteprimaQt(ui::Contesto& contesto, FileEstratto file, MemoriaMappature* memoria,
                QWidget* parent = nullptr, OpzioniImportazione opzioni = {}, Esecutore esegui = {});
    ~AnteprimaQt() override;
    [[nodiscard]] const Anteprima& anteprima() const { return anteprima_; }
    [[nodiscard]] QTableView* tabella() const { return tabella_; }
    [[nodiscard]] ModelloAnteprima* modello() const { return modello_; }
    // The summary after a confirmed import; empty until then.
    [[nodiscard]] const std::string& riepilogo() const { return esito_.riepilogo; }
    [[nodiscard]] const EsitoImportazione& esito() const { return esito_; }
    [[nodiscard]] bool letto() const { return letto_; }
    // The user stopped the reading of the file.
    [[nodiscard]] bool annullato() const { return annullato_; }
    [[nodiscard]] const std::string& errore() const { return errore_; }
    // A CSV whose date, amount or description column is not chosen yet.
    [[nodiscard]] bool mappaturaIncompleta() const {
        return !file_.ofx && !ColonneMancanti(file_.mappatura).empty();
    }
    void conferma();

  protected:
    void changeEvent(QEvent* evento) override;

  private:
    void rileggi();
    void aggiornaStato();
    void creaMappatura(QWidget* contenitore);

    ui::Contesto& c_;
    FileEstratto file_;
    MemoriaMappature* memoria_;
    Anteprima anteprima_;
    OpzioniImportazione opzioni_;
    Esecutore esegui_;
    EsitoImportazione esito_;
    std::string errore_;
    bool letto_ = false;
    bool annullato_ = false;
    bool mappaturaCambiata_ = false;
    ModelloAnteprima* modello_ = nullptr;
    QTableView* tabella_ = nullptr;
    QWidget* riquadroAvvisi_ = nullptr;
    QLabel* avvisi_ = nullptr;
    QLabel* stato_ = nullptr;
    QPushButton* importa_ = nullptr;
    std::vector<QComboBox*> colonne_;
    QComboBox* decimale_ = nullptr;
    QComboBox* formatoData_ = nullptr;
};

// Runs `lavoro` on a worker thread while the event loop stays live (a signal or a logout
// still saves and quits). After `ritardo` a modal busy box with "Annulla" shows; "Annulla"
// abandons the thread, which must own what it touches, and returns false.
bool EseguiConAttesa(const std::function<void()>& lavoro, QWidget* parent,
                     std::chrono::milliseconds ritardo = std::chrono::milliseconds(400));

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
