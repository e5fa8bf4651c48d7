#include "app/LinkLabel.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>

namespace brenlow {

namespace {

[[nodiscard]] bool isActivationKey(const QKeyEvent* event)
{
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    return mods == Qt::NoModifier &&
           (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space);
}

class LinkLabelAccessible final : public QAccessibleWidget
{
public:
    explicit LinkLabelAccessible(LinkLabel* label) : QAccessibleWidget(label, QAccessible::Link) {}

    [[nodiscard]] LinkLabel* label() const { return static_cast<LinkLabel*>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && label()->accessibleName().isEmpty())
            return label()->text();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.linked = true;
        return s;
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (label()->isEnabled())
            names.prepend(pressAction());
        return names;
    }

    void doAction(const QString& name) override
    {
        // Later, from the event loop: the assistive technology waits for this call to return, and
        // opening a browser may take a while.
        if (name == pressAction())
            QMetaObject::invokeMethod(label(), &LinkLabel::PerformClick, Qt::QueuedConnection);
        else
            QAccessibleWidget::doAction(name);
    }

    QStringList keyBindingsForAction(const QString& name) const override
    {
        if (name == pressAction())
            return {QStringLiteral("Return"), QStringLiteral("Space")};
        return QAccessibleWidget::keyBindingsForAction(name);
    }
};

QAccessibleInterface* linkLabelFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("brenlow::LinkLabel"))
        if (auto* label = qobject_cast<LinkLabel*>(object))
            return new LinkLabelAccessible(label);
    return nullptr;
}

} // namespace

LinkLabel::LinkLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent)
{
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, QColor(0, 0, 255));
    setPalette(pal);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    static const bool installed = [] {
        QAccessible::installFactory(linkLabelFactory);
        return true;
    }();
    Q_UNUSED(installed)
}

void LinkLabel::PerformClick()
{
    if (isEnabled())
        emit Click();
}

bool LinkLabel::event(QEvent* event)
{
    // With the focus the link takes Enter and Space itself, before any shortcut of the window.
    if (event->type() == QEvent::ShortcutOverride && isActivationKey(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QLabel::event(event);
}

void LinkLabel::keyPressEvent(QKeyEvent* event)
{
    if (!isActivationKey(event)) {
        QLabel::keyPressEvent(event);
        return;
    }
    event->accept();
    // A held key opens the page once, not once per repeat.
    if (!event->isAutoRepeat())
        PerformClick();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        PerformClick();
    QLabel::mouseReleaseEvent(event);
}

PaneMouseFilter::PaneMouseFilter(QWidget* pane, QObject* parent) : QObject(parent), m_pane(pane) {}

bool PaneMouseFilter::IsOverPane(const QObject* watched) const
{
    for (const QObject* o = watched; o; o = o->parent()) {
        if (o == m_pane)
            return true;
    }
    return false;
}

bool PaneMouseFilter::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton && IsOverPane(watched))
            return true;
        break;
    case QEvent::ContextMenu:
        if (IsOverPane(watched))
            return true;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace brenlow
