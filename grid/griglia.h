#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/file_dati.h"
#include "core/registro.h"

namespace grid {

inline constexpr int kColonne = 5;
// The register's columns, on the screen and on paper: widths in twips and header texts.
inline constexpr std::array<int, kColonne> kLarghezzeRegistro{1150, 2200, 2200, 1550, 1750};
inline constexpr std::array<const char*, kColonne> kIntestazioniRegistro{
    "Data", "Causale", "Riferimento", "Importo", "Saldo"};
inline constexpr int kErroreUnicaRiga = 30015;  // RemoveItem of the only data row

// How a column places its texts; all of them are vertically centred.
enum class Allineamento {
    Generale,  // texts to the left, numbers to the right
    Sinistra,
    Centro,
};

// Amount texts of the register ("-1.500", "1.234,56", "0,00"): sign, digits and the
// Italian separators, blanks around allowed. A date has slashes and stays a text.
[[nodiscard]] bool SembraNumero(std::string_view testo);

struct ColoreRgb {
    unsigned char r = 0, g = 0, b = 0;
    friend bool operator==(const ColoreRgb&, const ColoreRgb&) = default;
};

// Told of every change, so a view over the grid can follow it (the Qt adapter).
class OsservatoreGriglia {
  public:
    virtual ~OsservatoreGriglia() = default;
    virtual void righeInserite(int prima, int ultima) = 0;
    virtual void righeRimosse(int prima, int ultima) = 0;
    virtual void cellaCambiata(int riga, int colonna) = 0;
    virtual void aspettoCambiato() = 0;  // widths, alignments, colours, font, grid lines
    virtual void rigaInAltoCambiata(int riga) = 0;
    // The current cell moved (Row or Col set), so a view can show where it now is.
    virtual void cellaCorrenteCambiata(int /*riga*/, int /*colonna*/) {}
};

// The register grid: five text columns, row 0 the fixed header, rows 1.. the movements.
// It answers the grid operations the program relies on; no 16-bit limits.
class Griglia {
  public:
    Griglia();

    [[nodiscard]] int Rows() const { return static_cast<int>(righe_.size()) + 1; }
    // Setting fewer rows drops data rows from the end; more rows appends empty ones.
    void SetRows(int righe);
    [[nodiscard]] int Cols() const { return kColonne; }

    // The current cell, which a view shows; reading and writing go through TextMatrix.
    [[nodiscard]] int Row() const { return riga_; }
    void SetRow(int riga) {
        riga_ = riga;
        if (osservatore_) osservatore_->cellaCorrenteCambiata(riga_, colonna_);
    }
    [[nodiscard]] int Col() const { return colonna_; }
    void SetCol(int colonna) {
        colonna_ = colonna;
        if (osservatore_) osservatore_->cellaCorrenteCambiata(riga_, colonna_);
    }

    [[nodiscard]] std::string TextMatrix(int riga, int colonna) const {
        return std::string(Cella(riga, colonna));
    }
    // The same text without a copy, valid until the grid next changes.
    [[nodiscard]] std::string_view Cella(int riga, int colonna) const;
    void SetTextMatrix(int riga, int colonna, std::string testo);

    // Appends a data row from its five cells.
    void AddItem(const core::Registro::Celle& celle);
    // Room for `righe` more data rows of `byte` bytes of text, so that adding them one by
    // one never copies what is already there.
    void Riserva(std::size_t righe, std::size_t byte) {
        righe_.reserve(righe_.size() + righe, righe_.byteTesti() + byte);
    }
    // Appends many rows at once (loading the register); into an empty grid the rows are
    // moved in whole.
    void AggiungiRighe(core::Registro&& righe);
    // 0, or kErroreUnicaRiga when asked to remove the only data row (nothing changes).
    [[nodiscard]] int RemoveItem(int indice);

    [[nodiscard]] int TopRow() const { return rigaInAlto_; }
    void SetTopRow(int riga);

    [[nodiscard]] int ColWidth(int colonna) const { return larghezze_.at(colonna); }
    void SetColWidth(int colonna, int twips);
    [[nodiscard]] Allineamento ColAlignment(int colonna) const { return allineamenti_.at(colonna); }
    void SetColAlignment(int colonna, Allineamento allineamento);
    [[nodiscard]] Allineamento FixedAlignment(int colonna) const {
        return allineamentiFissi_.at(colonna);
    }
    void SetFixedAlignment(int colonna, Allineamento allineamento);
    [[nodiscard]] ColoreRgb ForeColorFixed() const { return coloreIntestazione_; }
    void SetForeColorFixed(ColoreRgb colore);
    [[nodiscard]] bool FontBold() const { return grassetto_; }
    void SetFontBold(bool grassetto);
    [[nodiscard]] int GridLines() const { return lineeGriglia_; }
    void SetGridLines(int stile);

    // The movement rows (row 1 is element 0).
    [[nodiscard]] const core::Registro& righe() const { return righe_; }
    [[nodiscard]] const core::RigaRegistro& intestazione() const { return intestazione_; }

    void setOsservatore(OsservatoreGriglia* osservatore) { osservatore_ = osservatore; }

  private:
    void righeAggiunte(int prima);

    core::RigaRegistro intestazione_;
    core::Registro righe_;
    int riga_ = 0;
    int colonna_ = 0;
    int rigaInAlto_ = 1;
    std::array<int, kColonne> larghezze_{};
    std::array<Allineamento, kColonne> allineamenti_{};
    std::array<Allineamento, kColonne> allineamentiFissi_{};
    ColoreRgb coloreIntestazione_{};
    bool grassetto_ = false;
    int lineeGriglia_ = 1;
    OsservatoreGriglia* osservatore_ = nullptr;
};

}  // namespace grid
