#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/conto.h"
#include "core/date.h"
#include "core/denaro.h"
#include "core/file_system.h"
#include "core/registro.h"

namespace estratti {

// A calendar day as days since 1 January 1970: the chart's x and the length of a range are
// plain arithmetic, with no time zone anywhere.
[[nodiscard]] int GiornoDa(const core::Data& data);
[[nodiscard]] core::Data DataDelGiorno(int giorno);

// A date typed in a date field: what core::LeggiData reads ("15/03/2024", "15-3-24"), or
// the digits alone ("15032024", "150324"); blanks at both ends are ignored.
[[nodiscard]] std::optional<core::Data> LeggiDataDigitata(std::string_view testo);

// The balance at the end of a day with movements, in the account's current currency.
struct PuntoSaldo {
    int giorno;
    core::Money saldo;
};
// A month's credits and debits (both positive), in the account's current currency.
struct MeseMovimenti {
    int anno;
    int mese;
    double crediti;
    double debiti;
};
struct Andamento {
    std::vector<PuntoSaldo> punti;    // one a day, by day
    std::vector<MeseMovimenti> mesi;  // by month, only months with movements
    core::Money fido;                 // the credit line; zero when none is set
    bool inLire = false;
    // Rows left out because their date, amount or balance cannot be read.
    int illeggibili = 0;
};
// The last row's balance is the account's, which the user may have set by hand.
[[nodiscard]] Andamento CalcolaAndamento(const core::Registro& registro,
                                         const core::StatoConto& stato);

// The points of days [da, a] to draw across `colonne` pixel columns: at most four a column
// (its first, lowest, highest and last), so that every peak and trough stays; the last point
// before `da` and the first after `a` too, so that the line reaches both edges.
[[nodiscard]] std::vector<PuntoSaldo> PuntiDaDisegnare(std::span<const PuntoSaldo> punti, int da,
                                                       int a, int colonne);

// The balance on a day: the last point at or before it; nullptr before the first.
[[nodiscard]] const PuntoSaldo* SaldoAl(std::span<const PuntoSaldo> punti, int giorno);

// What the vertical axis must show for days [da, a]: the balances there and the one carried
// in from before `da`, zero, and the credit line when set; never an empty range.
struct Scala {
    double minimo;
    double massimo;
};
[[nodiscard]] Scala ScalaSaldi(const Andamento& andamento, int da, int a);

// The labels of the time axis for days [da, a], at most `massimo`: month starts ("gen 2024")
// every one, two, three or six months, year starts ("2024") every 1, 2, 5, 10... years for
// long ranges, or days ("15/03/2024") for ranges too short to hold two month starts.
struct Etichetta {
    int giorno;
    std::string testo;
};
[[nodiscard]] std::vector<Etichetta> EtichetteTempo(int da, int a, int massimo);

// The bars of days [da, a]: one a month ("gen 2024"), empty months included, or one a year
// ("2024") past three years of months, or one for 2, 5, 10, 20... years ("2000–2009") past
// kBarreMassime years: as many as a window of the default size shows with each label.
inline constexpr int kBarreMassime = 40;
struct Periodo {
    std::string nome;
    double crediti;
    double debiti;
    int anni = 0;  // years in the bar; 0 for a month
};
[[nodiscard]] std::vector<Periodo> Periodi(const Andamento& andamento, int da, int a);

// The chart told in words, for a screen reader: the range, the first and last balance, the
// lowest and highest with their dates, the credit line.
[[nodiscard]] std::string DescrizioneSaldo(const Andamento& andamento, int da, int a);
// A balance as the main window shows it: "€. 1.250,00", "£. 1.250.000".
[[nodiscard]] std::string TestoSaldo(const Andamento& andamento, core::Money saldo);

// A file the user asked for (a picture, an export) written as the data files are: a new
// file beside it, written whole and flushed, then renamed over the name, so that a file
// being replaced is never truncated and a planted link is never followed.
[[nodiscard]] core::EsitoFile ScriviFileUtente(core::FileSystem& fs,
                                               const std::filesystem::path& file,
                                               std::string_view contenuto);
// The same, the contents made a piece at a time: `prossimo` appends the next piece to its
// text and returns false after the last, so that a large file is never whole in memory.
[[nodiscard]] core::EsitoFile ScriviFileUtenteAPezzi(
    core::FileSystem& fs, const std::filesystem::path& file,
    const std::function<bool(std::string& pezzo)>& prossimo);
// The message for a failed ScriviFileUtente or estratti::Esporta: the file, the reason, and
// what is on the disk now (`esisteva`: a file had that name before).
[[nodiscard]] std::string MessaggioFileUtente(const core::ErroreFile& errore,
                                              const std::filesystem::path& file, bool esisteva);

}  // namespace estratti
