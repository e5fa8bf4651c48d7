#pragma once

#include <QImage>

namespace brenlow {

/** The small pictures the window's buttons carry beside their captions (16 x 16). */
enum class ButtonPicture
{
    Add,
    Browse,
    Cancel,
    Delete,
    Download
};

[[nodiscard]] QImage DrawButtonPicture(ButtonPicture which);

} // namespace brenlow
