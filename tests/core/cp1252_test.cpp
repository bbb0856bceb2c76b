#include "core/cp1252.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

using Carattere = std::pair<unsigned char, std::string>;  // byte, UTF-8 text

class Cp1252Tabella : public testing::TestWithParam<Carattere> {};

TEST_P(Cp1252Tabella, NeiDueVersi) {
    const std::string byte(1, static_cast<char>(GetParam().first));
    EXPECT_EQ(core::Cp1252InUtf8(byte), GetParam().second);
    EXPECT_EQ(core::Utf8InCp1252(GetParam().second), byte);
}

// Undefined bytes (81, 8D, 8F, 90, 9D) travel as the C1 control of the same number.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Tabella, Cp1252Tabella, testing::Values(
    Carattere{'A', "A"}, Carattere{0x80, "€"}, Carattere{0x81, "\u0081"}, Carattere{0x8A, "Š"},
    Carattere{0x8C, "Œ"}, Carattere{0x8D, "\u008D"}, Carattere{0x8F, "\u008F"},
    Carattere{0x90, "\u0090"}, Carattere{0x92, "’"}, Carattere{0x96, "–"}, Carattere{0x99, "™"},
    Carattere{0x9D, "\u009D"}, Carattere{0x9F, "Ÿ"}, Carattere{0xA0, "\u00A0"},
    Carattere{0xDF, "ß"}, Carattere{0xE0, "à"}, Carattere{0xE8, "è"}, Carattere{0xFF, "ÿ"}));
// clang-format on

TEST(Cp1252, TestiInteriNeiDueVersi) {
    std::string tutti;
    for (int b = 0; b < 256; ++b) tutti += static_cast<char>(b);
    EXPECT_EQ(core::Utf8InCp1252(core::Cp1252InUtf8(tutti)), tutti);
    EXPECT_EQ(core::Utf8InCp1252("Perché 5€"), "Perch\xE9 5\x80");
}

class NonRappresentabile : public testing::TestWithParam<std::string> {};

TEST_P(NonRappresentabile, Rifiutato) {
    EXPECT_EQ(core::Utf8InCp1252(GetParam()), std::nullopt);
    EXPECT_FALSE(core::RappresentabileCp1252(GetParam()));
}

// Last four: a cp1252 byte that is not UTF-8, a cut sequence, an overlong form, a surrogate.
INSTANTIATE_TEST_SUITE_P(Tabella, NonRappresentabile,
                         testing::Values("ā", "€ e ω", "😀", "\u0080", "\u009F", "\xE0", "\xC3",
                                         "\xC0\xA0", "\xED\xA0\x80"));

using Maiuscolo = std::pair<std::string, std::string>;

class MaiuscoloTabella : public testing::TestWithParam<Maiuscolo> {};

TEST_P(MaiuscoloTabella, RegoleItaliane) {
    EXPECT_EQ(core::MaiuscoloUtf8(GetParam().first), GetParam().second);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Tabella, MaiuscoloTabella, testing::Values(
    Maiuscolo{"abc xyz 123", "ABC XYZ 123"}, Maiuscolo{"perché più", "PERCHÉ PIÙ"},
    Maiuscolo{"àèéìòù", "ÀÈÉÌÒÙ"}, Maiuscolo{"ÿœšž", "ŸŒŠŽ"}, Maiuscolo{"ßµ÷", "ßµ÷"},
    Maiuscolo{"çñøþ", "ÇÑØÞ"}, Maiuscolo{"GIÀ", "GIÀ"}, Maiuscolo{"a\xE0z", "A\xE0Z"}));
// clang-format on

}  // namespace
