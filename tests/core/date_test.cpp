#include "core/date.h"

#include <gtest/gtest.h>

namespace core {
namespace {

// Day first, one separator repeated; two-digit years pivot at 30; Gregorian leap years.
TEST(Date, LetturaEFormato) {
    constexpr std::optional<Data> kNo;
    // clang-format off
    const std::pair<const char*, std::optional<Data>> casi[] = {
        {"15/03/2003", Data{2003, 3, 15}}, {"1-2-2003", Data{2003, 2, 1}}, {"01.12.1999", Data{1999, 12, 1}},
        {"29/02/2004", Data{2004, 2, 29}}, {"29/02/2000", Data{2000, 2, 29}}, {"31/12/9999", Data{9999, 12, 31}},
        {"1/1/100", Data{100, 1, 1}}, {"5/6/29", Data{2029, 6, 5}}, {"5/6/30", Data{1930, 6, 5}},
        {"29/02/2003", kNo}, {"29/02/1900", kNo}, {"31/04/2003", kNo}, {"0/1/2003", kNo}, {"1/13/2003", kNo},
        {"1/1/0099", kNo}, {"1/1/5", kNo}, {"1/1/20033", kNo}, {"", kNo}, {" 1/1/2003", kNo},
        {"1/1/2003 ", kNo}, {"1/2-2003", kNo}, {"001/1/2003", kNo}, {"1//2003", kNo}, {"1/1", kNo}};
    // clang-format on
    for (const auto& [testo, data] : casi) EXPECT_EQ(LeggiData(testo), data) << testo;
    EXPECT_EQ(FormatoData(Data{100, 1, 2}), "02/01/0100");
}

}  // namespace
}  // namespace core
