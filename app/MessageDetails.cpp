#include "app/MessageDetails.h"

#include "platform/Host.h"

#include <QApplication>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSpacerItem>

#include <algorithm>

namespace brenlow {

namespace {
// Beside the title, a title bar holds the window's icon and its buttons.
constexpr int MinimumTitleRoom = 160;
} // namespace

Dialogs::Answer ShowMessage(const Message& message, const QString& title)
{
    Dialogs& dialogs = Host::dialogs();
    if (auto* whole = dynamic_cast<MessageDetails*>(&dialogs))
        return whole->ShowWholeMessage(message, title);
    QString text = message.Text;
    if (!message.Informative.isEmpty())
        text += QStringLiteral("\n\n") + message.Informative;
    return dialogs.MessageBox(text, title, message.Icon, message.Buttons);
}

Dialogs::Answer WindowDialogs::MessageBox(const QString& text, const QString& title, Icon icon,
                                          Buttons buttons)
{
    Message message;
    message.Text = text;
    message.Icon = icon;
    message.Buttons = buttons;
    return ShowWholeMessage(message, title);
}

std::optional<QString> WindowDialogs::InputBox(const QString& prompt, const QString& title,
                                               const QString& defaultText)
{
    QInputDialog dialog(m_parent);
    dialog.setWindowTitle(title.isEmpty() ? QApplication::applicationName() : title);
    dialog.setLabelText(prompt);
    dialog.setInputMode(QInputDialog::TextInput);
    // A line edit cuts what is pasted at 32767 characters without a word; links may be longer.
    if (auto* edit = dialog.findChild<QLineEdit*>())
        edit->setMaxLength(MaxInputLength);
    dialog.setTextValue(defaultText);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

QString WindowDialogs::BrowseForFolder(const QString& title, const QString& startFolder)
{
    return m_boxes.BrowseForFolder(title, startFolder);
}

Dialogs::Answer WindowDialogs::ShowWholeMessage(const Message& message, const QString& title)
{
    QMessageBox box(m_parent);
    const QString caption = title.isEmpty() ? QApplication::applicationName() : title;
    box.setWindowTitle(caption);
    box.setTextFormat(Qt::PlainText);
    box.setText(message.Text);
    box.setInformativeText(message.Informative);
    box.setDetailedText(message.Details);
    // The box takes only its main text as plain text; its second line would be read as markup.
    for (QLabel* label : box.findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
    switch (message.Icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    switch (message.Buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    // A box as narrow as "Done" cuts the window title in its title bar, and a box with details
    // would wrap the tool's lines after a few words.
    const QFontMetrics metrics = box.fontMetrics();
    int width = metrics.horizontalAdvance(caption) + MinimumTitleRoom;
    if (!message.Details.isEmpty())
        width = std::max(width, metrics.averageCharWidth() * 60);
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        return Answer::Ok;
    }
}

} // namespace brenlow
