// The document container: exact bytes of a new document, older versions,
// refused files, and pictures shared between rectangles.

#include <gtest/gtest.h>

#include <sarvik/ZImageTexture.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZFile.h>

#include "TestSupport.h"
#include "document/TvxContainer.h"

namespace {

std::vector<std::uint8_t> save(const std::vector<TvxPageRef>& pages) {
    auto file = ZFile::toMemory();
    EXPECT_TRUE(writeTvx(*file, pages));
    return file->bytes();
}

TvxStatus load(const std::vector<std::uint8_t>& bytes, TvxDocument& doc) {
    auto file = ZFile::fromMemory(bytes);
    return readTvx(*file, doc);
}

std::vector<TvxPageRef> refsOf(TvxDocument& doc) {
    std::vector<TvxPageRef> refs;
    for (auto& p : doc.pages)
        refs.push_back({p.name, p.customName, p.manager.get()});
    return refs;
}

} // namespace

TEST(Container, NewDocumentBytes) {
    ZN_ShapeManager page;
    const auto bytes = save({{"页1", 0, &page}});
    const auto expected = Bytes()
                              .i32(8)
                              .raw("tvx")
                              .i32(1)
                              .i32(0)
                              .i32(3)
                              .raw("\xD2\xB3\x31")
                              .i32(0) // page record: no shapes
                              .i32(0) // no pictures
                              .data;
    EXPECT_EQ(bytes, expected);
}

TEST(Container, Version3IsOnePageAndSavesAsVersion8) {
    ZN_ShapeManager source;
    addRect(source, 10, 10, 50, 40);
    auto record = ZFile::toMemory();
    ASSERT_TRUE(source.writeFile(record.get(), 3));
    auto bytes = Bytes().i32(3).data;
    bytes.insert(bytes.end(), record->bytes().begin(), record->bytes().end());

    TvxDocument doc;
    ASSERT_EQ(load(bytes, doc), TvxStatus::Ok);
    ASSERT_EQ(doc.pages.size(), 1u);
    EXPECT_EQ(doc.pages[0].name, "页1");
    EXPECT_EQ(doc.pages[0].manager->getShapeList().size(), 1u);

    const auto again = save(refsOf(doc));
    ASSERT_GE(again.size(), 18u);
    EXPECT_EQ(std::vector<std::uint8_t>(again.begin(), again.begin() + 7),
              Bytes().i32(8).raw("tvx").data);
    EXPECT_EQ(std::vector<std::uint8_t>(again.begin() + 7, again.begin() + 11), Bytes().i32(1).data);
}

TEST(Container, Version4HasNoPictureBlock) {
    const auto bytes =
        Bytes().i32(4).raw("tvx").i32(1).i32(1).i32(2).raw("ab").i32(0).data; // ends after the page
    TvxDocument doc;
    ASSERT_EQ(load(bytes, doc), TvxStatus::Ok);
    ASSERT_EQ(doc.pages.size(), 1u);
    EXPECT_EQ(doc.pages[0].name, "ab");
    EXPECT_EQ(doc.pages[0].customName, 1);
    EXPECT_TRUE(doc.images.empty());
}

TEST(Container, ThreePagesKeepNamesFlagsAndShapes) {
    ZN_ShapeManager a, b, c;
    addRect(b, 0, 0, 10, 10);
    addRect(c, 0, 0, 10, 10);
    addRect(c, 20, 20, 30, 30);
    const auto bytes = save({{"页1", 0, &a}, {"计划", 1, &b}, {"页2", 0, &c}});
    TvxDocument doc;
    ASSERT_EQ(load(bytes, doc), TvxStatus::Ok);
    ASSERT_EQ(doc.pages.size(), 3u);
    EXPECT_EQ(doc.pages[1].name, "计划");
    EXPECT_EQ(doc.pages[1].customName, 1);
    EXPECT_EQ(doc.pages[2].name, "页2");
    EXPECT_EQ(doc.pages[0].manager->getShapeList().size(), 0u);
    EXPECT_EQ(doc.pages[2].manager->getShapeList().size(), 2u);
    // Reading and writing again gives the same bytes.
    EXPECT_EQ(save(refsOf(doc)), bytes);
}

