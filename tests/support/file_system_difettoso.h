#pragma once

#include <array>
#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "core/file_system.h"

namespace test {

enum class Operazione {
    Leggi,
    Scrivi,
    Rinomina,
    Elimina,
    SincronizzaCartella,
    CreaCartella,
    EliminaCartella,
    Collega,
    Elenca,
};

// One planned failure. A call matches when its operation is `operazione` and, if `nome`
// is not empty, the file name of its path (either path, for a rename) contains `nome`.
struct Guasto {
    Operazione operazione = Operazione::Scrivi;
    std::string nome;
    // 0: every matching call fails; N: the Nth matching call (from 1) fails, and with
    // `ancheDopo` every later one too.
    int volta = 0;
    bool ancheDopo = false;
    int errore = EACCES;  // the errno whose reason is reported
    // Scrivi only: put the first half of the content on the disk before failing, as a
    // disk that fills up mid-write does.
    bool parziale = false;
};

// A file system in front of another (the real one by default) that fails the planned
// calls and passes every other call through.
class FileSystemDifettoso : public core::FileSystem {
  public:
    explicit FileSystemDifettoso(core::FileSystem& reale = core::FileSystemReale())
        : reale_(reale) {}

    void Guasta(Guasto guasto) { guasti_.push_back({std::move(guasto), 0}); }
    void Ripara() {
        guasti_.clear();
        crollo_ = -1;
    }
    // Simulates a machine that stops: after `operazioni` more changes to the disk (writes,
    // renames, deletes, syncs, new folders, links) every further change fails with EIO.
    void CrollaDopo(int operazioni) {
        crollo_ = modifiche_ + operazioni;
        troncato_ = false;
    }
    // Calls of the operation made so far, failed ones included.
    [[nodiscard]] int Chiamate(Operazione op) const { return chiamate_[static_cast<int>(op)]; }

    bool esiste(const std::filesystem::path& p) const override { return reale_.esiste(p); }
    core::TipoVoce tipo(const std::filesystem::path& p) const override { return reale_.tipo(p); }
    core::EsitoFile leggi(const std::filesystem::path& p, std::string& contenuto) const override;
    core::EsitoFile scrivi(const std::filesystem::path& p, std::string_view contenuto) override;
    core::EsitoFile rinomina(const std::filesystem::path& da,
                             const std::filesystem::path& a) override;
    core::EsitoFile elimina(const std::filesystem::path& p) override;
    core::EsitoFile sincronizzaCartella(const std::filesystem::path& dir) override;
    core::EsitoFile creaCartella(const std::filesystem::path& dir) override;
    core::EsitoFile eliminaCartella(const std::filesystem::path& dir) override;
    core::EsitoFile collega(const std::filesystem::path& da,
                            const std::filesystem::path& a) override;
    core::EsitoFile elenca(const std::filesystem::path& dir,
                           std::vector<std::string>& nomi) const override;

  private:
    struct Piano {
        Guasto guasto;
        int corrispondenze;
    };
    // The planned failure this call meets, if any; counts the call either way.
    const Guasto* Controlla(Operazione op, const std::filesystem::path& p,
                            const std::filesystem::path* altro = nullptr) const;
    // True when the simulated machine has stopped; counts the change otherwise.
    bool Crollato();

    core::FileSystem& reale_;
    mutable std::vector<Piano> guasti_;
    mutable std::array<int, 9> chiamate_{};
    int modifiche_ = 0;
    int crollo_ = -1;
    bool troncato_ = false;
};

}  // namespace test
