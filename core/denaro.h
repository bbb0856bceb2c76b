#pragma once

#include <compare>
#include <cstdint>
#include <optional>

namespace core {

// A money value: a signed 64-bit count of ten-thousandths of the currency unit.
// Arithmetic is exact and checked: a result beyond the range is nullopt, never wrapped,
// so a caller can refuse the operation and keep its state.
class Money {
  public:
    static constexpr std::int64_t kScala = 10000;

    constexpr Money() = default;
    static constexpr Money FromRaw(std::int64_t decimillesimi) { return Money(decimillesimi); }
    static constexpr Money FromUnits(std::int64_t unita) { return Money(unita * kScala); }

    [[nodiscard]] constexpr std::int64_t raw() const { return valore_; }
    [[nodiscard]] constexpr bool isZero() const { return valore_ == 0; }
    [[nodiscard]] constexpr bool isNegative() const { return valore_ < 0; }

    [[nodiscard]] std::optional<Money> plus(Money altro) const;
    [[nodiscard]] std::optional<Money> minus(Money altro) const;
    [[nodiscard]] std::optional<Money> negated() const;
    [[nodiscard]] std::optional<Money> abs() const;

    friend constexpr auto operator<=>(Money, Money) = default;

  private:
    constexpr explicit Money(std::int64_t v) : valore_(v) {}
    std::int64_t valore_ = 0;
};

}  // namespace core
