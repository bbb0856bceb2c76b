#include "core/importi.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace core {

namespace {

using Int128 = __int128;

// A number text taken apart: sign, integer digits with the grouping dots removed, and
// every fraction digit as typed (rounding comes later).
struct NumeroLetto {
    bool negativo = false;
    std::string interi;
    std::string decimali;
};

enum class EsitoLettura { Ok, NonNumero, FuoriIntervallo };

bool IsCifra(char c) {
    return c >= '0' && c <= '9';
}
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view SenzaBlank(std::string_view testo) {
    while (!testo.empty() && IsBlank(testo.front())) testo.remove_prefix(1);
    while (!testo.empty() && IsBlank(testo.back())) testo.remove_suffix(1);
    return testo;
}

enum class Gruppi { Liberi, DiTre };

// The Italian reading: optional sign, digits, then at most one "," followed by at least
// one digit. Exponents, currency signs, parentheses and letters are not numbers.
// A "." separates thousands. The stored texts have always been read with "." allowed
// anywhere between two digits, and still are, so no data file stops loading; a typed
// amount takes it only between groups of exactly three digits, since "12.50" typed for
// twelve and a half would otherwise be recorded as 1250.
std::optional<NumeroLetto> Scomponi(std::string_view testo, Gruppi gruppi) {
    testo = SenzaBlank(testo);
    NumeroLetto numero;
    std::size_t i = 0;
    if (i < testo.size() && (testo[i] == '-' || testo[i] == '+')) {
        numero.negativo = testo[i] == '-';
        ++i;
    }
    const std::size_t inizioCifre = i;
    std::size_t cifreNelGruppo = 0;
    bool conPunti = false;
    for (; i < testo.size() && testo[i] != ','; ++i) {
        const char c = testo[i];
        if (IsCifra(c)) {
            numero.interi += c;
            ++cifreNelGruppo;
        } else if (c == '.' && i > 0 && IsCifra(testo[i - 1]) && i + 1 < testo.size() &&
                   IsCifra(testo[i + 1])) {
            if (gruppi == Gruppi::DiTre) {
                // The first group has one to three digits and no leading zero ("0.500"
                // would be five hundred), every later group exactly three.
                const bool primo = !conPunti;
                if (primo ? (cifreNelGruppo > 3 || testo[inizioCifre] == '0') : cifreNelGruppo != 3)
                    return std::nullopt;
            }
            conPunti = true;
            cifreNelGruppo = 0;
        } else {
            return std::nullopt;
        }
    }
    if (gruppi == Gruppi::DiTre && conPunti && cifreNelGruppo != 3) return std::nullopt;
    if (i < testo.size()) {
        ++i;  // the comma
        if (i == testo.size()) return std::nullopt;
        for (; i < testo.size(); ++i) {
            if (!IsCifra(testo[i])) return std::nullopt;
            numero.decimali += testo[i];
        }
    }
    if (numero.interi.empty() && numero.decimali.empty()) return std::nullopt;
    return numero;
}

// Exact value in ten-thousandths, the fifth decimal onwards rounding halves away from zero.
EsitoLettura Valuta(const NumeroLetto& numero, std::int64_t& risultato) {
    std::size_t inizio = numero.interi.find_first_not_of('0');
    if (inizio == std::string::npos) inizio = numero.interi.size();
    // More than 15 significant integer digits is beyond 922337203685477 whatever follows.
    if (numero.interi.size() - inizio > 15) return EsitoLettura::FuoriIntervallo;
    Int128 valore = 0;
    for (std::size_t k = inizio; k < numero.interi.size(); ++k)
        valore = valore * 10 + (numero.interi[k] - '0');
    for (std::size_t k = 0; k < 4; ++k) {
        const int cifra = k < numero.decimali.size() ? numero.decimali[k] - '0' : 0;
        valore = valore * 10 + cifra;
    }
    if (numero.decimali.size() > 4 && numero.decimali[4] >= '5') ++valore;
    if (numero.negativo) valore = -valore;
    if (valore > std::numeric_limits<std::int64_t>::max() ||
        valore < std::numeric_limits<std::int64_t>::min())
        return EsitoLettura::FuoriIntervallo;
    risultato = static_cast<std::int64_t>(valore);
    return EsitoLettura::Ok;
}

EsitoLettura Leggi(std::string_view testo, Gruppi gruppi, std::int64_t& risultato) {
    const auto numero = Scomponi(testo, gruppi);
    if (!numero) return EsitoLettura::NonNumero;
    return Valuta(*numero, risultato);
}

// Magnitude of a value without overflowing on the lowest int64.
std::uint64_t Modulo(Int128 v) {
    return static_cast<std::uint64_t>(v < 0 ? -v : v);
}

// Quotient rounded halves away from zero.
Int128 DividiArrotondando(Int128 dividendo, Int128 divisore) {
    Int128 quoziente = dividendo / divisore;
    const Int128 resto = dividendo % divisore;
    const Int128 resto_abs = resto < 0 ? -resto : resto;
    if (resto_abs * 2 >= divisore) quoziente += dividendo < 0 ? -1 : 1;
    return quoziente;
}

std::string CifreRaggruppate(std::uint64_t modulo) {
    const std::string cifre = std::to_string(modulo);
    std::string testo;
    for (std::size_t k = 0; k < cifre.size(); ++k) {
        if (k > 0 && (cifre.size() - k) % 3 == 0) testo += '.';
        testo += cifre[k];
    }
    return testo;
}

std::optional<Money> DaInt128(Int128 v) {
    if (v > std::numeric_limits<std::int64_t>::max() ||
        v < std::numeric_limits<std::int64_t>::min())
        return std::nullopt;
    return Money::FromRaw(static_cast<std::int64_t>(v));
}

}  // namespace

