#include "interchange/MapPictures.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <sarvik/ZImageData.h>
#include <sarvik/ZImageTexture.h>

namespace interchange {

namespace {

// A picture's pixel count is bounded before it is decoded, by its header.
bool fits(const QSize& size) {
    return size.isValid() && size.width() > 0 && size.height() > 0 &&
           ZImageData::pictureBytes(size.width(), size.height()) > 0;
}

// Transparent parts are shown over white, as over a new box's fill.
std::uint8_t overWhite(int channel, int alpha) {
    return static_cast<std::uint8_t>((channel * alpha + 255 * (255 - alpha) + 127) / 255);
}

} // namespace

std::unique_ptr<ZImageTexture> decodePicture(const MapImage& image) {
    if (image.bytes.empty() || image.bytes.size() > static_cast<std::size_t>(ZImageData::kMaxByteCount))
        return nullptr;
    QByteArray bytes = QByteArray::fromRawData(image.bytes.data(),
                                               static_cast<qsizetype>(image.bytes.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format();
    if (format != "png" && format != "jpeg" && format != "jpg")
        return nullptr;
    if (!fits(reader.size()))
        return nullptr;
    const QImage read = reader.read();
    if (read.isNull() || !fits(read.size()))
        return nullptr;
    const QImage argb = read.convertToFormat(QImage::Format_ARGB32);
    const int w = argb.width();
    const int h = argb.height();
    const auto stride = static_cast<std::size_t>(ZImageData::rowStride(w));
    std::vector<unsigned char> pixels(stride * static_cast<std::size_t>(h), 0);
    for (int y = 0; y < h; ++y) {
        // Stored rows go bottom-up.
        unsigned char* row = pixels.data() + stride * static_cast<std::size_t>(h - 1 - y);
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const int a = qAlpha(line[x]);
            row[3 * x] = overWhite(qRed(line[x]), a);
            row[3 * x + 1] = overWhite(qGreen(line[x]), a);
            row[3 * x + 2] = overWhite(qBlue(line[x]), a);
        }
    }
    auto data = std::make_unique<ZImageData>();
    data->copyData(pixels.data(), w, h, static_cast<int>(pixels.size()));
    data->setFileType(1); // red first
    if (!data->isComplete())
        return nullptr;
    return std::make_unique<ZImageTexture>(data.release(), " ");
}

void shownSize(const MapImage& image, const ZImageTexture& picture, float& width, float& height) {
    const ZImageData* data = picture.getImageData();
    float w = image.width > 0 ? static_cast<float>(image.width)
                              : static_cast<float>(data ? data->getWidth() : 0);
    float h = image.height > 0 ? static_cast<float>(image.height)
                               : static_cast<float>(data ? data->getHeight() : 0);
    const float longer = std::max(w, h);
    if (longer > static_cast<float>(kMostShownSide)) {
        w *= static_cast<float>(kMostShownSide) / longer;
        h *= static_cast<float>(kMostShownSide) / longer;
    }
    width = w;
    height = h;
}

MapImage encodePicture(const ZImageTexture& picture, int shownWidth, int shownHeight) {
    MapImage out;
    const ZImageData* data = picture.getImageData();
    if (!data || !data->isComplete() || data->getWidth() <= 0 || data->getHeight() <= 0)
        return out;
    const int w = data->getWidth();
    const int h = data->getHeight();
    const auto stride = static_cast<std::size_t>(ZImageData::rowStride(w));
    const bool redFirst = data->getFileType() == 1;
    QImage image(w, h, QImage::Format_RGB888);
    if (image.isNull())
        return out;
    for (int y = 0; y < h; ++y) {
        const unsigned char* row = data->getData() + stride * static_cast<std::size_t>(h - 1 - y);
        unsigned char* line = image.scanLine(y);
        for (int x = 0; x < w; ++x) {
            line[3 * x] = row[3 * x + (redFirst ? 0 : 2)];
            line[3 * x + 1] = row[3 * x + 1];
            line[3 * x + 2] = row[3 * x + (redFirst ? 2 : 0)];
        }
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return out;
    out.bytes.assign(png.constData(), static_cast<std::size_t>(png.size()));
    out.width = shownWidth;
    out.height = shownHeight;
    return out;
}

} // namespace interchange
