#pragma once

#include <cstdint>

namespace brenlow {

/** Rounds to the nearest whole number, halves to the even neighbour (12.5 -> 12, 13.5 -> 14).
 *  Every place where a fraction becomes whole uses this. Throws std::overflow_error outside int64. */
[[nodiscard]] std::int64_t RoundHalfEven(double value);

/** The same, for results that must fit a 32-bit integer; throws std::overflow_error otherwise. */
[[nodiscard]] std::int32_t RoundHalfEven32(double value);

} // namespace brenlow
