#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QtGlobal>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>

class QEvent;
class QObject;
class QScrollBar;
class QWidget;

namespace brenlow {

/** Window message numbers the controls listen for. The Qt events of a subclassed widget arrive as
 *  these messages with their usual wParam/lParam packing (low word, high word). */
namespace Msg {
constexpr int Activate = 6;        // wParam 1 activated, 0 deactivated
constexpr int SetFocus = 7;        // focus gained
constexpr int KillFocus = 8;       // focus lost
constexpr int SysColorChange = 21; // system colours (the application palette) changed
constexpr int NcActivate = 134;    // wParam 1 activated, 0 deactivated
constexpr int KeyDown = 256;       // wParam virtual-key number
constexpr int KeyUp = 257;
constexpr int HScroll = 276; // low word of wParam the scroll code, high word the position
constexpr int VScroll = 277;
constexpr int MouseMove = 512; // wParam key state, lParam x (low) and y (high) in the widget
constexpr int LButtonDown = 513;
constexpr int LButtonUp = 514;
constexpr int LButtonDblClk = 515;
constexpr int RButtonDown = 516;
constexpr int RButtonUp = 517;
constexpr int RButtonDblClk = 518;
constexpr int MButtonDown = 519;
constexpr int MButtonUp = 520;
constexpr int MButtonDblClk = 521;
constexpr int MouseWheel = 522;   // wParam: key state (low), signed delta of 120 per notch (high)
constexpr int MouseHover = 673;   // the pointer rests over the widget
constexpr int MouseLeave = 675;   // the pointer left the widget
constexpr int ThemeChanged = 794; // the style or the platform theme changed
} // namespace Msg

/** Scroll codes carried in the low word of wParam of Msg::HScroll / Msg::VScroll. */
namespace ScrollCode {
constexpr int LineUp = 0;
constexpr int LineDown = 1;
constexpr int PageUp = 2;
constexpr int PageDown = 3;
constexpr int ThumbPosition = 4;
constexpr int ThumbTrack = 5;
constexpr int Top = 6;
constexpr int Bottom = 7;
constexpr int EndScroll = 8;
} // namespace ScrollCode

[[nodiscard]] constexpr qintptr MakeLong(int low, int high)
{
    return static_cast<qintptr>(static_cast<quint32>((low & 0xFFFF) | ((high & 0xFFFF) << 16)));
}
[[nodiscard]] constexpr int LowWord(qintptr v)
{
    return static_cast<int>(v & 0xFFFF);
}
[[nodiscard]] constexpr int HighWord(qintptr v)
{
    return static_cast<int>((v >> 16) & 0xFFFF);
}
/** The high word read as a signed 16-bit number (wheel delta, coordinates left of or above 0). */
[[nodiscard]] constexpr int SignedHighWord(qintptr v)
{
    return static_cast<qint16>((v >> 16) & 0xFFFF);
}
[[nodiscard]] constexpr int SignedLowWord(qintptr v)
{
    return static_cast<qint16>(v & 0xFFFF);
}

/** The receiver of intercepted messages. */
class SubclassCallback
{
public:
    virtual ~SubclassCallback() = default;

    /** Called before the widget's own handling (bBefore true) for messages of the before-table and
     *  after it (bBefore false) for those of the after-table. Setting bHandled before keeps the
     *  message from the widget; lReturn is then the result. */
    virtual void Subclass_WndProc(bool bBefore, bool& bHandled, qintptr& lReturn, QWidget* lHwnd, int uMsg,
                                  qintptr wParam, qintptr lParam) = 0;
};

/** The error zAddressOf raises: number 0x80040000, source "zAddressOf". */
class SubclassError : public std::runtime_error
{
public:
    SubclassError(quint32 number, QString source, const QString& description)
        : std::runtime_error(description.toStdString()), m_number(number), m_source(std::move(source))
    {
    }
    [[nodiscard]] quint32 Number() const { return m_number; }
    [[nodiscard]] const QString& Source() const { return m_source; }

private:
    quint32 m_number;
    QString m_source;
};

/** One control's message-interception service. Each owner (a grid, a button) keeps one; it may
 *  subclass several widgets (its own, its container). A subclassed widget gets an event filter that
 *  turns its Qt events into window messages and calls the owner's callback before and after the
 *  widget's own handling, for the messages of the two tables.
 *
 *  Failures never throw: they are reported in a warning box titled "Error in <type>.<routine>" and
 *  as an error line in the system log, and leave things as they were. */
class Subclasser final
{
public:
    static constexpr int MSG_ENTRIES = 32;
    static constexpr int ALL_MESSAGES = -1;

