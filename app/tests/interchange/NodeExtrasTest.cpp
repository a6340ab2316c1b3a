// What a node holds beyond its title, from a sheet onto a page and back:
// fields with the anchors links need, and pictures in PNG or JPEG.

#include <QBuffer>
#include <QImage>

#include <sarvik/ZImageTexture.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>

#include <gtest/gtest.h>

#include "interchange/MapPage.h"
#include "interchange/MapPictures.h"

using namespace interchange;

namespace {

std::string imageFile(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format));
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QImage twoColours(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(QColor(200, 30, 40));
    for (int x = 0; x < w; ++x)
        image.setPixelColor(x, 0, QColor(10, 20, 250)); // the top row blue
    image.setPixelColor(w - 1, h - 1, QColor(0, 0, 0, 0)); // one pixel transparent
    return image;
}

const ZN_NRect* boxOf(const ZN_ShapeManager& page, const std::string& text) {
    for (const ZN_ShapeBase* s : page.getShapeList())
        if (s->type() == 7 && s->getLabel() && text == s->getLabel()->getText())
            return static_cast<const ZN_NRect*>(s);
    return nullptr;
}

MapSheet richSheet() {
    MapSheet sheet;
    const int root = sheet.add(-1, "root");
    MapNode& r = sheet.nodes[static_cast<std::size_t>(root)];
    r.id = "ID_root";
    r.fields.note = "line one\nline two";
    r.fields.markers = {"priority-1", "someone-elses-icon"};
    r.fields.attributes = {{"owner", "Ann"}};
    r.image.bytes = imageFile(twoColours(8, 6), "PNG");
    const int a = sheet.add(root, "a");
    sheet.nodes[static_cast<std::size_t>(a)].id = "ID_a";
    sheet.nodes[static_cast<std::size_t>(a)].fields.link = "#ID_root";
    const int b = sheet.add(root, "b");
    sheet.nodes[static_cast<std::size_t>(b)].id = "ID_b"; // named by no link
    sheet.nodes[static_cast<std::size_t>(b)].fields.link = "https://example.org/b";
    sheet.nodes[static_cast<std::size_t>(b)].image.bytes = imageFile(twoColours(40, 20), "JPEG");
    sheet.nodes[static_cast<std::size_t>(b)].image.width = 80;
    sheet.nodes[static_cast<std::size_t>(b)].image.height = 40;
    const int c = sheet.add(root, "c");
    sheet.nodes[static_cast<std::size_t>(c)].image.bytes = "not a picture at all";
    return sheet;
}

} // namespace

TEST(NodeExtras, BoxesCarryTheFieldsAndLinkedNodesTheirAnchor) {
    std::vector<std::unique_ptr<ZImageTexture>> pictures;
    const MapSheet sheet = richSheet();
    std::unique_ptr<ZN_ShapeManager> page = buildPage(sheet, &pictures);
    const ZN_NRect* root = boxOf(*page, "root");
    const ZN_NRect* a = boxOf(*page, "a");
    const ZN_NRect* b = boxOf(*page, "b");
    ASSERT_TRUE(root && a && b);
    ZN_NodeFields expected = sheet.nodes[0].fields;
    expected.anchor = "ID_root";
    expected.layout = ZN_Layout::LogicRight; // a root of three children, no sides given
    EXPECT_EQ(root->getFields(), expected);
    EXPECT_EQ(a->getFields().link, "#ID_root");
    EXPECT_TRUE(a->getFields().anchor.empty());
    EXPECT_TRUE(b->getFields().anchor.empty());
    EXPECT_EQ(b->getFields().link, "https://example.org/b");
    // The markers stand inside the box, before the label.
    const float labelLeft = root->getLabel()->getPoint1().X();
    EXPECT_GE(labelLeft - root->getPoint1().X(), 2 * 14.0f);
}

