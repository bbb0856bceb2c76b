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
    std::string idBanca;         // OFX FITID: tells two equal-looking movements apart
    int linea = 0;               // line in the file, for messages; 0 when unknown
    bool contabilizzata = true;  // false for a pending, declined or reverted movement
    std::string valutaEstera;    // the currency code when neither euro nor lire ("CHF")
    std::string dataNonValida;   // the date as written, when no calendar has it
    std::string conto;           // OFX: the account it belongs to
};

// A closing balance the bank states (OFX LEDGERBAL, a CSV's "Saldo finale" line).
struct SaldoDichiarato {
    core::Data data;
    core::Money saldo;
};

// One account of an OFX file.
struct ContoEstratto {
    std::string numero;  // ACCTID
    std::string tipo;    // "conto corrente", "carta di credito", ...
    std::optional<SaldoDichiarato> saldoFinale;
};

struct Estratto {
    std::string nomeFile;
    std::vector<Transazione> transazioni;  // in file order
    std::optional<SaldoDichiarato> saldoFinale;
    std::string chiaveBanca;  // the account id or the header's signature
    std::string numeroConto;  // the account number the file states; empty when none
    // OFX: every account of the file. With more than one, the statement holds one only after
    // SceltaConto; until then it has no closing balance to check against.
    std::vector<ContoEstratto> conti;
    std::vector<std::string> avvisi;  // what the reader had to skip or could not trust
    // Set by the import when the user chose to switch a lire register to euro at "Importa".
    bool registroInEuro = false;
};

// Keeps only the movements of account `numero`, with its closing balance.
void SceltaConto(Estratto& estratto, const std::string& numero);

// A file that cannot be read: the Italian message names the file and, where known, the line.
struct ErroreEstratto {
    std::string messaggio;
};

}  // namespace estratti
