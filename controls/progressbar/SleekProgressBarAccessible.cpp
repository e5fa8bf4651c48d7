// The progress bar as assistive technology sees it.
#include "controls/progressbar/SleekProgressBarAccessible.h"

#include "controls/common/Accessibility.h"
#include "controls/progressbar/SleekProgressBar.h"

#include <QAccessibleWidget>

#include <algorithm>

namespace {

class SleekProgressBarAccessible final : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit SleekProgressBarAccessible(SleekProgressBar* bar)
        : QAccessibleWidget(bar, QAccessible::ProgressBar), m_announced(shownValue(*bar))
    {
        QObject::connect(bar, &SleekProgressBar::PropertyChanged, &m_context, [this](const QString& name) {
            if (name == QLatin1String("Value") || name == QLatin1String("Min") ||
                name == QLatin1String("Max"))
                announce();
        });
    }

    [[nodiscard]] SleekProgressBar* bar() const { return static_cast<SleekProgressBar*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value) {
            // As a percentage of the range, the way the bar shows it.
            const SleekProgressBar& b = *bar();
            const double span = double(b.Max()) - double(b.Min());
            const double share = span > 0 ? (double(shownValue(b)) - b.Min()) * 100.0 / span : 0.0;
            return QStringLiteral("%1%").arg(qRound(share));
        }
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.disabled = s.disabled || !bar()->Enabled();
        return s;
    }

    QVariant currentValue() const override { return shownValue(*bar()); }
    void setCurrentValue(const QVariant&) override {} // the bar only shows
    QVariant maximumValue() const override { return bar()->Max(); }
    QVariant minimumValue() const override { return bar()->Min(); }
    QVariant minimumStepSize() const override { return 0; }

private:
    /** A value outside the range is kept but drawn at the nearer end; it reads the same. Min may
     *  exceed Max while a caller sets the range one end at a time. */
    static qint32 shownValue(const SleekProgressBar& b)
    {
        return std::clamp(b.Value(), std::min(b.Min(), b.Max()), std::max(b.Min(), b.Max()));
    }

    void announce()
    {
        const qint32 now = shownValue(*bar());
        if (now == m_announced)
            return;
        m_announced = now;
        QAccessibleValueChangeEvent event(bar(), now);
        brenlow::Accessibility::Announce(&event);
    }

    qint32 m_announced;
    QObject m_context; // ends the connection with the interface
};

QAccessibleInterface* progressBarFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("SleekProgressBar"))
        if (auto* bar = qobject_cast<SleekProgressBar*>(object))
            return new SleekProgressBarAccessible(bar);
    return nullptr;
}

} // namespace

namespace brenlow {

void InstallProgressBarAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(progressBarFactory);
        return true;
    }();
    Q_UNUSED(installed)
}

} // namespace brenlow
