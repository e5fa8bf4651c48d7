#include "controls/common/Subclasser.h"

#include "controls/common/KeyCodes.h"
#include "platform/Dialogs.h"
#include "platform/Host.h"
#include "platform/SystemLog.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QThread>
#include <QWheelEvent>
#include <QWidget>

#include <vector>

namespace brenlow {

namespace {

struct Message
{
    int msg;
    qintptr wParam;
    qintptr lParam;
};

/** Every interception of a widget, across owners, so synthetic messages reach them all. */
struct Interception
{
    const QWidget* hWnd;
    Subclasser* owner;
    Subclasser::Block* block;
};
std::vector<Interception>& interceptions()
{
    static std::vector<Interception> list;
    return list;
}

bool StillIntercepting(const Subclasser::Block* block)
{
    for (const Interception& i : interceptions())
        if (i.block == block)
            return true;
    return false;
}

qintptr PointParam(const QPointF& p)
{
    return MakeLong(qRound(p.x()), qRound(p.y()));
}

int ButtonMessage(Qt::MouseButton button, QEvent::Type type)
{
    int base = 0;
    switch (button) {
    case Qt::LeftButton:
        base = Msg::LButtonDown;
        break;
    case Qt::RightButton:
        base = Msg::RButtonDown;
        break;
    case Qt::MiddleButton:
        base = Msg::MButtonDown;
        break;
    default:
        return 0;
    }
    if (type == QEvent::MouseButtonRelease)
        return base + 1;
    if (type == QEvent::MouseButtonDblClick)
        return base + 2;
    return base;
}

/** The messages a Qt event stands for; empty when it stands for none. */
std::vector<Message> Translate(QEvent* ev)
{
    using namespace KeyCodes;
    switch (ev->type()) {
    case QEvent::FocusIn:
        return {{Msg::SetFocus, 0, 0}};
    case QEvent::FocusOut:
        return {{Msg::KillFocus, 0, 0}};
    case QEvent::WindowActivate:
        return {{Msg::NcActivate, 1, 0}, {Msg::Activate, 1, 0}};
    case QEvent::WindowDeactivate:
        return {{Msg::NcActivate, 0, 0}, {Msg::Activate, 0, 0}};
    case QEvent::ApplicationPaletteChange:
        return {{Msg::SysColorChange, 0, 0}};
    // A platform theme change reaches a widget as a style change too.
    case QEvent::StyleChange:
        return {{Msg::ThemeChanged, 0, 0}};
    case QEvent::Leave:
        return {{Msg::MouseLeave, 0, 0}};
    case QEvent::ToolTip: {
        auto* he = static_cast<QHelpEvent*>(ev);
        return {{Msg::MouseHover, 0, PointParam(he->pos())}};
    }
    case QEvent::MouseMove: {
        auto* me = static_cast<QMouseEvent*>(ev);
        return {{Msg::MouseMove, MouseKeyStateFromQt(me->buttons(), me->modifiers()),
                 PointParam(me->position())}};
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        auto* me = static_cast<QMouseEvent*>(ev);
        const int msg = ButtonMessage(me->button(), ev->type());
        if (!msg)
            return {};
        return {{msg, MouseKeyStateFromQt(me->buttons(), me->modifiers()), PointParam(me->position())}};
    }
    case QEvent::Wheel: {
        auto* we = static_cast<QWheelEvent*>(ev);
        const int delta = we->angleDelta().y();
        if (delta == 0)
            return {};
        const int keys = MouseKeyStateFromQt(we->buttons(), we->modifiers());
        return {{Msg::MouseWheel, MakeLong(keys, delta), PointParam(we->globalPosition())}};
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto* ke = static_cast<QKeyEvent*>(ev);
        const int vk = FromKeyEvent(ke);
        if (!vk)
            return {};
        const qintptr repeat = 1 | (ke->isAutoRepeat() ? (1 << 30) : 0);
        return {{ev->type() == QEvent::KeyPress ? Msg::KeyDown : Msg::KeyUp, vk, repeat}};
    }
    default:
        return {};
    }
}

/** Before-callbacks of one block for one message; true when the callback handled it. */
bool CallBefore(Subclasser::Block* b, const Message& m, qintptr& ret)
{
    if (!b->before.Contains(m.msg) || !b->owner || b->released)
        return false;
    bool handled = false;
    b->owner->Subclass_WndProc(true, handled, ret, b->hWnd.data(), m.msg, m.wParam, m.lParam);
    return handled;
}

void CallAfter(Subclasser::Block* b, const Message& m, qintptr& ret)
{
    if (!b->after.Contains(m.msg) || !b->owner || b->released)
        return;
    bool handled = false;
    b->owner->Subclass_WndProc(false, handled, ret, b->hWnd.data(), m.msg, m.wParam, m.lParam);
}

int ScrollCodeOf(int action)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        return ScrollCode::LineUp;
    case QAbstractSlider::SliderSingleStepAdd:
        return ScrollCode::LineDown;
    case QAbstractSlider::SliderPageStepSub:
        return ScrollCode::PageUp;
    case QAbstractSlider::SliderPageStepAdd:
        return ScrollCode::PageDown;
    case QAbstractSlider::SliderMove:
        return ScrollCode::ThumbTrack;
    case QAbstractSlider::SliderToMinimum:
        return ScrollCode::Top;
    case QAbstractSlider::SliderToMaximum:
        return ScrollCode::Bottom;
    default:
        return -1;
    }
}

} // namespace

