#include "SurfacePainting.h"

#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QRect>
#include <cstring>

#include "platform/gdi/Surface.h"
#include "platform/ui/Resources.h"

namespace {

constexpr uint32_t kOpaque = 0xFF000000u;
// Scales a screen may have, for which tool bar pictures are made ahead.
constexpr int kLargestPictureScale = 4;

}  // namespace

void PaintSurface(QPainter& painter, const Surface& surface, const QRect& area) {
    const QRect shown = area.intersected(QRect(0, 0, surface.Width(), surface.Height()));
    if (shown.isEmpty()) return;
    QImage opaque(shown.size(), QImage::Format_RGB32);
    for (int y = 0; y < shown.height(); ++y) {
        const auto* from =
            reinterpret_cast<const uint32_t*>(surface.Row(shown.top() + y)) + shown.left();
        auto* to = reinterpret_cast<uint32_t*>(opaque.scanLine(y));
        for (int x = 0; x < shown.width(); ++x) to[x] = from[x] | kOpaque;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(shown, opaque);
}

QIcon ResourceImage(const BitmapResource& bitmap, int index, int width) {
    const int left = index * width;
    QImage image(width, kToolBarImageSize, QImage::Format_ARGB32);
    for (int y = 0; y < kToolBarImageSize; ++y) {
        for (int x = 0; x < width; ++x) {
            const int sx = left + x;
            const bool inside = sx < bitmap.width && y < bitmap.height;
            const uint32_t rgb =
                inside ? bitmap.pixels[static_cast<size_t>(y) * static_cast<size_t>(bitmap.width) +
                                       static_cast<size_t>(sx)]
                       : kTransparentPixel;
            image.setPixel(x, y, rgb == kTransparentPixel ? 0u : kOpaque | rgb);
        }
    }
    QIcon icon;
    for (int scale = 1; scale <= kLargestPictureScale; ++scale) {
        QPixmap pixmap =
            QPixmap::fromImage(image.scaled(width * scale, kToolBarImageSize * scale,
                                            Qt::IgnoreAspectRatio, Qt::FastTransformation));
        pixmap.setDevicePixelRatio(scale);
        icon.addPixmap(pixmap);
    }
    return icon;
}
