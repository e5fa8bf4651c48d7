#pragma once

#include "controls/grid/ListGrid.h"
#include "controls/grid/ListGridInputState.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <utility>

/** A shown grid in a window of its own, driven with real Qt mouse and key events. Cell positions are
 *  found the way a user finds them: by moving the pointer until the grid reports the cell under it. */
class GridInputFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.resize(700, 420);
        grid = new ListGrid(&window);
        grid->setGeometry(0, 0, 700, 420);
    }

    /** Four text columns (the last an editable number column), rows "a".."e" unless given. */
    void fill(const QStringList& names = {QStringLiteral("delta"), QStringLiteral("alpha"),
                                          QStringLiteral("charlie"), QStringLiteral("bravo"),
                                          QStringLiteral("echo")})
    {
        grid->AddColumn(QStringLiteral("Name"), 1500);
        grid->AddColumn(QStringLiteral("Link"), 1500);
        grid->AddColumn(QStringLiteral("Check"), 900, 4, 3);
        grid->AddColumn(QStringLiteral("Size"), 1200, 4, 1);
        for (int i = 0; i < names.size(); ++i)
            grid->AddItem(names[i] + QStringLiteral("\tlink") + QString::number(i) + QStringLiteral("\t0\t") +
                          QString::number(i * 10));
        grid->SetRedraw(true);
        show();
    }

    void show()
    {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        grid->setFocus();
    }

    /** A point inside cell (row, column index); row -1 for the column's header. */
    QPoint at(int row, int col)
    {
        const auto key = std::make_pair(row, col);
        if (auto it = cache.find(key); it != cache.end())
            return it->second;
        std::optional<QPoint> found;
        int y = 1;
        for (; y < grid->height(); y += 2) {
            QTest::mouseMove(grid, QPoint(grid->width() / 2, y));
            if (grid->MouseRow() == row)
                break;
        }
        for (int x = 1; x < grid->width() && y < grid->height() && !found; x += 3) {
            QTest::mouseMove(grid, QPoint(x, y));
            if (grid->MouseRow() == row && grid->MouseCol() == col)
                found = QPoint(x, y);
        }
        EXPECT_TRUE(found.has_value()) << "no point found for cell " << row << "," << col;
        // Well inside the cell, away from edges where the pointer changes shape.
        QPoint p = found.value_or(QPoint(1, 1)) + QPoint(12, row < 0 ? 1 : 6);
        cache[key] = p;
        return p;
    }

    /** The rectangle of cell (row, column index), found by moving out from a point inside it. */
    QRect cellBounds(int row, int col)
    {
        const QPoint inside = at(row, col);
        auto same = [&](QPoint p) {
            QTest::mouseMove(grid, p);
            return grid->MouseRow() == row && grid->MouseCol() == col;
        };
        int left = inside.x(), right = inside.x(), top = inside.y(), bottom = inside.y();
        while (left > 0 && same(QPoint(left - 1, inside.y())))
            --left;
        while (right < grid->width() - 1 && same(QPoint(right + 1, inside.y())))
            ++right;
        while (top > 0 && same(QPoint(inside.x(), top - 1)))
            --top;
        while (bottom < grid->height() - 1 && same(QPoint(inside.x(), bottom + 1)))
            ++bottom;
        return QRect(QPoint(left, top), QPoint(right, bottom));
    }

    void click(int row, int col, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        const QPoint p = at(row, col);
        QTest::mouseMove(grid, p);
        QTest::mouseClick(grid, Qt::LeftButton, mods, p);
    }

    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(grid, k, mods); }

    QWidget window;
    ListGrid* grid = nullptr;
    std::map<std::pair<int, int>, QPoint> cache;
};
