// The yardstick of the start-up timing: a bare Qt window with one label, set up as brenlow's main
// sets up its application (Fusion style). With "--size WxH" the window has that size, so that a
// window as large as brenlow's can be timed beside it.
#include <QApplication>
#include <QLabel>
#include <QStyleFactory>

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QLabel label(QStringLiteral("Brenlow 7.0"));
    for (int i = 1; i + 1 < argc; ++i) {
        int width = 0;
        int height = 0;
        if (std::strcmp(argv[i], "--size") == 0 && std::sscanf(argv[i + 1], "%dx%d", &width, &height) == 2)
            label.setFixedSize(width, height);
    }
    label.show();
    return QApplication::exec();
}
