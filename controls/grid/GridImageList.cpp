#include "controls/grid/GridImageList.h"

namespace brenlow {

int GridImageList::Add(const QImage& picture, const QString& key)
{
    if (m_images.empty() && (m_width <= 0 || m_height <= 0) && !picture.isNull()) {
        m_width = picture.width();
        m_height = picture.height();
    }
    QImage image = picture;
    if (!image.isNull() && m_width > 0 && m_height > 0 && image.size() != QSize(m_width, m_height))
        image = image.scaled(m_width, m_height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    m_images.push_back({image, key.isEmpty() || IndexOf(key) != 0 ? QString() : key});
    emit Changed();
    return Count();
}

void GridImageList::Clear()
{
    m_images.clear();
    emit Changed();
}

QImage GridImageList::Image(int index) const
{
    return index >= 1 && index <= Count() ? m_images[static_cast<size_t>(index - 1)].image : QImage();
}

QString GridImageList::Key(int index) const
{
    return index >= 1 && index <= Count() ? m_images[static_cast<size_t>(index - 1)].key : QString();
}

int GridImageList::IndexOf(const QString& key) const
{
    if (key.isEmpty())
        return 0;
    for (size_t i = 0; i < m_images.size(); ++i)
        if (m_images[i].key == key)
            return static_cast<int>(i) + 1;
    return 0;
}

void GridImageList::SetImageSize(int width, int height)
{
    if (!m_images.empty())
        return;
    m_width = std::max(0, width);
    m_height = std::max(0, height);
}

} // namespace brenlow
