#pragma once

#include "controls/grid/ListGridLayout.h"

#include <QHash>
#include <QImage>
#include <QString>
#include <QtGlobal>

class QPainter;
class QWidget;

namespace brenlow {

class ListGridModel;
class ListGridLayout;
struct GridRow;
struct GridCell;
struct GridColumn;

/** What the painter needs beyond the model and the layout: the theme colours and the transient
 *  states the mouse code sets (hot and pressed header items, the pressed button cell). */
struct GridPaintState
{
    quint32 themeFrom = 0;
    quint32 themeTo = 0;
    int hotHeaderPos = -1;     ///< display position of the header item under the pointer, -1 none
    int pressedHeaderPos = -1; ///< display position of the header item held down, -1 none
    int pressedButtonRow = -1; ///< display row of the button cell held down, -1 none
    int pressedButtonCol = -1; ///< column index of that button cell
    int dragHeaderPos = -1;    ///< display position of a header being dragged, -1 none
    int dragHeaderX = 0;       ///< left edge at which the dragged header is drawn (widget x)
};

/**
 * Draws one paint pass of the grid onto a surface the size of the control: border, background, the
 * rows in view (backgrounds, check boxes, button cells, progress bars, pictures, text), grid lines,
 * the focus rectangle, caption and column headers, row numbers and the totals line, in that order.
 * Keeps scaled copies of cell pictures between passes.
 */
class ListGridPainter final
{
public:
    void paint(QImage& surface, const ListGridModel& m, const ListGridLayout& layout,
               const GridPaintState& state, bool focusRect, const QWidget* widget);

    /** Where a cell picture of a size is drawn in a cell (scaled with its aspect ratio kept, placed by
     *  the column's image alignment); null when it is not drawn. Hit-testing uses the same rectangle. */
    [[nodiscard]] static QRect PictureRect(const QSize& picture, const QRect& cell, int imageAlignment,
                                           int columnWidth, int verticalOffset);
    /** The picture of a cell, or else its image from the bound image list, as drawn in the cell's
     *  rectangle; null when the cell shows neither. */
    [[nodiscard]] static QRect CellImageRect(const ListGridModel& m, const GridCell& cell,
                                             const GridColumn& column, const QRect& rect);
    /** Where the expand image sits in a wrapping cell: its bottom right corner, at most the cell's
     *  size less a 2-pixel margin. */
    [[nodiscard]] static QRect ExpandImageRect(const QImage& image, const QRect& cell);
    /** The top-left corner of an image drawn at a size inside an area, by an image alignment code
     *  (ownWidth: the image's own width, used by the centred code 5). */
    [[nodiscard]] static QPoint PlaceImage(const QSize& drawn, const QRect& area, int imageAlignment,
                                           int ownWidth, int columnWidth);
    /** The display text of a cell: its text, or formatted with the column's format string. */
    [[nodiscard]] static QString DisplayText(const QString& text, const QString& format);

private:
    /** A rectangle cut down to the view (with a small margin) when it is far larger than the view. */
    [[nodiscard]] static QRect inView(const QRect& r, const QRect& client);
    void paintBorder(QPainter& p, const QImage& surface, const ListGridModel& m) const;
    void paintRow(QPainter& p, const ListGridModel& m, const ListGridLayout& l, const GridPaintState& s,
                  int index, const QWidget* widget);
    void paintPicture(QPainter& p, const QImage& picture, const QRect& cell, int imageAlignment,
                      int columnWidth, int verticalOffset, QRect& textRect);
    void paintGroupHeader(QPainter& p, const ListGridModel& m, const ListGridLayout& l,
                          const GridPaintState& s, const ListGridLayout::RowSpan& rs, bool selected,
                          const QWidget* widget) const;
    void paintGridLines(QPainter& p, const ListGridModel& m, const ListGridLayout& l) const;
    void paintFocusRect(QPainter& p, const ListGridModel& m, const ListGridLayout& l) const;
    void paintHeaders(QPainter& p, const ListGridModel& m, const ListGridLayout& l, const GridPaintState& s,
                      const QWidget* widget) const;
    void paintRowNumbers(QPainter& p, const ListGridModel& m, const ListGridLayout& l) const;
    void paintTotals(QPainter& p, const ListGridModel& m, const ListGridLayout& l, const GridPaintState& s,
                     const QWidget* widget) const;
    /** A header-like strip in the style of ThemeStyle; state 1 normal, 2 hot, 3 pressed. */
    void paintHeaderBackground(QPainter& p, const QRect& r, int style, int state, const GridPaintState& s,
                               const QWidget* widget) const;

    QHash<QString, QImage> m_scaled; ///< scaled pictures by source key and size
    QRect m_view;                    ///< the client area of the pass being drawn
};

} // namespace brenlow
