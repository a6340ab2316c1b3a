#include "document/TvxContainer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unordered_map>
#include <utility>

#include <sarvik/ZImageTexture.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZCodePage.h>
#include <sarvik/platform/ZFile.h>

#include "document/ExtensionBlock.h"

TvxPage::TvxPage() = default;
TvxPage::TvxPage(TvxPage&&) noexcept = default;
TvxPage& TvxPage::operator=(TvxPage&&) noexcept = default;
TvxPage::~TvxPage() = default;

TvxDocument::TvxDocument() = default;
TvxDocument::TvxDocument(TvxDocument&&) noexcept = default;
TvxDocument& TvxDocument::operator=(TvxDocument&&) noexcept = default;
TvxDocument::~TvxDocument() = default;

namespace {

constexpr char kMagic[3] = {'t', 'v', 'x'};
// A page table entry is at least its flag and its name length.
constexpr std::uint64_t kMinPageEntry = 8;
// A page record is at least its shape count.
constexpr std::uint64_t kMinPageRecord = 4;
// A picture record is at least its five integers.
constexpr std::uint64_t kMinImageRecord = 20;

ZN_NRect* asPlainRect(ZN_ShapeBase* shape) {
    if (shape->type() != 7)
        return nullptr;
    return dynamic_cast<ZN_NRect*>(shape);
}

TvxStatus corrupt(TvxDocument& out) {
    out = TvxDocument{};
    return TvxStatus::Corrupt;
}

// Joins rectangles to the pictures of their own file by number; a number with
// no picture leaves the rectangle without one.
void bindImages(TvxDocument& doc) {
    std::unordered_map<int, ZImageTexture*> byId;
    for (const auto& image : doc.images)
        byId.emplace(image->getId(), image.get()); // emplace keeps the first of equal ids
    for (auto& page : doc.pages) {
        for (ZN_ShapeBase* shape : page.manager->getShapeList()) {
            ZN_NRect* rect = asPlainRect(shape);
            if (!rect || rect->getImageId() <= 0)
                continue;
            const auto it = byId.find(rect->getImageId());
            rect->setImageData(it == byId.end() ? nullptr : it->second);
        }
    }
}

// Gives the shapes the fields the block names them with; a name that fits no
// shape (a page or id the file does not have) is passed over.
void applyExtensions(ExtensionContent& content, TvxDocument& doc) {
    for (ExtensionNode& node : content.nodes) {
        if (node.page >= doc.pages.size())
            continue;
        const std::vector<ZN_ShapeBase*>& shapes = doc.pages[node.page].manager->getShapeArray();
        if (node.id < 1 || node.id > shapes.size())
            continue;
        shapes[node.id - 1]->setFields(std::move(node.fields));
    }
    doc.extensions = std::move(content.unknown);
}

// The shapes with fields, named by page and by the id that writing the page
// gives them (its place in the list, from 1).
std::vector<ExtensionNodeRef> shapesWithFields(const std::vector<TvxPageRef>& pages) {
    std::vector<ExtensionNodeRef> nodes;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const std::vector<ZN_ShapeBase*>& shapes = pages[p].manager->getShapeArray();
        for (std::size_t i = 0; i < shapes.size(); ++i) {
            if (i + 12 < shapes.size())
                __builtin_prefetch(shapes[i + 12]);
            if (shapes[i]->hasFields())
                nodes.push_back({static_cast<std::uint32_t>(p), static_cast<std::uint32_t>(i + 1),
                                 shapes[i]->sharedFields().get()});
        }
    }
    return nodes;
}

} // namespace

std::string tvxExtensionDamagedMessage() { return "扩展数据已损坏，备注等未能读取"; }

std::string tvxStatusMessage(TvxStatus status) {
    switch (status) {
    case TvxStatus::Ok:
        return {};
    case TvxStatus::BadMagic:
        return "必需是tvx文件";
    case TvxStatus::TooNew:
        return "你的版本太低，请用更高的版本打开";
    case TvxStatus::CannotOpen:
        return "无法打开文件";
    case TvxStatus::Corrupt:
        break;
    }
    return "文件已损坏，无法打开";
}

