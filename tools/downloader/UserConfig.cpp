#include "UserConfig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

namespace brenlow::tool {
namespace {

struct AccessOption
{
    const char* name;
    const char* shortName; // nullptr when there is none
    bool takesValue;
    const char* cancelledBy; // the option that switches it off, or nullptr
};

constexpr AccessOption kAccess[] = {
    {"--cookies", nullptr, true, "--no-cookies"},
    {"--cookies-from-browser", nullptr, true, "--no-cookies-from-browser"},
    {"--proxy", nullptr, true, nullptr},
    {"--source-address", nullptr, true, nullptr},
    {"--force-ipv4", "-4", false, nullptr},
    {"--force-ipv6", "-6", false, nullptr},
    {"--netrc", "-n", false, nullptr},
    {"--netrc-location", nullptr, true, nullptr},
    {"--netrc-cmd", nullptr, true, nullptr},
    {"--username", "-u", true, nullptr},
    {"--password", "-p", true, nullptr},
    {"--video-password", nullptr, true, nullptr},
    {"--geo-verification-proxy", nullptr, true, nullptr},
    {"--client-certificate", nullptr, true, nullptr},
    {"--client-certificate-key", nullptr, true, nullptr},
    {"--client-certificate-password", nullptr, true, nullptr},
    {"--no-check-certificates", nullptr, false, "--check-certificates"},
};

/** Reads the first of the files that exists; nullopt when none does. */
std::optional<QStringList> firstFile(const QStringList& paths)
{
    for (const QString& path : paths) {
        QFile file(path);
        if (QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly))
            return ConfigWords(QString::fromUtf8(file.readAll()));
    }
    return std::nullopt;
}

QStringList userConfigFiles()
{
    QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (xdg.isEmpty())
        xdg = QDir::homePath() + QStringLiteral("/.config");
    const QString home = QDir::homePath();
    return {xdg + QStringLiteral("/yt-dlp.conf"),        xdg + QStringLiteral("/yt-dlp/config"),
            xdg + QStringLiteral("/yt-dlp/config.txt"),  home + QStringLiteral("/yt-dlp.conf"),
            home + QStringLiteral("/yt-dlp.conf.txt"),   home + QStringLiteral("/.yt-dlp/config"),
            home + QStringLiteral("/.yt-dlp/config.txt")};
}

} // namespace

QStringList ConfigWords(const QString& text)
{
    QStringList words;
    QString word;
    bool inWord = false;
    QChar quote;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else if (c == u'\\' && quote == u'"' && i + 1 < text.size() &&
                     (text.at(i + 1) == u'"' || text.at(i + 1) == u'\\'))
                word += text.at(++i);
            else
                word += c;
        } else if (c == u'"' || c == u'\'') {
            quote = c;
            inWord = true;
        } else if (c == u'\\' && i + 1 < text.size()) {
            if (text.at(i + 1) != u'\n')
                word += text.at(i + 1);
            ++i;
            inWord = true;
        } else if (c.isSpace()) {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
        } else if (c == u'#' && !inWord) {
            while (i + 1 < text.size() && text.at(i + 1) != u'\n')
                ++i;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words << word;
    return words;
}

QStringList AccessOptionsOf(const QList<QStringList>& files)
{
    // Option -> its value (empty for a switch); the order of first appearance is kept.
    QStringList order;
    QHash<QString, std::optional<QString>> values;
    for (const QStringList& words : files) {
        for (qsizetype i = 0; i < words.size(); ++i) {
            const QString& w = words.at(i);
            if (w == u"--")
                break;
            for (const AccessOption& o : kAccess) {
                const QString name = QLatin1String(o.name);
                const QString shortName = o.shortName ? QLatin1String(o.shortName) : QString();
                std::optional<QString> value;
                bool matched = false;
                if (o.cancelledBy && w == QLatin1String(o.cancelledBy)) {
                    values.remove(name);
                    order.removeAll(name);
                    break;
                }
                if (w == name || (!shortName.isEmpty() && w == shortName)) {
                    matched = true;
                    if (o.takesValue && i + 1 < words.size())
                        value = words.at(++i);
                    else if (!o.takesValue)
                        value = QString();
                } else if (o.takesValue && w.startsWith(name + u'=')) {
                    matched = true;
                    value = w.mid(name.size() + 1);
                } else if (o.takesValue && !shortName.isEmpty() && w.startsWith(shortName) &&
                           !w.startsWith(QStringLiteral("--"))) {
                    matched = true;
                    value = w.mid(shortName.size());
                }
                if (!matched)
                    continue;
                if (value) {
                    if (!values.contains(name))
                        order << name;
                    values.insert(name, value);
                }
                break;
            }
        }
    }
    QStringList args;
    for (const QString& name : order) {
        args << name;
        for (const AccessOption& o : kAccess) {
            if (name == QLatin1String(o.name) && o.takesValue)
                args << *values.value(name);
        }
    }
    return args;
}

QStringList AccessOptions(const QString& ytdlpProgram)
{
    // yt-dlp reads the portable file beside itself, then the user's first file, then the system's;
    // the ones read later count less, so they come first here. --ignore-config in one stops the rest.
    QList<QStringList> read;
    const QString beside = QFileInfo(ytdlpProgram).absolutePath() + QStringLiteral("/yt-dlp.conf");
    for (const QStringList& paths :
         {QStringList{beside}, userConfigFiles(),
          QStringList{QStringLiteral("/etc/yt-dlp.conf"), QStringLiteral("/etc/yt-dlp/config"),
                      QStringLiteral("/etc/yt-dlp/config.txt")}}) {
        const std::optional<QStringList> words = firstFile(paths);
        if (!words)
            continue;
        read.prepend(*words);
        if (words->contains(QStringLiteral("--ignore-config")) ||
            words->contains(QStringLiteral("--no-config")))
            break;
    }
    return AccessOptionsOf(read);
}

QStringList BaseArguments(const QString& ytdlpProgram)
{
    return QStringList{QStringLiteral("--ignore-config")} + AccessOptions(ytdlpProgram);
}

} // namespace brenlow::tool
