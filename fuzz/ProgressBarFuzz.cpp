// The progress bar loading a damaged design, then painting it at any size and value.
#include "FuzzInput.h"

#include "controls/common/PropertyBag.h"
#include "controls/progressbar/SleekProgressBar.h"
#include "platform/Dialogs.h"
#include "platform/Host.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

/** Range errors are expected here; they must not block on a real box. */
class SilentDialogs final : public brenlow::Dialogs
{
public:
    Answer MessageBox(const QString&, const QString&, Icon, Buttons) override { return Answer::Ok; }
    std::optional<QString> InputBox(const QString&, const QString&, const QString&) override { return {}; }
    QString BrowseForFolder(const QString&, const QString&) override { return {}; }
};

const char* const kKeys[] = {"Min",
                             "Max",
                             "Value",
                             "BarStyle",
                             "BarColorSet",
                             "Bar_Pic",
                             "BarBorderStyle",
                             "BorderColor",
                             "BarFillDirection",
                             "BackColor",
                             "Enabled",
                             "BarSpaceBetweenImages"};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    static SilentDialogs dialogs;
    brenlow::Host::setDialogs(&dialogs);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static SleekProgressBar* bar = new SleekProgressBar;
    brenlow::fuzz::Input in(data, size);
    bar->resize(in.byte() * 4 % 1000, in.byte() % 200);
    brenlow::PropertyBag bag;
    const int count = in.byte() % 16;
    for (int n = 0; n < count; ++n) {
        const QString key = QString::fromLatin1(kKeys[in.byte() % 12]);
        const uint8_t kind = in.byte() % 4;
        if (kind == 0)
            bag.WriteProperty(key, in.int32());
        else if (kind == 1)
            bag.WriteProperty(key, in.text());
        else if (kind == 2)
            bag.WriteProperty(key, QImage(in.byte() % 40, in.byte() % 40, QImage::Format_RGB32));
        else
            bag.WriteProperty(key,
                              (static_cast<qint64>(in.int32()) << 32) | static_cast<quint32>(in.int32()));
    }
    bar->ReadProperties(bag);
    bar->SetDesignMode((in.byte() & 1) != 0);
    while (!in.empty()) {
        switch (in.byte() % 8) {
        case 0:
            bar->SetMin(in.int32());
            break;
        case 1:
            bar->SetMax(in.int32());
            break;
        case 2:
            bar->SetBarStyle(in.byte() % 4);
            break;
        case 3:
            bar->SetBarFillDirection(static_cast<int8_t>(in.byte()));
            break;
        case 4:
            bar->SetBarSpaceBetweenImages(static_cast<int8_t>(in.byte()));
            break;
        case 5:
            bar->SetBarColorSet(in.byte() % 10);
            break;
        default:
            bar->SetValue(in.int32());
            break;
        }
    }
    bar->Refresh();
    return 0;
}
