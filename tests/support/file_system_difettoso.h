#pragma once

#include <array>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/file_system.h"

namespace test {

// clang-format off
enum class Operazione { Leggi, Scrivi, Rinomina, Elimina, SincronizzaCartella, CreaCartella,
                        EliminaCartella, Collega, Elenca, AggiungiIn };
// clang-format on

// One planned failure of the calls of `operazione` whose path (either, for a rename) has a
// file name containing `nome` (any, when empty).
struct Guasto {
    Operazione operazione = Operazione::Scrivi;
    std::string nome;
    // 0: every matching call fails; N: the Nth (from 1), and every later one with `ancheDopo`.
    int volta = 0;
    bool ancheDopo = false;
    int errore = EACCES;  // the errno whose reason is reported
    // Scrivi, AggiungiIn: half the content reaches the disk, as when it fills up (and an
    // append is left torn, as by a machine that stops)
    bool parziale = false;
};

// A file system in front of another (the real one by default) that fails the planned
// calls and passes every other call through.
class FileSystemDifettoso : public core::FileSystem {
    using Path = std::filesystem::path;
    using Esito = core::EsitoFile;
    using enum Operazione;

  public:
    explicit FileSystemDifettoso(core::FileSystem& reale = core::FileSystemReale())
        : reale_(reale) {}

    void Guasta(Guasto guasto) { guasti_.push_back({std::move(guasto), 0}); }
    void Ripara() {
        guasti_.clear();
        crollo_ = -1;
    }
    // A machine that stops: after `operazioni` more changes to the disk (writes, renames,
    // deletes, syncs, new folders, links) every further change fails with EIO.
    void CrollaDopo(int operazioni) {
        crollo_ = modifiche_ + operazioni;
        troncato_ = false;
    }
    // Runs before each piece of a file read in pieces (another program at work meanwhile).
    void PrimaDellaParte(std::function<void(const Path&, std::uintmax_t)> azione) {
        primaDellaParte_ = std::move(azione);
    }
    // Calls of the operation made so far, failed ones included.
    [[nodiscard]] int Chiamate(Operazione op) const { return chiamate_[static_cast<int>(op)]; }

    bool esiste(const Path& p) const override { return reale_.esiste(p); }
    core::TipoVoce tipo(const Path& p) const override { return reale_.tipo(p); }
    Esito leggi(const Path& p, std::string& contenuto) const override {
        return Guastato(Leggi, p) ? Errore(p) : reale_.leggi(p, contenuto);
    }
    // A read, as leggi is: the planned failures count both.
    Esito leggiParte(const Path& p, std::uintmax_t da, std::size_t quanti, std::string& pezzo,
                     std::uint64_t& versione) const override {
        if (Guastato(Leggi, p)) return Errore(p);
        if (primaDellaParte_) primaDellaParte_(p, da);
        return reale_.leggiParte(p, da, quanti, pezzo, versione);
    }
    Esito elenca(const Path& dir, std::vector<std::string>& nomi) const override {
        return Guastato(Elenca, dir) ? Errore(dir) : reale_.elenca(dir, nomi);
    }
    Esito scrivi(const Path& p, std::string_view contenuto) override;
    Esito aggiungiIn(const Path& p, std::uintmax_t da, std::string_view contenuto) override;
    std::optional<std::uintmax_t> dimensione(const Path& p) const override {
        return reale_.dimensione(p);
    }
    Esito rinomina(const Path& da, const Path& a) override {
        return Cambia(Rinomina, a, &da) ? Errore(a) : reale_.rinomina(da, a);
    }
    Esito collega(const Path& da, const Path& a) override {
        return Cambia(Collega, a, &da) ? Errore(a) : reale_.collega(da, a);
    }
    Esito elimina(const Path& p) override {
        return Cambia(Elimina, p) ? Errore(p) : reale_.elimina(p);
    }
    Esito sincronizzaCartella(const Path& dir) override {
        return Cambia(SincronizzaCartella, dir) ? Errore(dir) : reale_.sincronizzaCartella(dir);
    }
    Esito creaCartella(const Path& dir) override {
        return Cambia(CreaCartella, dir) ? Errore(dir) : reale_.creaCartella(dir);
    }
    Esito eliminaCartella(const Path& dir) override {
        return Cambia(EliminaCartella, dir) ? Errore(dir) : reale_.eliminaCartella(dir);
    }

  private:
    // The planned failure this call meets, if any (its errno kept for Errore); counts the
    // call. A change to the disk fails with EIO once the machine has stopped.
    const Guasto* Guastato(Operazione op, const Path& p, const Path* altro = nullptr) const;
    const Guasto* Cambia(Operazione op, const Path& p, const Path* altro = nullptr);
    core::ErroreFile Errore(const Path& p) const { return {p, core::MotivoErrore(errore_)}; }

    core::FileSystem& reale_;
    mutable std::vector<std::pair<Guasto, int>> guasti_;  // each with its matching calls so far
    mutable std::array<int, 10> chiamate_{};
    mutable int errore_ = 0;
    int modifiche_ = 0;
    int crollo_ = -1;
    std::function<void(const Path&, std::uintmax_t)> primaDellaParte_;
    bool troncato_ = false;
};

}  // namespace test
