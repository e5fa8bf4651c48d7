#include "FormFixture.h"

#include "controls/button/glintbutton.h"
#include "platform/Host.h"
#include "runner/AVC.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>

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