/** The event filter standing in for the window procedure of one subclassed widget. */
class SubclassFilter final : public QObject
{
public:
    SubclassFilter(Subclasser::Block* block) : m_block(block) {}

    bool eventFilter(QObject* watched, QEvent* ev) override
    {
        Subclasser::Block* b = m_block;
        if (watched != b->hWnd.data() || b->released)
            return false;
        const std::vector<Message> msgs = Translate(ev);
        if (msgs.empty())
            return false;

        qintptr ret = 0;
        bool handled = false;
        bool wantAfter = false;
        for (const Message& m : msgs) {
            if (CallBefore(b, m, ret))
                handled = true;
            // The callback may have stopped the interception (and freed the block).
            if (!StillIntercepting(b))
                return handled;
            wantAfter = wantAfter || b->after.Contains(m.msg);
        }
        if (handled)
            return true;
        if (!wantAfter)
            return false;

        // Let the widget handle the event now, so the after-callbacks see its result.
        QPointer<QWidget> w = b->hWnd;
        const bool result = static_cast<QObject*>(w.data())->event(ev);
        ret = result ? 1 : 0;
        for (const Message& m : msgs) {
            if (!w || !StillIntercepting(b))
                break;
            CallAfter(b, m, ret);
        }
        return true;
    }

private:
    Subclasser::Block* m_block;
};

bool Subclasser::Table::Contains(int msg) const
{
    if (count == ALL_MESSAGES)
        return true;
    if (msg == 0)
        return false;
    for (int i = 0; i < count && i < MSG_ENTRIES; ++i)
        if (entries[static_cast<size_t>(i)] == msg)
            return true;
    return false;
}

Subclasser::Subclasser(QString typeName, SubclassCallback* self)
    : m_typeName(std::move(typeName)), m_self(self)
{
}

Subclasser::~Subclasser()
{
    if (!m_registry)
        return;
    auto& list = interceptions();
    std::erase_if(list, [this](const Interception& i) { return i.owner == this; });
    for (auto& [key, block] : *m_registry) {
        if (block->hWnd && block->filter)
            block->hWnd->removeEventFilter(block->filter.get());
    }
}

QString Subclasser::HandleKey(const QWidget* hWnd)
{
    return QString::number(reinterpret_cast<quintptr>(hWnd)) + QLatin1Char('h');
}

void Subclasser::Report(const QString& routine, const QString& message) const
{
    const QString where = m_typeName + QLatin1Char('.') + routine;
    SystemLog::instance().Error(where + QStringLiteral(": ") + message);
    Host::dialogs().MessageBox(message + QLatin1Char('.'), QStringLiteral("Error in ") + where,
                               Dialogs::Icon::Warning, Dialogs::Buttons::Ok);
}

