#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/date.h"
#include "core/denaro.h"
#include "core/tipi_movimento.h"

namespace estratti {

enum class Valuta { Euro, Lire };

// One movement as the bank's file states it: a signed amount (negative leaves the
// account), the bank's description and, where the file names it, one of the fifteen types.
struct Transazione {
    core::Data data;
    core::Money importo;
    Valuta valuta = Valuta::Euro;
    std::string descrizione;  // UTF-8
    std::string riferimento;  // the reference column where the file has one, else empty
    const core::TipoMovimento* tipo = nullptr;
    std::string idBanca;  // OFX FITID: tells two equal-looking movements apart
    int linea = 0;        // line in the file, for messages; 0 when unknown
};

// A closing balance the bank states (OFX LEDGERBAL).
struct SaldoDichiarato {
    core::Data data;
    core::Money saldo;
};

struct Estratto {
    std::string nomeFile;
    std::vector<Transazione> transazioni;  // in file order
    std::optional<SaldoDichiarato> saldoFinale;
    std::string chiaveBanca;  // the account id or the header's signature
};

// A file that cannot be read: the Italian message names the file and, where known, the line.
struct ErroreEstratto {
    std::string messaggio;
};

}  // namespace estratti
