#include "support/ScriptedDialogs.h"

#include "platform/Host.h"

using brenlow::Dialogs;

Dialogs::Answer ScriptedDialogs::MessageBox(const QString& text, const QString& title, Icon icon, Buttons)
{
    shown.push_back({QStringLiteral("message"), text, title, icon});
    if (messageAnswers.empty())
        return Answer::Ok;
    const Answer a = messageAnswers.front();
    messageAnswers.pop_front();
    return a;
}

std::optional<QString> ScriptedDialogs::InputBox(const QString& prompt, const QString& title, const QString&)
{
    shown.push_back({QStringLiteral("input"), prompt, title, Icon::None});
    if (inputAnswers.empty())
        return std::nullopt;
    // Taken apart rather than copied whole: GCC sees a copied optional<QString> as maybe unset.
    const bool answered = inputAnswers.front().has_value();
    QString text = answered ? *inputAnswers.front() : QString();
    inputAnswers.pop_front();
    if (!answered)
        return std::nullopt;
    return text;
}

QString ScriptedDialogs::BrowseForFolder(const QString& title, const QString&)
{
    shown.push_back({QStringLiteral("folder"), title, title, Icon::None});
    if (folderAnswers.empty())
        return {};
    QString a = folderAnswers.front();
    folderAnswers.pop_front();
    return a;
}

QStringList ScriptedDialogs::messages() const
{
    QStringList out;
    for (const Shown& s : shown)
        if (s.kind == QLatin1String("message"))
            out << s.text;
    return out;
}

ScopedScriptedDialogs::ScopedScriptedDialogs() { brenlow::Host::setDialogs(&dialogs); }
ScopedScriptedDialogs::~ScopedScriptedDialogs() { brenlow::Host::setDialogs(nullptr); }
