#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "acceptance/support/formato_atteso.h"
#include "core/dates.h"
#include "startup/avvio_qt.h"
#include "startup/cartelle.h"
#include "support/failing_file_system.h"
#include "support/finti.h"
#include "support/temp_dir.h"

namespace main_window {
class Form1Qt;
}

namespace accettazione {

// One machine for the whole program: a scratch program folder ("programma") and
// configuration folder ("configurazione") under one root, today's date, scripted message
// and input boxes, and the steps a user takes, each through the real windows.
class Banco {
  public:
    Banco();
    ~Banco();

    // A new run of the program on the same folders, backups on as in the installed
    // program; the previous run, if any, is gone first. True when a window stays open.
    [[nodiscard]] bool Avvia();
    [[nodiscard]] avvio::ProgrammaQt& programma() { return *programma_; }
    [[nodiscard]] main_window::Form1Qt& principale();
    // A control of the main window by its name.
    template <typename W = QWidget>
    [[nodiscard]] W* controllo(const char* nome) {
        return qobject_cast<W*>(cerca(nome));
    }

    // The account setup window at first use: number, bank, and the password (nullopt
    // clears "Utilizza Password"), then OK.
    void PrimoUso(const QString& conto, const QString& banca, std::optional<QString> password);

    struct Movimento {
        const char* tipo;  // the entry in the type list
        QString data;      // typed over today's date; empty keeps it
        QString importo;
        QString riferimento;
        const char* simbolo;  // the currency symbol the window must show
    };
    // Clicks the type in the list and fills its entry window, pressing Enter to move
    // from box to box as the window invites, then OK.
    void Inserisci(const Movimento& m);
    void Clicca(const char* pulsante);
    // The print dialog, "Stampa da data a data" with the two dates typed, then OK; the
    // text of the PDF printed (pdftotext -layout), which is then removed.
    [[nodiscard]] QString StampaPeriodo(const QString& da, const QString& a);

    // What the user sees.
    [[nodiscard]] std::vector<Riga> RigheMostrate() const;
    [[nodiscard]] std::string Testo(const char* controllo);
    [[nodiscard]] QColor ColoreSaldo();
    // Messages shown since the last call.
    [[nodiscard]] std::vector<std::string> NuoviMessaggi();

    [[nodiscard]] Disco disco() const { return LeggiDisco(radice_.path()); }
    // The root holding "programma" and "configurazione".
    [[nodiscard]] const std::filesystem::path& cartella() const { return radice_.path(); }

    core::Data oggi{2003, 3, 5};
    test::DialoghiFinti dialoghi;
    // The program's file layer: the real disk until a test plans a failure.
    test::FileSystemDifettoso guasti;
    // The next runs open the register read-only, as the user may choose at start.
    bool solaLettura = false;

  private:
    [[nodiscard]] QWidget* cerca(const char* nome);

    test::CartellaTemporanea radice_;
    avvio::FileSystemSolaLettura soloLettura_{guasti};
    std::unique_ptr<avvio::ProgrammaQt> programma_;
    int avvii_ = 0;
    std::size_t messaggiVisti_ = 0;
};

}  // namespace accettazione
