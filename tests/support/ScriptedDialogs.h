#pragma once

#include "platform/Dialogs.h"

#include <QStringList>

#include <deque>
#include <optional>
#include <vector>

/** A Dialogs double: records every box shown and answers from scripted queues. With an empty
 *  queue the input box and the folder picker answer as if cancelled and message boxes with Ok. */
class ScriptedDialogs final : public brenlow::Dialogs
{
public:
    struct Shown
    {
        QString kind; // "message", "input" or "folder"
        QString text;
        QString title;
        Icon icon = Icon::None;
    };

    Answer MessageBox(const QString& text, const QString& title, Icon icon, Buttons buttons) override;
    std::optional<QString> InputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    QString BrowseForFolder(const QString& title, const QString& startFolder) override;

    std::deque<std::optional<QString>> inputAnswers;
    std::deque<QString> folderAnswers;
    std::deque<Answer> messageAnswers;
    std::vector<Shown> shown;

    /** The texts of the message boxes shown so far, in order. */
    [[nodiscard]] QStringList messages() const;
};

/** Installs a ScriptedDialogs as the host's dialogs for the lifetime of the object. */
class ScopedScriptedDialogs
{
public:
    ScopedScriptedDialogs();
    ~ScopedScriptedDialogs();
    ScriptedDialogs dialogs;
};
