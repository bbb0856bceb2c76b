#include "core/tipi_movimento.h"

namespace core {

namespace {

constexpr std::string_view kSuggerimentoBonifico =
    "Nonostante sia possibile cambiare la data di inserimento del movimento, si consiglia di non "
    "inserire movimenti con data inferiore all'ultima operazione inserita nella tabella.";

constexpr Segno D = Segno::Debito;
constexpr Segno C = Segno::Credito;

// clang-format off
constexpr std::array<TipoMovimento, 15> kTipi = {{
    {0, "Form3", "Accredito generico", "Accredito generico", "Accredito generico", C, false, 2835, 2385, {}},
    {1, "Form4", "Accredito stipendio", "Accredito stipendio", "Accredito stipendio", C, false, 2850, 2370, {}},
    {2, "Form2", "Addebito bolletta acqua", "Addebito bolletta acqua", "Addebito bolletta acqua", D, true, 2835, 2385, {}},
    {3, "Form5", "Addebito bolletta elettricità", "Addebito boll.elettricità", "Addebito boll. eletricità", D, true, 2955, 2400, {}},
    {4, "Form6", "Addebito bolletta gas", "Addebito bolletta gas", "Addebito bolletta gas", D, true, 2835, 2385, {}},
    {5, "Form7", "Addebito bolletta telefonica", "Addebito boll.telefonica", "Addebito boll.telefonica", D, true, 2985, 2400, {}},
    {6, "Form8", "Addebito carta di credito", "Addebito carta di credito", "Addebito carta di credito", D, true, 2925, 2415, {}},
    {7, "Form9", "Addebito generico", "Addebito generico", "Addebito generico", D, true, 2910, 2430, {}},
    {8, "Form10", "Assegno", "Assegno", "Assegno", D, true, 2820, 2400, {}},
    {9, "Form11", "Bonifico a credito", "Bonifico a credito", "Bonifico a credito", C, false, 2805, 2445, {}},
    {10, "Form12", "Bonifico a debito", "Bonifico a debito", "Bonifico a debito", D, true, 2805, 2445, kSuggerimentoBonifico},
    {11, "Form13", "Interessi a credito", "Interessi a credito", "Interessi a credito", C, false, 2805, 2460, {}},
    {12, "Form14", "Interessi a debito", "Interessi a debito", "Interessi a debito", D, true, 2805, 2460, {}},
    {13, "Form15", "Prelievo", "Prelievo", "Prelievo", D, true, 2805, 2460, {}},
    {14, "Form16", "Versamento", "Versamento", "Versamento", C, false, 2805, 2460, {}},
}};

constexpr std::array<std::string_view, 15> kOrdineInserimento = {
    "Assegno", "Versamento", "Prelievo", "Addebito carta di credito",
    "Addebito bolletta telefonica", "Addebito bolletta gas", "Addebito bolletta elettricità",
    "Addebito bolletta acqua", "Bonifico a credito", "Bonifico a debito", "Addebito generico",
    "Interessi a credito", "Interessi a debito", "Accredito stipendio", "Accredito generico",
};
// clang-format on

}  // namespace

const std::array<TipoMovimento, 15>& TipiMovimento() {
    return kTipi;
}

const std::array<std::string_view, 15>& OrdineInserimentoTipi() {
    return kOrdineInserimento;
}

const TipoMovimento* TipoDaPosizione(int posizione) {
    if (posizione < 0 || posizione >= static_cast<int>(kTipi.size())) return nullptr;
    return &kTipi[static_cast<std::size_t>(posizione)];
}

bool CausaleDiDebito(std::string_view causale) {
    for (std::string_view parola : {"Addebito", "Assegno", "debito", "Prelievo"}) {
        if (causale.find(parola) != std::string_view::npos) return true;
    }
    return false;
}

}  // namespace core
