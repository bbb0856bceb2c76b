#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace core {

enum class Segno { Debito, Credito };

struct TipoMovimento {
    int posizione;                 // place in the sorted type list, 0..14
    std::string_view finestra;     // "Form2".."Form16"
    std::string_view caption;      // window caption and list entry
    std::string_view CausaleLire;  // "Causale" text in lire mode
    std::string_view CausaleEuro;  // "Causale" text in any other mode
    Segno segno;
    bool AvvisoFido;  // the over-the-credit-line warning is tested
    int larghezza;    // client area, twips
    int altezza;
    std::string_view suggerimentoData;  // hint of the date box, empty for most types
};

// The fifteen types by list position (alphabetical order of the captions).
[[nodiscard]] const std::array<TipoMovimento, 15>& TipiMovimento();
// The order in which the main window adds the captions to its sorted list.
[[nodiscard]] const std::array<std::string_view, 15>& OrdineInserimentoTipi();
[[nodiscard]] const TipoMovimento* TipoDaPosizione(int posizione);
// Direction of an existing row from its "Causale" text: a debit when it contains
// "Addebito", "Assegno", "debito" or "Prelievo" (case-sensitive).
[[nodiscard]] bool CausaleDiDebito(std::string_view causale);

}  // namespace core
