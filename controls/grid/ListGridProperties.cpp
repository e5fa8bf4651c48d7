#include "controls/grid/ListGridProperties.h"

#include "controls/common/PropertyBag.h"
#include "controls/grid/ListGrid.h"
#include "controls/grid/ListGridTheme.h"

#include <QApplication>

#include <stdexcept>

using namespace brenlow;

namespace {

QFont ambientFont(const QWidget* control)
{
    return control->parentWidget() ? control->parentWidget()->font() : QApplication::font();
}

} // namespace

void ListGrid::ReadProperties(const PropertyBag& bag)
{
    GridProperties props = m.props();
    ReadGridProperties(bag, props, ambientFont(this));
    // New cells take the grid's font name from the stored Font, not the one the control started with.
    m.setProperties(props);
    // Sizes that are each in range may still give a row no screen can measure: then both go back to
    // their defaults.
    try {
        m.updateDefaultRowHeight();
    } catch (const std::overflow_error&) {
        const GridProperties defaults;
        m.setProperty(&GridProperties::MinRowHeight, defaults.MinRowHeight);
        m.setProperty(&GridProperties::MinVerticalOffset, defaults.MinVerticalOffset);
        m.updateDefaultRowHeight();
    }
    applyTheme();
    setEnabled(m.props().Enabled);
    // The paint passes raise RequestRowData, whose handler may delete the grid.
    const ControlGuard alive(this);
    Clear();
    if (!alive)
        return;
    recalcMetrics();
    recalcLayout();
    if (paintPass(true))
        m_refreshPending = false;
}

void ListGrid::WriteProperties(PropertyBag& bag) const
{
    WriteGridProperties(bag, m.props(), ambientFont(this));
}

void ListGrid::applyTheme()
{
    const int set = ResolveThemeSet(m.props().ThemeColor, GridVisualStyles(), GridVisualStyleScheme());
    GridProperties props = m.props();
    const GridThemeColors colors = ApplyThemeSet(props, set);
    m.setProperties(props);
    m_paintState.themeFrom = colors.from;
    m_paintState.themeTo = colors.to;
}

bool ListGrid::propertyChanged(const char* key)
{
    const ControlGuard alive(this);
    emit PropertyChanged(QString::fromLatin1(key));
    return alive.Alive();
}
