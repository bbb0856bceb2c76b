#include "core/date.h"

#include <gtest/gtest.h>

#include <utility>

namespace core {
namespace {

constexpr std::optional<Data> kNo;

using CasoData = std::pair<const char*, std::optional<Data>>;
// clang-format off
const CasoData kDate[] = {
    {"15/03/2003", Data{2003, 3, 15}}, {"16/3/2003", Data{2003, 3, 16}},
    {"1-2-2003", Data{2003, 2, 1}}, {"01.12.1999", Data{1999, 12, 1}},
    {"29/02/2004", Data{2004, 2, 29}}, {"29/02/2000", Data{2000, 2, 29}},
    {"31/12/9999", Data{9999, 12, 31}}, {"1/1/100", Data{100, 1, 1}}, {"5/6/29", Data{2029, 6, 5}},
    {"5/6/30", Data{1930, 6, 5}}, {"29/02/2003", kNo}, {"29/02/1900", kNo}, {"31/04/2003", kNo},
    {"0/1/2003", kNo}, {"1/13/2003", kNo}, {"1/1/0099", kNo}, {"1/1/5", kNo}, {"1/1/20033", kNo},
    {"", kNo}, {"   ", kNo}, {" 1/1/2003", kNo}, {"1/1/2003 ", kNo}, {"1 /1/2003", kNo},
    {"1/2-2003", kNo}, {"001/1/2003", kNo}, {"1//2003", kNo}, {"1/1", kNo}, {"a/1/2003", kNo},
    {"1/1/2003/4", kNo},
};
// clang-format on

class LeggiDataTest : public testing::TestWithParam<CasoData> {};

TEST_P(LeggiDataTest, ReadsDayFirstOrRefuses) {
    EXPECT_EQ(LeggiData(GetParam().first), GetParam().second);
}
INSTANTIATE_TEST_SUITE_P(Testi, LeggiDataTest, testing::ValuesIn(kDate));

TEST(FormatoDataTest, TwoDigitDayAndMonthFourDigitYear) {
    EXPECT_EQ(FormatoData(Data{2003, 3, 16}), "16/03/2003");
    EXPECT_EQ(FormatoData(Data{100, 1, 1}), "01/01/0100");
}

}  // namespace
}  // namespace core
