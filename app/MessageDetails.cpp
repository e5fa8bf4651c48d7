#include "app/MessageDetails.h"

#include "platform/Host.h"

#include <QApplication>
#include <QMessageBox>

namespace brenlow {

Dialogs::Answer ShowMessage(const QString& text, const QString& title, const QString& details)
{
    Dialogs& dialogs = Host::dialogs();
    if (!details.isEmpty()) {
        if (auto* withDetails = dynamic_cast<MessageDetails*>(&dialogs))
            return withDetails->MessageBoxWithDetails(text, title, details);
    }
    return dialogs.MessageBox(text, title);
}

Dialogs::Answer WindowDialogs::MessageBox(const QString& text, const QString& title, Icon icon,
                                          Buttons buttons)
{
    return m_boxes.MessageBox(text, title, icon, buttons);
}

std::optional<QString> WindowDialogs::InputBox(const QString& prompt, const QString& title,
                                               const QString& defaultText)
{
    return m_boxes.InputBox(prompt, title, defaultText);
}

QString WindowDialogs::BrowseForFolder(const QString& title, const QString& startFolder)
{
    return m_boxes.BrowseForFolder(title, startFolder);
}

Dialogs::Answer WindowDialogs::MessageBoxWithDetails(const QString& text, const QString& title,
                                                     const QString& details)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(title.isEmpty() ? QApplication::applicationName() : title);
    box.setText(text);
    box.setDetailedText(details);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return Answer::Ok;
}

} // namespace brenlow
