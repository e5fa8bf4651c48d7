#pragma once

#include <QtGlobal>

#include <array>

namespace brenlow::ButtonColors {

/** Moves each channel of a plain colour by amount x 255 (rounded, halves to even), clamped to 255
 *  for a positive amount and to 0 otherwise. */
[[nodiscard]] quint32 Shift(quint32 color, float amount);

/** The channel-wise mean of two plain colours, rounded halves to even. */
[[nodiscard]] quint32 Average(quint32 a, quint32 b);

/** The lighten table (i x 293 \ 255, at most 255) and the darken table (i x 217 \ 255). */
[[nodiscard]] const std::array<quint8, 256>& LightenTable();
[[nodiscard]] const std::array<quint8, 256>& DarkenTable();

/** Plain 0x00BBGGRR to a QRgb (0xAARRGGBB, opaque) and back. */
[[nodiscard]] constexpr quint32 ToRgb(quint32 c)
{
    return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
[[nodiscard]] constexpr quint32 FromRgb(quint32 rgb)
{
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

} // namespace brenlow::ButtonColors
