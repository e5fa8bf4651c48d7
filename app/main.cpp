#include "app/Form1.h"
#include "app/MessageDetails.h"
#include "platform/Host.h"

#include <QApplication>
#include <QStyleFactory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brenlow"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    Form1 window;
    // Boxes and the folder picker are modal to the window.
    brenlow::WindowDialogs dialogs(&window);
    brenlow::Host::setDialogs(&dialogs);
    window.show();
    const int code = QApplication::exec();
    brenlow::Host::setDialogs(nullptr);
    return code;
}
