#pragma once

#include "controls/progressbar/BarProperties.h"
#include "controls/progressbar/ProgressBarLayout.h"

#include <QImage>
#include <QRegion>
#include <QWidget>

#include <type_traits>

namespace brenlow {
class PropertyBag;
}

/** A progress bar drawn from copies of a small segment picture laid side by side with a gap.
 *  Eight colour sets are built in; any picture can be given instead. Style 0 fills with segments
 *  as the value grows, style 1 slides a block of three segments along the track. It draws into its
 *  own surface image, lazily: a setter only marks the picture stale and asks for a paint; the
 *  picture is brought up to date at the next paint event (or when it is read). A change of Value
 *  alone paints only the segments between the previously painted value and the new one, or erases
 *  the part beyond the new value.
 *
 *  Colours are 0x00BBGGRR values (system colours allowed for BackColor). Min, Max and Value are
 *  32-bit. A new control starts with the defaults and the green set; a host that restores a saved
 *  design calls ReadProperties afterwards. */
class SleekProgressBar : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SleekProgressBar)

public:
    explicit SleekProgressBar(QWidget* parent = nullptr);
    ~SleekProgressBar() override;

    // Stored properties. Each setter compares, stores, makes the widget follow (layout, window
    // shape, enabled state), drops the picture (or, for Value, the changed part of the track) and
    // asks for a paint, and last tells the container; what a change asks for is in the property
    // table.
    [[nodiscard]] quint32 BackColor() const { return m_p.BackColor; }
    void SetBackColor(quint32 New_BackColor) { set(&Props::BackColor, New_BackColor); }
    /** 1: rounded border and rounded window shape; anything else: no border, rectangular. */
    [[nodiscard]] int BarBorderStyle() const { return m_p.BarBorderStyle; }
    void SetBarBorderStyle(int New_BarBorderStyle) { set(&Props::BarBorderStyle, New_BarBorderStyle); }
    [[nodiscard]] quint32 BorderColor() const { return m_p.BorderColor; }
    void SetBorderColor(quint32 New_BorderColor) { set(&Props::BorderColor, New_BorderColor); }
    /** 1 to 8: a built-in picture set; 0 keeps the picture given in Bar_Pic. */
    [[nodiscard]] int BarColorSet() const { return m_p.BarColorSet; }
    void SetBarColorSet(int New_BarColorSet);
    /** 0 right to left, 1 left to right, 2 bottom to top, 3 top to bottom. */
    /** The picture is not reloaded: a built-in picture keeps its orientation until the colour set
     *  is assigned again. */
    [[nodiscard]] int BarFillDirection() const { return m_p.BarFillDirection; }
    void SetBarFillDirection(int New_BarFillDirection)
    {
        set(&Props::BarFillDirection, New_BarFillDirection);
    }
    /** The segment picture; a null image means none. */
    [[nodiscard]] QImage Bar_Pic() const { return m_p.Bar_Pic; }
    void SetBar_Pic(const QImage& newPic) { set(&Props::Bar_Pic, newPic); }
    /** Gap between two segments, in pixels. */
    [[nodiscard]] int BarSpaceBetweenImages() const { return m_p.BarSpaceBetweenImages; }
    void SetBarSpaceBetweenImages(int New_BarSpaceBetweenImages)
    {
        set(&Props::BarSpaceBetweenImages, New_BarSpaceBetweenImages);
    }
    /** 0 segmented fill, 1 sliding block of three segments; anything else paints the background only. */
    [[nodiscard]] int BarStyle() const { return m_p.BarStyle; }
    void SetBarStyle(int New_BarStyle) { set(&Props::BarStyle, New_BarStyle); }
    /** The control's own enabled state; a disabled bar draws its border in a pale grey. */
    [[nodiscard]] bool Enabled() const { return m_p.Enabled; }
    void SetEnabled(bool New_Enabled) { set(&Props::Enabled, New_Enabled); }
    [[nodiscard]] qint32 Min() const { return m_p.Min; }
    /** Refused with an error box when not below Max. */
    void SetMin(qint32 New_Mini);
    [[nodiscard]] qint32 Max() const { return m_p.Max; }
    /** Refused with an error box when not above Min. */
    void SetMax(qint32 New_Maxi);
    [[nodiscard]] qint32 Value() const { return m_p.Value; }
    /** At design time a value outside Min to Max is refused with an error box; at run time any
     *  value is kept and painted clamped to the track. Repaints only the difference. */
    void SetValue(qint32 New_Value);

    /** Repaints now: everything when a full repaint is pending, otherwise only what Value changed. */
    void Refresh();

    /** Design-time mode, set by the host: changes the Value setter's range check. */
    [[nodiscard]] bool DesignMode() const { return m_designMode; }
    void SetDesignMode(bool designMode) { m_designMode = designMode; }

    /** A new instance: the defaults, the built-in picture of the default set. */
    void InitProperties();
    /** Restores a saved design (the picture as saved; no built-in picture is loaded). */
    void ReadProperties(const brenlow::PropertyBag& bag);
    /** Saves the design; properties at their defaults are not stored. */
    void WriteProperties(brenlow::PropertyBag& bag) const;

    /** The control's drawing surface, brought up to date: the size of the control times the surface
     *  ratio, with that device pixel ratio set, so that it is drawn on in the control's own (logical)
     *  pixels. */
    [[nodiscard]] const QImage& Surface() const;
    /** The layout of the segments, brought up to date. */
    [[nodiscard]] const brenlow::ProgressBarLayout& Layout() const;
    /** The parts of the surface drawn since the last call, and forget them (for the host and tests);
     *  brings the picture up to date first. */
    QRegion TakeDrawnRegion();

