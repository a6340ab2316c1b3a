// The extension block after a document's pictures: every field comes back,
// records of later versions are kept, damage costs only the fields, and a
// document without fields is written exactly as before.

#include <gtest/gtest.h>

#include <sarvik/ZImageTexture.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZFile.h>

#include "TestSupport.h"
#include "document/ExtensionBlock.h"
#include "document/TvxContainer.h"

namespace {

using ByteVector = std::vector<std::uint8_t>;

ByteVector save(const std::vector<TvxPageRef>& pages,
                const std::vector<ZN_UnknownRecord>& extensions = {}) {
    auto file = ZFile::toMemory();
    EXPECT_TRUE(writeTvx(*file, pages, extensions));
    return file->bytes();
}

TvxStatus load(const ByteVector& bytes, TvxDocument& doc) {
    auto file = ZFile::fromMemory(bytes);
    return readTvx(*file, doc);
}

std::vector<TvxPageRef> refsOf(TvxDocument& doc) {
    std::vector<TvxPageRef> refs;
    for (auto& p : doc.pages)
        refs.push_back({p.name, p.customName, p.manager.get()});
    return refs;
}

ZN_ShapeBase* shapeAt(TvxDocument& doc, std::size_t page, std::size_t index) {
    return doc.pages.at(page).manager->getShapeArray().at(index);
}

ZN_NodeFields everyField() {
    ZN_NodeFields f;
    f.note = "第一行\n第二行\n\n" + std::string(70000, 'n'); // longer than any buffer
    f.link = "https://example.org/路径?q=1#frag";
    f.markers = {"priority-2", "task-done", "flag-green", "star", "someone-elses-icon"};
    f.attributes = {{"owner", "李雷"}, {"owner", "Ann"}, {"", ""}, {"cost", "12"}};
    f.anchor = "ID_42";
    f.layout = ZN_Layout::OrgChart;
    return f;
}

// The size of the document without its block: where the pictures end.
std::size_t containerSize(std::vector<TvxPageRef> pages) {
    std::vector<ZN_SharedFields> kept;
    for (auto& page : pages)
        for (ZN_ShapeBase* s : page.manager->getShapeList()) {
            kept.push_back(s->sharedFields());
            s->setFields(ZN_SharedFields{});
        }
    const std::size_t size = save(pages).size();
    std::size_t k = 0;
    for (auto& page : pages)
        for (ZN_ShapeBase* s : page.manager->getShapeList())
            s->setFields(kept[k++]);
    return size;
}

void putU32(ByteVector& b, std::size_t at, std::uint32_t v) {
    for (int k = 0; k < 4; ++k)
        b[at + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(v >> (8 * k));
}

void mendChecksum(ByteVector& block) {
    const std::size_t end = block.size() - 4;
    putU32(block, end, extensionCrc32(block.data(), end));
}

ExtensionContent oneNode(std::uint32_t page, std::uint32_t id, ZN_NodeFields fields) {
    ExtensionContent c;
    c.nodes.push_back({page, id, std::make_shared<const ZN_NodeFields>(std::move(fields))});
    return c;
}

ByteVector bytesOf(const std::string& s) { return ByteVector(s.begin(), s.end()); }

} // namespace

TEST(ExtensionBlock, EveryFieldOfShapesOnSeveralPagesRoundTrips) {
    ZN_ShapeManager a, b;
    addRect(a, 0, 0, 40, 30);
    ZN_NRect* rich = addRect(a, 50, 0, 90, 30);
    addRect(b, 0, 0, 40, 30);
    ZN_NRect* linking = addRect(b, 50, 0, 90, 30);
    rich->setFields(everyField());
    ZN_NodeFields link;
    link.link = "#ID_42";
    linking->setFields(link);
    const auto bytes = save({{"页1", 0, &a}, {"二", 1, &b}});

    TvxDocument doc;
    ASSERT_EQ(load(bytes, doc), TvxStatus::Ok);
    EXPECT_FALSE(doc.extensionsDamaged);
    EXPECT_FALSE(shapeAt(doc, 0, 0)->hasFields());
    EXPECT_EQ(shapeAt(doc, 0, 1)->getFields(), everyField());
    EXPECT_FALSE(shapeAt(doc, 1, 0)->hasFields());
    EXPECT_EQ(shapeAt(doc, 1, 1)->getFields(), link);
    // Written again, the document is the same to the byte.
    EXPECT_EQ(save(refsOf(doc)), bytes);
}

TEST(ExtensionBlock, ShapesAreNamedByTheirPlaceWhateverTheirIdsWere) {
    ZN_ShapeManager page;
    ZN_NRect* first = addRect(page, 0, 0, 10, 10);
    ZN_NRect* second = addRect(page, 20, 0, 30, 10);
    first->setId(77);
    second->setId(3);
    ZN_NodeFields f;
    f.note = "second";
    second->setFields(f);
    TvxDocument doc;
    ASSERT_EQ(load(save({{"页1", 0, &page}}), doc), TvxStatus::Ok);
    EXPECT_FALSE(shapeAt(doc, 0, 0)->hasFields());
    EXPECT_EQ(shapeAt(doc, 0, 1)->getFields().note, "second");
}

TEST(ExtensionBlock, NoFieldsMeansNoBlockAndTheOldBytes) {
    ZN_ShapeManager page;
    ZN_NRect* box = addRect(page, 0, 0, 40, 30);
    box->setImageData(makePicture(9));
    const auto before = save({{"页1", 0, &page}});
    // Fields set and taken away again leave nothing behind.
    ZN_NodeFields f;
    f.note = "x";
    box->setFields(f);
    EXPECT_GT(save({{"页1", 0, &page}}).size(), before.size());
    box->setFields(ZN_NodeFields{});
    EXPECT_EQ(save({{"页1", 0, &page}}), before);
}

TEST(ExtensionBlock, FileCutAfterItsPicturesOpensWithoutTheFields) {
    ZN_ShapeManager page;
    ZN_NRect* box = addRect(page, 0, 0, 40, 30);
    box->setImageData(makePicture(3));
    ZN_NodeFields f;
    f.note = "a note";
    f.markers = {"star"};
    box->setFields(f);
    const std::vector<TvxPageRef> pages = {{"页1", 0, &page}};
    const auto whole = save(pages);
    const std::size_t cut = containerSize(pages);
    ASSERT_LT(cut, whole.size());

    TvxDocument doc;
    ASSERT_EQ(load(ByteVector(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut)),
                   doc),
              TvxStatus::Ok);
    // What an older program sees: the same map, its picture bound, no fields, no message.
    EXPECT_FALSE(doc.extensionsDamaged);
    ASSERT_EQ(doc.pages[0].manager->getShapeList().size(), 1u);
    auto* read = static_cast<ZN_NRect*>(shapeAt(doc, 0, 0));
    EXPECT_FALSE(read->hasFields());
    EXPECT_NE(read->getImageData(), nullptr);
    EXPECT_EQ(read->getPoint2().X(), box->getPoint2().X());
}