TEST(Container, LongPageNamesRoundTrip) {
    ZN_ShapeManager page;
    const std::string name(5000, 'x');
    const auto bytes = save({{name, 1, &page}});
    TvxDocument doc;
    ASSERT_EQ(load(bytes, doc), TvxStatus::Ok);
    EXPECT_EQ(doc.pages[0].name, name);
}

TEST(Container, RefusedFilesLeaveNothing) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        TvxStatus status;
    };
    const Case cases[] = {
        {"wrong magic", Bytes().i32(8).raw("tvy").i32(1).data, TvxStatus::BadMagic},
        {"text file", Bytes().raw("hello world, not a map").data, TvxStatus::BadMagic},
        {"too new", Bytes().i32(9).raw("tvx").i32(1).data, TvxStatus::TooNew},
        {"empty", {}, TvxStatus::Corrupt},
        {"negative version", Bytes().i32(-1).i32(0).data, TvxStatus::Corrupt},
        {"absurd page count", Bytes().i32(8).raw("tvx").i32(0x7FFFFFFF).data, TvxStatus::Corrupt},
        {"negative page count", Bytes().i32(8).raw("tvx").i32(-3).data, TvxStatus::Corrupt},
        {"name longer than the file",
         Bytes().i32(8).raw("tvx").i32(1).i32(0).i32(1000000).raw("abc").data, TvxStatus::Corrupt},
        {"absurd picture count",
         Bytes().i32(8).raw("tvx").i32(1).i32(0).i32(0).i32(0).i32(1000000).data,
         TvxStatus::Corrupt},
        {"unknown shape type", Bytes().i32(8).raw("tvx").i32(1).i32(0).i32(0).i32(1).i32(99).data,
         TvxStatus::Corrupt},
    };
    for (const Case& c : cases) {
        TvxDocument doc;
        doc.pages.emplace_back(); // whatever was there before must go
        EXPECT_EQ(load(c.bytes, doc), c.status) << c.what;
        EXPECT_TRUE(doc.pages.empty()) << c.what;
        EXPECT_TRUE(doc.images.empty()) << c.what;
    }
}

// The format reads a page-name length of 0 or less as an empty name, and the
// bytes after it as the page record.
TEST(Container, NegativeNameLengthReadsAsAnEmptyName) {
    for (int length : {0, -5, -2147483647 - 1}) {
        const auto bytes = Bytes().i32(8).raw("tvx").i32(1).i32(1).i32(length).i32(0).i32(0).data;
        TvxDocument doc;
        ASSERT_EQ(load(bytes, doc), TvxStatus::Ok) << length;
        ASSERT_EQ(doc.pages.size(), 1u);
        EXPECT_EQ(doc.pages[0].name, "");
        EXPECT_EQ(doc.pages[0].customName, 1);
        EXPECT_TRUE(doc.pages[0].manager->getShapeList().empty());
    }
}

TEST(Container, EveryTruncationIsRefused) {
    ZN_ShapeManager a, b;
    addRect(a, 10, 10, 60, 40)->setImageData(makePicture(7));
    addRect(b, 5, 5, 8, 8);
    const auto bytes = save({{"页1", 0, &a}, {"页2", 0, &b}});
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        const std::vector<std::uint8_t> part(bytes.begin(), bytes.begin() + cut);
        TvxDocument doc;
        const TvxStatus status = load(part, doc);
        EXPECT_NE(status, TvxStatus::Ok) << "cut at " << cut;
        EXPECT_TRUE(doc.pages.empty()) << "cut at " << cut;
    }
    delete static_cast<ZN_NRect*>(a.getShapeList().front())->getImageData();
}

