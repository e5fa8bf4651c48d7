// A shown grid driven through a session: public calls, mouse and key events, edits, and handlers
// that change the grid from inside its events. After every step the grid must still be whole: counts,
// row map and column order, current cell, selection, format counts, the open edit and the layout.
#include "FuzzInput.h"

#include "controls/common/PropertyBag.h"
#include "controls/grid/ListGrid.h"
#include "platform/Dialogs.h"
#include "platform/Host.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QSettings>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <bit>
#include <exception>
#include <unistd.h>
#include <vector>

using brenlow::fuzz::Input;
using namespace brenlow;

namespace {

class SilentDialogs final : public Dialogs
{
public:
    Answer MessageBox(const QString&, const QString&, Icon, Buttons buttons) override
    {
        return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
    std::optional<QString> InputBox(const QString&, const QString&, const QString&) override { return {}; }
    QString BrowseForFolder(const QString&, const QString&) override { return {}; }
};

constexpr int kWidth = 400;
constexpr int kHeight = 200;
constexpr int kMaxSteps = 64;

/** What a handler does when its event comes. */
enum Reaction : uint8_t
{
    Nothing,
    RemoveThatRow,
    RemoveFirstRow,
    InsertFirstRow,
    AddColumns,
    ClearRows,
    SortByFirst,
    HideThatRow,
    Cancel,
    CommitEdit,
    NestedLoop,        ///< a message box: a nested event loop inside the handler
    CloseWindowInLoop, ///< the window closes while such a loop runs: the grid is deleted in it
    DeleteGrid,        ///< the handler deletes the grid itself
    ReactionCount
};

/** The session: one grid in its window, the handlers' reactions and the input that drives them. */
class Session
{
public:
    explicit Session(Input& in) : in(in)
    {
        window.resize(kWidth, kHeight);
        grid = new ListGrid(&window);
        grid->setGeometry(0, 0, kWidth, kHeight);
        combo = new QComboBox(&window);
        combo->addItems({QStringLiteral("one"), QStringLiteral("two")});
        combo->hide();
        for (uint8_t& r : reactions)
            r = in.byte() % (2 * ReactionCount); // half of them nothing
        connectHandlers();
        const int columns = 1 + in.byte() % 5;
        // A handler may already close the window while the grid is being filled.
        for (int c = 0; c < columns && grid; ++c)
            grid->AddColumn(QStringLiteral("C%1").arg(c), 600 + 300 * c, 4, c == 0 ? 0 : in.byte() % 8);
        for (int r = 0; r < 8 && grid; ++r)
            grid->AddItem(QStringLiteral("r%1\t%2\t1\t%3").arg(r).arg(r % 3).arg(8 - r));
        if (grid)
            grid->SetRedraw(true);
        window.show();
        if (grid)
            grid->setFocus();
    }

    void run()
    {
        for (int step = 0; step < kMaxSteps && !in.empty() && grid; ++step) {
            try {
                stepOnce();
            } catch (const std::exception&) {
                // The few errors the grid hands to its caller (bad subscripts, overflow).
            } catch (const GridGone&) {
            }
            if (grid)
                check();
        }
    }

private:
    /** A step's calls end when a handler deleted the grid in one of them. */
    struct GridGone
    {
    };
    ListGrid* live() const
    {
        if (!grid)
            throw GridGone{};
        return grid.data();
    }
    int rows() const { return live()->Rows(); }
    int row() { return static_cast<int>(in.byte() % (rows() + 2)) - 1; }
    int col() { return static_cast<int>(in.byte() % (live()->Cols() + 1)); }
    QPoint point()
    {
        const int x = in.byte() * kWidth / 256;
        // Half the points in the header and first rows, where things happen.
        const uint8_t b = in.byte();
        const int y = b < 128 ? b / 4 : (b - 128) * kHeight / 128;
        return {x, y};
    }

