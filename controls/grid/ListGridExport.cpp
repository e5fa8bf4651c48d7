#include "controls/grid/ListGrid.h"
#include "controls/grid/ListGridController.h"

#include "base/Numbers.h"
#include "base/Rounding.h"
#include "platform/Dialogs.h"
#include "platform/Host.h"
#include "platform/Shell.h"

#include <QCoreApplication>
#include <QFile>
#include <QFontMetrics>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>
#include <charconv>
#include <map>
#include <stdexcept>

using namespace brenlow;

namespace {

using Icon = Dialogs::Icon;
using Buttons = Dialogs::Buttons;

/** An export failure with the classic error number shown to the user. */
struct ExportError
{
    int number;
    QString description;
};

QString boxTitle()
{
    return QCoreApplication::applicationName();
}

// Texts come from the internet (video titles): a spreadsheet must show them, never run them.
// A text that a spreadsheet would take for a formula gets an apostrophe in front; a plain signed
// number ("-12.5", the -1 of a check box) stays a number.
bool startsFormula(const QString& s)
{
    if (s.isEmpty())
        return false;
    const QChar first = s.front();
    if (first == QLatin1Char('=') || first == QLatin1Char('@') || first == QLatin1Char('\t') ||
        first == QLatin1Char('\r'))
        return true;
    if (first != QLatin1Char('-') && first != QLatin1Char('+'))
        return false;
    static const QRegularExpression number(QStringLiteral("^[-+](\\d+\\.?\\d*|\\.\\d+)$"));
    return !number.match(s).hasMatch();
}

// Written as spreadsheet programs read it back: a text holding a quote is quoted, its own quotes
// doubled; a formula start is disarmed.
QByteArray encoded(QString s)
{
    if (startsFormula(s))
        s.prepend(QLatin1Char('\''));
    if (s.contains(QLatin1Char('"')))
        s = QLatin1Char('"') + s.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
    return s.toUtf8();
}

// A field's commas and line breaks become blanks, so every row stays one line of the file.
QByteArray field(const QString& text)
{
    QString s = text;
    for (QChar& c : s) {
        if (c == QLatin1Char(',') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    }
    return encoded(s) + ',';
}

// Numbers as the locale writes them, without digit grouping and without an exponent.
QString localeNumber(double value)
{
    QLocale locale = NumberLocale();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'f', QLocale::FloatingPointShortest);
}

QString localeNumber(float value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    return text.replace(QLatin1Char('.'), NumberLocale().decimalPoint());
}

QSettings gridSettings()
{
    return QSettings(QCoreApplication::organizationName(), QCoreApplication::applicationName());
}

} // namespace

