#include "Options.h"

namespace brenlow::tool {

Options ParseOptions(const QStringList& args)
{
    Options o;
    bool haveLink = false;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (!optionsEnded && a == u"--") {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded) {
            // After "--" everything is a link, however it begins.
            if (haveLink)
                o.problems << QStringLiteral("unexpected argument: %1").arg(a);
            o.link = haveLink ? o.link : a;
            haveLink = true;
            continue;
        }
        auto value = [&](QString& into) {
            if (i + 1 < args.size())
                into = args.at(++i);
            else
                o.problems << QStringLiteral("option %1 requires an argument").arg(a);
        };
        if (a == u"-o" || a == u"--output")
            value(o.output);
        else if (a == u"-f" || a == u"--format")
            value(o.format);
        else if (a == u"-F" || a == u"--list-formats")
            o.mode = Options::Mode::FormatList;
        else if (a == u"--write-thumbnail")
            o.mode = Options::Mode::Thumbnail;
        else if (a == u"--get-filename")
            o.mode = Options::Mode::Name;
        else if (a == u"-c" || a == u"--continue")
            o.resume = true;
        else if (a == u"-w" || a == u"--no-overwrites")
            o.noOverwrite = true;
        else if (a == u"-v" || a == u"--verbose")
            o.verbose = true;
        else if (a == u"-s" || a == u"--simulate" || a == u"--skip-download" || a == u"-i" ||
                 a == u"--ignore-errors" || a == u"--no-playlist")
            continue;
        else if (a.startsWith(u'-') && a.size() > 1)
            o.problems << QStringLiteral("no such option: %1").arg(a);
        else if (!haveLink) {
            o.link = a;
            haveLink = true;
        } else {
            o.problems << QStringLiteral("unexpected argument: %1").arg(a);
        }
    }
    if (!haveLink)
        o.problems << QStringLiteral("you must provide at least one URL");
    return o;
}

} // namespace brenlow::tool
