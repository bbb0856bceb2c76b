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
}

// Whole texts both ways; last four refused: a cp1252 byte that is not UTF-8, a cut sequence,
// an overlong form, a surrogate; capitals by the Italian rules, within Windows-1252.
TEST(Cp1252, TestiInteriRifiutatiEMaiuscoli) {
    std::string tutti;
    for (int b = 0; b < 256; ++b) tutti += static_cast<char>(b);
    EXPECT_EQ(core::Utf8InCp1252(core::Cp1252InUtf8(tutti)), tutti);
    EXPECT_EQ(core::Utf8InCp1252("Perché 5€"), "Perch\xE9 5\x80");
    for (std::string testo :
         {"ā", "€ e ω", "😀", "\u0080", "\u009F", "\xE0", "\xC3", "\xC0\xA0", "\xED\xA0\x80"}) {
        EXPECT_EQ(core::Utf8InCp1252(testo), std::nullopt) << testo;
        EXPECT_FALSE(core::RappresentabileCp1252(testo)) << testo;
    }
    // clang-format off
    for (const auto& [da, a] : {std::pair{"abc xyz 123", "ABC XYZ 123"}, {"perché più", "PERCHÉ PIÙ"},
            {"àèéìòù", "ÀÈÉÌÒÙ"}, {"ÿœšž", "ŸŒŠŽ"}, {"ßµ÷", "ßµ÷"}, {"çñøþ", "ÇÑØÞ"}, {"GIÀ", "GIÀ"},
            {"a\xE0z", "A\xE0Z"}})
        EXPECT_EQ(core::MaiuscoloUtf8(da), a) << da;
    // clang-format on
}

}  // namespace
