// Draws the progress bar in each colour set, direction and style onto one picture, for looking at
// it (it is not a test): progressbar_gallery <out.png> [zoom]
#include "controls/progressbar/SleekProgressBar.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("progressbar.png");
    const int zoom = argc > 2 ? std::max(1, atoi(argv[2])) : 1;

    QImage sheet(620, 420, QImage::Format_RGB32);
    sheet.fill(QColor(236, 236, 236));
    QPainter p(&sheet);
    auto place = [&](SleekProgressBar& bar, int x, int y) {
        bar.Refresh();
        // The window shape shows as the sheet's grey outside the rounded corners.
        const QRegion shape = bar.mask().isEmpty() ? QRegion(bar.rect()) : bar.mask();
        p.setClipRegion(shape.translated(x, y));
        p.drawImage(x, y, bar.Surface());
        p.setClipping(false);
    };
    for (int set = 1; set <= 8; ++set) {
        SleekProgressBar bar;
        bar.resize(300, 17);
        bar.SetBarColorSet(set);
        bar.SetValue(10 + set * 10);
        place(bar, 10, 10 + (set - 1) * 24);
    }
    {
        SleekProgressBar bar;
        bar.resize(300, 17);
        bar.SetBarColorSet(2);
        bar.SetBarFillDirection(0);
        bar.SetValue(37);
        place(bar, 10, 210);
        bar.SetBarStyle(1);
        bar.SetValue(60);
        place(bar, 10, 234);
        bar.SetBarStyle(0);
        bar.SetEnabled(false);
        place(bar, 10, 258);
        bar.SetEnabled(true);
        bar.SetBarBorderStyle(0);
        place(bar, 10, 282);
    }
    for (int set = 1; set <= 8; ++set) {
        SleekProgressBar bar;
        bar.resize(20, 150);
        bar.SetBarFillDirection(set % 2 ? 2 : 3);
        bar.SetBarColorSet(set);
        bar.SetValue(30 + set * 8);
        place(bar, 330 + (set - 1) * 30, 10);
    }
    p.end();
    if (zoom > 1)
        sheet = sheet.scaled(sheet.size() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return sheet.save(out) ? 0 : 1;
}
