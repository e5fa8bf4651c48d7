#include <QCoreApplication>
#include <QLocale>

#include <gtest/gtest.h>

// The main of test binaries whose libraries need no window system.
int main(int argc, char* argv[])
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("BrenlowTests"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
