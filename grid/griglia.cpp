#include "grid/griglia.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace grid {

namespace {

// Width of a column nobody has sized yet: 64 pixels at 96 dpi.
constexpr int kLarghezzaPredefinita = 960;
// The grid's answer to an index that names no data row (the header included).
constexpr int kErroreIndice = 5;

}  // namespace

bool SembraNumero(std::string_view testo) {
    const auto inizio = testo.find_first_not_of(' ');
    if (inizio == std::string_view::npos) return false;
    testo = testo.substr(inizio, testo.find_last_not_of(' ') - inizio + 1);
    if (testo.front() == '-' || testo.front() == '+') testo.remove_prefix(1);
    bool cifre = false;
    for (const char c : testo) {
        if (c >= '0' && c <= '9') {
            cifre = true;
        } else if (c != '.' && c != ',') {
            return false;
        }
    }
    return cifre;
}

Griglia::Griglia() {
    larghezze_.fill(kLarghezzaPredefinita);
}

void Griglia::SetRows(int righe) {
    // The header row is fixed: no count can remove it.
    const auto dati = static_cast<std::size_t>(std::max(righe, 1) - 1);
    const auto prima = righe_.size();
    if (dati == prima) return;
    if (dati < prima) {
        righe_.tronca(dati);
        riga_ = std::min(riga_, Rows() - 1);
        rigaInAlto_ = std::clamp(rigaInAlto_, 1, std::max(Rows() - 1, 1));
        if (osservatore_)
            osservatore_->righeRimosse(static_cast<int>(dati) + 1, static_cast<int>(prima));
    } else {
        righe_.aggiungiVuote(dati - prima);
        if (osservatore_)
            osservatore_->righeInserite(static_cast<int>(prima) + 1, static_cast<int>(dati));
    }
}

std::string_view Griglia::Cella(int riga, int colonna) const {
    if (colonna < 0 || colonna >= kColonne)
        throw std::out_of_range("colonna della griglia fuori dai limiti");
    if (riga == 0) return intestazione_[static_cast<std::size_t>(colonna)];
    if (riga < 0 || riga > static_cast<int>(righe_.size()))
        throw std::out_of_range("riga della griglia fuori dai limiti");
    return righe_.cella(static_cast<std::size_t>(riga - 1), static_cast<std::size_t>(colonna));
}

void Griglia::SetTextMatrix(int riga, int colonna, std::string testo) {
    if (colonna < 0 || colonna >= kColonne)
        throw std::out_of_range("colonna della griglia fuori dai limiti");
    if (riga == 0) {
        intestazione_[static_cast<std::size_t>(colonna)] = std::move(testo);
    } else {
        if (riga < 0 || riga > static_cast<int>(righe_.size()))
            throw std::out_of_range("riga della griglia fuori dai limiti");
        righe_.imposta(static_cast<std::size_t>(riga - 1), static_cast<std::size_t>(colonna),
                       testo);
    }
    if (osservatore_) osservatore_->cellaCambiata(riga, colonna);
}

void Griglia::AddItem(const core::Registro::Celle& celle) {
    righe_.aggiungi(celle);
    if (osservatore_) osservatore_->righeInserite(Rows() - 1, Rows() - 1);
}

void Griglia::AggiungiRighe(core::Registro&& righe) {
    if (righe.empty()) return;
    const int prima = Rows();
    if (righe_.empty()) {
        righe_ = std::move(righe);
    } else {
        righe_.aggiungi(righe);
    }
    righe.clear();
    righeAggiunte(prima);
}

void Griglia::righeAggiunte(int prima) {
    if (osservatore_) osservatore_->righeInserite(prima, Rows() - 1);
}

int Griglia::RemoveItem(int indice) {
    if (indice < 1 || indice > static_cast<int>(righe_.size())) return kErroreIndice;
    if (righe_.size() == 1) return kErroreUnicaRiga;
    righe_.rimuovi(static_cast<std::size_t>(indice - 1));
    riga_ = std::min(riga_, Rows() - 1);
    rigaInAlto_ = std::min(rigaInAlto_, Rows() - 1);
    if (osservatore_) osservatore_->righeRimosse(indice, indice);
    return 0;
}

void Griglia::SetTopRow(int riga) {
    rigaInAlto_ = std::clamp(riga, 1, std::max(Rows() - 1, 1));
    if (osservatore_) osservatore_->rigaInAltoCambiata(rigaInAlto_);
}

void Griglia::SetColWidth(int colonna, int twips) {
    larghezze_.at(static_cast<std::size_t>(colonna)) = twips;
    if (osservatore_) osservatore_->aspettoCambiato();
}

void Griglia::SetColAlignment(int colonna, Allineamento allineamento) {
    allineamenti_.at(static_cast<std::size_t>(colonna)) = allineamento;
    if (osservatore_) osservatore_->aspettoCambiato();
}

void Griglia::SetFixedAlignment(int colonna, Allineamento allineamento) {
    allineamentiFissi_.at(static_cast<std::size_t>(colonna)) = allineamento;
    if (osservatore_) osservatore_->aspettoCambiato();
}

void Griglia::SetForeColorFixed(ColoreRgb colore) {
    coloreIntestazione_ = colore;
    if (osservatore_) osservatore_->aspettoCambiato();
}

void Griglia::SetFontBold(bool grassetto) {
    grassetto_ = grassetto;
    if (osservatore_) osservatore_->aspettoCambiato();
}

void Griglia::SetGridLines(int stile) {
    lineeGriglia_ = stile;
    if (osservatore_) osservatore_->aspettoCambiato();
}

}  // namespace grid
