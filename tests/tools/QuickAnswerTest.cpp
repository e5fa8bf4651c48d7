// do.dll's plain pieces agree with the core's: the cache key of a link, and the name filled from a
// page's fields.

#include "tools/downloader/PageInfo.h"
#include "tools/downloader/QuickAnswer.h"

#include <QCryptographicHash>
#include <QJsonObject>

#include <gtest/gtest.h>

using namespace brenlow::tool;

TEST(QuickAnswerKey, IsTheCoresSha256AcrossEveryPaddingBoundary)
{
    std::string bytes;
    for (int length = 0; length <= 200; ++length) {
        const QByteArray expected =
            QCryptographicHash::hash(QByteArray::fromStdString(bytes), QCryptographicHash::Sha256).toHex();
        ASSERT_EQ(quick::Sha256Hex(bytes), expected.toStdString()) << "length " << length;
        bytes.push_back(static_cast<char>(length * 37 + 200)); // high bytes too
    }
}

class QuickAnswerName : public ::testing::TestWithParam<const char*>
{
};

TEST_P(QuickAnswerName, IsTheCoresNameLine)
{
    const QJsonObject info{{"title", "Kept: 50% off"}, {"id", "x1"}, {"view_count", 7}, {"channel", "Ch"}};
    quick::Fields fields;
    for (const QString key : {QStringLiteral("title"), QStringLiteral("id"), QStringLiteral("view_count"),
                              QStringLiteral("channel"), QStringLiteral("uploader")})
        fields.emplace(key.toStdString(), FillTemplate(QStringLiteral("%(") + key + QStringLiteral(")s"), info).toStdString());
    const QString tpl = QString::fromUtf8(GetParam());
    const std::optional<std::string> quick = quick::FillName(GetParam(), fields);
    ASSERT_TRUE(quick.has_value()) << GetParam();
    EXPECT_EQ(*quick, OneLine(FillTemplate(tpl, info)).toStdString()) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Templates, QuickAnswerName,
                         ::testing::Values("%(uploader)s - %(title)s", "%(title)s [%(id)s].%(ext)s",
                                           "%(view_count)05d|%(missing)s", "%%(title)s 100%", "%(title)",
                                           "%(title)z %(id)s", "%(a%(b)s)s", "tab\there\x7f", "%(", ""));

TEST(QuickAnswerName, LeavesTemplatesBeyondPlainAsciiToTheCore)
{
    EXPECT_FALSE(quick::FillName("%(title)s — %(id)s", {}).has_value());
    EXPECT_FALSE(quick::FillName("%(títle)s", {}).has_value());
}