bool Subclasser::sc_Subclass(QWidget* lhWnd, qintptr lParamUser, int nOrdinal, SubclassCallback* oCallback,
                             bool bIdeSafety)
{
    Q_UNUSED(bIdeSafety) // there is no design environment to guard against
    const QString routine = QStringLiteral("sc_Subclass");
    if (!lhWnd) {
        Report(routine, QStringLiteral("Invalid window handle"));
        return false;
    }
    // Another thread's widget stands for another process's window: its events never pass here.
    if (lhWnd->thread() != QThread::currentThread()) {
        Report(routine, QStringLiteral("Window handle belongs to another process"));
        return false;
    }
    SubclassCallback* callback = oCallback ? oCallback : m_self;
    if (!callback || nOrdinal != 1) {
        Report(routine, QStringLiteral("Callback method not found"));
        return false;
    }
    if (!m_registry)
        m_registry = std::make_unique<std::map<QString, std::unique_ptr<Block>>>();
    const QString key = HandleKey(lhWnd);
    if (m_registry->count(key)) {
        Report(routine, QStringLiteral("Window handle is already subclassed"));
        return false;
    }

    auto block = std::make_unique<Block>();
    block->hWnd = lhWnd;
    block->owner = callback;
    block->callerValue = lParamUser;
    block->filter = std::make_unique<SubclassFilter>(block.get());
    lhWnd->installEventFilter(block->filter.get());
    // A widget that goes away takes its interception with it.
    block->watch =
        QObject::connect(lhWnd, &QObject::destroyed, block->filter.get(), [this, lhWnd] { Forget(lhWnd); });

    m_current = block.get();
    interceptions().push_back({lhWnd, this, block.get()});
    m_registry->emplace(key, std::move(block));
    return true;
}

void Subclasser::AddTo(Table& table, int uMsg)
{
    if (uMsg == ALL_MESSAGES) {
        table.count = ALL_MESSAGES;
        return;
    }
    if (table.count == ALL_MESSAGES)
        return; // every message is seen already
    if (table.count > MSG_ENTRIES - 1) {
        Report(QStringLiteral("zAddMsg"),
               QStringLiteral("Message table overflow. Either increase the value of Const MSG_ENTRIES or use "
                              "ALL_MESSAGES instead of specific message values"));
        return;
    }
    for (int i = 0; i < table.count; ++i) {
        int& entry = table.entries[static_cast<size_t>(i)];
        if (entry == 0) {
            entry = uMsg;
            return;
        }
        if (entry == uMsg)
            return;
    }
    table.entries[static_cast<size_t>(table.count)] = uMsg;
    ++table.count;
}

void Subclasser::DelFrom(Table& table, int uMsg)
{
    if (uMsg == ALL_MESSAGES) {
        table.count = 0;
        return;
    }
    for (int i = 0; i < table.count; ++i) {
        int& entry = table.entries[static_cast<size_t>(i)];
        if (entry == uMsg) {
            entry = 0;
            return;
        }
    }
    Report(QStringLiteral("zDelMsg"), QStringLiteral("Message &H") +
                                          QString::number(static_cast<quint32>(uMsg), 16).toUpper() +
                                          QStringLiteral(" not found in table"));
}

void Subclasser::zAddMsg(int uMsg, When when)
{
    if (!m_current) {
        Report(QStringLiteral("zAddMsg"), QStringLiteral("Subclassing hasn't been started"));
        return;
    }
    if (static_cast<int>(when) & static_cast<int>(When::Before))
        AddTo(m_current->before, uMsg);
    if (static_cast<int>(when) & static_cast<int>(When::After))
        AddTo(m_current->after, uMsg);
}

void Subclasser::zDelMsg(int uMsg, When when)
{
    if (!m_current) {
        Report(QStringLiteral("zDelMsg"), QStringLiteral("Subclassing hasn't been started"));
        return;
    }
    if (static_cast<int>(when) & static_cast<int>(When::Before))
        DelFrom(m_current->before, uMsg);
    if (static_cast<int>(when) & static_cast<int>(When::After))
        DelFrom(m_current->after, uMsg);
}