void ListGrid::ExportGrid(const QString& strGridName, bool vbVisibleColsOnly, bool vbVisibleRowsOnly,
                          bool vbBooleanAsText)
{
    Dialogs& dialogs = Host::dialogs();
    if (m.lastRow() < 0) {
        dialogs.MessageBox(QStringLiteral("No grid rows to export."), boxTitle(), Icon::Information,
                           Buttons::Ok);
        return;
    }
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (folder.isEmpty()) {
        // The box runs a nested loop, in which the grid's window may close and delete it.
        const ControlGuard alive(this);
        dialogs.MessageBox(QStringLiteral("Unknown error"), boxTitle(), Icon::Information, Buttons::Ok);
        if (!alive)
            return;
    }
    const QString fileName = strGridName + QStringLiteral(".csv");
    const QString path = folder + QLatin1Char('/') + fileName;

    QFile file(path);
    try {
        if (QFile::exists(path) && !QFile::remove(path))
            throw ExportError{75, QStringLiteral("Path/File access error: ") + path};
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw ExportError{75, QStringLiteral("Path/File access error: ") + file.errorString()};

        // The byte-order mark tells spreadsheet programs the file is UTF-8, so names in any script
        // open as they were.
        QByteArray out("\xEF\xBB\xBF");
        const auto flush = [&] {
            if (file.write(out) != out.size())
                throw ExportError{57, QStringLiteral("Device I/O error: ") + file.errorString()};
            out.clear();
        };
        const auto shown = [&](size_t position) {
            return !vbVisibleColsOnly || m.column(m.colOrder()[position]).visible;
        };
        if (!m.props().Caption.isEmpty())
            out += encoded(m.props().Caption) + "\r\n";
        for (size_t p = 0; p < m.colOrder().size(); ++p) {
            if (shown(p))
                out += field(m.column(m.colOrder()[p]).heading);
        }
        out += "\r\n";

        const bool boolAsNumber = vbVisibleColsOnly && !vbBooleanAsText;
        for (int r = 0; r <= m.lastRow(); ++r) {
            const GridRow& row = m.rowAt(r);
            if (!(vbVisibleRowsOnly && !row.visible)) {
                for (size_t p = 0; p < m.colOrder().size(); ++p) {
                    if (!shown(p))
                        continue;
                    const auto c = static_cast<size_t>(m.colOrder()[p]);
                    const QString& text = row.cells[c].text;
                    if (boolAsNumber && m.columns()[c].type == ColumnType::CheckBox)
                        out += field(ListGridModel::number(text) != 0 ? QStringLiteral("-1")
                                                                      : QStringLiteral("0"));
                    else
                        out += field(text);
                }
            }
            out += "\r\n";
            if (out.size() > (1 << 20))
                flush();
        }

        if (m.props().TotalsLineShow) {
            for (size_t p = 0; p < m.colOrder().size(); ++p) {
                if (!shown(p))
                    continue;
                const auto c = static_cast<size_t>(m.colOrder()[p]);
                const GridTotalsEntry& entry = m.totalsEntry(static_cast<qint32>(c));
                if (m.columns()[c].type == ColumnType::Numeric) {
                    double total = m.columnTotal(static_cast<qint32>(c));
                    if (entry.average) {
                        if (m.lastRow() == 0)
                            throw ExportError{11, QStringLiteral("Division by zero")};
                        total /= m.lastRow();
                    }
                    const QString number = localeNumber(total);
                    out +=
                        field(entry.caption.isEmpty() ? number : entry.caption + QLatin1Char(' ') + number);
                } else {
                    out += field(entry.caption);
                }
            }
        }
        flush();
        file.close();
    } catch (const ExportError& error) {
        file.close();
        dialogs.MessageBox(QStringLiteral("Error# %1\r\n%2").arg(error.number).arg(error.description),
                           QStringLiteral("ListGrid.Export"), Icon::Critical, Buttons::Ok);
        return;
    }

    const QString question = QStringLiteral("File ") + fileName +
                             QStringLiteral(" was saved to your desktop.") + QStringLiteral("\r\n") +
                             QStringLiteral("Do you want to open it?");
    if (dialogs.MessageBox(question, boxTitle(), Icon::Question, Buttons::YesNo) == Dialogs::Answer::Yes) {
        if (!Host::shell().Open(path)) {
            dialogs.MessageBox(QStringLiteral("Unable to open target file."), boxTitle(), Icon::Information,
                               Buttons::Ok);
        }
    }
}

// ---- Column layout persistence

void ListGrid::ColOrderSave(const QString& UniqueGridName)
{
    QSettings settings = gridSettings();
    settings.beginGroup(UniqueGridName);
    settings.setValue(QStringLiteral("Count"), QString::number(m.colCount() - 1));
    for (size_t i = 0; i < m.colOrder().size(); ++i)
        settings.setValue(QString::number(i), QString::number(m.colOrder()[i]));
}

void ListGrid::ColOrderLoad(const QString& UniqueGridName)
{
    QSettings settings = gridSettings();
    settings.beginGroup(UniqueGridName);
    const qint32 highest = m.colCount() - 1;
    if (brenlow::rVal(settings.value(QStringLiteral("Count")).toString()) != highest)
        return;

    // A damaged store must not make the grid index outside its columns: only a permutation of the
    // column indices is taken, anything else leaves the order as it is.
    std::vector<qint32> order(m.colOrder().size());
    std::vector<bool> seen(m.colOrder().size(), false);
    for (size_t i = 0; i < order.size(); ++i) {
        const double value = brenlow::rVal(settings.value(QString::number(i), QString::number(i)).toString());
        if (!(value >= 0 && value <= highest) || value != static_cast<double>(static_cast<qint32>(value)))
            return;
        const auto index = static_cast<qint32>(value);
        if (seen[static_cast<size_t>(index)])
            return;
        seen[static_cast<size_t>(index)] = true;
        order[i] = index;
    }
    if (!m.setColOrder(std::move(order)))
        return;
    if (!followEdit() || (m_painting && !refreshOrPend()))
        return;
    emit ColumnOrderChanged(0, 0);
}

