#pragma once

#include <QPointer>
#include <QWidget>

namespace brenlow {

/** A ring drawn just outside a widget while the keyboard focus is on it or inside it, for a control
 *  whose own drawing shows no focus (an empty list, a list whose current cell is out of view). It
 *  is a sibling of the widget, stacked under it and shaped to the ring alone, so it covers nothing
 *  and the mouse goes through it. It follows the widget's place and goes with it. */
class FocusRing final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FocusRing)

public:
    /** Width of the ring in pixels. */
    static constexpr int Thickness = 2;

    explicit FocusRing(QWidget* target);

    [[nodiscard]] QWidget* Target() const { return m_target; }
    /** The ring's colour: the selection colour darkened, which stands out on light and dark
     *  backgrounds alike. */
    [[nodiscard]] QColor Color() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void follow();
    [[nodiscard]] bool focusInside() const;

    QPointer<QWidget> m_target;
};

} // namespace brenlow
