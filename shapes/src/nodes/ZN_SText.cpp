#include <sarvik/ZN_SText.h>
#include <sarvik/ZTextPictures.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include <sarvik/platform/ZCodePage.h>
#include <sarvik/platform/ZFile.h>
#include <sarvik/platform/ZTextRaster.h>

#include "ZoomedFont.h"

namespace {

// Longest text a record may hold; the writer shortens longer texts so that
// everything it writes reads back, and the reader takes longer counts as a
// damaged file.
constexpr std::size_t kMaxTextBytes = 16 * 1024 * 1024;

// Truncation toward zero that stays defined for NaN and for values no int
// holds, which damaged records can put into a rectangle: those give 0, an
// empty picture.
int truncateToInt(float v) {
    if (!(v > -2147483648.0f && v < 2147483648.0f))
        return 0;
    return static_cast<int>(v);
}

// The text as written to disk, cut at a character boundary if it would exceed
// what a reader accepts.
std::string diskBytes(std::string_view utf8) {
    std::string bytes = ZUtf8ToCp936(utf8);
    std::string_view source = utf8;
    while (bytes.size() > kMaxTextBytes) {
        std::size_t keep = source.size() * kMaxTextBytes / bytes.size();
        while (keep > 0 && (static_cast<unsigned char>(source[keep]) & 0xC0) == 0x80)
            --keep; // do not split a UTF-8 sequence
        source = source.substr(0, keep);
        bytes = ZUtf8ToCp936(source);
    }
    return bytes;
}

} // namespace

// ---- ZGLFont ----

void ZGLFont::updateBmpData(const char* s, const LOGFONTA& font) {
    const int requestedWidth = width;
    const int requestedHeight = height;
    bits = ZRasterText(font, s ? s : "", requestedWidth, requestedHeight,
                       ZTextAlignFromCode(alignType));
    if (!bits) {
        width = 0;
        height = 0;
        drawnWidth = drawnHeight = 0;
        return;
    }
    width = bits->width;
    height = bits->height;
    drawnWidth = requestedWidth;
    drawnHeight = requestedHeight;
}

// ---- ZN_SText ----

ZN_SText::ZN_SText() {
    logFont.lfHeight = -32;
    logFont.lfWidth = 0;
    logFont.lfEscapement = 0;
    logFont.lfOrientation = 0;
    logFont.lfWeight = 700;
    logFont.lfItalic = 0;
    logFont.lfUnderline = 0;
    logFont.lfStrikeOut = 0;
    logFont.lfCharSet = 0;
    logFont.lfOutPrecision = 3;
    logFont.lfClipPrecision = 2;
    logFont.lfQuality = 1;
    logFont.lfPitchAndFamily = 0x12;
    std::strncpy(logFont.lfFaceName, "Times New Roman", LF_FACESIZE - 1);
}

ZN_SText::~ZN_SText() {
    if (host && host->getLabel() == this)
        host->setLabel(nullptr);
}

void ZN_SText::setText(const char* s) {
    touchGeometry();
    std::string copy = s ? s : ""; // s may point into text itself
    text = std::move(copy);
    glFont.setSize(truncateToInt(point2.X() - point1.X()), truncateToInt(point2.Y() - point1.Y()));
    glFont.setAlignType(textAlignType);
    pictureChanged();
}

void ZN_SText::setFont(const LOGFONTA& font) {
    touchGeometry();
    logFont = font;
    const ZTextSize size = ZMeasureText(logFont, text);
    point2 = point1 + ZVector2(static_cast<float>(size.width), static_cast<float>(size.height));
    glFont.setSize(size.width, size.height);
    pictureChanged();
}

void ZN_SText::pictureChanged() {
    glFont.dropPicture();
    pictureDue = true;
    zoomed = {};
}

void ZN_SText::makePicture() const {
    pictureDue = false;
    glFont.updateBmpData(text.c_str(), logFont);
}

float ZN_SText::glyphHeight() const {
    return static_cast<float>(ZFontRequestFrom(logFont).pixelHeight);
}

