#pragma once

// Helpers for tests that drive the bundled downloader tool: reading back the argument vectors it
// recorded, and the bytes it writes for a simulated download.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>

namespace brenlow::tool {

/** The variable naming the folder where the tool records each run's arguments (one file per run). */
inline constexpr char RecordDirVariable[] = "BRENLOW_TOOL_RECORD_DIR";

/** The argument vectors recorded in dir, oldest run first. Each argument is the exact byte string
 *  the tool received (without its own path). */
inline QList<QList<QByteArray>> ReadRecords(const QString& dir)
{
    QList<QList<QByteArray>> runs;
    const QStringList names = QDir(dir).entryList({QStringLiteral("*.args")}, QDir::Files, QDir::Name);
    for (const QString& name : names) {
        QFile file(QDir(dir).filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        QByteArray all = file.readAll();
        QList<QByteArray> args;
        // Every argument is followed by one NUL.
        qsizetype from = 0;
        for (qsizetype at = all.indexOf('\0'); at >= 0; at = all.indexOf('\0', from)) {
            args.append(all.mid(from, at - from));
            from = at + 1;
        }
        runs.append(args);
    }
    return runs;
}

/** The byte at offset of a simulated video file; seed is the video's id. */
inline char ContentByte(const QByteArray& seed, qint64 offset)
{
    quint32 h = 2166136261u;
    for (const char c : seed)
        h = (h ^ static_cast<quint8>(c)) * 16777619u;
    const quint64 x = static_cast<quint64>(offset) * 2654435761u + h;
    return static_cast<char>((x >> 7) ^ (x >> 17) ^ static_cast<quint64>(offset));
}

/** The first size bytes of a simulated video file. */
inline QByteArray Content(const QByteArray& seed, qint64 from, qint64 size)
{
    QByteArray data(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        data[i] = ContentByte(seed, from + i);
    return data;
}

} // namespace brenlow::tool