TEST(Container, SharedPictureIsSavedOnceAndReboundToBoth) {
    ZN_ShapeManager page, other;
    ZImageTexture* picture = makePicture(200);
    ZImageTexture* second = makePicture(50);
    ZN_NRect* r1 = addRect(page, 0, 0, 10, 10);
    ZN_NRect* r2 = addRect(page, 20, 0, 30, 10);
    ZN_NRect* plain = addRect(other, 0, 0, 5, 5);
    ZN_NRect* r3 = addRect(other, 40, 0, 50, 10);
    r1->setImageData(picture);
    r2->setImageData(picture);
    r3->setImageData(second);
    plain->setImageId(42); // a stale number must not survive a save

    const auto bytes = save({{"页1", 0, &page}, {"页2", 0, &other}});
    EXPECT_EQ(r1->getImageId(), 1);
    EXPECT_EQ(r2->getImageId(), 1);
    EXPECT_EQ(plain->getImageId(), 0);
    EXPECT_EQ(r3->getImageId(), 2);

    TvxDocument doc;
    ASSERT_EQ(load(bytes, doc), TvxStatus::Ok);
    ASSERT_EQ(doc.images.size(), 2u);
    auto it = doc.pages[0].manager->getShapeList().begin();
    auto* l1 = static_cast<ZN_NRect*>(*it++);
    auto* l2 = static_cast<ZN_NRect*>(*it);
    EXPECT_EQ(l1->getImageData(), doc.images[0].get());
    EXPECT_EQ(l2->getImageData(), doc.images[0].get());
    EXPECT_EQ(doc.images[0]->getImageData()->getData()[0], 200);
    auto* l4 = static_cast<ZN_NRect*>(doc.pages[1].manager->getShapeList().back());
    EXPECT_EQ(l4->getImageData(), doc.images[1].get());
    EXPECT_EQ(static_cast<ZN_NRect*>(doc.pages[1].manager->getShapeList().front())->getImageData(),
              nullptr);
    delete picture;
    delete second;
}

TEST(Container, TwoFilesWithPictureOneKeepTheirOwnPictures) {
    ZN_ShapeManager a, b;
    ZImageTexture* pa = makePicture(10);
    ZImageTexture* pb = makePicture(90);
    addRect(a, 0, 0, 10, 10)->setImageData(pa);
    addRect(b, 0, 0, 10, 10)->setImageData(pb);
    const auto bytesA = save({{"页1", 0, &a}});
    const auto bytesB = save({{"页1", 0, &b}});
    TvxDocument docA, docB;
    ASSERT_EQ(load(bytesA, docA), TvxStatus::Ok);
    ASSERT_EQ(load(bytesB, docB), TvxStatus::Ok);
    auto* ra = static_cast<ZN_NRect*>(docA.pages[0].manager->getShapeList().front());
    auto* rb = static_cast<ZN_NRect*>(docB.pages[0].manager->getShapeList().front());
    ASSERT_NE(ra->getImageData(), nullptr);
    ASSERT_NE(rb->getImageData(), nullptr);
    EXPECT_EQ(ra->getImageData()->getImageData()->getData()[0], 10);
    EXPECT_EQ(rb->getImageData()->getImageData()->getData()[0], 90);
    delete pa;
    delete pb;
}

TEST(Container, FailedWriteLeavesTheOldFile) {
    const std::string dir = tempDir();
    const std::string path = dir + "/keep.tvx";
    writeBytes(path, {1, 2, 3});
    ZN_ShapeManager page;
    std::string reason;
    EXPECT_FALSE(writeTvxFile(dir + "/missing/folder/x.tvx", {{"页1", 0, &page}}, &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_TRUE(writeTvxFile(path, {{"页1", 0, &page}}, &reason));
    EXPECT_EQ(readBytes(path).size(), 30u);
}
