#pragma once

#include <functional>
#include <future>
#include <thread>

namespace brenlow {

/**
 * Start-up work that needs no window, done on a thread of its own beside the main one. While the
 * application connects to the display, the thread reads the system's font configuration and font
 * caches (fontconfig keeps one per process, so the toolkit then finds it read). Once the
 * application object stands, it runs the given preparations (pictures read ahead, folders of
 * windows that were killed cleared away) while the window is being built.
 *
 * Without a thread everything runs on the calling one.
 */
class StartupWork final
{
public:
    explicit StartupWork(std::function<void()> preparations);
    ~StartupWork() { finish(); }
    StartupWork(const StartupWork&) = delete;
    StartupWork& operator=(const StartupWork&) = delete;

    /** Tells the thread the application object stands, so the preparations may use the toolkit,
     *  and returns once the font configuration is read. Called once. */
    void applicationStarted();

    /** Waits for the work, before the application object goes: the preparations use the toolkit.
     *  Preparations not begun by then are left undone. */
    void finish();

private:
    std::function<void()> m_preparations;
    std::promise<void> m_fontsRead;
    std::promise<bool> m_goOn;
    bool m_told = false;
    std::thread m_thread;
};

} // namespace brenlow
