#pragma once

#include "base/Rounding.h"

#include <QRect>

namespace brenlow {

/** Twips are converted at 15 per pixel, halves to even. */
[[nodiscard]] inline int TwipsToPixels(double twips)
{
    return RoundHalfEven32(twips / 15.0);
}

/** A control's rectangle in twips from the top-left corner of the window's client area. */
struct TwipsRect
{
    int Left, Top, Width, Height;

    [[nodiscard]] QRect ToPixels() const
    {
        return {TwipsToPixels(Left), TwipsToPixels(Top), TwipsToPixels(Width), TwipsToPixels(Height)};
    }
};

/** Where the main window's visible controls lie. */
namespace FormLayout {

inline constexpr int ClientWidth = 13440;
inline constexpr int ClientHeight = 8565;

inline constexpr TwipsRect Command1{120, 120, 1935, 495};  // "Add Video Link"
inline constexpr TwipsRect Command4{2280, 120, 1455, 495}; // "Delete"
inline constexpr TwipsRect Label5{11640, 480, 1695, 195};  // the maker's web site
inline constexpr TwipsRect ListGrid1{120, 720, 13185, 4050};
inline constexpr TwipsRect Text4{360, 2160, 7095, 2415};     // output box, behind the grid
inline constexpr TwipsRect Command2{11880, 4800, 1455, 495}; // "Browse..."
inline constexpr TwipsRect Label2{120, 4935, 1200, 195};     // "Download Folder"
inline constexpr TwipsRect Text1{1560, 4950, 10215, 285};    // the download folder
inline constexpr TwipsRect Command5{5160, 5640, 1575, 495};  // "Download"
inline constexpr TwipsRect Command3{6960, 5640, 1455, 495};  // "Cancel"
inline constexpr TwipsRect Label3{240, 6240, 4335, 195};     // product link
inline constexpr TwipsRect Label4{11760, 6240, 1485, 195};   // product link
inline constexpr TwipsRect Progressbar{120, 6480, 13215, 255};
inline constexpr TwipsRect Label1{6690, 6720, 75, 195}; // status line; grows with its text
inline constexpr TwipsRect wb{1253, 6960, 10935, 1335}; // web pane

} // namespace FormLayout
} // namespace brenlow
