// Runs do.dll from the folder given through a runner, with a private folder, and says on its
// output where that folder is and what the tool printed. Waits to be killed.

#include "platform/PrivateFolder.h"
#include "runner/AVC.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

class Host final : public AVCHost
{
public:
    QString app;
    QString TemplateText(int) const override { return QStringLiteral(" \""); }
    QString DownloadFolder() const override { return {}; }
    QString CurrentLink() const override { return {}; }
    QString FormatCode() const override { return {}; }
    QString DownloadLink() const override { return {}; }
    QString DownloadName() const override { return {}; }
    QString ApplicationFolder() const override { return app; }
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    if (argc < 2)
        return 2;
    const auto folder = brenlow::PrivateFolder::Create();
    if (!folder)
        return 3;
    std::printf("folder %s\n", qPrintable(folder->Path()));
    std::fflush(stdout);
    Host host;
    host.app = QString::fromLocal8Bit(argv[1]);
    AVC avc(host);
    QObject::connect(&avc, &AVC::DataOutput, [](QString& text) {
        std::fputs(qPrintable(text.left(text.indexOf(QChar(0)))), stdout);
        std::fflush(stdout);
    });
    bool overwrite = true;
    avc.ConvertMedia2(overwrite);
    return QCoreApplication::exec();
}