TEST(ExtensionBlock, DamageCostsOnlyTheFields) {
    ZN_ShapeManager page;
    addRect(page, 0, 0, 40, 30)->setFields(everyField());
    addRect(page, 50, 0, 90, 30);
    const std::vector<TvxPageRef> pages = {{"页1", 0, &page}};
    const auto whole = save(pages);
    const std::size_t start = containerSize(pages);

    struct Case {
        const char* what;
        ByteVector bytes;
    };
    std::vector<Case> cases;
    for (std::size_t keep : {std::size_t{3}, std::size_t{8}, std::size_t{15}, std::size_t{40},
                             whole.size() - start - 1})
        cases.push_back({"cut short", ByteVector(whole.begin(), whole.begin() +
                                                                    static_cast<std::ptrdiff_t>(start + keep))});
    ByteVector flipped = whole;
    flipped[start + 60] ^= 0x01;
    cases.push_back({"a bit flipped", flipped});
    ByteVector longer = whole;
    putU32(longer, start + 12, 0x7FFFFFF0u);
    cases.push_back({"a length past the end", longer});
    ByteVector zero = whole;
    putU32(zero, start + 8, 0);
    mendChecksum(zero);
    cases.push_back({"version 0", zero});
    // A record that runs past the records, under a right checksum.
    ByteVector framing = whole;
    putU32(framing, start + 20, 0x00FFFFFFu);
    mendChecksum(framing);
    cases.push_back({"a record past the block", framing});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TvxDocument doc;
        ASSERT_EQ(load(c.bytes, doc), TvxStatus::Ok);
        EXPECT_TRUE(doc.extensionsDamaged);
        ASSERT_EQ(doc.pages[0].manager->getShapeList().size(), 2u);
        EXPECT_FALSE(shapeAt(doc, 0, 0)->hasFields());
        EXPECT_EQ(shapeAt(doc, 0, 0)->getPoint2().X(), 40.0f);
        // Saved again, the map is written as it was before it had fields.
        EXPECT_EQ(save(refsOf(doc)).size(), start);
    }
    EXPECT_EQ(tvxExtensionDamagedMessage(), "扩展数据已损坏，备注等未能读取");
}

TEST(ExtensionBlock, BytesThatAreNoBlockAreLeftAloneAsBefore) {
    ZN_ShapeManager page;
    addRect(page, 0, 0, 40, 30);
    auto bytes = save({{"页1", 0, &page}});
    const auto trailing = bytesOf("some other program's tail");
    bytes.insert(bytes.end(), trailing.begin(), trailing.end());
    TvxDocument doc;
    ASSERT_EQ(load(bytes, doc), TvxStatus::Ok);
    EXPECT_FALSE(doc.extensionsDamaged);
    EXPECT_EQ(doc.pages[0].manager->getShapeList().size(), 1u);
}