signals:
    /** A property changed by its setter, by name, so the host can store the design. */
    void PropertyChanged(const QString& name);

protected:
    /** The pixel density the surface is painted at: the widget's device pixel ratio. */
    [[nodiscard]] virtual qreal SurfaceRatio() const;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    /** Brings the surface up to date: a full repaint when one is pending, otherwise what Value
     *  changed since the last painted value. */
    void settle();
    /** The picture as the reader sees it: settled, also through a const reference. */
    void settleForReading() const;
    /** Marks the whole picture stale and asks for a paint. */
    void invalidate();
    /** Asks for a paint of the part of the track a change to `value` touches. */
    void updateValueSpan(qint32 value);
    void LoadBarPicture();
    /** The picture the segments are drawn from: Bar_Pic, or on a screen of twice the density or
     *  more the built-in picture's twin drawn at that density. */
    void chooseTilePicture();
    void ComputeLayout();
    void DrawBackground();
    void DrawBorder();
    void ApplyWindowRegion();
    void PaintSegments();
    void PaintBlock();
    void DrawRect(const QRect& rect, quint32 color, bool fill);
    void PaintSegment(qint64 index, int length);
    void DrawTile(int along, int length, int sourceOffset);
    /** The part of the tile picture for `length` pixels along the track from `offset`. */
    [[nodiscard]] QRectF tileSource(int offset, int length) const;
    [[nodiscard]] QRect TrackRect(int low, int high) const;
    void MarkDrawn(const QRect& rect);
    void ShowRangeError();

    using Props = brenlow::BarProperties;
    /** A stored property's setter: compare, store, follow, tell. */
    template <typename T> void set(T Props::*field, const std::type_identity_t<T>& value)
    {
        if (m_p.*field == value)
            return;
        m_p.*field = value;
        follow(field);
        tell(field);
    }
    /** Makes the widget follow a stored change and asks for the paint it needs, as the property's
     *  row in the table says. */
    void follow(const Props::Field& field);
    /** Tells the container that a property changed, by its key. The container may do anything
     *  then, delete the bar included, so this comes last. */
    void tell(const Props::Field& field);

    brenlow::BarProperties m_p;
    bool m_designMode = false;
    bool m_redrawNeeded = true;
    qint32 m_lastPainted = 0;
    brenlow::ProgressBarLayout m_layout;
    QImage m_surface;
    /** The picture the segments are drawn from. */
    QImage m_tile;
    QRegion m_drawn;
    /** Drawn on the surface but not yet asked to be shown on the screen. */
    QRegion m_unshown;
};
