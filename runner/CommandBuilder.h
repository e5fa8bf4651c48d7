#pragma once

#include <QString>
#include <QStringList>

namespace brenlow {

/** One call of the tool: the command-line text as the templates make it, and the argument vector
 *  the tool receives (without the tool path, which is passed as the program). */
struct ToolCommand
{
    QString CommandLine;
    QStringList Arguments;
};

/** Builds the tool's command lines from the templates and the values of the moment. The fixed
 *  options are split by the Windows rules; each value (link, folder, name, format code) then goes
 *  into the one argument it stands in, whole, whatever it holds. Pure: no files, no processes. */
namespace CommandBuilder {

/** Format list: template 1, then the link and a double quote. */
[[nodiscard]] ToolCommand FormatList(const QString& tool, const QString& txt1, const QString& link);
/** Thumbnail: template 2 (which holds the thumbnail folder, passed on as data), the link, a quote. */
[[nodiscard]] ToolCommand Thumbnail(const QString& tool, const QString& txt2, const QString& folder,
                                    const QString& link);
/** Video name: template 3, the link, a quote. */
[[nodiscard]] ToolCommand VideoName(const QString& tool, const QString& txt3, const QString& link);
/** Download: template 4, folder and name, template 5, the format code, " -v -c -w ", the link. An
 *  empty format code drops "-f" with it, so the tool picks its own format. */
[[nodiscard]] ToolCommand Download(const QString& tool, const QString& txt4, const QString& txt5,
                                   const QString& folder, const QString& name, const QString& code,
                                   const QString& link);

} // namespace CommandBuilder
} // namespace brenlow
