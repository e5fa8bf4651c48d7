#pragma once

#include <QString>
#include <QStringList>

namespace brenlow {

/** Splits a command line into arguments by the Windows rules: blanks and tabs separate arguments,
 *  double quotes group text and are removed, "" inside a quoted part stands for one quote, and
 *  backslashes are literal except before a quote (2n backslashes + quote: n backslashes and the
 *  quote groups; 2n+1 backslashes + quote: n backslashes and a literal quote). A quoted part that
 *  is still open at the end simply ends there. */
[[nodiscard]] QStringList SplitCommandLine(const QString& commandLine);

} // namespace brenlow
