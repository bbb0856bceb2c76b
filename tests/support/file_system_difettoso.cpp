#include "support/file_system_difettoso.h"

namespace test {

namespace {

bool Corrisponde(const std::string& nome, const std::filesystem::path& p) {
    return nome.empty() || p.filename().string().find(nome) != std::string::npos;
}

core::ErroreFile Errore(const std::filesystem::path& p, const Guasto& g) {
    return {p, core::MotivoErrore(g.errore)};
}

}  // namespace

const Guasto* FileSystemDifettoso::Controlla(Operazione op, const std::filesystem::path& p,
                                             const std::filesystem::path* altro) const {
    ++chiamate_[static_cast<int>(op)];
    const Guasto* trovato = nullptr;
    for (auto& piano : guasti_) {
        const Guasto& g = piano.guasto;
        if (g.operazione != op) continue;
        if (!Corrisponde(g.nome, p) && !(altro && Corrisponde(g.nome, *altro))) continue;
        const int n = ++piano.corrispondenze;
        const bool fallisce = g.volta == 0 || n == g.volta || (g.ancheDopo && n > g.volta);
        if (fallisce && !trovato) trovato = &g;
    }
    return trovato;
}

bool FileSystemDifettoso::Crollato() {
    if (crollo_ >= 0 && modifiche_ >= crollo_) return true;
    ++modifiche_;
    return false;
}

core::EsitoFile FileSystemDifettoso::leggi(const std::filesystem::path& p,
                                           std::string& contenuto) const {
    if (const auto* g = Controlla(Operazione::Leggi, p)) return Errore(p, *g);
    return reale_.leggi(p, contenuto);
}

core::EsitoFile FileSystemDifettoso::scrivi(const std::filesystem::path& p,
                                            std::string_view contenuto) {
    if (Crollato()) {
        // The write the machine stopped in leaves part of the file behind.
        if (!troncato_) (void)reale_.scrivi(p, contenuto.substr(0, contenuto.size() / 2));
        troncato_ = true;
        return core::ErroreFile{p, core::MotivoErrore(EIO)};
    }
    if (const auto* g = Controlla(Operazione::Scrivi, p)) {
        if (g->parziale) (void)reale_.scrivi(p, contenuto.substr(0, contenuto.size() / 2));
        return Errore(p, *g);
    }
    return reale_.scrivi(p, contenuto);
}

core::EsitoFile FileSystemDifettoso::rinomina(const std::filesystem::path& da,
                                              const std::filesystem::path& a) {
    if (Crollato()) return core::ErroreFile{a, core::MotivoErrore(EIO)};
    if (const auto* g = Controlla(Operazione::Rinomina, a, &da)) return Errore(a, *g);
    return reale_.rinomina(da, a);
}

core::EsitoFile FileSystemDifettoso::elimina(const std::filesystem::path& p) {
    if (Crollato()) return core::ErroreFile{p, core::MotivoErrore(EIO)};
    if (const auto* g = Controlla(Operazione::Elimina, p)) return Errore(p, *g);
    return reale_.elimina(p);
}

core::EsitoFile FileSystemDifettoso::sincronizzaCartella(const std::filesystem::path& dir) {
    if (Crollato()) return core::ErroreFile{dir, core::MotivoErrore(EIO)};
    if (const auto* g = Controlla(Operazione::SincronizzaCartella, dir)) return Errore(dir, *g);
    return reale_.sincronizzaCartella(dir);
}

core::EsitoFile FileSystemDifettoso::creaCartella(const std::filesystem::path& dir) {
    if (Crollato()) return core::ErroreFile{dir, core::MotivoErrore(EIO)};
    if (const auto* g = Controlla(Operazione::CreaCartella, dir)) return Errore(dir, *g);
    return reale_.creaCartella(dir);
}

core::EsitoFile FileSystemDifettoso::eliminaCartella(const std::filesystem::path& dir) {
    if (Crollato()) return core::ErroreFile{dir, core::MotivoErrore(EIO)};
    if (const auto* g = Controlla(Operazione::EliminaCartella, dir)) return Errore(dir, *g);
    return reale_.eliminaCartella(dir);
}

core::EsitoFile FileSystemDifettoso::collega(const std::filesystem::path& da,
                                             const std::filesystem::path& a) {
    if (Crollato()) return core::ErroreFile{a, core::MotivoErrore(EIO)};
    if (const auto* g = Controlla(Operazione::Collega, a, &da)) return Errore(a, *g);
    return reale_.collega(da, a);
}

core::EsitoFile FileSystemDifettoso::elenca(const std::filesystem::path& dir,
                                            std::vector<std::string>& nomi) const {
    if (const auto* g = Controlla(Operazione::Elenca, dir)) return Errore(dir, *g);
    return reale_.elenca(dir, nomi);
}

}  // namespace test
