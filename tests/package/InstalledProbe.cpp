// Loaded with LD_PRELOAD into an installed brenlow, this drives the window as a user would: it
// presses "Add Video Link", answers the input box with $BRENLOW_PROBE_LINK, waits until the list
// shows a row, saves pictures of the window and of the list to $BRENLOW_PROBE_OUT (window.png,
// list.png) and closes the window. It knows the window only through Qt: titles, class names and positions.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace {

class Probe final : public QObject
{
public:
    Probe() : QObject(qApp)
    {
        m_link = qEnvironmentVariable("BRENLOW_PROBE_LINK");
        m_out = qEnvironmentVariable("BRENLOW_PROBE_OUT");
        m_clock.start();
        m_timer.setInterval(50);
        connect(&m_timer, &QTimer::timeout, this, &Probe::tick);
        m_timer.start();
    }

private:
    enum class Step
    {
        FindWindow,
        AnswerLink,
        AwaitRow,
        Done,
    };

    void finish(const QByteArray& result)
    {
        m_step = Step::Done;
        m_timer.stop();
        QFile file(m_out + QStringLiteral("/result.txt"));
        if (file.open(QIODevice::WriteOnly))
            file.write(result + '\n');
        // Shut down as a user does: the window's close.
        if (m_window)
            QTimer::singleShot(0, m_window.data(), &QWidget::close);
        else
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }

    QWidget* child(const char* className, QPoint at) const
    {
        for (QWidget* w : m_window->findChildren<QWidget*>()) {
            if (w->inherits(className) && w->isVisible() && w->geometry().contains(at))
                return w;
        }
        return nullptr;
    }

    void tick()
    {
        if (m_clock.elapsed() > 90000) {
            finish("timeout");
            return;
        }
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            const QByteArray text = box->text().toUtf8();
            box->accept();
            finish("message: " + text);
            return;
        }
        switch (m_step) {
        case Step::FindWindow:
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (w->isVisible() && w->windowTitle() == QStringLiteral("Brenlow 7.0"))
                    m_window = w;
            }
            if (!m_window)
                return;
            m_grid = child("ListGrid", QPoint(20, 100));
            if (!m_grid) {
                finish("no list");
                return;
            }
            m_emptyList = m_grid->grab().toImage();
            if (QWidget* add = child("glintbutton", QPoint(20, 20))) {
                // Clicked from the event loop: the input box it opens runs a loop of its own.
                QTimer::singleShot(0, add, [add] { QTest::mouseClick(add, Qt::LeftButton); });
                m_step = Step::AnswerLink;
            } else {
                finish("no button");
            }
            return;
        case Step::AnswerLink:
            if (auto* input = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) {
                input->setTextValue(m_link);
                input->accept();
                m_step = Step::AwaitRow;
            }
            return;
        case Step::AwaitRow:
            if (!m_grid || !m_grid->isEnabled() || m_grid->grab().toImage() == m_emptyList)
                return;
            if (!m_window->grab().save(m_out + QStringLiteral("/window.png")) ||
                !m_grid->grab().save(m_out + QStringLiteral("/list.png"))) {
                finish("no picture");
                return;
            }
            finish("row");
            return;
        case Step::Done:
            return;
        }
    }

    QString m_link;
    QString m_out;
    QElapsedTimer m_clock;
    QTimer m_timer;
    Step m_step = Step::FindWindow;
    QPointer<QWidget> m_window;
    QPointer<QWidget> m_grid;
    QImage m_emptyList;
};

void startProbe()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        new Probe;
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(startProbe)
