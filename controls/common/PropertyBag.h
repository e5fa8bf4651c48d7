#pragma once

#include <QString>
#include <QVariant>

#include <vector>

namespace brenlow {

/** The key/value store in which a control keeps its design-time properties.
 *  Keys are looked up without regard to letter case; a read falls back to a default; a write of
 *  a value equal to its default stores nothing (and removes what was stored). Keys keep the order
 *  in which they were first written. */
class PropertyBag
{
public:
    [[nodiscard]] QVariant ReadProperty(const QString& name, const QVariant& defaultValue = {}) const;
    void WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue = {});

    [[nodiscard]] bool Contains(const QString& name) const;
    void Remove(const QString& name);
    void Clear() { m_entries.clear(); }
    [[nodiscard]] bool IsEmpty() const { return m_entries.empty(); }
    /** The stored keys, in writing order, with the case they were written in. */
    [[nodiscard]] QStringList Keys() const;

    /** Typed reads; a stored value that does not convert gives the default. */
    [[nodiscard]] bool ReadBool(const QString& name, bool defaultValue) const;
    [[nodiscard]] qint64 ReadInt(const QString& name, qint64 defaultValue) const;
    [[nodiscard]] double ReadDouble(const QString& name, double defaultValue) const;
    [[nodiscard]] QString ReadString(const QString& name, const QString& defaultValue) const;
    [[nodiscard]] quint32 ReadColor(const QString& name, quint32 defaultValue) const;

private:
    struct Entry
    {
        QString key;
        QVariant value;
    };
    [[nodiscard]] const Entry* find(const QString& name) const;
    std::vector<Entry> m_entries;
};

} // namespace brenlow
