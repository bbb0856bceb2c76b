#pragma once

#include <functional>
#include <string>

#include "core/conto.h"
#include "core/date.h"
#include "core/file_dati.h"
#include "grid/griglia.h"
#include "ui/dialoghi.h"
#include "ui/finestra.h"

namespace ui {

// What every command works on: the account state, the register grid, the data files,
// the window system's services, the main window and today's date.
struct Contesto {
    core::StatoConto& stato;
    grid::Griglia& griglia;
    core::FileDati& file;
    Dialoghi& dialoghi;
    Finestra& form1;
    std::function<core::Data()> oggi;
};

// The register and the parameters as one save; a failure is shown with the file's name
// and what was changed stays in memory for the next save. True when both were written.
[[nodiscard]] bool SalvaRegistroEParametri(Contesto& c);
// The same save, its failure returned rather than shown.
// `consolida`: the files are also left whole, with no journal beside them (the exit).
[[nodiscard]] core::EsitoFile ScriviRegistroEParametri(
    Contesto& c, core::FileDati::Consolida consolida = core::FileDati::Consolida::No);

// The main window's two widths: 240 twips wider while the grid has 13 rows or more.
void AllargaFinestra(Finestra& form1);
void StringiFinestra(Finestra& form1);

// Balance box colour: black for zero or more, red below zero.
void ColoreSaldo(Contesto& c);

// The balance box's spoken name: its currency, and what the colour alone shows, whether
// the balance is negative and beyond the credit line ("Saldo in lire, negativo, oltre il
// fido accordato"); the screen reader reads the value after it.
[[nodiscard]] std::string NomeParlatoSaldo(const core::StatoConto& stato);

}  // namespace ui
