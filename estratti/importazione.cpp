#include "estratti/importazione.h"

namespace estratti {

bool ImportaEstratto(ui::Contesto& c, const std::filesystem::path& file,
                     const std::filesystem::path& cartellaConfigurazione, VistaImportazione& vista,
                     const std::function<void()>& passaAEuro) {
    MemoriaMappature memoria(c.file.fileSystem(), cartellaConfigurazione / kFileMappature);
    memoria.Carica();
    std::optional<std::variant<FileEstratto, ErroreEstratto>> aperto;
    if (!vista.Esegui([&] { aperto = ApriEstratto(c.file.fileSystem(), file, &memoria); }))
        return false;
    if (auto* e = std::get_if<ErroreEstratto>(&*aperto)) {
        c.dialoghi.Messaggio(e->messaggio, ui::Pulsanti::Ok, ui::Icona::Esclamazione);
        return false;
    }
    OpzioniImportazione opzioni;
    if (core::InLire(c.stato)) {
        const ui::Risposta r = c.dialoghi.Messaggio(kDomandaLire, ui::Pulsanti::SiNo,
                                                    ui::Icona::Domanda, "Importa estratto conto");
        if (r == ui::Risposta::No) opzioni.passaAEuro = passaAEuro;
    }
    const auto esito =
        vista.Anteprima(std::get<FileEstratto>(std::move(*aperto)), memoria, opzioni);
    if (!esito) return false;
    c.dialoghi.Messaggio(esito->riepilogo, ui::Pulsanti::Ok, ui::Icona::Informazione,
                         "Importa estratto conto");
    return esito->aggiunte > 0;
}

}  // namespace estratti
