#pragma once

#include "app/Form1.h"
#include "app/MessageDetails.h"
#include "support/RecordingShell.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

/** Links of the bundled tool's catalogue. */
namespace Links {
inline const QString Basic = QStringLiteral("https://test.brenlow.example/basic");
inline const QString Second = QStringLiteral("https://test.brenlow.example/second");
inline const QString Third = QStringLiteral("https://test.brenlow.example/third");
inline const QString Slow = QStringLiteral("https://test.brenlow.example/slow");
inline const QString Hang = QStringLiteral("https://test.brenlow.example/hang");
inline const QString HangDownload = QStringLiteral("https://test.brenlow.example/hang-download");
inline const QString Exit3 = QStringLiteral("https://test.brenlow.example/exit3");
inline const QString Broken = QStringLiteral("https://test.brenlow.example/error");
inline const QString NonNumericOnly = QStringLiteral("https://test.brenlow.example/nonnumeric-only");
inline const QString NoName = QStringLiteral("https://test.brenlow.example/no-name");
inline const QString Cleaning = QStringLiteral("https://test.brenlow.example/cleaning");
inline const QString Unicode = QStringLiteral("https://test.brenlow.example/unicode");
inline const QString NoThumbnail = QStringLiteral("https://test.brenlow.example/no-thumbnail");
inline const QString CorruptThumbnail = QStringLiteral("https://test.brenlow.example/corrupt-thumbnail");
inline const QString LineFeeds = QStringLiteral("https://test.brenlow.example/lf");
inline const QString Interrupted = QStringLiteral("https://test.brenlow.example/interrupted");
inline const QString FourDigit = QStringLiteral("https://test.brenlow.example/fourdigit");
inline const QString NameExit1 = QStringLiteral("https://test.brenlow.example/name-exit1");
inline const QString LongName = QStringLiteral("https://test.brenlow.example/long-name");
} // namespace Links

/** The scripted dialogs, able to show a whole message: each box goes to the scripted double, and
 *  the whole message is kept beside it (a bare one for a box shown through MessageBox). The folder
 *  each picker opened in is kept too. */
class DetailedDialogs final : public brenlow::Dialogs, public brenlow::MessageDetails
{
public:
    explicit DetailedDialogs(ScriptedDialogs& inner) : m_inner(inner) {}
    Answer MessageBox(const QString& text, const QString& title, Icon icon, Buttons buttons) override
    {
        boxes.push_back({text, {}, {}, icon, buttons});
        return m_inner.MessageBox(text, title, icon, buttons);
    }
    std::optional<QString> InputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override
    {
        return m_inner.InputBox(prompt, title, defaultText);
    }
    QString BrowseForFolder(const QString& title, const QString& startFolder) override
    {
        startFolders << startFolder;
        return m_inner.BrowseForFolder(title, startFolder);
    }
    Answer ShowWholeMessage(const brenlow::Message& message, const QString& title) override
    {
        boxes.push_back(message);
        return m_inner.MessageBox(message.Text, title, message.Icon, message.Buttons);
    }
    /** Each message box, in order. */
    std::vector<brenlow::Message> boxes;
    QStringList startFolders;

private:
    ScriptedDialogs& m_inner;
};

/** A Form1 whose application folder is a fresh folder holding a copy of the bundled tool, with
 *  scripted dialogs, a recording shell and a record of every argument vector the tool receives. */
class FormTest : public ::testing::Test
{
protected:
    static constexpr int RunLimitMs = 60000;

    void SetUp() override;
    void TearDown() override;

    /** Whether the window is at rest: no run, "Add Video Link" enabled. */
    [[nodiscard]] bool atRest() const;
    /** Answers the input box with a link, presses "Add Video Link" and waits for the chain's end. */
    void addVideo(const QString& link);
    /** Chooses the download folder through "Browse...". */
    void chooseFolder();
    /** Presses "Download" and waits for the queue's end. */
    void downloadAll();
    /** Adds a link whose metadata run hangs, and leaves that run going. */
    void startHangingRun();
    /** Checks the buttons: while a run is going only "Cancel" is enabled, at rest all but it. */
    void expectButtons(bool running) const;
    /** Waits until a condition holds, pumping events. */
    [[nodiscard]] static bool waitFor(const std::function<bool()>& condition, int ms = RunLimitMs);
    /** Shows the window and waits until it is on the screen. */
    void showForm();
    /** The plain text of the tool tip the list shows with the pointer resting on a cell (empty when
     *  it shows none), or nothing when no point of the list is that cell. */
    [[nodiscard]] std::optional<QString> cellToolTip(int row, int col);
    /** Checks the "Done" box and the status line of a queue in which rows failed: the count on
     *  both, a warning, and each text among the box's details. */
    void expectFailuresReported(int failed, int total, const QStringList& inDetails) const;

    /** The files of a folder, by name. */
    [[nodiscard]] static QStringList filesIn(const QString& folder);
    [[nodiscard]] static QByteArray readAll(const QString& path);
    static void writeFile(const QString& path, const QByteArray& bytes);

    /** The argument vectors the tool received, oldest first. */
    [[nodiscard]] QList<QStringList> recordedRuns() const;
    [[nodiscard]] QStringList messages() const { return m_dialogs.dialogs.messages(); }

    QTemporaryDir m_appDir;
    QTemporaryDir m_downloads;
    QTemporaryDir m_records;
    ScopedScriptedDialogs m_dialogs;
    DetailedDialogs m_detailed{m_dialogs.dialogs};
    ScopedRecordingShell m_shell;
    std::unique_ptr<Form1> form;
    QByteArray m_oldRecordDir;

    ScriptedDialogs& dialogs() { return m_dialogs.dialogs; }
    RecordingShell& shell() { return m_shell.shell; }
    /** The details shown with each message box, in order. */
    [[nodiscard]] QStringList messageDetails() const
    {
        QStringList details;
        for (const brenlow::Message& m : m_detailed.boxes)
            details << m.Details;
        return details;
    }
    /** The whole message boxes shown, in order. */
    [[nodiscard]] const std::vector<brenlow::Message>& boxes() const { return m_detailed.boxes; }
    /** Replaces the tool by a shell script (run by /bin/sh with the tool's arguments). */
    void useScriptTool(const QByteArray& script);
};
