#include "support/file_system_difettoso.h"

#include <utility>

namespace test {

static bool Corrisponde(const std::string& nome, const std::filesystem::path& p) {
    return nome.empty() || p.filename().string().find(nome) != std::string::npos;
}

const Guasto* FileSystemDifettoso::Guastato(Operazione op, const Path& p, const Path* altro) const {
    ++chiamate_[static_cast<int>(op)];
    const Guasto* trovato = nullptr;
    for (auto& [g, corrispondenze] : guasti_) {
        if (g.operazione != op) continue;
        if (!Corrisponde(g.nome, p) && !(altro && Corrisponde(g.nome, *altro))) continue;
        const int n = ++corrispondenze;
        const bool fallisce = g.volta == 0 || n == g.volta || (g.ancheDopo && n > g.volta);
        if (fallisce && !trovato) trovato = &g;
    }
    if (trovato) errore_ = trovato->errore;
    return trovato;
}

const Guasto* FileSystemDifettoso::Cambia(Operazione op, const Path& p, const Path* altro) {
    static const Guasto kCrollo{Scrivi, "", 0, false, EIO, false};
    if (crollo_ >= 0 && modifiche_ >= crollo_) {
        errore_ = EIO;
        return &kCrollo;
    }
    ++modifiche_;
    return Guastato(op, p, altro);
}

core::EsitoFile FileSystemDifettoso::scrivi(const Path& p, std::string_view contenuto) {
    const bool crollato = crollo_ >= 0 && modifiche_ >= crollo_;
    const Guasto* g = Cambia(Scrivi, p);
    if (!g) return reale_.scrivi(p, contenuto);
    // The write the machine stopped in, or a disk filling up, leaves part of the file.
    if (crollato ? !std::exchange(troncato_, true) : g->parziale)
        (void)reale_.scrivi(p, contenuto.substr(0, contenuto.size() / 2));
    return Errore(p);
}

}  // namespace test
