#pragma once

#include <QImage>
#include <QObject>
#include <QString>

#include <vector>

namespace brenlow {

/**
 * The image list a grid can be bound to (ListGrid::SetImageList): pictures of one size, numbered from
 * 1 in the order they were added, each with an optional key. Rows and cells name their image by
 * number or by key. Every image is kept at ImageWidth x ImageHeight, the size of the first image
 * unless set before it.
 */
class GridImageList final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GridImageList)

public:
    explicit GridImageList(QObject* parent = nullptr) : QObject(parent) {}

    /** Adds an image (scaled to the list's size) under a key; returns its index (1-based). A key
     *  already in use is not given twice: the new image gets no key. */
    int Add(const QImage& picture, const QString& key = {});
    void Clear();
    [[nodiscard]] int Count() const { return static_cast<int>(m_images.size()); }
    /** The image with an index 1..Count, or a null image. */
    [[nodiscard]] QImage Image(int index) const;
    /** The key of an image, "" when it has none or the index is out of range. */
    [[nodiscard]] QString Key(int index) const;
    /** The index of the image with a key (exact comparison), 0 when there is none. */
    [[nodiscard]] int IndexOf(const QString& key) const;
    [[nodiscard]] int ImageWidth() const { return m_width; }
    [[nodiscard]] int ImageHeight() const { return m_height; }
    /** Sets the size of the images; only while the list is empty (as an image list does). */
    void SetImageSize(int width, int height);

signals:
    /** Images were added or removed; a bound grid repaints. */
    void Changed();

private:
    struct Entry
    {
        QImage image;
        QString key;
    };
    std::vector<Entry> m_images;
    int m_width = 0;
    int m_height = 0;
};

} // namespace brenlow
