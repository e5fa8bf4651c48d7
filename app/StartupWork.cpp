#include "app/StartupWork.h"

#include <fontconfig/fontconfig.h>

#include <system_error>
#include <utility>

namespace brenlow {

StartupWork::StartupWork(std::function<void()> preparations) : m_preparations(std::move(preparations))
{
    try {
        m_thread = std::thread([this, goOn = m_goOn.get_future()]() mutable {
            FcInit();
            m_fontsRead.set_value();
            // The toolkit takes the first thread that uses it for its main thread: the preparations
            // wait for the application object.
            if (goOn.get() && m_preparations) {
                try {
                    m_preparations();
                } catch (...) {
                    // Only work done ahead: the window does it itself when it finds it undone.
                }
            }
        });
    } catch (const std::system_error&) {
        // No thread: the toolkit reads the font configuration when it first needs it.
    }
}

void StartupWork::finish()
{
    if (!m_told) {
        m_told = true;
        m_goOn.set_value(false);
    }
    if (m_thread.joinable())
        m_thread.join();
}

void StartupWork::applicationStarted()
{
    if (m_told)
        return;
    m_told = true;
    if (!m_thread.joinable()) {
        if (m_preparations)
            m_preparations();
        return;
    }
    m_goOn.set_value(true);
    m_fontsRead.get_future().wait();
}

} // namespace brenlow
