#include "core/record.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Every item up to the end, and reading past it fails; writing shows in the data files' bytes.
TEST(Record, Lettura) {
    // clang-format off
    const std::pair<std::string, std::vector<std::string>> casi[] = {
        {"", {}}, {"\r\n  \r\n", {}}, {"\"a\"\n\"b\"\n", {"a", "b"}}, {"\"a\",\"b\"", {"a", "b"}},
        {"\"a, b\",\"\"\r\n\"elettricit\xE0\"\r\n", {"a, b", "", "elettricit\xE0"}},
        {"Lire,12 ,  -3\r\n", {"Lire", "12", "-3"}}, {"   \"a\" ,\t\" b \"\r\n", {"a", " b "}},
        {"\"a\"\r\n\r\n\r\n", {"a"}}, {"a,,b\r\n", {"a", "", "b"}}, {"\"abc\r\n", {"abc\r\n"}}};
    // clang-format on
    for (const auto& [testo, voci] : casi) {
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

}  // namespace
