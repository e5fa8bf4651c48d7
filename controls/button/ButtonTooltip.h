#pragma once

#include <QPainterPath>
#include <QTimer>
#include <QWidget>

namespace brenlow {

/** The button's own tooltip window: a standard box or a balloon with a tail, an optional title
 *  with an icon (0 none, 1 information, 2 warning, 3 error), text wrapped to a maximum width and a
 *  background colour. It watches the mouse over its tool widget itself: it shows after a short
 *  pause over the widget, follows the pointer and hides when the pointer leaves or presses. */
class ButtonTooltip final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ButtonTooltip)

public:
    /** The tooltip of `tool`; it lives until the tool replaces or destroys it. */
    explicit ButtonTooltip(QWidget* tool);

    void SetText(const QString& text);
    void SetTitle(const QString& title, int icon);
    void SetBalloon(bool balloon);
    void SetMaxWidth(int pixels);
    void SetBackColor(const QColor& color);

    [[nodiscard]] QString Text() const { return m_text; }
    [[nodiscard]] QString Title() const { return m_title; }
    [[nodiscard]] int TitleIcon() const { return m_icon; }
    [[nodiscard]] bool IsBalloon() const { return m_balloon; }
    [[nodiscard]] int MaxWidth() const { return m_maxWidth; }
    [[nodiscard]] QColor BackColor() const { return m_back; }

    /** Places the tip by the pointer at `globalPos` and arms it (it shows after the pause). */
    void Follow(const QPoint& globalPos);
    /** Shows it at once by the pointer (nothing when the text is empty). */
    void ShowAt(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void relayout();
    [[nodiscard]] QPainterPath balloonPath() const;
    [[nodiscard]] QRect textRect() const;

    QWidget* m_tool;
    QString m_text;
    QString m_title;
    int m_icon = 0;
    bool m_balloon = false;
    int m_maxWidth = 240;
    QColor m_back;
    QPoint m_pointer;
    QTimer m_showTimer;
    QTimer m_hideTimer;
};

} // namespace brenlow
