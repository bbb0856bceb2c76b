#include "core/record.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(Record, Scrittura) {
    EXPECT_EQ(core::ScriviRecord({"Euro", "24681;", ".7345"}), "\"Euro\",\"24681;\",\".7345\"\r\n");
    std::string righe;
    core::AggiungiRecord(righe, "a, b");
    core::AggiungiRecord(righe, "");
    EXPECT_EQ(righe, "\"a, b\"\r\n\"\"\r\n");
}

struct Lettura {
    const char* nome;
    std::string testo;
    std::vector<std::string> voci;
};

class RecordLettura : public testing::TestWithParam<Lettura> {};

// Reads every item up to the end and checks that reading past it fails.
TEST_P(RecordLettura, Voci) {
    core::LettoreRecord lettore(GetParam().testo);
    std::vector<std::string> lette;
    while (!lettore.fine()) {
        const auto voce = lettore.leggi();
        ASSERT_TRUE(voce.has_value());
        lette.emplace_back(*voce);
    }
    EXPECT_EQ(lette, GetParam().voci);
    EXPECT_EQ(lettore.leggi(), std::nullopt);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Tabella, RecordLettura, testing::Values(
    Lettura{"Vuoto", "", {}}, Lettura{"SoloFineRiga", "\r\n  \r\n", {}},
    Lettura{"TreVoci", "\"Euro\",\"24681;\",\".7345\"\r\n", {"Euro", "24681;", ".7345"}},
    Lettura{"VirgolaTraVirgolette", "\"a, b\",\"c\"\r\n", {"a, b", "c"}},
    Lettura{"VociSuPiuRighe", "\"a\"\r\n\"b\"\r\n\"c\"\r\n", {"a", "b", "c"}},
    Lettura{"VoceVuota", "\"\"\r\n\"x\"\r\n", {"", "x"}},
    Lettura{"SenzaVirgolette", "Lire,12 ,  -3\r\n", {"Lire", "12", "-3"}},
    Lettura{"SpaziPrimaSaltati", "   \"a\" ,\t\"b\"\r\n", {"a", "b"}},
    Lettura{"SpaziDentroTenuti", "\" a \"\r\n", {" a "}},
    Lettura{"SoloLF", "\"a\"\n\"b\"\n", {"a", "b"}},
    Lettura{"SenzaFineRiga", "\"a\",\"b\"", {"a", "b"}},
    Lettura{"RigheVuoteInFondo", "\"a\"\r\n\r\n\r\n", {"a"}},
    Lettura{"VuotaSenzaVirgolette", "a,,b\r\n", {"a", "", "b"}},
    Lettura{"VirgoletteNonChiuse", "\"abc\r\n", {"abc\r\n"}},
    Lettura{"ByteAlti", "\"elettricit\xE0\"\r\n", {"elettricit\xE0"}}),
    [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

}  // namespace
