#include "core/record.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Every item up to the end, and reading past it fails; writing shows in the data files' bytes.
// clang-format off
const std::pair<std::string, std::vector<std::string>> kCasi[] = {
        {"", {}}, {"\r\n  \r\n", {}}, {"\"a\"\n\"b\"\n", {"a", "b"}}, {"\"a\",\"b\"", {"a", "b"}},
        {"\"a, b\",\"\"\r\n\"elettricit\xE0\"\r\n", {"a, b", "", "elettricit\xE0"}},
        {"Lire,12 ,  -3\r\n", {"Lire", "12", "-3"}}, {"   \"a\" ,\t\" b \"\r\n", {"a", " b "}},
        {"\"a\"\r\n\r\n\r\n", {"a"}}, {"a,,b\r\n", {"a", "", "b"}}, {"\"abc\r\n", {"abc\r\n"}},
        {"\"a\"\r\n,\"b\"\r\n", {"a", "", "b"}}, {"\"a\"  \r\n\"b\" ,c", {"a", "b", "c"}}};
// clang-format on

TEST(Record, Lettura) {
    for (const auto& [testo, voci] : kCasi) {
        core::LettoreRecord lettore(testo);
        std::vector<std::string> lette;
        while (!lettore.fine()) {
            const auto voce = lettore.leggi();
            ASSERT_TRUE(voce.has_value()) << testo;
            lette.emplace_back(*voce);
        }
        EXPECT_EQ(lette, voci) << testo;
        EXPECT_EQ(lettore.leggi(), std::nullopt) << testo;
    }
}

// A file read a piece at a time: cut anywhere, the reader stops before the cut whenever
// an item or its separator might go on, and the rest read after it gives the same items.
TEST(Record, LetturaAPezzi) {
    for (const auto& [testo, voci] : kCasi) {
        for (std::size_t taglio = 0; taglio <= testo.size(); ++taglio) {
            const std::string dove = testo + "| tagliato a " + std::to_string(taglio);
            core::LettoreRecord lettore(std::string_view(testo).substr(0, taglio),
                                        taglio < testo.size());
            std::vector<std::string> lette;
            bool resto = false;
            for (;;) {
                const bool fine = lettore.fine();
                if (lettore.serveAltro() && !resto) {
                    lettore = core::LettoreRecord(std::string_view(testo).substr(lettore.letti()));
                    resto = true;
                    continue;
                }
                if (fine) break;
                const std::size_t prima = lettore.letti();
                const auto voce = lettore.leggi();
                if (lettore.serveAltro() && !resto) {
                    ASSERT_EQ(lettore.letti(), prima) << dove;
                    lettore = core::LettoreRecord(std::string_view(testo).substr(prima));
                    resto = true;
                    continue;
                }
                ASSERT_TRUE(voce.has_value()) << dove;
                lette.emplace_back(*voce);
            }
            EXPECT_EQ(lette, voci) << dove;
        }
    }
}

}  // namespace
