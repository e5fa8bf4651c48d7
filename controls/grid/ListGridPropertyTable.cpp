#include "controls/common/PropertyBag.h"
#include "controls/grid/ListGridModel.h"
#include "controls/grid/ListGridProperties.h"

#include <QVariant>

#include <cmath>

namespace brenlow {

using P = GridProperties;

const std::vector<GridPropertyEntry>& GridPropertyTable()
{
    static const std::vector<GridPropertyEntry> table{
        {"ApplySelectionToImages", &P::ApplySelectionToImages},
        {"BackColor", &P::BackColor},
        {"BackColorBkg", &P::BackColorBkg},
        {"BackColorEdit", &P::BackColorEdit},
        {"BackColorSel", &P::BackColorSel},
        {"ForeColor", &P::ForeColor},
        {"ForeColorEdit", &P::ForeColorEdit},
        {"ForeColorHdr", &P::ForeColorHdr},
        {"ForeColorSel", &P::ForeColorSel},
        {"ShowColumnHeaders", &P::ColumnHeaders},
        {"CenterRowImage", &P::CenterRowImage},
        {"ScrollBars", &P::ScrollBars, 0, 3},
        {"MinVerticalOffset", &P::MinVerticalOffset, 0, 1000},
        {"BackColorEvenRows", &P::BackColorEvenRows},
        {"BackColorEvenRowsEnabled", &P::BackColorEvenRowsEnabled},
        {"GridColor", &P::GridColor},
        {"ProgressBarColor", &P::CellProgressBarColor},
        {"AlphaBlendSelection", &P::AlphaBlendSelection},
        {"BorderStyle", &P::BorderStyle, 0, 1},
        {"DisplayEllipsis", &P::DisplayEllipsis},
        {"FocusRectColor", &P::FocusRectColor},
        {"FocusRectMode", &P::FocusRectMode, 0, 2},
        {"FocusRectStyle", &P::FocusRectStyle, 0, 2},
        {"GridLines", &P::GridLines, 0, 3},
        {"GridLineWidth", &P::GridLineWidth, 0, 100},
        {"ThemeColor", &P::ThemeColor, 0, 6},
        {"ThemeStyle", &P::ThemeStyle, 0, 7},
        {"ColumnHeaderSmall", &P::ColumnHeaderSmall},
        {"CustomColorFrom", &P::ThemeCustomColorFrom},
        {"CustomColorTo", &P::ThemeCustomColorTo},
        {"ColumnHeaderLines", &P::ColumnHeaderLines, 0, 100},
        {"Caption", &P::Caption},
        {"CaptionAlignment", &P::CaptionAlignment},
        {"Appearance", &P::Appearance, 0, 1},
        {"ScrollBarStyle", &P::ScrollBarStyle},
        {"TotalsLineShow", &P::TotalsLineShow},
        {"FocusRowHighlightKeepTextForecolor", &P::FocusRowHighlightKeepTextForecolor},
        {"ShowRowNumbers", &P::ShowRowNumbers},
        {"ShowRowNumbersVary", &P::ShowRowNumbersVary},
        {"AllowColumnResizing", &P::AllowColumnResizing},
        {"AllowRowResizing", &P::AllowRowResizing},
        {"AllowWordWrap", &P::AllowWordWrap},
        {"Checkboxes", &P::RowCheckBoxes},
        {"ColumnDrag", &P::AllowColumnDrag},
        {"ColumnSwap", &P::AllowColumnSwap},
        {"ColumnSort", &P::AllowColumnSort},
        {"Editable", &P::AllowEdit},
        {"AllowDelete", &P::AllowDelete},
        {"AllowInsert", &P::AllowInsert},
        {"EditTrigger", &P::EditTrigger, 0, 63},
        {"EditMove", &P::EditMove, 0, 2},
        {"FullRowSelect", &P::FocusRowHighlight},
        {"FocusRowHighlightStyle", &P::FocusRowHighlightStyle},
        {"HideSelection", &P::FocusRectHide},
        {"HotHeaderTracking", &P::AllowColumnHover},
        {"MultiSelect", &P::MultiSelect},
        {"ScrollTrack", &P::ScrollTrack},
        {"AutoToolTips", &P::AutoToolTips},
        {"Enabled", &P::Enabled},
        {"FreezeAtCol", &P::FreezeAtCol, -1, 32767},
        {"CacheIncrement", &P::CacheIncrement, 1, 2147483647},
        {"MaxLineCount", &P::MaxLineCount, 0, 2147483647},
        {"ScaleUnits", &P::ScaleUnits, 0, 7},
        {"SearchColumn", &P::SearchColumn},
        {"MinRowHeight", &P::MinRowHeight, 0, 10000000.0},
        {"Font", &P::Font},
        {"FontHeader", &P::FontHeader},
    };
    return table;
}

const char* GridPropertyKey(const GridPropertyEntry::Field& field)
{
    for (const GridPropertyEntry& e : GridPropertyTable())
        if (e.field == field)
            return e.key;
    return "";
}

namespace {

QFont readFont(const PropertyBag& bag, const QString& key, const QFont& fallback)
{
    const QVariant v = bag.ReadProperty(key);
    if (!v.isValid())
        return fallback;
    if (v.typeId() == QMetaType::QFont)
        return v.value<QFont>();
    const QString s = v.toString().trimmed();
    if (s.isEmpty())
        return fallback;
    QFont f = fallback;
    if (s.contains(QLatin1Char(',')) && f.fromString(s))
        return f;
    f.setFamilies({s});
    return f;
}

/** A stored number, or the default when it is not one, lies outside the entry's range or does not
 *  fit the property's type. */
template <typename T> T checkedNumber(double v, const GridPropertyEntry& e, T def)
{
    const bool inType =
        v >= double(std::numeric_limits<T>::lowest()) && v <= double(std::numeric_limits<T>::max());
    return std::isfinite(v) && inType && v >= e.low && v <= e.high ? static_cast<T>(v) : def;
}

} // namespace

void ReadGridProperties(const PropertyBag& bag, GridProperties& props, const QFont& ambientFont)
{
    const GridProperties defaults;
    for (const GridPropertyEntry& e : GridPropertyTable()) {
        const QString key = QLatin1String(e.key);
        std::visit(
            [&](auto member) {
                using T = std::remove_cvref_t<decltype(props.*member)>;
                auto& field = props.*member;
                const auto& def = defaults.*member;
                if constexpr (std::is_same_v<T, bool>)
                    field = bag.ReadBool(key, def);
                else if constexpr (std::is_same_v<T, quint32>)
                    field = bag.ReadColor(key, def);
                else if constexpr (std::is_same_v<T, float>)
                    field = checkedNumber<float>(bag.ReadDouble(key, def), e, def);
                else if constexpr (std::is_same_v<T, QString>)
                    field = bag.ReadString(key, def);
                else if constexpr (std::is_same_v<T, QFont>)
                    field = readFont(bag, key, member == &P::FontHeader ? props.Font : ambientFont);
                else
                    field = checkedNumber<T>(double(bag.ReadInt(key, def)), e, def);
            },
            e.field);
    }
}

void WriteGridProperties(PropertyBag& bag, const GridProperties& props, const QFont& ambientFont)
{
    const GridProperties defaults;
    for (const GridPropertyEntry& e : GridPropertyTable()) {
        const QString key = QLatin1String(e.key);
        std::visit(
            [&](auto member) {
                using T = std::remove_cvref_t<decltype(props.*member)>;
                const auto& value = props.*member;
                const auto& def = defaults.*member;
                if constexpr (std::is_same_v<T, bool>)
                    bag.WriteProperty(key, qint16(value ? -1 : 0), qint16(def ? -1 : 0));
                else if constexpr (std::is_same_v<T, QFont>) {
                    const QFont& fontDefault = member == &P::FontHeader ? props.Font : ambientFont;
                    bag.WriteProperty(key, value.toString(), fontDefault.toString());
                } else if constexpr (std::is_same_v<T, float>)
                    bag.WriteProperty(key, double(value), double(def));
                else
                    bag.WriteProperty(key, QVariant::fromValue(value), QVariant::fromValue(def));
            },
            e.field);
    }
}

} // namespace brenlow