TEST(ExtensionBlock, UnknownRecordsAreKeptAndWrittenBackUnchanged) {
    ZN_NodeFields f;
    f.note = "known";
    f.unknown = {{0x454D4954u, std::string("\x00\x01\x02", 3)}, {0x5A5A5A5Au, ""}};
    ExtensionContent content = oneNode(0, 1, f);
    content.unknown = {{0x4B4F4F42u, "document-wide"}};
    // A layout of a later version is not taken for one of ours.
    ZN_NodeFields laterLayout;
    laterLayout.unknown = {{0x4F59414Cu /* "LAYO" */, std::string("\x09\x00\x00\x00", 4)}};
    content.nodes.push_back({0, 2, std::make_shared<const ZN_NodeFields>(laterLayout)});

    ZN_ShapeManager page;
    addRect(page, 0, 0, 10, 10);
    addRect(page, 20, 0, 30, 10);
    auto bytes = save({{"页1", 0, &page}});
    const std::string block = encodeExtensionBlock(content);
    bytes.insert(bytes.end(), block.begin(), block.end());

    TvxDocument doc;
    ASSERT_EQ(load(bytes, doc), TvxStatus::Ok);
    EXPECT_EQ(shapeAt(doc, 0, 0)->getFields(), f);
    EXPECT_EQ(shapeAt(doc, 0, 1)->getFields().layout, ZN_Layout::None);
    EXPECT_EQ(shapeAt(doc, 0, 1)->getFields().unknown, laterLayout.unknown);
    EXPECT_EQ(doc.extensions, content.unknown);
    EXPECT_EQ(save(refsOf(doc), doc.extensions), bytes);
}

TEST(ExtensionBlock, NewerBlocksAreReadAsFarAsTheyAreUnderstood) {
    ZN_NodeFields f;
    f.note = "still read";
    f.markers = {"idea"};
    ByteVector block = bytesOf(encodeExtensionBlock(oneNode(0, 1, f)));
    putU32(block, 8, 5);
    mendChecksum(block);
    ExtensionContent read;
    ASSERT_EQ(decodeExtensionBlock(block.data(), block.size(), read), ExtensionStatus::Read);
    ASSERT_EQ(read.nodes.size(), 1u);
    EXPECT_EQ(*read.nodes[0].fields, f);
}

TEST(ExtensionBlock, NamesThatFitNoShapeArePassedOver) {
    ZN_ShapeManager page;
    addRect(page, 0, 0, 10, 10);
    auto bytes = save({{"页1", 0, &page}});
    ZN_NodeFields f;
    f.note = "lost";
    ExtensionContent content = oneNode(0, 0, f);
    content.nodes.push_back({0, 2, std::make_shared<const ZN_NodeFields>(f)});
    content.nodes.push_back({1, 1, std::make_shared<const ZN_NodeFields>(f)});
    f.note = "kept";
    content.nodes.push_back({0, 1, std::make_shared<const ZN_NodeFields>(f)});
    const std::string block = encodeExtensionBlock(content);
    bytes.insert(bytes.end(), block.begin(), block.end());
    TvxDocument doc;
    ASSERT_EQ(load(bytes, doc), TvxStatus::Ok);
    EXPECT_FALSE(doc.extensionsDamaged);
    EXPECT_EQ(shapeAt(doc, 0, 0)->getFields().note, "kept");
}

TEST(ExtensionBlock, LayoutOfTheBlockIsFixed) {
    ZN_NodeFields f;
    f.note = "N";
    f.markers = {"star"};
    const std::string block = encodeExtensionBlock(oneNode(1, 2, f));
    const auto expected = Bytes()
                              .raw("\x89TVX\r\n\x1a\n")
                              .i32(1)  // version
                              .i32(41) // the records
                              .raw("NODE")
                              .i32(33)
                              .i32(1) // page
                              .i32(2) // id
                              .raw("NOTE")
                              .i32(1)
                              .raw("N")
                              .raw("MARK")
                              .i32(8)
                              .i32(4)
                              .raw("star")
                              .data;
    ASSERT_EQ(block.size(), expected.size() + 4);
    EXPECT_EQ(ByteVector(block.begin(), block.end() - 4), expected);
    // The checksum is the zip one: "123456789" gives CBF43926.
    EXPECT_EQ(extensionCrc32("123456789", 9), 0xCBF43926u);
    const ByteVector all = bytesOf(block);
    EXPECT_EQ(extensionCrc32(all.data(), expected.size()),
              static_cast<std::uint32_t>(all[all.size() - 4]) |
                  static_cast<std::uint32_t>(all[all.size() - 3]) << 8 |
                  static_cast<std::uint32_t>(all[all.size() - 2]) << 16 |
                  static_cast<std::uint32_t>(all[all.size() - 1]) << 24);
}
