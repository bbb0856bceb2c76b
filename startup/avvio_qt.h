#pragma once

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
    ProgrammaQt(const std::filesystem::path& dirProgramma,
                const std::filesystem::path& dirConfigurazione, ui::Dialoghi& dialoghi,
                std::function<core::Data()> oggi,
                core::FileSystem& fileSystem = core::FileSystemReale());
    ~ProgrammaQt() override;

    // Start-up; true when a window is open and the event loop must run.
    [[nodiscard]] bool Avvia();

    [[nodiscard]] main_window::Form1Qt* principale() const { return principale_.get(); }
    [[nodiscard]] setup::Form17Qt* impostazione() const { return impostazione_.get(); }
    [[nodiscard]] core::StatoConto& stato() { return stato_; }
    [[nodiscard]] core::FileDati& file() { return file_; }
    [[nodiscard]] bool terminato() const { return dialoghi_.terminato(); }

    void ApriImpostazioneConto() override;
    void CreaPrincipale() override;
    [[nodiscard]] int CaricaPrincipale() override;
    void ApriPassword() override;
    void MostraPrincipale(const std::string& titolo) override;

  private:
    core::StatoConto stato_;
    core::FileDati file_;
    DialoghiConFine dialoghi_;
    std::function<core::Data()> oggi_;
    std::unique_ptr<main_window::Form1Qt> principale_;
    std::unique_ptr<setup::Form17Qt> impostazione_;
};

// Takes the one-copy-at-a-time lock; when another copy holds it, shows the refusal and
// returns false.
[[nodiscard]] bool BloccaIstanzaUnica(QLockFile& blocco, const QString& nomeEseguibile,
                                      ui::Dialoghi& dialoghi);

// The whole program: folders, single instance, start-up and the event loop.
int EseguiProgramma(int argc, char** argv);

}  // namespace avvio
