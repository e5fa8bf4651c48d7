#pragma once

class glintbutton;

namespace brenlow {

/** Makes glintbutton known to assistive technology: a push, check or radio button named by its
 *  caption, its tool tip as description, its pressed, checked, default and hot states and a press
 *  action. Installed once per process by the first button; later calls do nothing. */
void InstallButtonAccessibility();

/** Tells assistive technology which of the button's states changed since the last call. Costs a
 *  lookup and nothing more while no assistive technology has looked at the button. */
void AnnounceButtonState(const glintbutton* button);

} // namespace brenlow
