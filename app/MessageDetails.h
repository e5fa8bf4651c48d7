#pragma once

#include "platform/Dialogs.h"

#include <QString>

class QWidget;

namespace brenlow {

/** A message box of the window: its first line, an optional second line shown under it, the text
 *  behind "Show Details..." and an icon. Every text is shown as it is, never as markup: much of it
 *  comes from the tool. */
struct Message
{
    QString Text;
    QString Informative;
    QString Details;
    Dialogs::Icon Icon = Dialogs::Icon::None;
    Dialogs::Buttons Buttons = Dialogs::Buttons::Ok;
};

/** What a dialogs service offers beside Dialogs when it can show a whole Message. A service
 *  without it shows the first and second line in a plain message box. */
class MessageDetails
{
public:
    virtual ~MessageDetails() = default;
    virtual Dialogs::Answer ShowWholeMessage(const Message& message, const QString& title) = 0;
};

/** Shows a message through the host's dialogs, whole when the service can show it so. */
Dialogs::Answer ShowMessage(const Message& message, const QString& title);

/** The window's dialogs: the Qt boxes, modal to a parent. Message boxes show their texts as plain
 *  text and are never so narrow that the window title is cut. */
class WindowDialogs final : public Dialogs, public MessageDetails
{
public:
    explicit WindowDialogs(QWidget* parent = nullptr) : m_parent(parent), m_boxes(parent) {}

    Answer MessageBox(const QString& text, const QString& title, Icon icon, Buttons buttons) override;
    /** An input box whose text is never cut: it holds up to MaxInputLength characters. */
    std::optional<QString> InputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    QString BrowseForFolder(const QString& title, const QString& startFolder) override;
    Answer ShowWholeMessage(const Message& message, const QString& title) override;

    /** Characters the input box holds; longer pasted text is cut to this, one more than any
     *  caller accepts, so a cut text is always refused rather than taken for whole. */
    static constexpr int MaxInputLength = 1 << 20;

private:
    QWidget* m_parent;
    QtDialogs m_boxes;
};

} // namespace brenlow
