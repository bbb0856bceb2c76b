#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "estratti/estratto.h"
#include "estratti/testi.h"

namespace estratti {

// Which column is what in a bank's CSV; -1 for a column the file does not have. Either
// one signed amount column or the two columns of debits and credits.
struct MappaturaCsv {
    char separatore = ';';
    int rigaIntestazione = -1;  // record index of the header; -1 when the file has none
    int colData = -1;
    int colDescrizione = -1;
    int colRiferimento = -1;
    int colTipo = -1;  // a "Causale" column holding the movement types' own names
    int colImporto = -1;
    int colDare = -1;
    int colAvere = -1;
    int colValuta = -1;
    int colStato = -1;  // booked or not ("COMPLETED", "PENDING", "Non contabilizzato")
    // Another date column, for rows whose date cell is empty (a pending card payment has a
    // start date but no completion date).
    int colDataRiserva = -1;
    char decimale = ',';
    FormatoData formatoData = FormatoData::GiornoMeseAnno;
    // No row tells whether 03/04 is the 3rd of April or the 4th of March: ask the user.
    bool dataAmbigua = false;
    friend bool operator==(const MappaturaCsv&, const MappaturaCsv&) = default;
};

// The records of a CSV text (libcsv), each with the line it starts on (1-based).
struct TabellaCsv {
    std::vector<std::vector<std::string>> record;
    std::vector<int> linee;
    bool troppeColonne = false;  // a record beyond kMassimoColonne, cut there
};
// No bank's statement has this many columns; a file that has is not one.
inline constexpr std::size_t kMassimoColonne = 512;
[[nodiscard]] TabellaCsv SeparaCsv(std::string_view testo, char separatore);

// Separator, header row (after any title lines), columns, date format and decimal
// separator, from the text (UTF-8). Columns are recognised by their header's name only: a
// column whose name is not known, and every column of a file without a header, is -1.
[[nodiscard]] MappaturaCsv RilevaMappatura(std::string_view testo);
// The same on a table already split into cells (a CSV with a known separator, a worksheet).
[[nodiscard]] MappaturaCsv RilevaColonne(const TabellaCsv& tabella, char separatore);
// The header's cells, lower-cased and joined: the same bank's files share it.
[[nodiscard]] std::string FirmaIntestazione(const TabellaCsv& tabella, const MappaturaCsv& m);

// What the mapping still lacks for the preview to import, as a message for the user naming
// each missing column; empty when the date, amount and description columns are all set.
[[nodiscard]] std::string ColonneMancanti(const MappaturaCsv& mappatura);

[[nodiscard]] std::variant<Estratto, ErroreEstratto> LeggiCsv(std::string_view testo,
                                                              const MappaturaCsv& mappatura,
                                                              const std::string& nomeFile);
[[nodiscard]] std::variant<Estratto, ErroreEstratto> LeggiTabella(const TabellaCsv& tabella,
                                                                  const MappaturaCsv& mappatura,
                                                                  const std::string& nomeFile);

}  // namespace estratti
