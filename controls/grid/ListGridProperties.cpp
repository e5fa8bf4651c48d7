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
    ReadGridProperties(bag, m.props, ambientFont(this));
    // Sizes that are each in range may still give a row no screen can measure: then both go back to
    // their defaults.
    try {
        (void)m.computeDefaultRowHeight();
    } catch (const std::overflow_error&) {
        const GridProperties defaults;
        m.props.MinRowHeight = defaults.MinRowHeight;
        m.props.MinVerticalOffset = defaults.MinVerticalOffset;
    }
    // New cells take the grid's font name from the stored Font, not the one the control started with.
    m.setFont(m.props.Font);
    applyTheme();
    setEnabled(m.props.Enabled);
    // The paint passes raise RequestRowData, whose handler may delete the grid.
    const ControlGuard alive(this);
    Clear();
    if (!alive)
        return;
    recalcMetrics();
    recalcLayout();
    if (paintPass(true))
        m.refreshPending = false;
}

void ListGrid::WriteProperties(PropertyBag& bag) const
{
    WriteGridProperties(bag, m.props, ambientFont(this));
}

void ListGrid::applyTheme()
{
    const int set = ResolveThemeSet(m.props.ThemeColor, GridVisualStyles(), GridVisualStyleScheme());
    const GridThemeColors colors = ApplyThemeSet(m.props, set);
    m_paintState.themeFrom = colors.from;
    m_paintState.themeTo = colors.to;
}

bool ListGrid::propertyChanged(const char* key)
{
    const ControlGuard alive(this);
    emit PropertyChanged(QString::fromLatin1(key));
    return alive.Alive();
}
