#include "support/file_system_difettoso.h"

namespace test {

const Guasto* FileSystemDifettoso::Guastato(Operazione op, const Path& p, const Path* altro) const {
    ++chiamate_[static_cast<int>(op)];
    const Guasto* trovato = nullptr;
    for (auto& [g, corrispondenze] : guasti_) {
        const auto corrisponde = [&g](const Path& q) {
            return q.filename().string().find(g.nome) != std::string::npos;
        };
        if (g.operazione != op || !(corrisponde(p) || (altro && corrisponde(*altro)))) continue;
        const int n = ++corrispondenze;
        if (!trovato && (g.volta == 0 || n == g.volta || (g.ancheDopo && n > g.volta)))
            trovato = &g;
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

core::EsitoFile FileSystemDifettoso::aggiungiIn(const Path& p, std::uintmax_t da,
                                                std::string_view contenuto) {
    const bool crollato = crollo_ >= 0 && modifiche_ >= crollo_;
    const Guasto* g = Cambia(AggiungiIn, p);
    if (!g) return reale_.aggiungiIn(p, da, contenuto);
    if (crollato ? !std::exchange(troncato_, true) : g->parziale)
        (void)reale_.aggiungiIn(p, da, contenuto.substr(0, contenuto.size() / 2));
    return Errore(p);
}

}  // namespace test
