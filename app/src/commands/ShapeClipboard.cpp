#include "commands/ShapeClipboard.h"

#include "commands/DibConvert.h"

#include <cstdint>

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QImageReader>
#include <QMimeData>
#include <QRegularExpression>

#include <sarvik/ZImageData.h>
#include <sarvik/ZN_BackRgn.h>
#include <sarvik/ZN_ShapeBase.h>
#include <sarvik/ZN_ShapeManager.h>

namespace {

constexpr qsizetype kFileHeaderSize = kBmpFileHeaderSize;
constexpr int kInfoHeaderSize = 40;
// The largest picture a document holds, as a 32-bit image in megabytes: the
// image reader must not refuse what the picture would take.
constexpr int kLargestImageMb =
    static_cast<int>((ZImageData::kMaxByteCount / 3 * 4 + (1 << 20) - 1) >> 20);

void put32(QByteArray& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void put16(QByteArray& out, std::uint16_t v) {
    out.append(static_cast<char>(v & 0xFF));
    out.append(static_cast<char>(v >> 8));
}

// The bitmap block of a BMP file with its pixels right after the colour
// table, where the conversion reads them, taken from where the file header
// says they begin. A file whose header cannot be read keeps its block as it
// is, and the conversion says what is wrong with it.
QByteArray packedDib(const QByteArray& bmp) {
    const auto parts = bmpFileParts(reinterpret_cast<const unsigned char*>(bmp.constData()),
                                    static_cast<std::size_t>(bmp.size()));
    if (!parts)
        return bmp.mid(kFileHeaderSize);
    QByteArray dib(bmp.constData() + kFileHeaderSize, static_cast<qsizetype>(parts->headBytes));
    dib.append(bmp.constData() + parts->pixelsAt,
               bmp.size() - static_cast<qsizetype>(parts->pixelsAt));
    return dib;
}

std::list<ZN_ShapeBase*>* lentClipboard = nullptr;

} // namespace

std::list<ZN_ShapeBase*>* clipboardShapes() { return lentClipboard; }

void setClipboardShapes(std::list<ZN_ShapeBase*>* store) { lentClipboard = store; }

bool copySelectedShapes(ZN_ShapeManager& page, std::list<ZN_ShapeBase*>& clipboard) {
    if (page.getBackRgn() && page.getBackRgn()->getShow())
        return false;
    freeShapes(clipboard);
    int id = 1;
    for (ZN_ShapeBase* shape : page.getShapeList())
        shape->setId(id++);
    for (ZN_ShapeBase* shape : page.getShapeList()) {
        if (shape->getSelected())
            clipboard.push_back(shape->clone());
    }
    // Clones carry their originals' ids, so the originals find their copies.
    const ZN_ShapeIndex copies(clipboard);
    for (ZN_ShapeBase* shape : page.getShapeList()) {
        if (shape->getSelected())
            shape->setRelating(copies);
    }
    return true;
}

std::list<ZN_ShapeBase*> cloneClipboard(const std::list<ZN_ShapeBase*>& clipboard) {
    std::list<ZN_ShapeBase*> clones;
    for (const ZN_ShapeBase* shape : clipboard)
        clones.push_back(shape->clone());
    const ZN_ShapeIndex copies(clones);
    for (const ZN_ShapeBase* shape : clipboard)
        shape->setRelating(copies);
    return clones;
}

void freeShapes(std::list<ZN_ShapeBase*>& shapes) {
    for (ZN_ShapeBase* shape : shapes)
        delete shape;
    shapes.clear();
}

void emptySystemClipboard() {
    QApplication::clipboard()->clear();
}

QByteArray dibFromImage(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    if (image.isNull())
        return {};
    const int w = image.width();
    const int h = image.height();
    // The block's size field has 32 bits; a larger picture cannot be described.
    const std::int64_t pixelBytes = static_cast<std::int64_t>(w) * h * 4;
    if (pixelBytes > std::int64_t{0xFFFFFFFF} - kInfoHeaderSize)
        return {};
    QByteArray out;
    out.reserve(static_cast<qsizetype>(kInfoHeaderSize + pixelBytes));
    put32(out, kInfoHeaderSize);
    put32(out, static_cast<std::uint32_t>(w));
    put32(out, static_cast<std::uint32_t>(h));
    put16(out, 1);
    put16(out, 32);
    put32(out, 0);
    put32(out, static_cast<std::uint32_t>(pixelBytes));
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    // RGB32 pixels are blue, green, red, unused in memory on little-endian
    // machines, which is the block's own order; rows go bottom-up.
    for (int y = h - 1; y >= 0; --y)
        out.append(reinterpret_cast<const char*>(image.constScanLine(y)),
                   static_cast<qsizetype>(w) * 4);
    return out;
}

QByteArray systemClipboardDib(bool* unreadable) {
    if (unreadable)
        *unreadable = false;
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    if (!mime)
        return {};
    if (mime->hasFormat("image/bmp")) {
        const QByteArray bmp = mime->data("image/bmp");
        if (bmp.size() > kFileHeaderSize && bmp.startsWith("BM"))
            return packedDib(bmp);
    }
    if (QImageReader::allocationLimit() < kLargestImageMb)
        QImageReader::setAllocationLimit(kLargestImageMb);
    // Encoded pictures, PNG first, as other programs offer them.
    QStringList formats = mime->formats().filter(QRegularExpression("^image/"));
    formats.removeAll("image/bmp");
    if (formats.removeAll("image/png") > 0)
        formats.prepend("image/png");
    QImage image;
    for (const QString& format : formats) {
        image = QImage::fromData(mime->data(format));
        if (!image.isNull())
            break;
    }
    if (image.isNull() && mime->hasImage())
        image = qvariant_cast<QImage>(mime->imageData());
    if (image.isNull()) {
        // An image was offered but none could be read: too large, damaged,
        // or of a kind the reader lacks.
        if (unreadable)
            *unreadable = !formats.isEmpty() || mime->hasImage() || mime->hasFormat("image/bmp");
        return {};
    }
    return dibFromImage(image);
}
