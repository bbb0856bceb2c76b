#include "core/cp1252.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Carattere {
    unsigned char byte;
    std::string utf8;
};

class Cp1252Tabella : public testing::TestWithParam<Carattere> {};

TEST_P(Cp1252Tabella, NeiDueVersi) {
    const std::string byte(1, static_cast<char>(GetParam().byte));
    EXPECT_EQ(core::Cp1252InUtf8(byte), GetParam().utf8);
    EXPECT_EQ(core::Utf8InCp1252(GetParam().utf8), byte);
}

INSTANTIATE_TEST_SUITE_P(
    Tabella, Cp1252Tabella,
    testing::Values(Carattere{'A', "A"}, Carattere{0x80, "€"}, Carattere{0x81, "\u0081"},
                    Carattere{0x8A, "Š"}, Carattere{0x8C, "Œ"}, Carattere{0x8D, "\u008D"},
                    Carattere{0x8F, "\u008F"}, Carattere{0x90, "\u0090"}, Carattere{0x92, "’"},
                    Carattere{0x96, "–"}, Carattere{0x99, "™"}, Carattere{0x9D, "\u009D"},
                    Carattere{0x9F, "Ÿ"}, Carattere{0xA0, "\u00A0"}, Carattere{0xDF, "ß"},
                    Carattere{0xE0, "à"}, Carattere{0xE8, "è"}, Carattere{0xFF, "ÿ"}));

TEST(Cp1252, OgniByteTornaUguale) {
    std::string tutti;
    for (int b = 0; b < 256; ++b) tutti += static_cast<char>(b);
    EXPECT_EQ(core::Utf8InCp1252(core::Cp1252InUtf8(tutti)), tutti);
}

TEST(Cp1252, TestoMisto) {
    EXPECT_EQ(core::Cp1252InUtf8("Addebito boll.elettricit\xE0"), "Addebito boll.elettricità");
    EXPECT_EQ(core::Utf8InCp1252("Perché 5€"), "Perch\xE9 5\x80");
}

class NonRappresentabile : public testing::TestWithParam<std::string> {};

TEST_P(NonRappresentabile, Rifiutato) {
    EXPECT_EQ(core::Utf8InCp1252(GetParam()), std::nullopt);
    EXPECT_FALSE(core::RappresentabileCp1252(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Tabella, NonRappresentabile,
                         testing::Values("ā", "€ e ω", "😀", "\u0080", "\u009F",
                                         "\xE0",         // cp1252 byte, not UTF-8
                                         "\xC3",         // truncated sequence
                                         "\xC0\xA0",     // overlong
                                         "\xED\xA0\x80"  // surrogate
                                         ));

struct Maiuscolo {
    std::string testo;
    std::string atteso;
};

class MaiuscoloTabella : public testing::TestWithParam<Maiuscolo> {};

TEST_P(MaiuscoloTabella, RegoleItaliane) {
    EXPECT_EQ(core::MaiuscoloUtf8(GetParam().testo), GetParam().atteso);
}

INSTANTIATE_TEST_SUITE_P(Tabella, MaiuscoloTabella,
                         testing::Values(Maiuscolo{"abc xyz 123", "ABC XYZ 123"},
                                         Maiuscolo{"perché più", "PERCHÉ PIÙ"},
                                         Maiuscolo{"àèéìòù", "ÀÈÉÌÒÙ"}, Maiuscolo{"ÿœšž", "ŸŒŠŽ"},
                                         Maiuscolo{"ßµ÷", "ßµ÷"}, Maiuscolo{"çñøþ", "ÇÑØÞ"},
                                         Maiuscolo{"GIÀ", "GIÀ"}, Maiuscolo{"a\xE0z", "A\xE0Z"}));

}  // namespace
