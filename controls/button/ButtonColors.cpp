#include "controls/button/ButtonColors.h"

#include "base/Rounding.h"

#include <algorithm>

namespace brenlow::ButtonColors {

namespace {

int shiftChannel(int channel, float amount)
{
    // The step is computed in single precision first, as the colour amounts are singles.
    const float step = amount * 255.0f;
    const auto v = RoundHalfEven(static_cast<double>(channel) + static_cast<double>(step));
    if (amount > 0)
        return static_cast<int>(std::min<qint64>(v, 255));
    return static_cast<int>(std::max<qint64>(v, 0));
}

} // namespace

quint32 Shift(quint32 color, float amount)
{
    const int r = shiftChannel(color & 0xFF, amount);
    const int g = shiftChannel((color >> 8) & 0xFF, amount);
    const int b = shiftChannel((color >> 16) & 0xFF, amount);
    return static_cast<quint32>(std::clamp(r, 0, 255)) | (static_cast<quint32>(std::clamp(g, 0, 255)) << 8) |
           (static_cast<quint32>(std::clamp(b, 0, 255)) << 16);
}

quint32 Average(quint32 a, quint32 b)
{
    quint32 out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int ca = static_cast<int>((a >> shift) & 0xFF), cb = static_cast<int>((b >> shift) & 0xFF);
        out |= static_cast<quint32>(RoundHalfEven((ca + cb) / 2.0)) << shift;
    }
    return out;
}

const std::array<quint8, 256>& LightenTable()
{
    static const auto table = [] {
        std::array<quint8, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[i] = static_cast<quint8>(std::min(255, i * 293 / 255));
        return t;
    }();
    return table;
}

const std::array<quint8, 256>& DarkenTable()
{
    static const auto table = [] {
        std::array<quint8, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[i] = static_cast<quint8>(i * 217 / 255);
        return t;
    }();
    return table;
}

} // namespace brenlow::ButtonColors