TvxStatus readTvx(ZFile& file, TvxDocument& out, TvxPictures pictures) {
    out = TvxDocument{};
    TvxDocument doc;
    doc.version = file.readInt32();
    if (file.failed())
        return corrupt(out);
    if (doc.version > 3) {
        char magic[3] = {};
        file.read(magic, sizeof magic);
        if (file.failed())
            return corrupt(out);
        if (std::memcmp(magic, kMagic, sizeof magic) != 0)
            return TvxStatus::BadMagic;
    }
    if (doc.version > kTvxVersion)
        return TvxStatus::TooNew;
    // Versions count up from zero; a negative one is damage, not an old file.
    if (doc.version < 0)
        return corrupt(out);

    if (doc.version > 3) {
        const std::int32_t count = file.readInt32();
        if (file.failed() || count < 0 ||
            static_cast<std::uint64_t>(count) > file.remaining() / kMinPageEntry)
            return corrupt(out);
        for (std::int32_t i = 0; i < count; ++i) {
            TvxPage page;
            page.customName = file.readInt32();
            // A length of 0 or less stands for an empty name.
            const std::int32_t length = std::max<std::int32_t>(file.readInt32(), 0);
            if (file.failed() || static_cast<std::uint64_t>(length) > file.remaining())
                return corrupt(out);
            // Names of any length get a buffer of their own size.
            std::string bytes(static_cast<std::size_t>(length), '\0');
            if (length > 0 && !file.read(bytes.data(), bytes.size()))
                return corrupt(out);
            page.name = ZCp936ToUtf8(bytes);
            doc.pages.push_back(std::move(page));
        }
        if (doc.pages.size() * kMinPageRecord > file.remaining())
            return corrupt(out);
    }
    const bool pagesInFile = doc.version <= 3 || !doc.pages.empty();
    // Old files hold one page, and a table of none still leaves the document a
    // page to show; both get the name a new document's first page has.
    if (doc.pages.empty()) {
        TvxPage page;
        page.name = "页1";
        doc.pages.push_back(std::move(page));
    }
    for (auto& page : doc.pages) {
        page.manager = std::make_unique<ZN_ShapeManager>();
        if (!pagesInFile)
            continue;
        if (!page.manager->readFile(&file, doc.version) || file.failed())
            return corrupt(out);
    }

    if (doc.version > 4) {
        const std::int32_t count = file.readInt32();
        if (file.failed() || count < 0 ||
            static_cast<std::uint64_t>(count) > file.remaining() / kMinImageRecord)
            return corrupt(out);
        for (std::int32_t i = 0; i < count; ++i) {
            auto texture = std::make_unique<ZImageTexture>();
            texture->setImageData(new ZImageData);
            texture->readFile(&file, doc.version, pictures == TvxPictures::Pixels);
            if (file.failed())
                return corrupt(out);
            doc.images.push_back(std::move(texture));
        }
    }
    bindImages(doc);
    // Whatever happens to the block, the map itself has been read whole.
    ExtensionContent content;
    const ExtensionStatus extension = readExtensionBlock(file, content);
    if (extension == ExtensionStatus::Read)
        applyExtensions(content, doc);
    doc.extensionsDamaged = extension == ExtensionStatus::Damaged;
    out = std::move(doc);
    return TvxStatus::Ok;
}

TvxStatus readTvxFile(const std::string& path, TvxDocument& out, TvxPictures pictures) {
    out = TvxDocument{};
    auto file = ZFile::openRead(path);
    if (!file)
        return TvxStatus::CannotOpen;
    return readTvx(*file, out, pictures);
}

std::vector<ZImageTexture*> numberImages(const std::vector<TvxPageRef>& pages) {
    std::vector<ZImageTexture*> images;
    std::unordered_map<ZImageTexture*, int> numbers;
    for (const auto& page : pages) {
        // A read-only walk: saving and autosaving leave the page's indexes
        // alone. The shapes are fetched a few ahead, as a large page is
        // mostly waited for.
        const std::vector<ZN_ShapeBase*>& shapes = page.manager->getShapeArray();
        for (std::size_t i = 0; i < shapes.size(); ++i) {
            if (i + 12 < shapes.size())
                __builtin_prefetch(shapes[i + 12]);
            ZN_NRect* rect = asPlainRect(shapes[i]);
            if (!rect)
                continue;
            ZImageTexture* image = rect->getImageData();
            if (!image) {
                rect->setImageId(0);
                continue;
            }
            auto [it, added] = numbers.emplace(image, static_cast<int>(images.size()) + 1);
            if (added) {
                image->setId(it->second);
                images.push_back(image);
            }
            rect->setImageId(it->second);
        }
    }
    return images;
}

bool writeTvx(ZFile& file, const std::vector<TvxPageRef>& pages,
              const std::vector<ZN_UnknownRecord>& extensions) {
    file.writeInt32(kTvxVersion);
    file.write(kMagic, sizeof kMagic);
    file.writeInt32(static_cast<std::int32_t>(pages.size()));
    for (const auto& page : pages) {
        const std::string bytes = ZUtf8ToCp936(page.name);
        file.writeInt32(page.customName);
        file.writeInt32(static_cast<std::int32_t>(bytes.size()));
        file.write(bytes.data(), bytes.size());
    }
    const std::vector<ZImageTexture*> images = numberImages(pages);
    for (const auto& page : pages)
        page.manager->writeFile(&file, kTvxVersion);
    file.writeInt32(static_cast<std::int32_t>(images.size()));
    for (ZImageTexture* image : images)
        image->writeFile(&file, kTvxVersion);
    const std::vector<ExtensionNodeRef> nodes = shapesWithFields(pages);
    if (!nodes.empty() || !extensions.empty()) {
        const std::string block = encodeExtensionBlock(nodes, extensions);
        file.write(block.data(), block.size());
    }
    return !file.failed();
}

bool writeTvxFile(const std::string& path, const std::vector<TvxPageRef>& pages,
                  std::string* reason, const std::vector<ZN_UnknownRecord>& extensions) {
    std::string cause;
    auto file = ZFile::openWrite(path, &cause);
    if (!file) {
        if (reason)
            *reason = "无法创建文件 " + path + "：" + cause;
        return false;
    }
    if (!writeTvx(*file, pages, extensions) || !file->commit()) {
        if (reason)
            *reason = "无法写入文件 " + path + "：" + file->errorText();
        return false;
    }
    return true;
}
