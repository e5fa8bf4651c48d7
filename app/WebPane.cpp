#include "app/WebPane.h"

#include "app/Settings.h"

#include <QFile>
#include <QTimer>

WebPane::WebPane(QWidget* parent) : QTextBrowser(parent)
{
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setFrameShape(QFrame::StyledPanel);
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) { Navigate(url.toString()); });
}

void WebPane::Navigate(const QString& url)
{
    m_location = url;
    if (url == QLatin1String(brenlow::ProductSettings::StartPage)) {
        QFile page(QString::fromLatin1(brenlow::ProductSettings::StartPageResource));
        if (page.open(QIODevice::ReadOnly))
            setHtml(QString::fromUtf8(page.readAll()));
    }
    QTimer::singleShot(0, this, [this, url] { emit DocumentComplete(url); });
}
