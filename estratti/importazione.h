#pragma once

#include <filesystem>
#include <functional>
#include <optional>

#include "estratti/anteprima.h"
#include "estratti/apertura.h"
#include "ui/contesto.h"

namespace estratti {

// What the user chose before the preview, carried out only when "Importa" is pressed, so
// that backing out anywhere leaves the register as it was.
struct OpzioniImportazione {
    // Set for a register kept in lire whose user chose to switch to euro: called once, just
    // before the rows are added.
    std::function<void()> passaAEuro;
};

// The windows of an import, so that the flow runs with fakes in tests.
class VistaImportazione {
  public:
    virtual ~VistaImportazione() = default;
    // Runs a slow job (parsing a large or hostile file) while the window shows progress and
    // "Annulla"; false when the user cancelled (the job is abandoned, its result unused).
    virtual bool Esegui(const std::function<void()>& lavoro) = 0;
    // The preview of the opened file; on "Importa" it applies the rows with
    // ApplicaAnteprima(anteprima, contesto, opzioni) and returns the outcome; nullopt when
    // the user backed out.
    virtual std::optional<EsitoImportazione> Anteprima(FileEstratto file, MemoriaMappature& memoria,
                                                       const OpzioniImportazione& opzioni) = 0;
};

// The whole import of one file: opening it, the questions before the preview, the preview,
// the summary. Returns whether rows were added.
bool ImportaEstratto(ui::Contesto& contesto, const std::filesystem::path& file,
                     const std::filesystem::path& cartellaConfigurazione, VistaImportazione& vista,
                     const std::function<void()>& passaAEuro);

}  // namespace estratti
