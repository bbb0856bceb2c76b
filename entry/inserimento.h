#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "core/date.h"
#include "core/denaro.h"
#include "core/file_dati.h"
#include "core/registro.h"
#include "core/tipi_movimento.h"

namespace entry {

// Names of the entry window's boxes, as the focus of a rejection names them.
inline constexpr std::string_view kTxtData = "txtData";
inline constexpr std::string_view kTxtImporto = "txtImporto";
inline constexpr std::string_view kTxtrif = "Txtrif";

// What the user typed into the three boxes, untouched (no box is trimmed).
struct TestiMovimento {
    std::string_view data;
    std::string_view importo;
    std::string_view riferimento;
};

// The part of the account state the entry works on.
struct SituazioneConto {
    core::Money saldo;
    core::Money fido;  // zero or negative
    std::string_view modoValuta;
};

// A refused entry: the message to show and the box that gets the focus.
struct Rifiuto {
    std::string messaggio;
    std::string_view focus;
    friend bool operator==(const Rifiuto&, const Rifiuto&) = default;
};

// An accepted entry: the new register row and what it does to the account.
struct Movimento {
    core::Data data;
    core::Money importo;
    core::RigaRegistro riga;  // "Data", "Causale", "Riferimento", "Importo", "Saldo"
    core::Money nuovoSaldo;
    std::string testoSaldo;  // the balance box text, in the row's format
    bool fuoriFido = false;  // show the over-the-credit-line warning

    // The row's cells as the grid's AddItem takes them, valid while the movement lives.
    [[nodiscard]] core::Registro::Celle celle() const {
        return {riga[0], riga[1], riga[2], riga[3], riga[4]};
    }
};

using EsitoInserimento = std::variant<Rifiuto, Movimento>;

// The checks and the arithmetic of the entry window's OK, in their order of precedence.
// `dataUltimaRiga` is the "Data" cell of the register's last row, none for an empty register;
// a cell that does not read as a date is not compared.
[[nodiscard]] EsitoInserimento ValutaMovimento(const TestiMovimento& testi,
                                               const core::TipoMovimento& tipo,
                                               const SituazioneConto& conto,
                                               std::optional<std::string_view> dataUltimaRiga);

}  // namespace entry
