#include "printing/stampa.h"

#include <array>
#include <cmath>
#include <limits>
#include <new>
#include <stdexcept>

namespace printing {

namespace {

constexpr double kRigaEtichetta = 4;  // mm from the top of the printable area
constexpr double kRigaTitolo = 10;
constexpr double kRigaData = 16;

// Copies a register row into the print grid. A tab would spread a printed cell over the
// next column's space, so it prints as a blank.
void CopiaRiga(const grid::Griglia& registro, int riga, grid::Griglia& gridPrint) {
    std::array<std::string, grid::kColonne> senzaTab;
    core::Registro::Celle celle;
    for (int c = 0; c < grid::kColonne; ++c) {
        const auto k = static_cast<std::size_t>(c);
        celle[k] = registro.Cella(riga, c);
        if (celle[k].find('\t') == std::string_view::npos) continue;
        senzaTab[k] = celle[k];
        for (char& ch : senzaTab[k])
            if (ch == '\t') ch = ' ';
        celle[k] = senzaTab[k];
    }
    gridPrint.AddItem(celle);
}

// Where the grid body goes: the printable area less the margins.
Rettangolo AreaGriglia(Stampante& stampante, const Margini& m) {
    const std::int32_t larghezza = ArrotondaPixel(stampante.LarghezzaStampabile());
    const std::int32_t altezza = ArrotondaPixel(stampante.AltezzaStampabile());
    return {ArrotondaPixel(stampante.MmInOrizzontale(m.sinistro)),
            ArrotondaPixel(stampante.MmInVerticale(m.alto)),
            ArrotondaPixel(larghezza - stampante.MmInOrizzontale(m.destro)),
            ArrotondaPixel(altezza - stampante.MmInVerticale(m.basso))};
}

void StampaIn(Stampante& stampante, double xMm, double yMm, std::string_view testo) {
    stampante.ImpostaX(stampante.MmInOrizzontale(xMm));
    stampante.ImpostaY(stampante.MmInVerticale(yMm));
    stampante.StampaRiga(testo);
}

}  // namespace

void PreparaGridPrint(grid::Griglia& gridPrint) {
    gridPrint.SetRows(1);
    for (int c = 0; c < grid::kColonne; ++c)
        gridPrint.SetFixedAlignment(c, grid::Allineamento::Centro);
    gridPrint.SetColAlignment(2, grid::Allineamento::Sinistra);
    gridPrint.SetColAlignment(0, grid::Allineamento::Centro);
    for (int c = 0; c < grid::kColonne; ++c) gridPrint.SetColWidth(c, grid::kLarghezzeRegistro[c]);
    gridPrint.SetFontBold(true);
    for (int c = 0; c < grid::kColonne; ++c)
        gridPrint.SetTextMatrix(0, c, grid::kIntestazioniRegistro[c]);
}

bool InPeriodo(const core::Data& data, const core::Data& inizio, const core::Data& fine) {
    return data >= inizio && data <= fine;
}

std::string TitoloStampa(std::string_view banca, std::string_view numero) {
    return std::string(banca) + "  conto n° " + std::string(numero) + " - elenco movimenti al : ";
}

std::string MessaggioErroreStampa(int codice, std::string_view dettaglio) {
    std::string testo = codice == kErroreStampante
                            ? std::string("Errore della stampante")
                            : "Si è verificato l'errore N° " + std::to_string(codice);
    if (!dettaglio.empty()) testo += "\n" + std::string(dettaglio);
    return testo;
}

std::int32_t ArrotondaPixel(double valore) {
    if (!std::isfinite(valore)) throw ErroreStampa{kErroreOverflow};
    double intero = std::floor(valore);
    const double resto = valore - intero;
    if (resto > 0.5 || (resto == 0.5 && std::fmod(intero, 2.0) != 0)) intero += 1;
    if (intero < std::numeric_limits<std::int32_t>::min() ||
        intero > std::numeric_limits<std::int32_t>::max())
        throw ErroreStampa{kErroreOverflow};
    return static_cast<std::int32_t>(intero);
}

int PagineStimate(int righe, int primaPagina) {
    if (primaPagina <= 0 || righe <= primaPagina) return 1;
    return (righe - 1) / primaPagina + 1;
}

void StampaGrid(const grid::Griglia& griglia, Stampante& stampante, ui::Dialoghi& dialoghi,
                const Margini& margini, std::string_view titolo, const core::Data& oggi,
                Avanzamento* avanzamento) {
    int codice = 0;
    std::string dettaglio;
    try {
        stampante.ImpostaPixel();
        const Rettangolo area = AreaGriglia(stampante, margini);
        const auto render = stampante.Render(griglia);
        stampante.StampaRiga("");

        const std::string data = core::FormatoData(oggi);
        const int righe = griglia.Rows() - 1;
        int pagine = 0;
        for (int pagina = 1;; ++pagina) {
            if (avanzamento && !avanzamento->Pagina(pagina, pagine)) {
                stampante.Annulla();
                return;
            }
            if (pagina > 1) stampante.NuovaPagina();
            StampaIn(stampante, margini.sinistro, kRigaTitolo, titolo);
            StampaIn(stampante, margini.sinistro, kRigaData, data);
            // The page label stands at the right margin's value from the left edge, above the
            // title.
            StampaIn(stampante, margini.destro, kRigaEtichetta,
                     "Pagina N° " + std::to_string(pagina));
            if (!render->Pagina(area)) break;
            if (pagina == 1) pagine = PagineStimate(righe, render->RigheDisegnate());
        }
        const std::string avviso = stampante.FineDocumento();
        if (!avviso.empty()) dialoghi.Messaggio(avviso, ui::Pulsanti::Ok, ui::Icona::Informazione);
        return;
    } catch (const ErroreStampa& e) {
        codice = e.codice;
        dettaglio = e.dettaglio;
    } catch (const std::bad_alloc&) {
        codice = kErroreMemoria;
    } catch (const std::exception&) {
        codice = kErroreInterno;
    }
    dialoghi.Messaggio(MessaggioErroreStampa(codice, dettaglio), ui::Pulsanti::Ok,
                       ui::Icona::Critica);
}

void StampaRegistro::StampaTutto() {
    Stampa(false);
}

void StampaRegistro::StampaPeriodo() {
    Stampa(true);
}

void StampaRegistro::Stampa(bool soloPeriodo) {
    PreparaGridPrint(s_.gridPrint);
    // A million rows copied one by one would otherwise be copied again each time the
    // print grid grows; room not used costs no memory.
    const core::Registro& righe = s_.registro.righe();
    s_.gridPrint.Riserva(righe.size(), righe.byteTesti());
    for (int r = 1; r < s_.registro.Rows(); ++r) {
        if (soloPeriodo) {
            const auto data = core::LeggiData(s_.registro.TextMatrix(r, 0));
            if (!data || !InPeriodo(*data, s_.stato.DataInizioStampa, s_.stato.DataFineStampa))
                continue;
        }
        CopiaRiga(s_.registro, r, s_.gridPrint);
    }

    // No printer means the user declined to choose one: nothing to tell.
    const auto stampante = s_.stampante ? s_.stampante() : nullptr;
    if (!stampante) return;
    const auto avanzamento = s_.avanzamento ? s_.avanzamento() : nullptr;
    StampaGrid(s_.gridPrint, *stampante, s_.dialoghi, Margini{},
               TitoloStampa(s_.stato.BancaAppoggio, s_.stato.NumeroConto), s_.oggi(),
               avanzamento.get());
}

}  // namespace printing
