#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/conto.h"
#include "core/registro.h"
#include "estratti/estratto.h"
#include "ui/contesto.h"

namespace estratti {

// The reference box of the entry window holds this many characters.
inline constexpr std::size_t kLunghezzaRiferimento = 16;

enum class Esclusione {
    Nessuna,
    DataPrecedente,  // before the register's last movement
    GiaNelRegistro,  // same date, amount and reference as a register row
    DoppiaNelFile,   // the same movement earlier in the statement
    ImportoNullo,
    FuoriLimite,        // the amount or the balance would leave the money range
    NonSelezionata,     // the user took the tick off
    NonContabilizzata,  // pending, declined, reverted: not booked by the bank
    AltraValuta,        // in another currency than the register's
    DataNonValida,      // a date no calendar has
};
[[nodiscard]] std::string TestoEsclusione(Esclusione e);
// Only a row the register's rules refuse cannot be ticked back in.
[[nodiscard]] bool EsclusioneObbligata(Esclusione e);

// The type from the bank's description, among the types of the amount's direction.
[[nodiscard]] const core::TipoMovimento& IndovinaTipo(std::string_view descrizione, bool credito);

struct RigaAnteprima {
    core::Data data;
    const core::TipoMovimento* tipo = nullptr;
    std::string descrizione;  // the bank's text, as read
    std::string riferimento;  // as it will be stored
    bool accorciato = false;  // cut to the box's length
    bool riparato = false;    // characters the data files cannot hold were replaced
    core::Money importo;      // positive, in the register's currency
    bool credito = false;     // the statement's direction
    bool inclusa = true;
    Esclusione esclusione = Esclusione::Nessuna;
    core::Money saldo;  // the balance after this row (unchanged for an excluded row)
    bool fuoriFido = false;
    int linea = 0;
    std::string valuta;         // the row's currency code when it is not the register's ("CHF")
    std::string dataNonValida;  // the date as the file writes it, when no calendar has it
};
// The row's note: the reason with what it names ("In valuta diversa (CHF)").
[[nodiscard]] std::string TestoEsclusione(const RigaAnteprima& riga);

struct Anteprima {
    std::string nomeFile;
    std::string modoValuta;
    core::Money saldoIniziale;
    core::Money fido;
    std::vector<RigaAnteprima> righe;  // by date
    std::optional<SaldoDichiarato> saldoFinale;
    std::vector<std::string> avvisi;  // shown above the rows: what the reader had to skip
};

// The statement's rows sorted by date, with their types guessed, their references made
// storable and the register's rules applied. Amounts are converted to lire when the
// register is kept in lire, unless `inEuro`: the user chose to switch the register to euro
// at "Importa", and the preview shows it as it will be then (nothing changes before).
[[nodiscard]] Anteprima PreparaAnteprima(const Estratto& estratto, const core::Registro& registro,
                                         const core::StatoConto& stato, bool inEuro = false);
// The register's state once switched to euro, as the currency switch makes it.
[[nodiscard]] core::StatoConto StatoInEuro(const core::StatoConto& stato);
// After the user changed a tick or a type: balances and credit-line marks again. A row whose
// type goes the other way than its amount gets back a type of its own direction.
void Ricalcola(Anteprima& anteprima);
void ImpostaInclusa(Anteprima& anteprima, std::size_t riga, bool inclusa);
// The types the user may choose for a row: those of the row's direction, so that a type never
// turns a debit into a credit.
[[nodiscard]] std::vector<const core::TipoMovimento*> TipiPerRiga(const RigaAnteprima& riga);
// Sets a row's type; false (and nothing changed) for a type of the other direction.
[[nodiscard]] bool ImpostaTipo(Anteprima& anteprima, std::size_t riga,
                               const core::TipoMovimento& tipo);

// Asked before the preview of a register kept in lire.
inline constexpr std::string_view kDomandaLire =
    "Il conto è gestito in lire, gli importi dell'estratto conto sono in euro.\n\n"
    "Sì: gli importi vengono convertiti in lire al cambio di 1936,27 lire per euro, come fa "
    "il cambio di divisa.\n"
    "No: il conto passerà alla gestione in euro quando preme \"Importa\", e gli importi "
    "entrano come sono.\n"
    "Annulla: non importa nulla.";

struct EsitoImportazione {
    int aggiunte = 0;
    bool salvato = false;
    std::string riepilogo;
};

// Appends the included rows as the entry window would, saves the register and the
// parameters once, and tells what happened.
// `passaAEuro`, when set, switches a lire register to euro first. Nothing is added when the
// register's currency is not the one the preview was made for.
[[nodiscard]] EsitoImportazione ApplicaAnteprima(const Anteprima& anteprima, ui::Contesto& c,
                                                 const std::function<void()>& passaAEuro = {});

// The summary text alone (the included rows already in the register).
[[nodiscard]] std::string Riepilogo(const Anteprima& anteprima, const core::Registro& registro,
                                    const core::StatoConto& stato, bool salvato);

}  // namespace estratti
