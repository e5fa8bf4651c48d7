#include "runner/CommandBuilder.h"

#include "runner/CommandLine.h"

namespace brenlow::CommandBuilder {
namespace {

constexpr char16_t kQuote = u'"';

struct Value
{
    QString text;
    bool dropWhenEmpty = false; // "-f" and the value vanish together when the value is empty
};

// Values are spliced in after splitting, through placeholder characters that no template holds.
QChar markerBase(const QStringList& texts)
{
    for (char16_t base = 0xE000; base < 0xF8F0; base += 8) {
        bool clash = false;
        for (const QString& text : texts) {
            for (const QChar c : text) {
                if (c.unicode() >= base && c.unicode() < base + 8)
                    clash = true;
            }
        }
        if (!clash)
            return QChar(base);
    }
    return QChar(0xF8F0);
}

QChar mark(QChar base, int i)
{
    return QChar(base.unicode() + i);
}

ToolCommand build(const QString& tool, const QString& body, const QString& markedBody, QChar marker,
                  const QList<Value>& values)
{
    ToolCommand command;
    command.CommandLine = tool + body + kQuote;
    // Split the fixed options by the Windows rules, then put each value in whole: whatever it holds,
    // it stays inside the one argument its placeholder stood in.
    for (const QString& arg : SplitCommandLine(markedBody)) {
        QString out;
        bool dropped = false;
        for (const QChar c : arg) {
            const int index = c.unicode() - marker.unicode();
            if (index >= 0 && index < values.size()) {
                const Value& value = values.at(index);
                if (value.dropWhenEmpty && value.text.isEmpty() && arg.size() == 1)
                    dropped = true;
                out += value.text;
            } else {
                out += c;
            }
        }
        if (dropped) {
            if (!command.Arguments.isEmpty() && command.Arguments.last() == QStringLiteral("-f"))
                command.Arguments.removeLast();
            continue;
        }
        command.Arguments.append(out);
    }
    return command;
}

} // namespace

ToolCommand FormatList(const QString& tool, const QString& txt1, const QString& link)
{
    const QChar m = markerBase({txt1});
    return build(tool, txt1 + link + kQuote, txt1 + m + kQuote, m, {{link}});
}

ToolCommand Thumbnail(const QString& tool, const QString& txt2, const QString& folder, const QString& link)
{
    const QChar m = markerBase({txt2});
    // The thumbnail folder was put into the template at start-up; it goes to the tool as data.
    QString marked = txt2;
    if (!folder.isEmpty())
        marked.replace(folder, QString(mark(m, 1)));
    return build(tool, txt2 + link + kQuote, marked + m + kQuote, m, {{link}, {folder}});
}

ToolCommand VideoName(const QString& tool, const QString& txt3, const QString& link)
{
    const QChar m = markerBase({txt3});
    return build(tool, txt3 + link + kQuote, txt3 + m + kQuote, m, {{link}});
}

ToolCommand Download(const QString& tool, const QString& txt4, const QString& txt5, const QString& folder,
                     const QString& name, const QString& code, const QString& link)
{
    static const QString fixedOptions = QStringLiteral(" -v -c -w ");
    const QChar m = markerBase({txt4, txt5});
    const QString body = txt4 + folder + name + txt5 + code + fixedOptions + link;
    const QString marked = txt4 + mark(m, 0) + mark(m, 1) + txt5 + mark(m, 2) + fixedOptions + mark(m, 3);
    return build(tool, body, marked, m, {{folder}, {name}, {code, true}, {link}});
}

} // namespace brenlow::CommandBuilder
