#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <QtGlobal>

#include <vector>

namespace brenlow {

class ListGridModel;

/** Metrics of the grid, recomputed by the metrics step (all in pixels). */
struct GridMetrics
{
    quint32 textFlagBase = 0; ///< word-ellipsis flag added to every cell text when DisplayEllipsis is on
    int checkBoxSize = 16;
    int checkBoxLeft = 0;  ///< offset of the row check-box column inside the left strip
    int checkBoxWidth = 3; ///< width of that column (a 3-pixel margin without row check boxes)
    bool imageList = false;
    int imageWidth = 0;
    int imageHeight = 0;
    int rowImageWidth = 0;
    int headerTextHeight = 0; ///< height of "ABCDWXYZ" in FontHeader
    int captionHeight = 0;
    int headerHeight = 0; ///< caption plus column headers
};

/** Where the view stands: kept by the grid, moved by scrolling and settled by the layout. */
struct GridViewState
{
    qint32 firstRowInView = 0; ///< display row at the top of the rows in view
    qint32 lastRowInView = -1; ///< last display row in view after the last placing (-1 none)
    qint32 hScroll = 0;        ///< first scrolling column position in view
};

/** Scroll ranges from the row-position step; a hidden bar has no range. */
struct GridScrollRanges
{
    bool hVisible = false;
    bool vVisible = false;
    int hMin = 0;
    int hMax = 0; ///< highest first scrolling column position
    int vMax = 0; ///< first display row of the last page
    static constexpr int LargeChange = 5;
};

/**
 * The geometry of the grid: metrics, scroll ranges and, after place(), where each row and column in
 * view lies. All positions are widget coordinates (the client rectangle sits inside the border), so
 * mouse positions can be hit-tested directly. The painter draws exactly these rectangles.
 */
class ListGridLayout final
{
public:
    /** A display row in view: top edge and height. */
    struct RowSpan
    {
        qint32 row;
        qint32 top;
        qint32 height;
        [[nodiscard]] qint32 bottom() const { return top + height; }
    };
    /** A display position in view: column index, left edge and pixel width. */
    struct ColSpan
    {
        qint32 pos;
        qint32 col;
        qint32 left;
        qint32 width;
        bool frozen;
        [[nodiscard]] qint32 right() const { return left + width; }
    };

    /** The metrics step: check-box column, image columns, header text and caption heights, header
     *  height, text flag base (the model's default row height computed before). */
    void computeMetrics(const ListGridModel& m);
    [[nodiscard]] const GridMetrics& metrics() const { return m_metrics; }

    /** Header height for a header text height t: the caption alone without column headers; else
     *  t * L / 3 + t + caption (small headers, rounded) or t + t * L + caption. */
    [[nodiscard]] static int HeaderHeight(bool columnHeaders, bool small, int lines, int t,
                                          int captionHeight);

    /** The scroll ranges for a drawing area (inside the border) and a scroll-bar thickness; a bar that
     *  shows narrows the room of the other. */
    [[nodiscard]] GridScrollRanges computeScrollRanges(const ListGridModel& m, const QRect& area,
                                                       int barExtent) const;

    /** The client rectangle: inside the border, without the visible scroll bars. */
    void setClient(const QRect& client) { m_client = client; }
    [[nodiscard]] const QRect& client() const { return m_client; }

    /** Places rows and columns for the view's scroll positions (raising the first column to
     *  FreezeAtCol + 1 and the first row past hidden rows), settles the view state, and sets the
     *  row-number column's width. */
    void place(const ListGridModel& m, GridViewState& view);

    [[nodiscard]] const std::vector<RowSpan>& rows() const { return m_rows; }
    [[nodiscard]] const std::vector<ColSpan>& cols() const { return m_cols; }
    /** True when the last display row is in view or space remained below the last row drawn. */
    [[nodiscard]] bool reachedEnd() const { return m_reachedEnd; }

    /** Left edge of the row-number column, of the check-box column and of the cells. */
    [[nodiscard]] int rowNumberWidth() const { return m_rowNumberWidth; }
    [[nodiscard]] int checkBoxColumnLeft() const
    {
        return m_client.left() + m_rowNumberWidth + m_metrics.checkBoxLeft;
    }
    [[nodiscard]] int cellsLeft() const;
    /** Top of the first row (below caption and headers) and bottom of the row area (above the totals
     *  line). */
    [[nodiscard]] int rowsTop() const { return m_client.top() + m_metrics.headerHeight; }
    [[nodiscard]] int rowsBottom() const { return m_client.bottom() + 1 - m_totalsHeight; }
    /** Right end of the last column in view (the cells' right edge). */
    [[nodiscard]] int cellsRight() const { return m_cols.empty() ? cellsLeft() : m_cols.back().right(); }

    // ---- Hit-testing (widget coordinates)
    /** The display row under y, or -1 (header, totals line, below the last row). */
    [[nodiscard]] int rowAt(int y) const;
    /** The display position under x, or -1. */
    [[nodiscard]] int colPosAt(int x) const;
    [[nodiscard]] const RowSpan* rowSpan(int row) const;
    [[nodiscard]] const ColSpan* colSpan(int pos) const;
    /** The cell's rectangle, or a null rectangle when it is not in view. */
    [[nodiscard]] QRect cellRect(int row, int pos) const;
    /** A column header item: from the column's left edge - 1 to its right edge, below the caption. */
    [[nodiscard]] QRect headerItemRect(int pos) const;
    [[nodiscard]] QRect captionRect() const;
    [[nodiscard]] bool inHeader(int y) const;
    [[nodiscard]] bool inCaption(int y) const;
    /** The row check box of a row in view, or a null rectangle. */
    [[nodiscard]] QRect rowCheckBoxRect(int row) const;
    /** The totals line (null when not shown). */
    [[nodiscard]] QRect totalsRect() const;

    /** Text fitting: breaks the text into lines of at most `width` pixels in `font` (line breaks
     *  CR LF), at most `lineLimit` lines (-1 = no limit), the last kept line ending in "...". */
    [[nodiscard]] static QString FitText(const QString& text, const QFont& font, int width, int lineLimit);

private:
    GridMetrics m_metrics;
    QRect m_client;
    std::vector<RowSpan> m_rows;
    std::vector<ColSpan> m_cols;
    int m_rowNumberWidth = 0;
    int m_totalsHeight = 0;
    bool m_reachedEnd = true;
};

} // namespace brenlow
