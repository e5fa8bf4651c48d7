// The property store: a bag filled with any keys and values, then read back with every typed read,
// the way a control loads a damaged or hand-edited design.
#include "FuzzInput.h"

#include "controls/common/PropertyBag.h"

#include <cstdio>
#include <cstdlib>

namespace {

QVariant valueFrom(brenlow::fuzz::Input& in)
{
    switch (in.byte() % 6) {
    case 0:
        return in.text();
    case 1:
        return in.int32();
    case 2: {
        const qint64 hi = in.int32();
        return (hi << 32) | static_cast<quint32>(in.int32());
    }
    case 3: {
        qint64 bits = (static_cast<qint64>(in.int32()) << 32) | static_cast<quint32>(in.int32());
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d; // NaN and infinities included
    }
    case 4:
        return (in.byte() & 1) != 0;
    default:
        return QVariant();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    brenlow::fuzz::Input in(data, size);
    brenlow::PropertyBag bag;
    QStringList keys;
    for (int n = 0; n < 64 && !in.empty(); ++n) {
        const QString key = in.text();
        const QVariant value = valueFrom(in);
        const QVariant def = valueFrom(in);
        bag.WriteProperty(key, value, def);
        keys << key;
        if (bag.Contains(key))
            BRENLOW_FUZZ_CHECK(bag.ReadProperty(key).typeId() == value.typeId());
    }
    for (const QString& key : keys) {
        (void)bag.ReadBool(key, true);
        (void)bag.ReadInt(key, 7);
        (void)bag.ReadDouble(key, 0.5);
        (void)bag.ReadString(key, QString());
        (void)bag.ReadColor(key, 0x80000005u);
        (void)bag.ReadProperty(key.toUpper(), 1);
        (void)bag.ReadProperty(key.toLower(), 1);
    }
    BRENLOW_FUZZ_CHECK(bag.Keys().size() <= keys.size());
    for (const QString& key : keys)
        bag.Remove(key);
    BRENLOW_FUZZ_CHECK(bag.IsEmpty());
    return 0;
}
