#pragma once

namespace brenlow {

/** Makes SleekProgressBar known to assistive technology: a progress bar with its value, minimum
 *  and maximum, whose changes of value are announced. Installed once per process by the first bar;
 *  later calls do nothing. */
void InstallProgressBarAccessibility();

} // namespace brenlow