void ListGrid::ColOrderRestore(const QString& /*UniqueGridName*/)
{
    if (m.colCount() - 1 == 0)
        return;
    // The column shown at the current position now is the one to keep current.
    if (m.currentCol() >= 0 && m.currentCol() < static_cast<qint32>(m.colOrder().size()))
        inputState().navCol = m.columnAt(m.currentCol());
    std::vector<qint32> order(m.colOrder().size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<qint32>(i);
    m.setColOrder(std::move(order));
    // The repaints' and the move's handlers may delete the grid.
    const ControlGuard alive(this);
    if (!followEdit())
        return;
    RowColSet(-1, inputState().navCol);
    if (!alive || (m_painting && !refreshOrPend()))
        return;
    emit ColumnOrderChanged(0, 0);
}

void ListGrid::ColWidthsSave(const QString& UniqueGridName)
{
    QSettings settings = gridSettings();
    settings.beginGroup(UniqueGridName);
    for (qint32 i = 0; i < m.colCount(); ++i)
        settings.setValue(QStringLiteral("W%1").arg(i), localeNumber(m.column(i).width));
}

void ListGrid::ColWidthsLoad(const QString& UniqueGridName)
{
    QSettings settings = gridSettings();
    settings.beginGroup(UniqueGridName);
    // Each width repaints, and that pass's handlers may delete the grid.
    const ControlGuard alive(this);
    for (qint32 i = 0; alive && i < m.colCount(); ++i) {
        const float current = m.column(i).width;
        const double value =
            brenlow::rVal(settings.value(QStringLiteral("W%1").arg(i), localeNumber(current)).toString());
        // A damaged value (negative or out of range) keeps the column's width.
        if (value >= 0 && value < 1e9)
            SetColWidth(i, static_cast<float>(value));
    }
}

// ---- Automatic and forced widths

int ListGrid::measureColumn(int col) const
{
    const GridColumn& column = m.column(col);
    int widest = 0;
    const auto textWidth = [](const QFontMetrics& fm, const QString& text) {
        int w = 0;
        for (const QString& line : text.split(QLatin1Char('\n')))
            w = std::max(w, fm.horizontalAdvance(line));
        return w;
    };
    if (m.props().TotalsLineShow && column.type == ColumnType::Numeric) {
        const QString text = localeNumber(m.columnTotal(col)) + m.totalsEntry(col).caption;
        widest = textWidth(QFontMetrics(m.props().Font), text);
    }
    // Fonts are measured once per look (format entry and bold/italic/underline).
    std::map<std::pair<qint16, quint16>, QFontMetrics> metrics;
    for (const GridRow& row : m.rows()) {
        const GridCell& cell = row.cells[static_cast<size_t>(col)];
        const std::pair<qint16, quint16> look{
            cell.formatIndex,
            static_cast<quint16>(cell.flags & (CellFlag::Bold | CellFlag::Italic | CellFlag::Underline))};
        auto it = metrics.find(look);
        if (it == metrics.end())
            it = metrics.emplace(look, QFontMetrics(m.cellFont(cell, column.type))).first;
        widest = std::max(widest, textWidth(it->second, cell.text));
    }
    return widest;
}

void ListGrid::ColWidthAutoSize(int vCol)
{
    // Only columns that exist are visited, so no column number runs the loop to the end of int.
    const int from = vCol == -1 ? 0 : std::max(vCol, 0);
    const int to = vCol == -1 ? m.colCount() - 1 : std::min(vCol, m.colCount() - 1);
    // Each width repaints, and that pass's handlers may delete the grid.
    const ControlGuard alive(this);
    for (int c = from; c <= to && alive && c < m.colCount(); ++c) {
        try {
            m.checkColumn(c);
            const qint16 type = m.column(c).type;
            if (type == ColumnType::CheckBox) {
                SetColWidth(c, 480);
                continue;
            }
            if (type == ColumnType::Progress || type == ColumnType::Button || m.lastRow() < 0)
                continue;
            const int widest = measureColumn(c);
            // The widest text plus one twip-per-pixel's worth of pixels (15 at 96 dpi).
            SetColWidth(c, static_cast<float>(m.toUnits(widest + 15.0)));
        } catch (const std::exception&) {
            // Auto-sizing ignores errors.
        }
    }
    if (!alive)
        return;
    requestLayout();
    requestRefresh();
}

void ListGrid::ColForceFit()
{
    try {
        PaintSuspender suspend(*this);
        double sum = 0;
        for (const GridColumn& col : m.columns()) {
            if (col.visible)
                sum = static_cast<double>(RoundHalfEven(sum + col.width));
        }
        if (sum != 0) {
            const double factor = VisibleWidth() / sum;
            for (int c = 0; c < m.colCount(); ++c)
                SetColWidth(c, static_cast<float>(m.column(c).width * factor));
        }
    } catch (const std::exception&) {
        // Fitting ignores errors.
    }
    m_refreshPending = true;
    if (m_redraw)
        Refresh();
}
