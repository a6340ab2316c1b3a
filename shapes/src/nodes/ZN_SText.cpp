#include <sarvik/ZN_SText.h>

#include <cstring>

#include <sarvik/platform/ZFile.h>

namespace {
// Longest text a record may claim; anything longer is taken as a damaged file.
constexpr std::int32_t kMaxTextBytes = 16 * 1024 * 1024;
} // namespace

ZN_SText::ZN_SText() {
    logFont.lfHeight = -32;
    logFont.lfWeight = 700;
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

void ZN_SText::change(const ZVector2& delta, int code) {
    if (code != 9)
        return;
    point1 += delta;
    point2 += delta;
}

void ZN_SText::writeFile(ZFile* file, int version) {
    ZN_ShapeBase::writeFile(file, version);
    file->writeFloat(point1.X());
    file->writeFloat(point1.Y());
    file->writeFloat(point2.X());
    file->writeFloat(point2.Y());
    file->writeFloat(fontColor.X());
    file->writeFloat(fontColor.Y());
    file->writeFloat(fontColor.Z());
    file->writeInt32(static_cast<std::int32_t>(text.size()));
    if (!text.empty())
        file->write(text.data(), text.size());
    file->writeValue(logFont);
    file->writeInt32(textAlignType);
}

void ZN_SText::readFile(ZFile* file, int version) {
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
    std::string read;
    if (n > 0) {
        if (n > kMaxTextBytes || static_cast<std::uint64_t>(n) > file->remaining()) {
            file->setFailed();
            return;
        }
        read.resize(static_cast<std::size_t>(n));
        if (!file->read(read.data(), read.size()))
            return;
        read.resize(std::strlen(read.c_str()));
    }
    logFont = file->readValue<LOGFONTA>();
    logFont.lfFaceName[LF_FACESIZE - 1] = '\0';
    if (version > 6)
        textAlignType = file->readInt32();
    setText(read.c_str());
}

ZN_ShapeBase* ZN_SText::clone() const {
    auto* copy = new ZN_SText();
    deepCopy(copy);
    return copy;
}

void ZN_SText::deepCopy(ZN_ShapeBase* target) const {
    ZN_ShapeBase::deepCopy(target);
    auto* t = dynamic_cast<ZN_SText*>(target);
    if (!t || t == this)
        return;
    t->text = text;
    t->logFont = logFont;
    t->point1 = point1;
    t->point2 = point2;
    t->fontColor = fontColor;
    t->textAlignType = textAlignType;
}