    enum class When
    {
        Before = 1,
        After = 2,
        BeforeAndAfter = 3
    };

    /** A message table: count (−1 all messages) and up to MSG_ENTRIES numbers (0 = freed slot). */
    struct Table
    {
        int count = 0;
        std::array<int, MSG_ENTRIES> entries{};
        [[nodiscard]] bool Contains(int msg) const;
    };

    /** The state kept per subclassed widget. */
    struct Block
    {
        QPointer<QWidget> hWnd;
        SubclassCallback* owner = nullptr;
        qintptr callerValue = 0;
        Table before;
        Table after;
        bool released = false;
        std::unique_ptr<QObject> filter;
        QMetaObject::Connection watch;
    };

    /** typeName names the owner in error reports ("ListGrid"); self is the callback used when
     *  sc_Subclass gets none. */
    Subclasser(QString typeName, SubclassCallback* self = nullptr);
    ~Subclasser();
    Q_DISABLE_COPY_MOVE(Subclasser)

    /** Starts interception on lhWnd; the block becomes the current one for zAddMsg/zDelMsg. */
    bool sc_Subclass(QWidget* lhWnd, qintptr lParamUser = 0, int nOrdinal = 1,
                     SubclassCallback* oCallback = nullptr, bool bIdeSafety = true);
    /** Adds a message to the current block's table(s); ALL_MESSAGES sets the table to all. */
    void zAddMsg(int uMsg, When when = When::Before);
    /** Removes a message from the current block's table(s); ALL_MESSAGES empties the table. */
    void zDelMsg(int uMsg, When when = When::Before);
    /** Stops interception on lhWnd. */
    bool sc_UnSubclass(QWidget* lhWnd);
    /** The block of lhWnd, which becomes the current one; nullptr (reported) when none. */
    Block* zMap_hWnd(QWidget* lhWnd);

    /** The callback of an owner by ordinal: 1 is its Subclass_WndProc. Throws SubclassError
     *  "Ordinal not found" for any other ordinal or no owner. */
    static std::function<void(bool, bool&, qintptr&, QWidget*, int, qintptr, qintptr)>
    zAddressOf(SubclassCallback* owner, int nOrdinal);

    /** Delivers a message to every interception of the widget as if the widget had received it:
     *  before-callbacks, then (unless handled) after-callbacks. Returns lReturn of the last callback. */
    static qintptr Send(QWidget* hWnd, int uMsg, qintptr wParam, qintptr lParam);

    /** Makes a scroll bar's actions reach `owner` as Msg::HScroll / Msg::VScroll (by its
     *  orientation) with the matching scroll codes. */
    static void ForwardScrollBar(QWidget* owner, QScrollBar* bar);

    /** The key of a widget in the registry: its handle in decimal followed by "h". */
    [[nodiscard]] static QString HandleKey(const QWidget* hWnd);

    [[nodiscard]] const QString& TypeName() const { return m_typeName; }

private:
    friend class SubclassFilter;
    void Report(const QString& routine, const QString& message) const;
    void AddTo(Table& table, int uMsg);
    void DelFrom(Table& table, int uMsg);
    void Forget(QWidget* hWnd);

    QString m_typeName;
    SubclassCallback* m_self;
    std::unique_ptr<std::map<QString, std::unique_ptr<Block>>> m_registry;
    Block* m_current = nullptr;
};

} // namespace brenlow
