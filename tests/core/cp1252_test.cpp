#include "core/cp1252.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The whole 0x80-0x9F block, where Windows-1252 differs from Latin-1; the five bytes it
// leaves undefined (81, 8D, 8F, 90, 9D) travel as the C1 control of the same number.
constexpr const char* kBlocco80[32] = {"€",      "\u0081", "‚", "ƒ", "„", "…",      "†", "‡",
                                       "ˆ",      "‰",      "Š", "‹", "Œ", "\u008D", "Ž", "\u008F",
                                       "\u0090", "‘",      "’", "“", "”", "•",      "–", "—",
                                       "˜",      "™",      "š", "›", "œ", "\u009D", "ž", "Ÿ"};

TEST(Cp1252, BloccoDa80A9FNeiDueVersi) {
    for (int i = 0; i < 32; ++i) {
        const std::string byte(1, static_cast<char>(0x80 + i));
        EXPECT_EQ(core::Cp1252InUtf8(byte), kBlocco80[i]) << "byte " << std::hex << 0x80 + i;
        EXPECT_EQ(core::Utf8InCp1252(kBlocco80[i]), byte) << "byte " << std::hex << 0x80 + i;
    }
    // Elsewhere the byte is its own code point.
    EXPECT_EQ(core::Cp1252InUtf8("A\xA0\xDF\xE0\xFF"), "A\u00A0ßàÿ");
}

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
