#pragma once

// A session of the program without its windows: a register of N movements written into a
// folder of its own, then loaded from there by the main window's logic as at start, so that
// every action after it meets the data files as the program leaves them.

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>

#include "bench/dialoghi_muti.h"
#include "bench/finestra_minima.h"
#include "core/importi.h"
#include "core/tipi_movimento.h"
#include "main_window/form1.h"

namespace bench {

// Today, a few days after the register's last movement.
inline constexpr core::Data kOggi{2025, 1, 1};

// `movimenti` lire movements from 1995 to 2024, several a day when they are many, with
// their running balance, and the account's two files beside them.
inline void ScriviRegistro(const std::filesystem::path& cartella, int movimenti) {
    std::filesystem::remove_all(cartella);
    std::filesystem::create_directories(cartella / "sys");
    // Years of twelve 28-day months, so that the dates only ever grow.
    constexpr std::int64_t kGiorni = 30 * 336;
    const char* const riferimenti[] = {"Stipendio", "Bancomat via Roma", "Bolletta n. 2231",
                                       "Affitto",   "Spesa, mercato",    "Rata auto"};
    core::Registro r;
    r.reserve(static_cast<std::size_t>(movimenti), static_cast<std::size_t>(movimenti) * 60);
    core::Money saldo = core::Money::FromUnits(1'000'000);
    for (int i = 0; i < movimenti; ++i) {
        const std::int64_t giorno = i * kGiorni / movimenti;
        const core::Data d{1995 + static_cast<int>(giorno / 336),
                           1 + static_cast<int>(giorno / 28 % 12),
                           1 + static_cast<int>(giorno % 28)};
        const bool versamento = i % 3 == 0;
        const core::Money importo = core::Money::FromUnits(1000 * (150 + i % 170));
        saldo = (versamento ? saldo.plus(importo) : saldo.minus(importo)).value_or(saldo);
        r.aggiungi({core::FormatoData(d), versamento ? "Versamento" : "Prelievo",
                    riferimenti[i % 6], core::FormatoLire(importo), core::FormatoLire(saldo)});
    }
    core::FileDati file(core::FileSystemReale(), cartella, cartella / "sys");
    if (file.SalvaRegistroEParametri(r, {core::kLire, saldo, core::Money::FromUnits(0)}) ||
        file.SalvaConto("12345", "Banca Uno"))
        throw std::runtime_error("registro di prova non scritto in " + cartella.string());
}

// Opens no window: the actions measured need none.
class NessunaFinestra : public main_window::ApriFinestre {
  public:
    void ApriInserimento(const core::TipoMovimento&) override {}
    void ApriPassword() override {}
    void ApriStampa() override {}
};

// The register of a folder loaded as at the program's start.
class Sessione {
  public:
    explicit Sessione(const std::filesystem::path& cartella)
        : file(core::FileSystemReale(), cartella, cartella / "sys"),
          contesto{stato, griglia, file, dialoghi, form1, [] { return kOggi; }},
          logica(contesto, finestre) {
        dialoghi.severo = true;
        if (logica.Form_Load() != 0)
            throw std::runtime_error("registro di prova non caricato da " + cartella.string());
    }

    core::FileDati file;
    core::StatoConto stato;
    grid::Griglia griglia;
    DialoghiMuti dialoghi;
    FinestraMinima form1;
    ui::Contesto contesto;
    NessunaFinestra finestre;
    main_window::Form1 logica;
};

// A folder of its own under the temporary one, for one benchmark of one size.
inline std::filesystem::path Cartella(std::string_view nome, std::int64_t movimenti) {
    return std::filesystem::temp_directory_path() /
           ("quibora_" + std::string(nome) + "_" + std::to_string(::getpid()) + "_" +
            std::to_string(movimenti));
}

}  // namespace bench
