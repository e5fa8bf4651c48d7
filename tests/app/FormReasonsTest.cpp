// Why something failed: the tool's own words with "Error" and "Done", and on the failed row.
#include "FormFixture.h"

#include "app/GridDesign.h"
#include "controls/grid/ListGrid.h"

#include <QLabel>

namespace Col = brenlow::Col;

TEST_F(FormTest, AFailedRowTellsWhyInItsStatusCellAndInTheDoneBox)
{
    addVideo(Links::Basic);
    addVideo(Links::Exit3);
    addVideo(Links::Second);
    chooseFolder();
    downloadAll();
    ListGrid* grid = form->ListGrid1();
    ASSERT_EQ(grid->CellText(1, Col::Status), QStringLiteral("Error"));
    const QString reason = QStringLiteral("ERROR: unable to download video data: HTTP Error 403: Forbidden");
    EXPECT_EQ(grid->CellTag(1, Col::Status), reason);
    EXPECT_TRUE(grid->CellTag(0, Col::Status).isEmpty());
    EXPECT_TRUE(grid->CellTag(2, Col::Status).isEmpty());

    ASSERT_EQ(messages(), QStringList{QStringLiteral("Done")});
    expectFailuresReported(1, 3, {grid->CellText(1, Col::VideoName), reason});
    EXPECT_FALSE(messageDetails().value(0).contains(grid->CellText(0, Col::VideoName)));

    // The pointer resting on the failed row's status cell shows the reason; elsewhere it does not.
    showForm();
    EXPECT_EQ(cellToolTip(1, Col::Status), reason);
    const std::optional<QString> elsewhere = cellToolTip(2, Col::Status);
    ASSERT_TRUE(elsewhere.has_value());
    EXPECT_NE(*elsewhere, reason);

    // A queue without failures shows "Done" alone, and the row's old reason is gone.
    grid->SetCellText(1, Col::VideoLink, Links::Third);
    downloadAll();
    EXPECT_EQ(messages().last(), QStringLiteral("Done"));
    EXPECT_TRUE(messageDetails().last().isEmpty());
    EXPECT_TRUE(boxes().back().Informative.isEmpty());
    EXPECT_EQ(boxes().back().Icon, brenlow::Dialogs::Icon::Information);
    EXPECT_EQ(form->Label1()->text(), QStringLiteral("Complete"));
    EXPECT_EQ(grid->CellText(1, Col::Status), QStringLiteral("Complete"));
    EXPECT_TRUE(grid->CellTag(1, Col::Status).isEmpty());
}
