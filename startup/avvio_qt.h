#pragma once

#include <QObject>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>

#include "startup/avvio.h"

class QLockFile;

namespace main_window {
class Form1Qt;
}
namespace setup {
class Form17Qt;
}

namespace avvio {

// The running program: account state, data files and the windows start-up opens.
// The folders, the dialogs, today's date and the file layer come from outside so tests
// can run it on a scratch folder with scripted answers and failing disks.
class ProgrammaQt : public FinestreAvvio {
  public:
    ProgrammaQt(const std::filesystem::path& dirProgramma, const std::filesystem::path& dirPassword,
                ui::Dialoghi& dialoghi, std::function<core::Data()> oggi,
                core::FileSystem& fileSystem = core::FileSystemReale());
    ~ProgrammaQt() override;

    // Start-up; true when a window is open and the event loop must run.
    [[nodiscard]] bool Avvia();

    [[nodiscard]] main_window::Form1Qt* principale() const { return principale_.get(); }
    [[nodiscard]] setup::Form17Qt* impostazione() const { return impostazione_.get(); }
    [[nodiscard]] core::StatoConto& stato() { return stato_; }
    [[nodiscard]] core::FileDati& file() { return file_; }
    [[nodiscard]] bool terminato() const { return dialoghi_.Terminato(); }

    void ApriImpostazioneConto() override;
    void CreaPrincipale() override;
    [[nodiscard]] int CaricaPrincipale() override;
    void ApriPassword() override;
    void MostraPrincipale(const std::string& titolo) override;

    // The system asks the program to end (SIGTERM, SIGHUP, SIGINT): the shutdown save as
    // Esci makes it. When it fails the user is asked as at Esci, and a user who stays
    // keeps the program running with everything in memory.
    void ChiusuraDalSistema();
    // The session manager asks for a save (logout): the same save, the program goes on.
    // False when it failed and the user, when it could be asked, chose to stay.
    [[nodiscard]] bool SalvaPerSessione(bool chiedi);

  private:
    core::StatoConto stato_;
    core::FileDati file_;
    ui::Dialoghi& dialoghi_;
    std::function<core::Data()> oggi_;
    std::unique_ptr<main_window::Form1Qt> principale_;
    std::unique_ptr<setup::Form17Qt> impostazione_;
};

// The lock file beside the data files: one copy of the program at a time on them,
// whatever its name or the user's home.
[[nodiscard]] QString FileBlocco(const std::filesystem::path& cartellaDati);

// Takes the one-copy-at-a-time lock; when another copy holds it, shows the refusal and
// returns false. A lock that cannot be made is reported with the file's name and ends
// the program too, unless the register is only read (`facoltativo`).
[[nodiscard]] bool BloccaIstanzaUnica(QLockFile& blocco, const QString& nomeEseguibile,
                                      ui::Dialoghi& dialoghi, bool facoltativo = false);

// SIGTERM, SIGHUP and SIGINT, while this lives, run `azione` from the event loop: a
// handler may do almost nothing itself, so it only writes a byte to a pipe.
class SegnaliDiFine : public QObject {
  public:
    explicit SegnaliDiFine(std::function<void()> azione);
    ~SegnaliDiFine() override;

  private:
    std::function<void()> azione_;
};

// The whole program: folders, single instance, start-up and the event loop.
int EseguiProgramma(int argc, char** argv);

}  // namespace avvio
