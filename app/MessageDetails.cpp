#include "app/MessageDetails.h"

#include "platform/Host.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

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
    // A box as narrow as "Error" would wrap the tool's lines after a few words.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(box.fontMetrics().averageCharWidth() * 60, 0, QSizePolicy::Minimum,
                                      QSizePolicy::Expanding),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    box.exec();
    return Answer::Ok;
}

} // namespace brenlow