bool ImportoValido(std::string_view testo) {
    return ValoreImporto(testo).has_value();
}

std::optional<Money> ValoreImporto(std::string_view testo) {
    std::int64_t valore = 0;
    if (Leggi(testo, Gruppi::DiTre, valore) != EsitoLettura::Ok) return std::nullopt;
    return Money::FromRaw(valore);
}

std::optional<Money> ValoreImportoRegistrato(std::string_view testo) {
    return LeggiDenaro(testo).valore;
}

std::optional<double> ValoreImportoDouble(std::string_view testo) {
    const auto numero = Scomponi(testo, Gruppi::DiTre);
    std::int64_t arrotondato = 0;
    if (!numero || Valuta(*numero, arrotondato) != EsitoLettura::Ok) return std::nullopt;
    // from_chars reads the "C" form whatever the process locale.
    std::string semplice = (numero->interi.empty() ? "0" : numero->interi);
    if (!numero->decimali.empty()) semplice += "." + numero->decimali;
    double valore = 0;
    std::from_chars(semplice.data(), semplice.data() + semplice.size(), valore);
    return numero->negativo ? -valore : valore;
}

std::string FormatoLire(Money valore) {
    const Int128 unita = DividiArrotondando(valore.raw(), Money::kScala);
    if (unita == 0) return {};
    std::string testo = unita < 0 ? "-" : "";
    testo += CifreRaggruppate(Modulo(unita));
    return testo;
}

std::string FormatoEuro(Money valore) {
    const Int128 centesimi = DividiArrotondando(valore.raw(), 100);
    const std::uint64_t modulo = Modulo(centesimi);
    const std::uint64_t frazione = modulo % 100;
    std::string testo = centesimi < 0 ? "-" : "";
    testo += CifreRaggruppate(modulo / 100);
    testo += ',';
    testo += static_cast<char>('0' + frazione / 10);
    testo += static_cast<char>('0' + frazione % 10);
    return testo;
}

std::string FormatoModo(Money valore, std::string_view modoValuta) {
    return modoValuta == kLire ? FormatoLire(valore) : FormatoEuro(valore);
}

std::string TestoSaldo(Money valore, std::string_view modoValuta) {
    std::string testo = FormatoModo(valore, modoValuta);
    return testo.empty() ? "0" : testo;
}

bool TestoInEuro(std::string_view testo) {
    return testo.find(',') != std::string_view::npos;
}

std::optional<Money> LireInEuro(Money lire) {
    // The one computation done in double precision: ten-thousandths of a lira divided by
    // the rate give ten-thousandths of a euro.
    const double quoziente = std::round(static_cast<double>(lire.raw()) /
                                        (static_cast<double>(kCambioLire.raw()) / Money::kScala));
    constexpr double kLimite = 9223372036854775808.0;  // 2^63
    if (!(quoziente < kLimite && quoziente >= -kLimite)) return std::nullopt;
    return Money::FromRaw(static_cast<std::int64_t>(quoziente));
}

std::optional<Money> EuroInLire(Money euro) {
    const Int128 prodotto = static_cast<Int128>(euro.raw()) * kCambioLire.raw();
    return DaInt128(DividiArrotondando(prodotto, Money::kScala));
}

std::string TestoDenaro(Money valore) {
    const Int128 v = valore.raw();
    const std::uint64_t modulo = Modulo(v);
    std::string testo = v < 0 ? "-" : "";
    testo += std::to_string(modulo / Money::kScala);
    std::uint64_t frazione = modulo % Money::kScala;
    if (frazione != 0) {
        std::string cifre = std::to_string(frazione);
        cifre.insert(0, 4 - cifre.size(), '0');
        cifre.erase(cifre.find_last_not_of('0') + 1);
        testo += ',' + cifre;
    }
    return testo;
}

LetturaDenaro LeggiDenaro(std::string_view testo) {
    std::int64_t valore = 0;
    switch (Leggi(testo, Gruppi::Liberi, valore)) {
        case EsitoLettura::Ok:
            return {Money::FromRaw(valore), 0};
        case EsitoLettura::FuoriIntervallo:
            return {std::nullopt, 6};
        case EsitoLettura::NonNumero:
            break;
    }
    return {std::nullopt, 13};
}

}  // namespace core
