// Preloaded into a Qt program by startup.py: when the first top-level window has painted, it
// prints the monotonic clock ("first-paint <seconds>") and the processor time the main thread used
// until then ("main-thread <seconds>"), and ends the program normally.
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <ctime>

namespace {

class FirstPaint final : public QObject
{
public:
    FirstPaint() : QObject(qApp) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!m_seen && event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow()) {
            m_seen = true;
            // Queued: the paint in hand and the flush to the screen come first.
            QTimer::singleShot(0, qApp, [] {
                timespec now{};
                timespec used{};
                clock_gettime(CLOCK_MONOTONIC, &now);
                clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
                std::printf("first-paint %.6f\nmain-thread %.6f\n", now.tv_sec + now.tv_nsec / 1e9,
                            used.tv_sec + used.tv_nsec / 1e9);
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

void start()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        new FirstPaint;
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(start)
