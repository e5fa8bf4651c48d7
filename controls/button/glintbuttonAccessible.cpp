// The button as assistive technology sees it (a screen reader over AT-SPI, for example).
#include "controls/button/glintbuttonAccessible.h"

#include "controls/button/glintbutton.h"
#include "controls/common/Accessibility.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QKeySequence>
#include <QMenu>

using namespace brenlow;

namespace {

/** The caption as it reads: "&" marks the access key and "&&" is a literal ampersand. */
QString spokenCaption(const QString& caption)
{
    QString out;
    out.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&')) {
            if (i + 1 < caption.size() && caption.at(i + 1) == QLatin1Char('&'))
                out += QLatin1Char('&');
            ++i;
            if (i < caption.size() && caption.at(i) != QLatin1Char('&'))
                out += caption.at(i);
            continue;
        }
        out += caption.at(i);
    }
    return out;
}

/** The states that change without a Qt widget event of their own. */
struct ButtonStates
{
    bool pressed = false;
    bool checked = false;
    bool hot = false;
    bool isDefault = false;
    bool operator==(const ButtonStates&) const = default;
};

ButtonStates statesOf(const glintbutton& b)
{
    ButtonStates s;
    s.pressed = b.Behavior().State() == ButtonState::Down;
    s.checked = b.Mode() != ModeCommand && b.Value();
    s.hot = b.Behavior().State() == ButtonState::Hot;
    s.isDefault = b.DisplayAsDefault();
    return s;
}

class GlintButtonAccessible;

/** The interfaces that exist, by their button, so a state change finds its interface without
 *  creating one. */
QHash<const QObject*, GlintButtonAccessible*>& liveInterfaces()
{
    static QHash<const QObject*, GlintButtonAccessible*> live;
    return live;
}

class GlintButtonAccessible final : public QAccessibleWidget
{
public:
    explicit GlintButtonAccessible(glintbutton* b) : QAccessibleWidget(b, QAccessible::PushButton), m_key(b)
    {
        m_last = statesOf(*b);
        liveInterfaces().insert(m_key, this);
        QObject::connect(b, &glintbutton::PropertyChanged, &m_context,
                         [this](const QString& name) { propertyChanged(name); });
    }
    ~GlintButtonAccessible() override { liveInterfaces().remove(m_key); }

    [[nodiscard]] glintbutton* button() const { return static_cast<glintbutton*>(widget()); }

    QAccessible::Role role() const override
    {
        switch (button()->Mode()) {
        case ModeCheck:
            return QAccessible::CheckBox;
        case ModeOption:
            return QAccessible::RadioButton;
        default:
            return button()->Behavior().MenuAttached() ? QAccessible::ButtonMenu : QAccessible::PushButton;
        }
    }

    QString text(QAccessible::Text t) const override
    {
        const glintbutton* b = button();
        switch (t) {
        case QAccessible::Name:
            return b->accessibleName().isEmpty() ? spokenCaption(b->Caption()) : b->accessibleName();
        case QAccessible::Description:
            if (!b->accessibleDescription().isEmpty())
                return b->accessibleDescription();
            return b->ToolTip().isEmpty() ? b->TooltipTitle() : b->ToolTip();
        case QAccessible::Accelerator:
            return b->AccessKey().isNull()
                       ? QString()
                       : QKeySequence(
                             QKeyCombination(Qt::AltModifier, Qt::Key(b->AccessKey().toUpper().unicode())))
                             .toString(QKeySequence::NativeText);
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        const ButtonStates now = statesOf(*button());
        s.pressed = now.pressed;
        s.hotTracked = now.hot;
        s.defaultButton = now.isDefault;
        if (button()->Mode() != ModeCommand) {
            s.checkable = true;
            s.checked = now.checked;
        }
        if (button()->Behavior().MenuAttached())
            s.hasPopup = true;
        return s;
    }

    QStringList actionNames() const override
    {
        QStringList names;
        if (button()->Enabled()) {
            names << pressAction();
            if (button()->Mode() != ModeCommand)
                names << toggleAction();
        }
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& name) override
    {
        // Later, from the event loop: the click may open a modal box, and the assistive technology
        // waits for this call to return.
        if (name == pressAction() || name == toggleAction())
            QMetaObject::invokeMethod(button(), &glintbutton::PerformClick, Qt::QueuedConnection);
        else
            QAccessibleWidget::doAction(name);
    }

    QStringList keyBindingsForAction(const QString& name) const override
    {
        if (name == pressAction() && !button()->AccessKey().isNull())
            return {text(QAccessible::Accelerator)};
        return QAccessibleWidget::keyBindingsForAction(name);
    }

    /** Sends one event with every state that changed since the last one. */
    void announce()
    {
        const ButtonStates now = statesOf(*button());
        if (now == m_last)
            return;
        QAccessible::State changed;
        changed.pressed = now.pressed != m_last.pressed;
        changed.checked = now.checked != m_last.checked;
        changed.hotTracked = now.hot != m_last.hot;
        changed.defaultButton = now.isDefault != m_last.isDefault;
        m_last = now;
        QAccessibleStateChangeEvent event(button(), changed);
        brenlow::Accessibility::Announce(&event);
    }

private:
    void propertyChanged(const QString& name)
    {
        if (name == QLatin1String("Caption")) {
            QAccessibleEvent event(button(), QAccessible::NameChanged);
            brenlow::Accessibility::Announce(&event);
        } else if (name == QLatin1String("ToolTip") || name == QLatin1String("TooltipTitle")) {
            QAccessibleEvent event(button(), QAccessible::DescriptionChanged);
            brenlow::Accessibility::Announce(&event);
        } else if (name == QLatin1String("Value") || name == QLatin1String("Mode")) {
            announce();
        }
    }

    const QObject* m_key;
    ButtonStates m_last;
    QObject m_context; // ends the connections with the interface
};

QAccessibleInterface* buttonFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("glintbutton"))
        if (auto* b = qobject_cast<glintbutton*>(object))
            return new GlintButtonAccessible(b);
    return nullptr;
}

} // namespace

namespace brenlow {

void InstallButtonAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(buttonFactory);
        return true;
    }();
    Q_UNUSED(installed)
}

void AnnounceButtonState(const glintbutton* button)
{
    if (GlintButtonAccessible* a = liveInterfaces().value(button))
        a->announce();
}

} // namespace brenlow

void glintbutton::PerformClick()
{
    if (!m_p.Enabled)
        return;
    // A press opens the drop-down menu where one is attached, as the mouse's press does.
    if (m_behavior.MenuAttached() && m_menu) {
        if (const auto placement =
                PlaceMenu(m_behavior.MenuAlign(), m_behavior.MenuFlags(), width(), height()))
            PopupMenu(*placement);
        return;
    }
    m_behavior.AccessKeyPressed(m_accessKey.isNull() ? int(' ') : int(m_accessKey.unicode()));
}
