#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace brenlow::tool {

/** The format-list run's output for a page whose table is `table`: its heading lines, then the table. */
[[nodiscard]] QStringList FormatListLines(const QJsonObject& info, const QStringList& table);

/** Keeps, beside a page just kept in the page cache, the answers of the runs that read it next, so
 *  that do.dll gives them without starting its core (QuickAnswer.h): the name line for any plain
 *  template, the thumbnail once a picture of the same address is made ready, and, for a video read
 *  with its list, the format list with the codes it hands out (kept now). Answers that cannot be given
 *  so (a page that may be live, no formats) are left to the core. Best effort: a failure leaves the
 *  core to answer. */
void KeepAnswers(const QString& link, const QJsonObject& info);

} // namespace brenlow::tool