    /** Runs a reaction unless one is already running (handlers do not chain without end). */
    void react(int slot, int eventRow, bool* cancel = nullptr)
    {
        if (depth > 0 || budget <= 0 || !grid)
            return;
        --budget;
        ++depth;
        try {
            switch (reactions[slot] < ReactionCount ? reactions[slot] : Nothing) {
            case RemoveThatRow:
                grid->RemoveItem(eventRow);
                break;
            case RemoveFirstRow:
                grid->RemoveItem(0);
                break;
            case InsertFirstRow:
                grid->AddItem(QStringLiteral("ins\t1"), 0);
                break;
            case AddColumns:
                for (int i = 0; i < 9; ++i)
                    grid->AddColumn(QStringLiteral("x"), 300);
                break;
            case ClearRows:
                grid->Clear();
                grid->SetRedraw(true);
                break;
            case SortByFirst:
                grid->Sort(0, 1);
                break;
            case HideThatRow:
                if (eventRow >= 0 && eventRow < rows())
                    grid->SetRowVisible(eventRow, false);
                break;
            case Cancel:
                if (cancel)
                    *cancel = true;
                break;
            case CommitEdit:
                grid->UpdateCell(false);
                break;
            case DeleteGrid:
                delete grid.data();
                break;
            case CloseWindowInLoop:
                grid->deleteLater();
                [[fallthrough]];
            case NestedLoop: {
                QEventLoop loop;
                QTimer::singleShot(0, &loop, &QEventLoop::quit);
                loop.exec();
                break;
            }
            default:
                break;
            }
        } catch (const std::exception&) {
        }
        --depth;
    }

    void connectHandlers()
    {
        QObject::connect(grid, &ListGrid::CellButtonClick, grid, [this](int r, int) { react(0, r); });
        QObject::connect(grid, &ListGrid::CellImageClick, grid, [this](int r, int) { react(1, r); });
        QObject::connect(grid, &ListGrid::CellHandClick, grid, [this](int r, int, qint16&) { react(2, r); });
        QObject::connect(grid, &ListGrid::BeforeEdit, grid, [this](int r, int, bool& c) { react(3, r, &c); });
        QObject::connect(grid, &ListGrid::AfterEdit, grid,
                         [this](int r, int, QString&, bool& c) { react(4, r, &c); });
        QObject::connect(grid, &ListGrid::RowColChanged, grid, [this] { react(5, grid->Row()); });
        QObject::connect(grid, &ListGrid::SelectionChanged, grid, [this] { react(6, grid->Row()); });
        QObject::connect(grid, &ListGrid::CellClick, grid, [this](int r, int, qint16&) { react(7, r); });
        QObject::connect(grid, &ListGrid::BeforeDelete, grid, [this](int r, bool& c) { react(8, r, &c); });
        QObject::connect(grid, &ListGrid::RowCheckedEvent, grid, [this](int r) { react(9, r); });
        QObject::connect(grid, &ListGrid::CustomSort, grid,
                         [this](bool&, int&, QString& a, QString& b, bool& swap) {
                             swap = a < b;
                             react(10, 0);
                         });
        QObject::connect(grid, &ListGrid::ColumnClick, grid, [this](int) { react(11, 0); });
        QObject::connect(grid, &ListGrid::Click, grid, [this] { react(12, grid->Row()); });
        QObject::connect(grid, &ListGrid::RequestRowData, grid, [this](int r) { react(13, r); });
        QObject::connect(grid, &ListGrid::RowCountChanged, grid, [this] { react(14, 0); });
        QObject::connect(grid, &ListGrid::SortComplete, grid, [this] { react(15, 0); });
        QObject::connect(grid, &ListGrid::Scroll, grid, [this] { react(16, 0); });
        QObject::connect(grid, &ListGrid::KeyDown, grid,
                         [this](qint16&, qint16&) { react(17, grid->Row()); });
        QObject::connect(grid, &ListGrid::MouseDown, grid,
                         [this](qint16&, qint16&, float&, float&) { react(18, grid->Row()); });
        QObject::connect(grid, &ListGrid::MouseUp, grid,
                         [this](qint16&, qint16&, float&, float&) { react(19, grid->Row()); });
        QObject::connect(grid, &ListGrid::AfterDelete, grid, [this] { react(20, 0); });
        QObject::connect(grid, &ListGrid::PropertyChanged, grid, [this](const QString&) { react(21, 0); });
        QObject::connect(grid, &ListGrid::ColumnOrderChanged, grid, [this](int, int) { react(22, 0); });
        QObject::connect(grid, &ListGrid::ColumnSizeChanged, grid, [this](int, float) { react(23, 0); });
        QObject::connect(grid, &ListGrid::EditKeyPress, grid,
                         [this](int, qint16&) { react(24, grid->Row()); });
        QObject::connect(grid, &ListGrid::BeforeInsert, grid, [this](int r, bool& c) { react(25, r, &c); });
        QObject::connect(grid, &ListGrid::AfterInsert, grid, [this](int r) { react(26, r); });
        QObject::connect(grid, &ListGrid::DblClick, grid, [this] { react(27, grid->Row()); });
        QObject::connect(grid, &ListGrid::KeyPress, grid, [this](qint16&) { react(28, grid->Row()); });
        QObject::connect(grid, &ListGrid::MouseMove, grid,
                         [this](qint16&, qint16&, float&, float&) { react(29, grid->Row()); });
        // What an event names is there when the event comes.
        QObject::connect(grid, &ListGrid::RowCheckedEvent, grid, [this](int r) {
            BRENLOW_FUZZ_CHECK(r >= 0 && r < rows());
            (void)grid->RowChecked(r);
        });
        QObject::connect(grid, &ListGrid::SelectionChanged, grid, [this] {
            BRENLOW_FUZZ_CHECK(grid->Row() < std::max(rows(), 1));
            (void)grid->RowSelected(grid->Row());
        });
    }