Subclasser::Block* Subclasser::zMap_hWnd(QWidget* lhWnd)
{
    const QString routine = QStringLiteral("zMap_hWnd");
    if (!m_registry) {
        Report(routine, QStringLiteral("Subclassing hasn't been started"));
        return nullptr;
    }
    auto it = m_registry->find(HandleKey(lhWnd));
    if (it == m_registry->end()) {
        Report(routine, QStringLiteral("Window handle isn't subclassed"));
        return nullptr;
    }
    m_current = it->second.get();
    return m_current;
}

bool Subclasser::sc_UnSubclass(QWidget* lhWnd)
{
    if (!m_registry) {
        Report(QStringLiteral("sc_UnSubclass"), QStringLiteral("Window handle isn't subclassed"));
        return false;
    }
    Block* b = zMap_hWnd(lhWnd);
    if (!b)
        return false;
    b->released = true;
    b->before.count = 0;
    b->after.count = 0;
    Forget(lhWnd);
    return true;
}

void Subclasser::Forget(QWidget* hWnd)
{
    if (!m_registry)
        return;
    auto it = m_registry->find(HandleKey(hWnd));
    if (it == m_registry->end())
        return;
    Block* b = it->second.get();
    std::erase_if(interceptions(), [b](const Interception& i) { return i.block == b; });
    if (m_current == b)
        m_current = nullptr;
    QObject::disconnect(b->watch);
    if (b->hWnd && b->filter)
        b->hWnd->removeEventFilter(b->filter.get());
    // The block may be the one whose filter is running right now: free it once control is back in
    // the event loop.
    QObject* filter = b->filter.release();
    filter->disconnect();
    filter->deleteLater();
    std::unique_ptr<Block> owned = std::move(it->second);
    m_registry->erase(it);
    owned->owner = nullptr;
    QObject::connect(filter, &QObject::destroyed, [keep = std::shared_ptr<Block>(std::move(owned))] {});
}

std::function<void(bool, bool&, qintptr&, QWidget*, int, qintptr, qintptr)>
Subclasser::zAddressOf(SubclassCallback* owner, int nOrdinal)
{
    if (!owner || nOrdinal != 1)
        throw SubclassError(0x80040000u, QStringLiteral("zAddressOf"), QStringLiteral("Ordinal not found"));
    return [owner](bool bBefore, bool& bHandled, qintptr& lReturn, QWidget* lHwnd, int uMsg, qintptr wParam,
                   qintptr lParam) {
        owner->Subclass_WndProc(bBefore, bHandled, lReturn, lHwnd, uMsg, wParam, lParam);
    };
}

qintptr Subclasser::Send(QWidget* hWnd, int uMsg, qintptr wParam, qintptr lParam)
{
    if (!hWnd)
        return 0;
    std::vector<Block*> blocks;
    for (const Interception& i : interceptions())
        if (i.hWnd == hWnd)
            blocks.push_back(i.block);
    const Message m{uMsg, wParam, lParam};
    qintptr ret = 0;
    for (Block* b : blocks) {
        if (StillIntercepting(b) && CallBefore(b, m, ret))
            return ret;
    }
    for (Block* b : blocks) {
        if (StillIntercepting(b))
            CallAfter(b, m, ret);
    }
    return ret;
}

void Subclasser::ForwardScrollBar(QWidget* owner, QScrollBar* bar)
{
    if (!owner || !bar)
        return;
    QPointer<QWidget> target = owner;
    QObject::connect(bar, &QAbstractSlider::actionTriggered, bar, [target, bar](int action) {
        const int code = ScrollCodeOf(action);
        if (!target || code < 0)
            return;
        const int msg = bar->orientation() == Qt::Horizontal ? Msg::HScroll : Msg::VScroll;
        Send(target, msg, MakeLong(code, bar->sliderPosition()), reinterpret_cast<qintptr>(bar));
    });
    QObject::connect(bar, &QAbstractSlider::sliderReleased, bar, [target, bar] {
        if (!target)
            return;
        const int msg = bar->orientation() == Qt::Horizontal ? Msg::HScroll : Msg::VScroll;
        const qintptr lParam = reinterpret_cast<qintptr>(bar);
        Send(target, msg, MakeLong(ScrollCode::ThumbPosition, bar->sliderPosition()), lParam);
        if (target)
            Send(target, msg, MakeLong(ScrollCode::EndScroll, 0), lParam);
    });
}

} // namespace brenlow
