// The design's fonts: the window registers fonts-wine's Tahoma and MS Sans Serif at start-up.
#include "FormFixture.h"

#include "app/DesignFonts.h"
#include "controls/button/glintbutton.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QRawFont>

namespace {

bool wineFontsInstalled()
{
    const QDir dir(QString::fromLatin1(brenlow::WineFontsFolder));
    return dir.exists(QStringLiteral("tahoma.ttf")) && dir.exists(QStringLiteral("tahomabd.ttf")) &&
           dir.exists(QStringLiteral("ms_sans_serif.ttf"));
}

QFont designFont(const char* family, bool bold = false)
{
    QFont font(QString::fromLatin1(family));
    font.setPointSizeF(8.25);
    font.setBold(bold);
    return font;
}

} // namespace

TEST_F(FormTest, TheDesignFontsResolveToTheWineFilesAfterStartUp)
{
    if (!wineFontsInstalled())
        GTEST_SKIP() << "fonts-wine is not installed";
    if (qApp->devicePixelRatio() != 1.0)
        GTEST_SKIP() << "the bitmap face serves 1x screens only";
    for (const char* family : {"Tahoma", "MS Sans Serif"}) {
        EXPECT_EQ(QFontInfo(designFont(family)).family(), QString::fromLatin1(family));
        EXPECT_EQ(QRawFont::fromFont(designFont(family)).familyName(), QString::fromLatin1(family));
    }
    // Bold Tahoma is the bold face of its own, not a regular face made heavier.
    const QRawFont bold = QRawFont::fromFont(designFont("Tahoma", true));
    EXPECT_EQ(bold.familyName(), QStringLiteral("Tahoma"));
    EXPECT_EQ(bold.weight(), QFont::Bold);
    const QRawFont regular = QRawFont::fromFont(designFont("Tahoma"));
    EXPECT_EQ(regular.weight(), QFont::Normal);
    // The faces come from the program's own registration: the system knows no such family.
    EXPECT_TRUE(QFontDatabase::families().contains(QStringLiteral("MS Sans Serif")));
    // Registering again, as a second window does, adds nothing.
    const QStringList before = QFontDatabase::families();
    Form1 second(m_appDir.path());
    EXPECT_EQ(QFontDatabase::families(), before);
    EXPECT_EQ(brenlow::RegisterDesignFonts(), (QStringList{"Tahoma", "MS Sans Serif"}));
}

TEST_F(FormTest, TheButtonsAndTheListDrawInTheDesignFonts)
{
    if (!wineFontsInstalled())
        GTEST_SKIP() << "fonts-wine is not installed";
    EXPECT_EQ(QFontInfo(form->Command(1)->Font()).family(), QStringLiteral("Tahoma"));
    // On a high-density screen the bitmap face would draw small glyphs far apart: Tahoma stands in.
    const bool oneToOne = qApp->devicePixelRatio() == 1.0;
    EXPECT_EQ(QFontInfo(form->font()).family(),
              oneToOne ? QStringLiteral("MS Sans Serif") : QStringLiteral("Tahoma"))
        << qApp->devicePixelRatio();
    EXPECT_EQ(QFontDatabase::families().contains(QStringLiteral("MS Sans Serif")), oneToOne);
    // The caption and picture fit the button, at either ratio.
    for (int n = 1; n <= 5; ++n) {
        glintbutton* b = form->Command(n);
        const int captionWidth = QFontMetrics(b->Font()).horizontalAdvance(b->Caption());
        // The 32-pixel picture beside it, and a border of two pixels each side.
        EXPECT_LE(captionWidth + 32, b->width() - 4) << n;
    }
}

TEST(DesignFonts, AFolderWithoutTheFilesRegistersNothing)
{
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    EXPECT_TRUE(brenlow::RegisterDesignFonts(empty.path()).isEmpty());
    // A file that is no font is skipped as well.
    QFile junk(empty.filePath(QStringLiteral("tahoma.ttf")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a font");
    junk.close();
    EXPECT_TRUE(brenlow::RegisterDesignFonts(empty.path()).isEmpty());
}
