// A column's display format: the texts a cell shows under named formats and number, date and text
// pictures.
#include "controls/grid/ListGrid.h"
#include "controls/grid/ListGridPainter.h"

#include <QLocale>

#include <gtest/gtest.h>

using namespace brenlow;

namespace {

struct Shown
{
    const char* text;
    const char* format;
    const char* expected;
};

class GridColFormat : public ::testing::TestWithParam<Shown>
{
protected:
    void SetUp() override
    {
        m_saved = QLocale();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void TearDown() override { QLocale::setDefault(m_saved); }

private:
    QLocale m_saved;
};

} // namespace

TEST_P(GridColFormat, ShowsTheCellTextAsTheFormatSays)
{
    const Shown& c = GetParam();
    EXPECT_EQ(ListGridPainter::DisplayText(QString::fromUtf8(c.text), QString::fromUtf8(c.format)),
              QString::fromUtf8(c.expected))
        << c.text << " in " << c.format;
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, GridColFormat,
    ::testing::Values(Shown{"1234.5", "$#,##0.00", "$1,234.50"}, Shown{"12.5", "0.00 kg", "12.50 kg"},
                      Shown{"-1234", "#,##0;(#,##0)", "(1,234)"}, Shown{"1234", "#,##0;(#,##0)", "1,234"},
                      Shown{"0", "#,##0;(#,##0);\"none\"", "none"}, Shown{"-5", "$0", "-$5"},
                      Shown{"5551234567", "(000) 000-0000", "(555) 123-4567"},
                      Shown{"1234567", "#,##0", "1,234,567"}, Shown{"7", "000", "007"},
                      Shown{"0.5", "#.##", ".5"}, Shown{"12.5", ".00", "12.50"},
                      Shown{"0.125", "0.0%", "12.5%"}, Shown{"1234567", "#,##0,", "1,235"},
                      Shown{"1234", "0.00E+00", "1.23E+03"}, Shown{"0.00012", "0.0E-0", "1.2E-4"},
                      Shown{"-0.001", "0.00", "0.00"}, Shown{"3", "0 \\d\\a\\y\\s", "3 days"},
                      Shown{"abc", "0.00", "abc"}, Shown{"", "0.00", ""},
                      Shown{"", "0;0;0;\"empty\"", "empty"}, Shown{"1,234.5", "0.0", "1234.5"}));

INSTANTIATE_TEST_SUITE_P(
    Named, GridColFormat,
    ::testing::Values(Shown{"1234.5", "General Number", "1234.5"}, Shown{"1234.5", "Currency", "$1,234.50"},
                      Shown{"1234.567", "Fixed", "1234.57"}, Shown{"1234.567", "standard", "1,234.57"},
                      Shown{"0.25", "Percent", "25.00%"}, Shown{"1234", "Scientific", "1.23E+03"},
                      Shown{"0", "Yes/No", "No"}, Shown{"3", "Yes/No", "Yes"},
                      Shown{"True", "True/False", "True"}, Shown{"0", "On/Off", "Off"},
                      Shown{"2024-05-31", "Medium Date", "31-May-24"},
                      Shown{"2024-05-31 14:05", "Short Time", "14:05"},
                      Shown{"2024-05-31 14:05", "Medium Time", "02:05 PM"},
                      Shown{"2024-05-31", "Long Date", "Friday, May 31, 2024"}));

INSTANTIATE_TEST_SUITE_P(Dates, GridColFormat,
                         ::testing::Values(Shown{"2024-05-31", "dd/mm/yyyy", "31/05/2024"},
                                           Shown{"2024-05-03", "d-mmm-yy", "3-May-24"},
                                           Shown{"2024-05-31", "dddd d mmmm", "Friday 31 May"},
                                           Shown{"2024-05-31 14:05:09", "hh:mm:ss", "14:05:09"},
                                           Shown{"2024-05-31 14:05:09", "h:nn AM/PM", "2:05 PM"},
                                           Shown{"2024-05-31 09:05:09", "h:mm a/p", "9:05 a"},
                                           Shown{"2024-05-31", "\"Q\"q yyyy", "Q2 2024"},
                                           Shown{"2024-01-01", "y w", "1 2"},
                                           Shown{"45443", "yyyy-mm-dd", "2024-05-31"},
                                           Shown{"soon", "yyyy-mm-dd", "soon"}));

INSTANTIATE_TEST_SUITE_P(Texts, GridColFormat,
                         ::testing::Values(Shown{"abc", ">", "ABC"}, Shown{"AbC", "<", "abc"},
                                           Shown{"12345", "@@-@@@", "12-345"}, Shown{"ab", "@@@@", "  ab"},
                                           Shown{"ab", "!@@@@", "ab  "}, Shown{"ab", "&&&&", "ab"},
                                           Shown{"abcdef", "@@@", "abcdef"}));

TEST(GridColFormatColumn, ACellShowsItsTextAsTheColumnFormatsIt)
{
    QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    // The same picture twice: once formatted by the column, once stored already formatted.
    const auto drawn = [](const QString& text, const QString& format) {
        ListGrid grid;
        grid.resize(400, 120);
        grid.AddColumn(QStringLiteral("Price"), 3000, 4, ColumnType::Numeric, format);
        grid.AddItem(text);
        grid.SetRedraw(true);
        grid.Refresh();
        return grid.surface().copy();
    };
    EXPECT_EQ(drawn(QStringLiteral("-2000"), QStringLiteral("$#,##0.00;($#,##0.00)")),
              drawn(QStringLiteral("($2,000.00)"), QString()));
    EXPECT_EQ(drawn(QStringLiteral("12.5"), QStringLiteral("0.00 kg")),
              drawn(QStringLiteral("12.50 kg"), QString()));
    QLocale::setDefault(saved);
}
