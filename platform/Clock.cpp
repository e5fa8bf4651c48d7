#include "platform/Clock.h"

namespace brenlow {

Clock& Clock::steady()
{
    static SteadyClock clock;
    return clock;
}

} // namespace brenlow