LOGFONTA detail::zoomedFont(const ZN_SText& label, float zoom) {
    const LOGFONTA base = label.getFont();
    LOGFONTA font = base;
    if (base.lfWidth != 0)
        font.lfWidth = static_cast<std::int32_t>(
            std::max(1L, std::lround(static_cast<float>(base.lfWidth) * zoom)));
    auto sized = [&](std::int32_t pixels) {
        font.lfHeight = base.lfHeight > 0 ? pixels : -pixels;
        return font;
    };
    const float glyphs = static_cast<float>(ZFontRequestFrom(base).pixelHeight) * zoom;
    auto pixels = static_cast<std::int32_t>(std::lround(std::max(1.0f, glyphs)));
    const std::string_view text = label.getText();
    if (zoom >= 1.0f || text.empty() || text.size() > kFittedTextBytes)
        return sized(pixels);
    const int w = truncateToInt((label.getPoint2().X() - label.getPoint1().X()) * zoom);
    for (int step = 0; step < 2 && pixels > static_cast<std::int32_t>(ZN_SText::kSmallestReadable);
         ++step) {
        if (ZMeasureText(sized(pixels), text).width <= w)
            break;
        --pixels;
    }
    return sized(pixels);
}

std::shared_ptr<const ZTextBitmap> ZN_SText::pictureAt(float zoom) const {
    if (zoom == 1.0f)
        return getGLFont().getBitmap();
    // Scaled sizes that no int holds give 0, which makes no picture.
    const int w = truncateToInt((point2.X() - point1.X()) * zoom);
    const int h = truncateToInt((point2.Y() - point1.Y()) * zoom);
    if (zoomed.zoom == zoom && zoomed.width == w && zoomed.height == h)
        return zoomed.bits;
    // The glyphs are drawn afresh at the zoomed size: a one-bit picture
    // scaled up or down would turn blocky or lose its strokes.
    const LOGFONTA font = detail::zoomedFont(*this, zoom);
    // What still reaches past the scaled rectangle (side bearings, a line
    // hinted wider than its box) stays in the picture rather than losing
    // the first and last glyphs; the bound (half the width and an em each
    // side) keeps a text much wider than its rectangle from making a huge
    // picture.
    const std::int64_t em = std::abs(static_cast<std::int64_t>(font.lfHeight));
    const int overhang = static_cast<int>(
        std::min<std::int64_t>(static_cast<std::int64_t>(w) / 2 + em, std::numeric_limits<int>::max()));
    std::shared_ptr<const ZTextBitmap> bits =
        ZRasterText(font, text, w, h, ZTextAlignFromCode(textAlignType), overhang);
    // A passing picture leaves the one kept for the window's zoom.
    if (ZKeepsTextPictures()) {
        zoomed.zoom = zoom;
        zoomed.width = w;
        zoomed.height = h;
        zoomed.bits = bits;
    }
    return bits;
}

namespace {
bool keepTextPictures = true;
} // namespace

ZLeaveTextPictures::ZLeaveTextPictures() : before_(keepTextPictures) {
    keepTextPictures = false;
}

ZLeaveTextPictures::~ZLeaveTextPictures() {
    keepTextPictures = before_;
}

bool ZKeepsTextPictures() {
    return keepTextPictures;
}

void ZN_SText::setTextAlignType(int type) {
    textAlignType = type;
    const ZN_ShapeString current = text;
    setText(current.c_str());
}

void ZN_SText::change(const ZVector2& delta, int) {
    touchGeometry();
    point1 += delta;
    point2 += delta;
}

int ZN_SText::InPoint(const ZVector2& pos, ZObj2DInPoint*, float) const {
    const ZVector2 offset = getScallPosition();
    const ZVector2 a = point1 - offset;
    const ZVector2 b = point2 - offset;
    const bool inside = std::min(a.X(), b.X()) < pos.X() && pos.X() < std::max(a.X(), b.X()) &&
                        std::min(a.Y(), b.Y()) < pos.Y() && pos.Y() < std::max(a.Y(), b.Y());
    return inside ? 9 : 0;
}

