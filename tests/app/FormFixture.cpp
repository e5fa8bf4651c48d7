#include "FormFixture.h"

#include "controls/button/glintbutton.h"
#include "controls/grid/ListGrid.h"
#include "platform/Host.h"
#include "runner/AVC.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTextDocument>
#include <QToolTip>

void FormTest::SetUp()
{
    ASSERT_TRUE(m_appDir.isValid());
    const QString toolDir = qEnvironmentVariable("BRENLOW_TOOL_DIR");
    ASSERT_FALSE(toolDir.isEmpty()) << "BRENLOW_TOOL_DIR names the folder of the bundled tool";
    const QString tool = m_appDir.path() + QStringLiteral("/do.dll");
    ASSERT_TRUE(QFile::copy(toolDir + QStringLiteral("/do.dll"), tool));
    QFile::setPermissions(tool, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    brenlow::Host::setDialogs(&m_detailed);
    m_oldRecordDir = qgetenv("BRENLOW_TOOL_RECORD_DIR");
    qputenv("BRENLOW_TOOL_RECORD_DIR", m_records.path().toLocal8Bit());
    form = std::make_unique<Form1>(m_appDir.path());
}

void FormTest::TearDown()
{
    form.reset();
    brenlow::Host::setDialogs(&m_dialogs.dialogs);
    if (m_oldRecordDir.isEmpty())
        qunsetenv("BRENLOW_TOOL_RECORD_DIR");
    else
        qputenv("BRENLOW_TOOL_RECORD_DIR", m_oldRecordDir);
}

bool FormTest::atRest() const
{
    return form->Command(1)->Enabled() && !(form->AVC1() && form->AVC1()->IsRunning());
}

bool FormTest::waitFor(const std::function<bool()>& condition, int ms)
{
    return QTest::qWaitFor(condition, ms);
}

void FormTest::showForm()
{
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
}

std::optional<QString> FormTest::cellToolTip(int row, int col)
{
    ListGrid* grid = form->ListGrid1();
    for (int y = 2; y < grid->height(); y += 4) {
        for (int x = 2; x < grid->width(); x += 4) {
            QMouseEvent move(QEvent::MouseMove, QPointF(x, y), grid->mapToGlobal(QPointF(x, y)), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(grid, &move);
            if (grid->MouseRow() != row || grid->MouseCol() != col)
                continue;
            QToolTip::hideText();
            QHelpEvent help(QEvent::ToolTip, QPoint(x, y), grid->mapToGlobal(QPoint(x, y)));
            QCoreApplication::sendEvent(grid, &help);
            QTextDocument shown;
            shown.setHtml(QToolTip::isVisible() ? QToolTip::text() : QString());
            QToolTip::hideText();
            return shown.toPlainText();
        }
    }
    return std::nullopt;
}

void FormTest::expectFailuresReported(int failed, int total, const QStringList& inDetails) const
{
    ASSERT_FALSE(messages().isEmpty());
    EXPECT_EQ(messages().last(), QStringLiteral("Done"));
    const QString count = QStringLiteral("%1 of %2 downloads failed.").arg(failed).arg(total);
    const brenlow::Message& done = boxes().back();
    EXPECT_EQ(done.Informative, count);
    EXPECT_EQ(done.Icon, brenlow::Dialogs::Icon::Warning);
    EXPECT_EQ(form->Label1()->text(), count);
    for (const QString& text : inDetails)
        EXPECT_TRUE(done.Details.contains(text)) << text.toStdString();
}

QStringList FormTest::filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

QByteArray FormTest::readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void FormTest::writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

void FormTest::addVideo(const QString& link)
{
    dialogs().inputAnswers.push_back(link);
    form->Command1_Click();
    ASSERT_TRUE(waitFor([this] { return atRest(); })) << "the metadata chain did not end";
}

void FormTest::chooseFolder()
{
    dialogs().folderAnswers.push_back(m_downloads.path());
    form->Command2_Click();
}

void FormTest::downloadAll()
{
    const qsizetype before = messages().size();
    form->Command5_Click();
    ASSERT_TRUE(waitFor([this, before] { return atRest() && messages().size() > before; }))
        << "the queue did not end";
}

void FormTest::startHangingRun()
{
    dialogs().inputAnswers.push_back(Links::Hang);
    form->Command1_Click();
    ASSERT_TRUE(form->AVC1()->IsRunning());
}

void FormTest::expectButtons(bool running) const
{
    for (int n : {1, 2, 4, 5})
        EXPECT_EQ(form->Command(n)->Enabled(), !running) << n;
    EXPECT_EQ(form->Command(3)->Enabled(), running);
}

QList<QStringList> FormTest::recordedRuns() const
{
    QDir dir(m_records.path());
    QList<QStringList> runs;
    for (const QString& name : dir.entryList({QStringLiteral("*.args")}, QDir::Files, QDir::Name)) {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        QByteArray bytes = f.readAll();
        if (bytes.endsWith('\0'))
            bytes.chop(1);
        QStringList args;
        for (const QByteArray& a : bytes.split('\0'))
            args << QString::fromUtf8(a);
        runs << args;
    }
    return runs;
}

void FormTest::useScriptTool(const QByteArray& script)
{
    const QString tool = m_appDir.path() + QStringLiteral("/do.dll");
    QFile::remove(tool);
    QFile f(tool);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\n" + script);
    f.close();
    QFile::setPermissions(tool, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}
