#include "core/importi.h"

#include <gtest/gtest.h>

#include <limits>

namespace core {
namespace {

constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::optional<std::int64_t> kNo;

// A typed text and its value in ten-thousandths, kNo when it is not an amount; what is typed
// reads back as stored money the same way.
TEST(Importi, LetturaDigitata) {
    // clang-format off
    const std::pair<const char*, std::optional<std::int64_t>> casi[] = {
        {"1500", 15000000}, {"1.500", 15000000}, {"1500,50", 15005000}, {" 200.000\t", 2000000000},
        {"-250", -2500000}, {"-0,5", -5000}, {"+12", 120000}, {",5", 5000}, {"1.234.567,89", 12345678900},
        {"0,00005", 1}, {"0,00004", 0}, {"-0,00005", -1}, {"00000000000000000000001", 10000},
        {"922337203685477,5807", kMax}, {"-922337203685477,5808", kMin}, {"922337203685477,5808", kNo},
        {"922337203685477,58075", kNo}, {"-9223372036854775808", kNo}, {"", kNo}, {"   ", kNo},
        {"12a", kNo}, {"1e5", kNo}, {"€ 5", kNo}, {"(5)", kNo}, {"5-", kNo}, {"1,5,0", kNo}, {"5,", kNo},
        {".500", kNo}, {"1..500", kNo}, {"1.", kNo}, {"1 500", kNo}, {"- 5", kNo}, {"--5", kNo}, {"-", kNo},
        // A dot that is not a thousands separator would multiply the amount.
        {"-12.345.678", -123456780000}, {"12.50", kNo}, {"1.5000", kNo}, {"1234.567", kNo}, {"0.500", kNo},
        {"1.234.56", kNo}, {"1.2345.678", kNo}, {"1.500,5.0", kNo}};
    // clang-format on
    for (const auto& [testo, atteso] : casi) {
        const auto valore = ValoreImporto(testo);
        EXPECT_EQ(ImportoValido(testo), atteso.has_value()) << testo;
        EXPECT_EQ(valore ? std::optional(valore->raw()) : kNo, atteso) << testo;
        EXPECT_TRUE(!valore || LeggiDenaro(testo).valore == valore) << testo;
    }
}

// Stored texts and register cells keep the loose reading, so hand-edited files still load (their
// error numbers show in the hostile-file table); the value before rounding; only "Lire" is lire.
TEST(Importi, LetturaRegistrataEModo) {
    EXPECT_EQ(LeggiDenaro("12.50").valore, Money::FromUnits(1250));
    EXPECT_EQ(ValoreImportoRegistrato("1.50"), Money::FromUnits(150));
    EXPECT_EQ(ValoreImportoDouble("12.50"), std::nullopt);
    EXPECT_EQ(ValoreImportoDouble("-1.500,00001"), -1500.00001);
    const auto meno = Money::FromUnits(-1500);
    EXPECT_EQ(FormatoModo(meno, "Lire") + " " + FormatoModo(meno, "lire"), "-1.500 -1.500,00");
    EXPECT_EQ(TestoSaldo(Money(), "Lire") + TestoSaldo(Money(), "Euro"), "00,00");
    EXPECT_TRUE(TestoInEuro("1.234,50") && !TestoInEuro("1.234"));
}

// Shown in lire (rounded to units) and euro (to cents), and stored as text that reads back.
TEST(Importi, Formati) {
    struct {
        std::int64_t raw;
        const char *lire, *euro, *testo;
    } const casi[] = {
        // clang-format off
        {12345670000, "1.234.567", "1.234.567,00", "1234567"}, {-15000000, "-1.500", "-1.500,00", "-1500"},
        {125000, "13", "12,50", "12,5"}, {0, "", "0,00", "0"}, {5000, "1", "0,50", "0,5"},
        {-5000, "-1", "-0,50", "-0,5"}, {4999, "", "0,50", "0,4999"}, {-49, "", "0,00", "-0,0049"},
        {-50, "", "-0,01", "-0,005"}, {-10, "", "0,00", "-0,001"}, {9990000, "999", "999,00", "999"},
        {10000000018, "1.000.000", "1.000.000,00", "1000000,0018"},
        {kMax, "922.337.203.685.478", "922.337.203.685.477,58", "922337203685477,5807"},
        {kMin, "-922.337.203.685.478", "-922.337.203.685.477,58", "-922337203685477,5808"},
        // clang-format on
    };
    for (const auto& [raw, lire, euro, testo] : casi) {
        EXPECT_EQ(FormatoLire(Money::FromRaw(raw)), lire) << raw;
        EXPECT_EQ(FormatoEuro(Money::FromRaw(raw)), euro) << raw;
        EXPECT_EQ(TestoDenaro(Money::FromRaw(raw)), testo) << raw;
        EXPECT_EQ(LeggiDenaro(testo).valore, Money::FromRaw(raw)) << raw;
    }
}

// Lire and euro in ten-thousandths. 1.000.000 lire -> 516,4569 euro -> 1.000.000,0018 lire:
// the round trip keeps the fraction, which only the lire display hides.
TEST(Importi, CambioLireInEuroArrotondaEuroInLireEsatto) {
    using Cambio = std::pair<std::int64_t, std::int64_t>;
    // clang-format off
    for (const auto& [lire, euro] : {Cambio{10000000000, 5164569}, Cambio{-5000000000, -2582284},
            Cambio{-20000000000, -10329138}, Cambio{19362700, 10000},
            Cambio{kMax, 4763474121302698}, Cambio{kMin, -4763474121302698}})
        EXPECT_EQ(LireInEuro(Money::FromRaw(lire))->raw(), euro) << lire;
    for (const auto& [lire, euro] : {Cambio{10000000018, 5164569}, Cambio{-9681350000, -5000000},
            Cambio{1936, 1}, Cambio{96814, 50}, Cambio{-96814, -50},
            Cambio{9223372036854775056, 4763474121302698}})
        EXPECT_EQ(EuroInLire(Money::FromRaw(euro))->raw(), lire) << euro;
    // clang-format on
    EXPECT_EQ(EuroInLire(Money::FromRaw(4763474121302699)), std::nullopt);
    EXPECT_EQ(EuroInLire(Money::FromRaw(kMin)), std::nullopt);
}

}  // namespace
}  // namespace core