bool ZN_SText::IntersectRect(const ZVector2& min, const ZVector2& max) const {
    const ZVector2 offset = getScallPosition();
    auto strictlyInside = [&](const ZVector2& p) {
        return min.X() < p.X() && p.X() < max.X() && min.Y() < p.Y() && p.Y() < max.Y();
    };
    return strictlyInside(point1 - offset) && strictlyInside(point2 - offset);
}

void ZN_SText::loadCursor(ZCursor, int) {
    ZSetCursor(ZCursor::SizeAll);
}

void ZN_SText::writeFile(ZFile* file, int) {
    // A text never carries a label of its own.
    file->writeInt32(0);
    file->writeFloat(point1.X());
    file->writeFloat(point1.Y());
    file->writeFloat(point2.X());
    file->writeFloat(point2.Y());
    file->writeFloat(fontColor.X());
    file->writeFloat(fontColor.Y());
    file->writeFloat(fontColor.Z());
    const std::string bytes = diskBytes(text);
    file->writeInt32(static_cast<std::int32_t>(bytes.size()));
    if (!bytes.empty())
        file->write(bytes.data(), bytes.size());
    file->writeValue(logFont);
    file->writeInt32(textAlignType);
}

void ZN_SText::readFile(ZFile* file, int version) {
    touchGeometry();
    ZN_ShapeBase::readFile(file, version);
    if (file->failed())
        return;
    point1.X() = file->readFloat();
    point1.Y() = file->readFloat();
    point2.X() = file->readFloat();
    point2.Y() = file->readFloat();
    fontColor.X() = file->readFloat();
    fontColor.Y() = file->readFloat();
    fontColor.Z() = file->readFloat();
    const std::int32_t n = file->readInt32();
    if (file->failed())
        return;
    std::string bytes;
    if (n > 0) {
        // Bounded by the record limit and by what the file still holds, before
        // anything is allocated.
        if (static_cast<std::size_t>(n) > kMaxTextBytes ||
            static_cast<std::uint64_t>(n) > file->remaining()) {
            file->setFailed();
            return;
        }
        bytes.resize(static_cast<std::size_t>(n));
        if (!file->read(bytes.data(), bytes.size()))
            return;
        bytes.resize(std::strlen(bytes.c_str())); // the text ends at its first NUL
    }
    logFont = file->readValue<LOGFONTA>();
    // Names are NUL-terminated in valid records; keep a damaged one from
    // running past the field.
    logFont.lfFaceName[LF_FACESIZE - 1] = '\0';
    if (version > 6)
        textAlignType = file->readInt32();
    if (file->failed())
        return;
    const std::string decoded = ZCp936ToUtf8(bytes);
    setText(decoded.c_str());
}

ZN_ShapeBase* ZN_SText::clone() const {
    auto* copy = new ZN_SText();
    copyTextTo(*copy);
    return copy;
}

void ZN_SText::deepCopy(ZN_ShapeBase* target) const {
    auto* t = dynamic_cast<ZN_SText*>(target);
    if (!t || t == this) {
        ZN_ShapeBase::deepCopy(target);
        return;
    }
    copyTextTo(*t);
}

void ZN_SText::copyTextTo(ZN_SText& target) const {
    ZN_ShapeBase::deepCopy(&target);
    ZN_SText* t = &target;
    t->point1 = point1;
    t->point2 = point2;
    t->fontColor = fontColor;
    t->textAlignType = textAlignType;
    t->logFont = logFont;
    // Same text, font, alignment and size give the same picture: share it
    // rather than rasterise again, or leave it to be made on first use, as
    // this text does.
    const int w = truncateToInt(point2.X() - point1.X());
    const int h = truncateToInt(point2.Y() - point1.Y());
    const bool sized = pictureDue ? glFont.getWidth() == w && glFont.getHeight() == h
                                  : glFont.drawnAt(w, h);
    if (sized && glFont.getAlignType() == textAlignType) {
        t->text = text;
        t->glFont = glFont;
        t->pictureDue = pictureDue;
        t->zoomed = zoomed;
        return;
    }
    t->setText(text.c_str());
}
