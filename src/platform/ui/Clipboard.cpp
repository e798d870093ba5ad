#include "Clipboard.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "platform/gdi/DC.h"
#include "platform/gdi/Surface.h"

namespace {

QByteArray Encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return image.save(&buffer, format) ? bytes : QByteArray();
}

}  // namespace

bool SetClipboardBitmap(CBitmap* picture) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    const Surface* source = picture != nullptr ? picture->GetSurface() : nullptr;
    if (clipboard == nullptr || source == nullptr) return false;
    // The colours as a window shows them, through the same copy that shows the memo.
    auto shown = Surface::CreateTrueColor(source->Width(), source->Height());
    if (!shown) return false;
    CDC target;
    target.AttachSurface(shown.get());
    CDC memory;
    memory.CreateCompatibleDC(nullptr);
    CBitmap* previous = memory.SelectObject(picture);
    const bool copied =
        target.BitBlt(0, 0, source->Width(), source->Height(), &memory, 0, 0, SRCCOPY);
    memory.SelectObject(previous);
    if (!copied) return false;
    const QImage image = QImage(shown->Data(), shown->Width(), shown->Height(),
                                static_cast<qsizetype>(shown->Stride()), QImage::Format_RGB32)
                             .copy();
    // Named outright: not every desktop's clipboard offers a toolkit image in both.
    const QByteArray png = Encoded(image, "PNG");
    const QByteArray bmp = Encoded(image, "BMP");
    if (image.isNull() || png.isEmpty() || bmp.isEmpty()) return false;
    auto* data = new QMimeData;
    data->setImageData(image);
    data->setData(QStringLiteral("image/png"), png);
    data->setData(QStringLiteral("image/bmp"), bmp);
    clipboard->setMimeData(data);
    return true;
}
