// The control gallery: shows each control in its looks. With "--shot file.png" it saves a picture
// of the window and quits (works headless).
#include "ButtonSheet.h"

#include <QApplication>
#include <QStyleFactory>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    ButtonSheet sheet;
    sheet.show();
    const QStringList args = QApplication::arguments();
    const qsizetype shot = args.indexOf(QStringLiteral("--shot"));
    if (shot >= 0 && shot + 1 < args.size()) {
        sheet.activateWindow();
        QTimer::singleShot(200, &sheet, [&] { sheet.ShowLiveStates(); });
        QTimer::singleShot(500, &sheet, [&] {
            sheet.grab().save(args.at(shot + 1));
            QApplication::quit();
        });
    }
    return QApplication::exec();
}
