#pragma once

#include <QString>
#include <QTextBrowser>

/** The web pane: a light HTML view that shows the bundled start page. It loads no remote content;
 *  a click on a link is a navigation: the pane's address becomes the link and DocumentComplete
 *  follows, as it would after a page load. Such a view raises no script errors and opens no
 *  pop-up windows. */
class WebPane final : public QTextBrowser
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WebPane)

public:
    explicit WebPane(QWidget* parent = nullptr);

    /** Goes to an address; the start page address shows the bundled page. DocumentComplete follows
     *  from the event loop. */
    void Navigate(const QString& url);
    /** The address of the document last navigated to. */
    [[nodiscard]] QString LocationURL() const { return m_location; }

signals:
    /** A document finished loading; the argument is the pane's address. */
    void DocumentComplete(const QString& url);

private:
    QString m_location;
};
