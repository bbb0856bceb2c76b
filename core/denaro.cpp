#include "core/denaro.h"

namespace core {

std::optional<Money> Money::plus(Money altro) const {
    std::int64_t somma = 0;
    if (__builtin_add_overflow(valore_, altro.valore_, &somma)) return std::nullopt;
    return Money(somma);
}

std::optional<Money> Money::minus(Money altro) const {
    std::int64_t differenza = 0;
    if (__builtin_sub_overflow(valore_, altro.valore_, &differenza)) return std::nullopt;
    return Money(differenza);
}

std::optional<Money> Money::negated() const {
    std::int64_t opposto = 0;
    // The lowest value has no opposite in the range.
    if (__builtin_sub_overflow(std::int64_t{0}, valore_, &opposto)) return std::nullopt;
    return Money(opposto);
}

std::optional<Money> Money::abs() const {
    if (valore_ >= 0) return *this;
    return negated();
}

}  // namespace core
