// The yardstick of the start-up timing: a bare Qt window with one label, set up as brenlow's main
// sets up its application (Fusion style).
#include <QApplication>
#include <QLabel>
#include <QStyleFactory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QLabel label(QStringLiteral("Brenlow 7.0"));
    label.show();
    return QApplication::exec();
}
