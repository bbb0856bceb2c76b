#include "core/scrambler.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

using namespace std::string_literals;
using Coppia = std::pair<std::string, std::string>;  // plain text, scrambled text

class ScramblerEsempi : public testing::TestWithParam<Coppia> {};

TEST_P(ScramblerEsempi, CodificaEDecodifica) {
    EXPECT_EQ(core::Codifica(GetParam().first), GetParam().second);
    EXPECT_EQ(core::Decodifica(GetParam().second), GetParam().first);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Tabella, ScramblerEsempi, testing::Values(
    Coppia{"abc", "bdf"}, Coppia{"1234,5", "24681;"}, Coppia{"-20", ".43"}, Coppia{"0", "1"},
    Coppia{"1.234,50", "205792<8"}, Coppia{"", ""}, Coppia{"0,5", "1.8"},
    Coppia{"0000000009", "123456789C"}, Coppia{"\xE0", "\xE1"}, Coppia{"\0a"s, "\x01" "c"},
    // 224 + 31 = 255: the last byte still in range.
    Coppia{std::string(30, 'a') + "\xE0", "bcdefghijklmnopqrstuvwxyz{|}~\x7F\xFF"}));
// clang-format on

using FuoriIntervallo = std::pair<std::string, bool>;  // text, true: scramble it

class ScramblerFuoriIntervallo : public testing::TestWithParam<FuoriIntervallo> {};

TEST_P(ScramblerFuoriIntervallo, NessunRisultatoParziale) {
    const auto& [testo, codifica] = GetParam();
    EXPECT_EQ(codifica ? core::Codifica(testo) : core::Decodifica(testo), std::nullopt);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Tabella, ScramblerFuoriIntervallo, testing::Values(
    FuoriIntervallo{"\xFF", true}, FuoriIntervallo{std::string(31, 'a') + "\xE0", true},
    FuoriIntervallo{"a\xFF" "b", true}, FuoriIntervallo{"\0"s, false},
    FuoriIntervallo{"a\x01", false}, FuoriIntervallo{std::string(300, 'z'), true},
    FuoriIntervallo{std::string(300, 'z'), false}));
// clang-format on

}  // namespace
