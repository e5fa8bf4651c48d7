#pragma once

#include "controls/common/PropertyBag.h"

namespace brenlow {

/** The stored design of the window's button CommandN (n = 1..5): style 3 in colour scheme 2 on
 *  0xE3E3E3, its caption, its bundled 32 x 32 picture on the green mask colour, Tahoma 8.25 pt, or
 *  9.75 pt bold in blue for "Cancel" and "Download"; "Cancel" is stored disabled. */
[[nodiscard]] PropertyBag MainWindowButtonDesign(int n);

} // namespace brenlow
