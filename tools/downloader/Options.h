#pragma once

#include <QString>
#include <QStringList>

namespace brenlow::tool {

/** What the tool was asked to do, read from its arguments. */
struct Options
{
    enum class Mode
    {
        Download,
        FormatList,
        Thumbnail,
        Name
    };
    Mode mode = Mode::Download;
    QString output;           // -o
    QString format;           // -f
    QString link;             // the one positional argument
    bool resume = false;      // -c
    bool noOverwrite = false; // -w
    bool verbose = false;     // -v
    QStringList problems;     // unknown options, missing values, extra positionals
};

[[nodiscard]] Options ParseOptions(const QStringList& args);

} // namespace brenlow::tool
