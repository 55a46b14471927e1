#pragma once

#include <cmath>

namespace tessik {

// Round to a whole number, ties to the even neighbour (2.5 -> 2, 3.5 -> 4), whatever the
// floating-point rounding mode happens to be.
template <typename Real> Real roundHalfEven(Real value)
{
    const Real floorValue = std::floor(value);
    const Real diff = value - floorValue;
    if (diff > Real(0.5))
        return floorValue + 1;
    if (diff < Real(0.5))
        return floorValue;
    return std::fmod(floorValue, Real(2)) == 0 ? floorValue : floorValue + 1;
}

} // namespace tessik
