#pragma once

#include "controls/button/ButtonProperties.h"

#include <QImage>
#include <QRect>
#include <QRegion>

class QWidget;

namespace brenlow {

/** What a redraw reads besides the properties: the interaction state of the button. */
struct ButtonPaintContext
{
    /** The state to paint (a checked button may already be forced to down). */
    ButtonState state = ButtonState::Normal;
    bool hasFocus = false;
    /** The container marks the button as its default button. */
    bool isDefault = false;
    /** The window that holds the button is the active window. */
    bool parentActive = true;
    bool mouseInside = false;
    /** The widget whose style draws themed parts; may be null. */
    const QWidget* widget = nullptr;
};

/** Where the contents went in the last paint, for tests and hit checks. Rectangles are left, top,
 *  right, bottom with right and bottom exclusive, as QRect(QPoint(l, t), QPoint(r - 1, b - 1)). */
struct ButtonLayout
{
    QRect caption;
    QRect picture;
    QRect symbol;
};

/** Paints the whole button onto `surface` (its size is the button's size) and returns the layout of
 *  its contents. */
ButtonLayout PaintButton(QImage& surface, const ButtonProperties& p, const ButtonPaintContext& ctx);

/** The window region of a style: rounded corners for 2, 3, 6, 7, 9 and 10, else the rectangle. */
[[nodiscard]] QRegion ButtonRegion(int style, int width, int height);

} // namespace brenlow
