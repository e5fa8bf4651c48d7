#pragma once

#include "platform/Dialogs.h"

#include <QString>

class QWidget;

namespace brenlow {

/** What a dialogs service offers beside Dialogs when it can show a message box with details: the
 *  window shows "Error" and "Done" with the tool's reason under a "Show Details..." button. A
 *  service without it shows the bare message. */
class MessageDetails
{
public:
    virtual ~MessageDetails() = default;
    virtual Dialogs::Answer MessageBoxWithDetails(const QString& text, const QString& title,
                                                  const QString& details) = 0;
};

/** Shows a message through the host's dialogs, with details when the service can show them. */
Dialogs::Answer ShowMessage(const QString& text, const QString& title, const QString& details);

/** The window's dialogs: the Qt boxes, modal to a parent, and message boxes with details. */
class WindowDialogs final : public Dialogs, public MessageDetails
{
public:
    explicit WindowDialogs(QWidget* parent = nullptr) : m_parent(parent), m_boxes(parent) {}

    Answer MessageBox(const QString& text, const QString& title, Icon icon, Buttons buttons) override;
    std::optional<QString> InputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    QString BrowseForFolder(const QString& title, const QString& startFolder) override;
    Answer MessageBoxWithDetails(const QString& text, const QString& title, const QString& details) override;

private:
    QWidget* m_parent;
    QtDialogs m_boxes;
};

} // namespace brenlow
