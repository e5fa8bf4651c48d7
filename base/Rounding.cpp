#include "base/Rounding.h"

#include <cmath>
#include <limits>
#include <stdexcept>

namespace brenlow {

std::int64_t RoundHalfEven(double value)
{
    if (!std::isfinite(value))
        throw std::overflow_error("Overflow");
    const double whole = std::round(value);
    double result = whole;
    // std::round sends halves away from zero; pull exact halves back to the even neighbour.
    if (std::fabs(value - std::trunc(value)) == 0.5 && std::fmod(whole, 2.0) != 0.0)
        result = whole - std::copysign(1.0, value);
    if (result < -9223372036854775808.0 || result >= 9223372036854775808.0)
        throw std::overflow_error("Overflow");
    return static_cast<std::int64_t>(result);
}

std::int32_t RoundHalfEven32(double value)
{
    const std::int64_t r = RoundHalfEven(value);
    if (r < std::numeric_limits<std::int32_t>::min() || r > std::numeric_limits<std::int32_t>::max())
        throw std::overflow_error("Overflow");
    return static_cast<std::int32_t>(r);
}

} // namespace brenlow
