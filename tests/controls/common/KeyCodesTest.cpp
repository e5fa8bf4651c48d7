#include "controls/common/KeyCodes.h"

#include <QKeyEvent>

#include <gtest/gtest.h>

using namespace brenlow::KeyCodes;

TEST(KeyCodes, QtKeysMapToVirtualKeyNumbers)
{
    const std::pair<int, int> table[] = {
        {Qt::Key_Return, 13},   {Qt::Key_Enter, 13},  {Qt::Key_Escape, 27}, {Qt::Key_F2, 113},
        {Qt::Key_Insert, 45},   {Qt::Key_Delete, 46}, {Qt::Key_Space, 32},  {Qt::Key_PageUp, 33},
        {Qt::Key_PageDown, 34}, {Qt::Key_End, 35},    {Qt::Key_Home, 36},   {Qt::Key_Left, 37},
        {Qt::Key_Down, 40},     {Qt::Key_A, 65},      {Qt::Key_Z, 90},      {Qt::Key_5, 53},
        {Qt::Key_Backspace, 8}, {Qt::Key_F12, 123},   {Qt::Key_unknown, 0},
    };
    for (auto [qt, vk] : table)
        EXPECT_EQ(FromQtKey(qt), vk) << "Qt key " << qt;

    QKeyEvent pad(QEvent::KeyPress, Qt::Key_7, Qt::KeypadModifier, QStringLiteral("7"));
    EXPECT_EQ(FromKeyEvent(&pad), 103);
}

TEST(KeyCodes, ModifiersAndButtonsBecomeMasks)
{
    EXPECT_EQ(ShiftFromModifiers(Qt::ShiftModifier | Qt::ControlModifier), 3);
    EXPECT_EQ(ShiftFromModifiers(Qt::AltModifier), 4);
    EXPECT_EQ(ButtonsFromQt(Qt::LeftButton | Qt::MiddleButton), 5);
    EXPECT_EQ(ButtonsFromQt(Qt::RightButton), 2);
    EXPECT_EQ(MouseKeyStateFromQt(Qt::LeftButton, Qt::ControlModifier), 9);
    EXPECT_EQ(MouseKeyStateFromQt(Qt::MiddleButton, Qt::ShiftModifier), 20);
}
