#include "core/scrambler.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Coppia {
    std::string chiaro;
    std::string codificato;
};

class ScramblerEsempi : public testing::TestWithParam<Coppia> {};

TEST_P(ScramblerEsempi, CodificaEDecodifica) {
    EXPECT_EQ(core::Codifica(GetParam().chiaro), GetParam().codificato);
    EXPECT_EQ(core::Decodifica(GetParam().codificato), GetParam().chiaro);
}

INSTANTIATE_TEST_SUITE_P(
    Tabella, ScramblerEsempi,
    testing::Values(Coppia{"abc", "bdf"}, Coppia{"1234,5", "24681;"}, Coppia{"-20", ".43"},
                    Coppia{"0", "1"}, Coppia{"1.234,50", "205792<8"}, Coppia{"", ""},
                    Coppia{"0,5", "1.8"},
                    Coppia{"000000000"
                           "9",
                           "123456789C"},
                    // Cp1252 "à" (E0) shifted by 1; a byte of 0 in the plain text.
                    Coppia{"\xE0", "\xE1"},
                    Coppia{std::string("\0a", 2),
                           "\x01"
                           "c"}));

struct FuoriIntervallo {
    std::string testo;
    bool codifica;
};

class ScramblerFuoriIntervallo : public testing::TestWithParam<FuoriIntervallo> {};

TEST_P(ScramblerFuoriIntervallo, NessunRisultatoParziale) {
    const auto& p = GetParam();
    EXPECT_EQ(p.codifica ? core::Codifica(p.testo) : core::Decodifica(p.testo), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Tabella, ScramblerFuoriIntervallo,
                         testing::Values(FuoriIntervallo{"\xFF", true},
                                         // "à" (224) at position 32 reaches 256.
                                         FuoriIntervallo{std::string(31, 'a') + "\xE0", true},
                                         FuoriIntervallo{"a\xFF"
                                                         "b",
                                                         true},
                                         FuoriIntervallo{std::string(1, '\0'), false},
                                         FuoriIntervallo{"a\x01", false},
                                         FuoriIntervallo{std::string(300, 'z'), true},
                                         FuoriIntervallo{std::string(300, 'z'), false}));

TEST(Scrambler, UltimaPosizioneAmmessa) {
    // 224 + 31 = 255: still within range.
    const std::string testo = std::string(30, 'a') + "\xE0";
    const auto codificato = core::Codifica(testo);
    ASSERT_TRUE(codificato.has_value());
    EXPECT_EQ(static_cast<unsigned char>(codificato->back()), 255);
    EXPECT_EQ(core::Decodifica(*codificato), testo);
}

}  // namespace
