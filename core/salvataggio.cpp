#include "core/salvataggio.h"

#include <algorithm>
#include <optional>

#include "core/file_dati.h"
#include "core/giornale.h"
#include "core/record.h"

namespace core::salvataggio {

namespace fs = std::filesystem;

namespace {

struct Voce {
    std::string nome;
    bool esisteva = true;
    bool elimina = false;
};

bool NomeAmmesso(std::string_view nome) {
    const auto nomi = NomiInsieme();
    return std::find(nomi.begin(), nomi.end(), nome) != nomi.end();
}

// The marker lists each file of the set and whether it existed before the save ("1"), was
// missing ("0") or leaves the set ("2").
std::string TestoMarcatore(const std::vector<Voce>& voci) {
    std::string testo;
    for (const auto& v : voci)
        testo += ScriviRecord({v.nome, v.elimina ? "2" : v.esisteva ? "1" : "0"});
    return testo;
}

std::optional<std::vector<Voce>> LeggiMarcatore(const FileSystem& fsys, const fs::path& p) {
    std::string testo;
    if (fsys.leggi(p, testo)) return std::nullopt;
    LettoreRecord lettore(testo);
    std::vector<Voce> voci;
    while (!lettore.fine()) {
        const auto nome = lettore.leggi();
        const auto flag = lettore.leggi();
        if (!nome || !flag || !NomeAmmesso(*nome) || (*flag != "0" && *flag != "1" && *flag != "2"))
            return std::nullopt;
        voci.push_back({std::string(*nome), *flag != "0", *flag == "2"});
    }
    return voci;
}

EsitoFile SincronizzaTutte(FileSystem& fsys, const Cartelle& dir) {
    if (auto e = fsys.sincronizzaCartella(dir.dati)) return e;
    if (dir.sistema == dir.dati || !fsys.esiste(dir.sistema)) return std::nullopt;
    return fsys.sincronizzaCartella(dir.sistema);
}

// Brings in every new file still waiting and removes those leaving the set, then drops
// the replaced ones and the marker.
EsitoFile Completa(FileSystem& fsys, const Cartelle& dir, const std::vector<Voce>& voci,
                   const fs::path& marcatore) {
    for (const auto& v : voci) {
        const auto file = dir.di(v.nome);
        const auto nuovo = ConSuffisso(file, kNuovo);
        if (fsys.esiste(nuovo)) {
            if (auto e = fsys.rinomina(nuovo, file)) return e;
        } else if (v.elimina) {
            if (auto e = EliminaSeEsiste(fsys, file)) return e;
        }
    }
    if (auto e = SincronizzaTutte(fsys, dir)) return e;
    for (const auto& v : voci) {
        if (auto e = EliminaSeEsiste(fsys, ConSuffisso(dir.di(v.nome), kVecchio))) return e;
    }
    return fsys.elimina(marcatore);
}

// Puts every replaced file back and removes the files that did not exist before.
EsitoFile Annulla(FileSystem& fsys, const Cartelle& dir, const std::vector<Voce>& voci,
                  const fs::path& marcatore) {
    for (const auto& v : voci) {
        const auto file = dir.di(v.nome);
        const auto vecchio = ConSuffisso(file, kVecchio);
        const auto nuovo = ConSuffisso(file, kNuovo);
        if (fsys.esiste(vecchio)) {
            if (auto e = fsys.rinomina(vecchio, file)) return e;
        } else if (!v.esisteva && !fsys.esiste(nuovo)) {
            // The new file had already taken the place of a missing one.
            if (auto e = fsys.elimina(file)) return e;
        }
    }
    if (auto e = SincronizzaTutte(fsys, dir)) return e;
    for (const auto& v : voci) {
        if (auto e = EliminaSeEsiste(fsys, ConSuffisso(dir.di(v.nome), kNuovo))) return e;
    }
    return fsys.elimina(marcatore);
}

EsitoFile EliminaNuovi(FileSystem& fsys, const Cartelle& dir,
                       const std::vector<const FileNuovo*>& file) {
    EsitoFile primo;
    for (const auto* f : file) {
        auto e = EliminaSeEsiste(fsys, ConSuffisso(dir.di(f->nome), kNuovo));
        if (e && !primo) primo = std::move(e);
    }
    return primo;
}

// An error on a working file is reported on the data file it stands for.
ErroreFile Su(const fs::path& file, ErroreFile errore) {
    errore.file = file;
    return errore;
}

}  // namespace

fs::path Cartelle::di(std::string_view nome) const {
    return (nome == kFilePassword ? sistema : dati) / nome;
}

fs::path ConSuffisso(fs::path p, std::string_view suffisso) {
    p += suffisso;
    return p;
}

std::vector<std::string> NomiDatiProgramma() {
    std::vector<std::string> nomi;
    for (int k = 1; k <= 5; ++k) nomi.push_back(NomeFileRegistro(k));
    nomi.emplace_back(kFileParametri);
    nomi.emplace_back(kFileConto);
    nomi.emplace_back(giornale::kFileGiornale);
    return nomi;
}

std::vector<std::string> NomiInsieme() {
    auto nomi = NomiDatiProgramma();
    nomi.emplace_back(kFilePassword);
    return nomi;
}

EsitoFile EliminaSeEsiste(FileSystem& fsys, const fs::path& p) {
    if (!fsys.esiste(p)) return std::nullopt;
    return fsys.elimina(p);
}

EsitoFile RecuperaCartella(FileSystem& fsys, const Cartelle& dir,
                           const std::vector<std::string>& nomi) {
    const auto marcatore = dir.dati / kMarcatore;
    const auto annullamento = dir.dati / kAnnullamento;
    std::vector<Voce> tutti;
    for (const auto& n : nomi) tutti.push_back({n, true});

    if (fsys.esiste(marcatore)) {
        // An unreadable list still lets every waiting file in: all of them were complete
        // before the marker was written.
        const auto voci = LeggiMarcatore(fsys, marcatore).value_or(tutti);
        if (auto e = Completa(fsys, dir, voci, marcatore)) return e;
    } else if (fsys.esiste(annullamento)) {
        const auto voci = LeggiMarcatore(fsys, annullamento).value_or(tutti);
        if (auto e = Annulla(fsys, dir, voci, annullamento)) return e;
    }
    // Whatever is left belongs to a save that never reached its switch.
    for (const auto& n : nomi) {
        if (auto e = EliminaSeEsiste(fsys, ConSuffisso(dir.di(n), kNuovo))) return e;
        if (auto e = EliminaSeEsiste(fsys, ConSuffisso(dir.di(n), kVecchio))) return e;
    }
    return EliminaSeEsiste(fsys, ConSuffisso(marcatore, kNuovo));
}

EsitoFile SalvaInsieme(FileSystem& fsys, const Cartelle& dir, const std::vector<FileNuovo>& tutti) {
    // A file leaving the set that is not there has nothing to switch.
    std::vector<const FileNuovo*> file;
    for (const auto& f : tutti)
        if (!f.elimina || fsys.esiste(dir.di(f.nome))) file.push_back(&f);
    if (file.empty()) return std::nullopt;
    std::string generato;
    for (const auto* f : file) {
        if (f->elimina) continue;
        std::string_view contenuto = f->contenuto;
        EsitoFile e;
        if (f->genera) {
            generato.clear();
            e = f->genera(generato);
            contenuto = generato;
        }
        if (!e) e = fsys.scrivi(ConSuffisso(dir.di(f->nome), kNuovo), contenuto);
        if (e) {
            (void)EliminaNuovi(fsys, dir, file);
            return Su(dir.di(f->nome), *e);
        }
    }
    generato = std::string();

    if (file.size() == 1) {
        const auto destinazione = dir.di(file.front()->nome);
        if (file.front()->elimina) return fsys.elimina(destinazione);
        if (auto e = fsys.rinomina(ConSuffisso(destinazione, kNuovo), destinazione)) {
            (void)EliminaNuovi(fsys, dir, file);
            return Su(destinazione, *e);
        }
        // The new file is in place; a directory that cannot be synced changes nothing
        // the user could act on.
        (void)fsys.sincronizzaCartella(destinazione.parent_path());
        return std::nullopt;
    }

    const auto primo = dir.di(file.front()->nome);
    std::vector<Voce> voci;
    for (const auto* f : file) voci.push_back({f->nome, fsys.esiste(dir.di(f->nome)), f->elimina});
    const auto marcatore = dir.dati / kMarcatore;
    const auto marcatoreNuovo = ConSuffisso(marcatore, kNuovo);
    // The new files must be on the disk, names included, before the marker can say so.
    EsitoFile e = SincronizzaTutte(fsys, dir);
    if (!e) e = fsys.scrivi(marcatoreNuovo, TestoMarcatore(voci));
    if (!e) e = fsys.rinomina(marcatoreNuovo, marcatore);
    if (!e) e = fsys.sincronizzaCartella(dir.dati);
    if (e) {
        (void)EliminaSeEsiste(fsys, marcatore);
        (void)EliminaSeEsiste(fsys, marcatoreNuovo);
        (void)EliminaNuovi(fsys, dir, file);
        ErroreFile errore = Su(primo, *e);
        // A marker that could not be taken back decides the new set at the next start.
        if (fsys.esiste(marcatore) &&
            std::any_of(file.begin(), file.end(), [&](const FileNuovo* f) {
                return f->elimina || fsys.esiste(ConSuffisso(dir.di(f->nome), kNuovo));
            }))
            errore.dati = DatiDopoErrore::CompletatiAlRiavvio;
        return errore;
    }

    for (const auto& v : voci) {
        const auto destinazione = dir.di(v.nome);
        EsitoFile errore;
        if (v.esisteva) errore = fsys.rinomina(destinazione, ConSuffisso(destinazione, kVecchio));
        if (!errore && !v.elimina)
            errore = fsys.rinomina(ConSuffisso(destinazione, kNuovo), destinazione);
        if (errore) {
            ErroreFile riportato = Su(destinazione, *errore);
            // Undo under the other marker, so that an interruption now is undone as well.
            // A second fault leaves it to the next start, which goes the marker's way.
            if (fsys.rinomina(marcatore, dir.dati / kAnnullamento)) {
                riportato.dati = DatiDopoErrore::CompletatiAlRiavvio;
            } else if (Annulla(fsys, dir, voci, dir.dati / kAnnullamento)) {
                riportato.dati = DatiDopoErrore::RipristinatiAlRiavvio;
            }
            return riportato;
        }
    }
    // From here the new set is in place; what is left over is tidied now or at the next start.
    (void)Completa(fsys, dir, voci, marcatore);
    (void)SincronizzaTutte(fsys, dir);
    return std::nullopt;
}

}  // namespace core::salvataggio