TEST(NodeExtras, PicturesAreDecodedIntoTheBoxesAndSizeThem) {
    std::vector<std::unique_ptr<ZImageTexture>> pictures;
    std::unique_ptr<ZN_ShapeManager> page = buildPage(richSheet(), &pictures);
    ASSERT_EQ(pictures.size(), 2u) << "the third is no picture";
    const ZN_NRect* root = boxOf(*page, "root");
    const ZN_NRect* b = boxOf(*page, "b");
    const ZN_NRect* c = boxOf(*page, "c");
    ASSERT_EQ(root->getImageData(), pictures[0].get());
    ASSERT_EQ(b->getImageData(), pictures[1].get());
    EXPECT_EQ(c->getImageData(), nullptr);

    const ZImageData* png = pictures[0]->getImageData();
    ASSERT_TRUE(png && png->isComplete());
    EXPECT_EQ(png->getWidth(), 8);
    EXPECT_EQ(png->getHeight(), 6);
    EXPECT_EQ(png->getFileType(), 1);
    // Rows are stored bottom-up: the file's blue top row is the last.
    const unsigned char* top = png->getData() + ZImageData::rowStride(8) * 5;
    EXPECT_EQ(top[0], 10);
    EXPECT_EQ(top[2], 250);
    EXPECT_EQ(png->getData()[0], 200);
    // The transparent pixel is shown over white.
    EXPECT_EQ(png->getData()[3 * 7], 255);
    // A box shows its picture at the size the file asks for, at least.
    EXPECT_GE(b->getPoint2().X() - b->getPoint1().X(), 80.0f);
    EXPECT_GE(b->getPoint2().Y() - b->getPoint1().Y(), 40.0f);

    // Without a place for pictures none is made.
    std::unique_ptr<ZN_ShapeManager> bare = buildPage(richSheet());
    EXPECT_EQ(boxOf(*bare, "root")->getImageData(), nullptr);
    EXPECT_TRUE(boxOf(*bare, "root")->hasFields());
}

TEST(NodeExtras, PageTreesGiveBackFieldsAnchorsAndPictures) {
    std::vector<std::unique_ptr<ZImageTexture>> pictures;
    const MapSheet sheet = richSheet();
    std::unique_ptr<ZN_ShapeManager> page = buildPage(sheet, &pictures);
    Skipped skipped;
    const MapSheet back = pageTrees(*page, "p", skipped);
    EXPECT_TRUE(skipped.empty());
    ASSERT_EQ(back.nodes.size(), 4u);
    const MapNode& root = back.nodes[0];
    EXPECT_EQ(root.fields.note, sheet.nodes[0].fields.note);
    EXPECT_EQ(root.fields.markers, sheet.nodes[0].fields.markers);
    EXPECT_EQ(root.fields.attributes, sheet.nodes[0].fields.attributes);
    EXPECT_EQ(root.id, "ID_root") << "the anchor names the node";
    EXPECT_EQ(back.nodes[1].fields.link, "#ID_root");

    // The picture comes back as a PNG file of the same pixels.
    ASSERT_FALSE(root.image.empty());
    const QImage decoded = QImage::fromData(
        QByteArray(root.image.bytes.data(), static_cast<qsizetype>(root.image.bytes.size())), "PNG");
    ASSERT_EQ(decoded.size(), QSize(8, 6));
    EXPECT_EQ(decoded.pixelColor(0, 0), QColor(10, 20, 250));
    EXPECT_EQ(decoded.pixelColor(3, 3), QColor(200, 30, 40));
    const ZN_NRect* box = boxOf(*page, "root");
    EXPECT_EQ(root.image.width, static_cast<int>(std::lround(box->getPoint2().X() - box->getPoint1().X())));
    EXPECT_TRUE(back.nodes[3].image.empty());

    // And that file makes the same picture again.
    std::unique_ptr<ZImageTexture> again = decodePicture(root.image);
    ASSERT_TRUE(again);
    const ZImageData* before = pictures[0]->getImageData();
    ASSERT_EQ(again->getImageData()->getByteCount(), before->getByteCount());
    EXPECT_TRUE(std::equal(before->getData(), before->getData() + before->getByteCount(),
                           again->getImageData()->getData()));
}

TEST(NodeExtras, PicturesOfNoKnownKindOrTooLargeAreRefused) {
    MapImage image;
    EXPECT_FALSE(decodePicture(image));
    image.bytes = imageFile(twoColours(4, 4), "BMP");
    EXPECT_FALSE(decodePicture(image)) << "only PNG and JPEG";
    image.bytes = imageFile(twoColours(4, 4), "PNG").substr(0, 40);
    EXPECT_FALSE(decodePicture(image)) << "cut short";
    // A PNG header announcing 100 000 x 100 000 pixels is refused before decoding.
    std::string huge = imageFile(twoColours(1, 1), "PNG");
    auto put = [&](std::size_t at, std::uint32_t v) {
        for (int k = 0; k < 4; ++k)
            huge[at + static_cast<std::size_t>(k)] = static_cast<char>(v >> (8 * (3 - k)));
    };
    put(16, 100000);
    put(20, 100000);
    image.bytes = huge;
    EXPECT_FALSE(decodePicture(image));
}
