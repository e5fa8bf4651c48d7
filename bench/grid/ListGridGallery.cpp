// Draws the grid in each header style and theme set onto one picture, for looking at it (it is not
// a test): grid_gallery <out.png>
#include "controls/common/PropertyBag.h"
#include "controls/grid/ListGrid.h"

#include <QApplication>
#include <QPainter>
#include <QStyleFactory>

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("grid.png");

    QImage sheet(900, 8 * 150, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter sp(&sheet);
    for (int style = 0; style < 8; ++style) {
        ListGrid grid;
        brenlow::PropertyBag bag;
        bag.WriteProperty(QStringLiteral("themestyle"), style);
        bag.WriteProperty(QStringLiteral("themecolor"), style % 5);
        bag.WriteProperty(QStringLiteral("checkboxes"), style == 3);
        bag.WriteProperty(QStringLiteral("totalslineshow"), true);
        bag.WriteProperty(QStringLiteral("caption"), style == 4 ? QStringLiteral("Downloads") : QString());
        bag.WriteProperty(QStringLiteral("focusrectmode"), 1);
        bag.WriteProperty(QStringLiteral("focusrectstyle"), style % 3);
        bag.WriteProperty(QStringLiteral("showrownumbers"), style % 2 == 0);
        grid.ReadProperties(bag);
        grid.resize(880, 140);
        grid.AddColumn(QStringLiteral("Name"), 2500);
        grid.AddColumn(QStringLiteral("Size"), 1200, 6, 1);
        grid.AddColumn(QStringLiteral("Done"), 800, 5, 3);
        grid.AddColumn(QStringLiteral("Go"), 900, 5, 6);
        grid.AddColumn(QStringLiteral("Progress"), 2000, 5, 4);
        grid.AddColumn(QStringLiteral("Wide column"), 9000);
        for (int i = 0; i < 8; ++i) {
            grid.AddItem(QStringLiteral("Row %1 & co\t%2\t%3\tRun\t%4%\tmore")
                             .arg(i)
                             .arg(i * 10.5)
                             .arg(i % 2)
                             .arg(i * 13));
            grid.SetCellProgressValue(i, 4, i * 13);
        }
        grid.SetTotalsLineCaption(0, QStringLiteral("Total"));
        grid.SetRedraw(true);
        grid.RowColSet(1, 0);
        grid.Refresh();
        sp.drawImage(0, style * 150, grid.grab().toImage());
        sp.drawText(885, style * 150 + 20, QString::number(style));
    }
    sp.end();
    return sheet.save(out) ? 0 : 1;
}
