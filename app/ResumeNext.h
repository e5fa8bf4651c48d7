#pragma once

#include <exception>
#include <utility>

namespace brenlow {

/** Runs one step of a handler that goes on when a step fails: an error the step throws is dropped
 *  and the handler continues with its next step, nothing shown for it. */
template <class Step> void ResumeNext(Step&& step) noexcept
{
    try {
        std::forward<Step>(step)();
    } catch (const std::exception&) {
    } catch (...) {
    }
}

} // namespace brenlow
