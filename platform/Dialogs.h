#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace brenlow {

/** Modal boxes the system shows to the user: message box, input box and folder picker.
 *  The window and the controls go through this interface, so tests can script the answers. */
class Dialogs
{
public:
    enum class Icon { None, Information, Warning, Critical, Question };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~Dialogs() = default;

    /** A message box with the given buttons; returns the button pressed. */
    virtual Answer MessageBox(const QString& text, const QString& title, Icon icon = Icon::None,
                              Buttons buttons = Buttons::Ok) = 0;

    /** An input box; std::nullopt when the user cancels. */
    virtual std::optional<QString> InputBox(const QString& prompt, const QString& title,
                                            const QString& defaultText = {}) = 0;

    /** A folder picker; an empty text when the user cancels. */
    virtual QString BrowseForFolder(const QString& title, const QString& startFolder = {}) = 0;
};

/** The Qt implementation: QMessageBox, QInputDialog and QFileDialog, modal to a parent. */
class QtDialogs final : public Dialogs
{
public:
    explicit QtDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    Answer MessageBox(const QString& text, const QString& title, Icon icon, Buttons buttons) override;
    std::optional<QString> InputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    QString BrowseForFolder(const QString& title, const QString& startFolder) override;

private:
    QWidget* m_parent = nullptr;
};

} // namespace brenlow