    void mouse(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers mods)
    {
        QMouseEvent event(type, p, live()->mapToGlobal(p), button, buttons, mods);
        QCoreApplication::sendEvent(live(), &event);
    }

    void key(int k, Qt::KeyboardModifiers mods, const QString& text)
    {
        // Keys go where the user's would: into the open editor, else to the grid.
        QWidget* target = live();
        if (live()->EditPending()) {
            if (live()->txtEdit()->isVisible())
                target = live()->txtEdit();
            else if (combo->isVisible())
                target = combo;
        }
        QKeyEvent press(QEvent::KeyPress, k, mods, text);
        QCoreApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, k, mods, text);
        QCoreApplication::sendEvent(live(), &release);
    }

    Qt::KeyboardModifiers mods()
    {
        const uint8_t b = in.byte();
        Qt::KeyboardModifiers m;
        if (b & 1)
            m |= Qt::ShiftModifier;
        if (b & 2)
            m |= Qt::ControlModifier;
        return m;
    }

    void stepOnce()
    {
        switch (in.byte() % 22) {
        case 0:
            live()->AddItem(in.text(), row(), in.byte() & 1, in.byte() & 1, (in.byte() & 7) == 0,
                            (in.byte() & 7) != 0);
            break;
        case 1:
            live()->RemoveItem(row());
            break;
        case 2:
            live()->SetCellText(row(), col(), in.text());
            break;
        case 3:
            live()->SetRedraw(in.byte() & 1);
            break;
        case 4: {
            const int c1 = col(), t1 = static_cast<int>(in.byte() % 4) - 1;
            const int c2 = static_cast<int>(in.byte() % (live()->Cols() + 1)) - 1;
            live()->Sort(c1, t1, c2, static_cast<int>(in.byte() % 4) - 1);
            break;
        }
        case 5:
            if (in.byte() & 1)
                live()->FilterOn(in.text(), col(), in.byte() % 8, in.byte() & 1, std::max(0, row()));
            else
                live()->FilterOff(row());
            break;
        case 6: { // click, double click or drag
            const QPoint p = point();
            const Qt::KeyboardModifiers m = mods();
            const uint8_t kind = in.byte();
            const Qt::MouseButton b = (kind & 8) ? Qt::RightButton : Qt::LeftButton;
            mouse(QEvent::MouseMove, p, Qt::NoButton, Qt::NoButton, m);
            mouse(QEvent::MouseButtonPress, p, b, b, m);
            QPoint end = p;
            if (kind & 1) {
                end = point();
                mouse(QEvent::MouseMove, end, Qt::NoButton, b, m);
            }
            mouse(QEvent::MouseButtonRelease, end, b, Qt::NoButton, m);
            if (kind & 2) {
                mouse(QEvent::MouseButtonDblClick, end, b, b, m);
                mouse(QEvent::MouseButtonRelease, end, b, Qt::NoButton, m);
            }
            break;
        }
        case 7:
            mouse(QEvent::MouseMove, point(), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            // Whatever changed while painting was off, the pointer is never over a row that is gone.
            BRENLOW_FUZZ_CHECK(live()->MouseRow() < rows());
            break;
        case 8: {
            static const int keys[] = {Qt::Key_Up,       Qt::Key_Down,   Qt::Key_Left,   Qt::Key_Right,
                                       Qt::Key_Home,     Qt::Key_End,    Qt::Key_PageUp, Qt::Key_PageDown,
                                       Qt::Key_Return,   Qt::Key_Escape, Qt::Key_F2,     Qt::Key_Delete,
                                       Qt::Key_Insert,   Qt::Key_Space,  Qt::Key_Tab,    Qt::Key_A,
                                       Qt::Key_Backspace};
            const int k = keys[in.byte() % std::size(keys)];
            const QString text = k == Qt::Key_A        ? QStringLiteral("a")
                                 : k == Qt::Key_Space  ? QStringLiteral(" ")
                                 : k == Qt::Key_Return ? QStringLiteral("\r")
                                                       : QString();
            key(k, mods(), text);
            break;
        }
        case 9: { // typing
            const QString text = in.text().left(4);
            for (QChar ch : text)
                key(0, Qt::NoModifier, QString(ch));
            break;
        }
        case 10:
            if (in.byte() & 1)
                live()->ForceCellEdit(row(), col(), in.byte() & 1);
            else
                live()->UpdateCell(in.byte() & 1);
            break;
        case 11:
            live()->SetMultiSelect(static_cast<qint16>(in.byte() % 3));
            if (in.byte() & 1)
                live()->DeleteSelected();
            else
                live()->SetRowSelected(std::max(0, row()), true);
            break;
        case 12: {
            const int r = std::max(0, row());
            const int c = std::min(col(), live()->Cols() - 1);
            switch (in.byte() % 4) {
            case 0:
                live()->SetRowVisible(r, in.byte() & 1);
                break;
            case 1:
                live()->SetColVisible(c, in.byte() & 1);
                break;
            case 2:
                live()->SetColWidth(c, static_cast<float>(in.int32()) * (in.byte() & 1 ? 15.0f : 1.0f));
                break;
            default:
                live()->SetRowHeight(r, static_cast<float>(in.int32() % 100000));
                break;
            }
            break;
        }
        case 13:
            if (in.byte() % 8 == 0 && live()->Cols() < 40)
                live()->ClearAll();
            live()->AddColumn(in.text(), 300 + in.byte() * 20, in.byte() % 10, in.byte() % 8, {}, {}, 4,
                              in.byte() & 1, in.byte() % 4);
            break;
        case 14: {
            switch (in.byte() % 14) {
            case 0:
                live()->SetAllowEdit(in.byte() & 1);
                break;
            case 1:
                live()->SetEditTrigger(in.byte() & 62);
                break;
            case 2:
                live()->SetAllowColumnSort(in.byte() & 1);
                break;
            case 3:
                live()->SetAllowColumnSwap(in.byte() & 1);
                break;
            case 4:
                live()->SetAllowColumnDrag(in.byte() & 1);
                break;
            case 5:
                live()->SetAllowColumnResizing(in.byte() & 1);
                live()->SetAllowRowResizing(in.byte() & 1);
                break;
            case 6:
                live()->SetRowCheckBoxes(in.byte() & 1);
                break;
            case 7:
                live()->SetFocusRectMode(in.byte() % 3);
                break;
            case 8:
                live()->SetAllowWordWrap(in.byte() & 1);
                break;
            case 9:
                live()->SetTotalsLineShow(in.byte() & 1);
                break;
            case 10:
                live()->SetShowRowNumbers(in.byte() & 1);
                break;
            case 11:
                live()->SetFreezeAtCol(static_cast<qint16>(static_cast<int>(in.byte() % 6) - 1));
                break;
            case 12:
                live()->SetAllowDelete(in.byte() & 1);
                live()->SetAllowInsert(in.byte() & 1);
                break;
            default:
                live()->SetCaption(in.text());
                break;
            }
            break;
        }
        case 15: {
            const int r = row(), c = col();
            switch (in.byte() % 5) {
            case 0:
                live()->SetCellBackColor(r, c, static_cast<quint32>(in.int32()));
                break;
            case 1:
                live()->SetCellHandPointer(r, c, in.byte() & 1);
                break;
            case 2: {
                QImage picture(4 + in.byte() % 40, 4 + in.byte() % 40, QImage::Format_RGB32);
                picture.fill(Qt::green);
                live()->CellPicture(picture, r, c);
                break;
            }
            case 3:
                live()->SetCellProgressValue(r, c, in.byte());
                break;
            default:
                live()->FormatCells(std::max(0, r), -1, 0, -1, 1 << (in.byte() % 10), in.text());
                break;
            }
            break;
        }
        case 16: {
            if (in.byte() & 1) {
                QSettings settings(QCoreApplication::organizationName(), QCoreApplication::applicationName());
                settings.remove(QStringLiteral("s"));
                settings.beginGroup(QStringLiteral("s"));
                std::vector<int> order(static_cast<size_t>(live()->Cols()));
                for (size_t i = 0; i < order.size(); ++i)
                    order[i] = static_cast<int>(i);
                std::rotate(order.begin(), order.begin() + (order.empty() ? 0 : in.byte() % order.size()),
                            order.end());
                settings.setValue(QStringLiteral("Count"), QString::number(live()->Cols() - 1));
                for (size_t i = 0; i < order.size(); ++i)
                    settings.setValue(QString::number(i), QString::number(order[i]));
                settings.endGroup();
                live()->ColOrderLoad(QStringLiteral("s"));
            } else {
                live()->ColOrderRestore();
            }
            break;
        }
        case 17:
            if (QScrollBar* bar = in.byte() & 1 ? live()->verticalScrollBar() : live()->horizontalScrollBar())
                bar->setValue(in.byte() % 40);
            break;
        case 18:
            if (in.byte() & 1)
                live()->RowColSet(row(), static_cast<int>(in.byte() % (live()->Cols() + 1)) - 1);
            else
                live()->BindControl(std::min(col(), live()->Cols() - 1), in.byte() & 1 ? combo : nullptr);
            break;
        case 19: { // extreme numbers, as damaged stored data gives them
            switch (in.byte() % 7) {
            case 0:
                live()->SetCacheIncrement(in.int32());
                break;
            case 1:
                live()->SetMinVerticalOffset(in.int32() % (in.byte() & 1 ? 1000 : 1 << 30));
                break;
            case 2:
                live()->SetRowImage(row(), in.int32());
                break;
            case 3:
                live()->ColWidthAutoSize(in.int32());
                break;
            case 4:
                live()->SetMinRowHeight(std::bit_cast<float>(in.int32()));
                break;
            case 5:
                live()->SetColumnHeaderLines(static_cast<qint16>(in.int32()));
                break;
            default: {
                PropertyBag bag;
                static const char* keys[] = {"minrowheight",  "MinVerticalOffset", "CacheIncrement",
                                             "GridLineWidth", "ColumnHeaderLines", "FocusRectStyle"};
                bag.WriteProperty(QString::fromLatin1(keys[in.byte() % std::size(keys)]),
                                  double(std::bit_cast<float>(in.int32())));
                live()->ReadProperties(bag);
                live()->SetRedraw(true);
                break;
            }
            }
            break;
        }
        case 20: { // row members with any row, and Redraw off more than once
            const int r = static_cast<int>(in.int32() % 16);
            live()->SetRowData(r, in.byte());
            (void)live()->RowTag(r);
            live()->SetRowChecked(r, in.byte() & 1);
            (void)live()->RowHeight(r);
            live()->SetRowGroupHeader(r, in.byte() & 1);
            if (in.byte() & 1) {
                live()->SetRedraw(false);
                live()->RemoveItem(row());
                live()->SetRedraw(false);
                live()->SetRedraw(true);
            }
            break;
        }
        default:
            live()->Refresh();
            break;
        }
    }

    void check()
    {
        // The model checks its own invariants; what the grid reports must agree with it.
        const QString fault = grid->ModelFault();
        if (!fault.isEmpty())
            fprintf(stderr, "model: %s\n", qPrintable(fault));
        BRENLOW_FUZZ_CHECK(fault.isEmpty());
        const int n = grid->Rows();
        const int cols = grid->Cols();
        int selected = 0;
        for (int i = 0; i < n; ++i)
            selected += grid->RowSelected(i) ? 1 : 0;
        BRENLOW_FUZZ_CHECK(grid->SelectedCount() == selected);
        // An open edit has a cell to edit and its editor shown.
        if (grid->EditPending()) {
            BRENLOW_FUZZ_CHECK(n > 0 && cols > 0);
            BRENLOW_FUZZ_CHECK(grid->txtEdit()->isVisible() || combo->isVisible());
        }
        // While painting, what was painted is the model: rows and columns in view exist, are shown,
        // and lie one below / beside the other.
        if (grid->Redraw()) {
            int lastBottom = -1;
            for (const auto& span : grid->layout().rows()) {
                BRENLOW_FUZZ_CHECK(span.row >= 0 && span.row < n && grid->RowVisible(span.row));
                BRENLOW_FUZZ_CHECK(span.top >= lastBottom && span.height >= 0);
                lastBottom = span.bottom();
            }
            const std::vector<int> order = grid->ColOrder();
            for (const auto& span : grid->layout().cols()) {
                BRENLOW_FUZZ_CHECK(span.pos >= 0 && span.pos < cols);
                BRENLOW_FUZZ_CHECK(order[static_cast<size_t>(span.pos)] == span.col);
                BRENLOW_FUZZ_CHECK(grid->ColVisible(span.col) && span.width >= 0);
            }
        }
    }

    Input& in;
    QWidget window;
    QPointer<ListGrid> grid; ///< null once a handler closed the window under it
    QComboBox* combo = nullptr;
    uint8_t reactions[30] = {};
    int depth = 0;
    int budget = 40;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Settings go to a scratch home, never the user's.
    static QByteArray home =
        QDir::tempPath().toUtf8() + "/brenlow-fuzz-session-" + QByteArray::number(getpid());
    QDir().mkpath(QString::fromUtf8(home));
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", home + "/.config");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: its input devices would go after the statics they use at exit.
    static QApplication* app = new QApplication(*argc, *argv);
    (void)app;
    QCoreApplication::setOrganizationName(QStringLiteral("BrenlowFuzz"));
    QCoreApplication::setApplicationName(QStringLiteral("BrenlowFuzzSession"));
    static SilentDialogs dialogs;
    Host::setDialogs(&dialogs);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Input in(data, size);
    Session session(in);
    session.run();
    return 0;
}
