#include "core/money.h"

#include <gtest/gtest.h>

#include <limits>

namespace core {
namespace {

constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
constexpr auto kMin = std::numeric_limits<std::int64_t>::min();

TEST(MoneyTest, ExactInsideTheRangeRefusedOutside) {
    EXPECT_EQ(Money::FromRaw(kMin).plus(Money::FromRaw(kMax))->raw(), -1);
    EXPECT_EQ(Money::FromUnits(5).minus(Money::FromRaw(1))->raw(), 49999);
    EXPECT_EQ(Money::FromRaw(-kMax).abs()->raw(), kMax);
    EXPECT_EQ(Money::FromRaw(kMax).plus(Money::FromRaw(1)), std::nullopt);
    EXPECT_EQ(Money::FromRaw(kMin).minus(Money::FromRaw(1)), std::nullopt);
    EXPECT_EQ(Money::FromRaw(0).minus(Money::FromRaw(kMin)), std::nullopt);
    EXPECT_EQ(Money::FromRaw(kMin).negated(), std::nullopt);
    EXPECT_EQ(Money::FromRaw(kMin).abs(), std::nullopt);
}

}  // namespace
}  // namespace core
