#include "controls/common/PropertyBag.h"

#include <QStringList>

namespace brenlow {

namespace {

bool sameValue(const QVariant& a, const QVariant& b)
{
    if (!a.isValid() || !b.isValid())
        return a.isValid() == b.isValid();
    // Numbers of different widths (a colour as int or as uint) count as equal when equal in value.
    bool okA = false, okB = false;
    const bool numericA = a.typeId() != QMetaType::QString && a.typeId() != QMetaType::Bool;
    const bool numericB = b.typeId() != QMetaType::QString && b.typeId() != QMetaType::Bool;
    if (numericA && numericB) {
        const double x = a.toDouble(&okA), y = b.toDouble(&okB);
        if (okA && okB)
            return x == y;
    }
    return a == b;
}

} // namespace

const PropertyBag::Entry* PropertyBag::find(const QString& name) const
{
    for (const Entry& e : m_entries)
        if (e.key.compare(name, Qt::CaseInsensitive) == 0)
            return &e;
    return nullptr;
}

QVariant PropertyBag::ReadProperty(const QString& name, const QVariant& defaultValue) const
{
    const Entry* e = find(name);
    return e ? e->value : defaultValue;
}

void PropertyBag::WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue)
{
    if (sameValue(value, defaultValue)) {
        Remove(name);
        return;
    }
    if (auto* e = const_cast<Entry*>(find(name))) {
        e->value = value;
        return;
    }
    m_entries.push_back({name, value});
}

bool PropertyBag::Contains(const QString& name) const
{
    return find(name) != nullptr;
}

void PropertyBag::Remove(const QString& name)
{
    std::erase_if(m_entries, [&](const Entry& e) { return e.key.compare(name, Qt::CaseInsensitive) == 0; });
}

QStringList PropertyBag::Keys() const
{
    QStringList keys;
    for (const Entry& e : m_entries)
        keys << e.key;
    return keys;
}

bool PropertyBag::ReadBool(const QString& name, bool defaultValue) const
{
    const Entry* e = find(name);
    if (!e)
        return defaultValue;
    if (e->value.typeId() == QMetaType::QString) {
        const QString s = e->value.toString().trimmed();
        if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
        bool ok = false;
        const double d = s.toDouble(&ok);
        return ok ? d != 0 : defaultValue;
    }
    return e->value.toBool();
}

qint64 PropertyBag::ReadInt(const QString& name, qint64 defaultValue) const
{
    const Entry* e = find(name);
    if (!e)
        return defaultValue;
    bool ok = false;
    const qint64 v = e->value.toLongLong(&ok);
    return ok ? v : defaultValue;
}

double PropertyBag::ReadDouble(const QString& name, double defaultValue) const
{
    const Entry* e = find(name);
    if (!e)
        return defaultValue;
    bool ok = false;
    const double v = e->value.toDouble(&ok);
    return ok ? v : defaultValue;
}

QString PropertyBag::ReadString(const QString& name, const QString& defaultValue) const
{
    const Entry* e = find(name);
    return e ? e->value.toString() : defaultValue;
}

quint32 PropertyBag::ReadColor(const QString& name, quint32 defaultValue) const
{
    const Entry* e = find(name);
    if (!e)
        return defaultValue;
    bool ok = false;
    const qint64 v = e->value.toLongLong(&ok);
    return ok ? static_cast<quint32>(v) : defaultValue;
}

} // namespace brenlow
