#pragma once

#include <QLabel>

namespace brenlow {

/** A label that looks and acts as a link: blue, underlined, a hand pointer, Click on a left press.
 *  It takes the keyboard focus, and Enter or Space clicks it as the mouse does. Assistive
 *  technology reads it as a link named by its caption, with a press action. */
class LinkLabel final : public QLabel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LinkLabel)

public:
    explicit LinkLabel(const QString& caption, QWidget* parent = nullptr);

    /** Clicks the link as the mouse does. */
    void PerformClick();

signals:
    void Click();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

/** Stands for the thread mouse hook: an application-wide filter that swallows the right button's
 *  release and the context menu over the web pane, so the pane shows no menu of its own. */
class PaneMouseFilter final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PaneMouseFilter)

public:
    explicit PaneMouseFilter(QWidget* pane, QObject* parent = nullptr);
    /** Whether a widget is the pane or lies inside it. */
    [[nodiscard]] bool IsOverPane(const QObject* watched) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_pane;
};

} // namespace brenlow
