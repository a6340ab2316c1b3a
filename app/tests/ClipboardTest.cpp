// The shape clipboard across documents and the picture paste from the system
// clipboard, driven through the commands.

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QtEndian>

#include <sarvik/ZImageData.h>
#include <sarvik/ZImageTexture.h>
#include <sarvik/ZN_BackRgn.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/platform/ZMessage.h>

#include "CommandFixture.h"
#include "commands/CommandIds.h"
#include "commands/DibConvert.h"
#include "frames/CTavloApp.h"

namespace {

std::list<ZN_ShapeBase*>& shapeClipboard() {
    return testApp().clipboardShapes;
}

ZN_ShapeBase* single(const ZN_Relations& v) {
    return v.size() == 1 ? v[0] : nullptr;
}

QByteArray pngChunk(const char* type, const QByteArray& data) {
    QByteArray body(type);
    body += data;
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char c : body) {
        crc ^= static_cast<unsigned char>(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    QByteArray out(4, '\0');
    qToBigEndian(static_cast<std::uint32_t>(data.size()), out.data());
    out += body;
    QByteArray tail(4, '\0');
    qToBigEndian(~crc, tail.data());
    return out + tail;
}

// A black 8-bit RGB PNG, built by hand so that no image of its size has to
// be held while it is made.
QByteArray blackPng(int width, int height) {
    QByteArray header(13, '\0');
    qToBigEndian(static_cast<std::uint32_t>(width), header.data());
    qToBigEndian(static_cast<std::uint32_t>(height), header.data() + 4);
    header[8] = 8; // bits per sample
    header[9] = 2; // RGB
    // Each row: filter type 0, then the pixels.
    const QByteArray rows(static_cast<qsizetype>(height) * (1 + 3 * width), '\0');
    // qCompress puts the length in front of the zlib stream.
    const QByteArray idat = qCompress(rows, 1).mid(4);
    return QByteArray("\x89PNG\r\n\x1A\n", 8) + pngChunk("IHDR", header) + pngChunk("IDAT", idat) +
           pngChunk("IEND", {});
}

void offerOnly(const char* format, const QByteArray& data) {
    auto* mime = new QMimeData;
    mime->setData(format, data);
    QApplication::clipboard()->setMimeData(mime);
    QCoreApplication::processEvents();
}

} // namespace

class Clipboard : public CommandFixture {};

TEST_F(Clipboard, PasteInAnotherDocumentRebuildsOnlyTheCopiedRelations) {
    ZN_NRect* a = addRect(*page, 10, 10, 60, 40);
    ZN_NRect* b = addRect(*page, 100, 10, 150, 40);
    ZN_NRect* c = addRect(*page, 200, 10, 250, 40);
    ZN_NLine* ab = join(a, b);
    ZN_NLine* bc = join(b, c);
    select({a, b, ab, bc});
    run(cmd::Copy);
    EXPECT_EQ(shapeClipboard().size(), 4u);
    EXPECT_EQ(snapshots(), 0);
    EXPECT_FALSE(modified());

    CChildFrame* other = frame->newDocument();
    QCoreApplication::processEvents();
    CTavloView* otherView = other->view();
    ZN_ShapeManager* otherPage = otherView->getCurrentPage();
    other->document()->SetModifiedFlag(false);
    for (int round = 1; round <= 2; ++round) {
        ASSERT_TRUE(runViewCommand(*otherView, cmd::Paste));
        EXPECT_EQ(otherPage->getShapeList().size(), 4u * static_cast<unsigned>(round));
        EXPECT_EQ(otherPage->getUndoRedo()->undoCount(), round);
        EXPECT_TRUE(other->document()->isModified());
        // Only the shapes of this paste are selected, and they are new objects.
        const auto& sel = otherView->getSelection();
        ASSERT_EQ(sel.size(), 4u);
        std::vector<ZN_ShapeBase*> rects, conns;
        for (ZN_ShapeBase* s : sel) {
            EXPECT_TRUE(s->getSelected());
            EXPECT_EQ(std::count(shapeClipboard().begin(), shapeClipboard().end(), s), 0);
            (s->type() == 1 ? conns : rects).push_back(s);
        }
        ASSERT_EQ(rects.size(), 2u);
        ASSERT_EQ(conns.size(), 2u);
        // Pasted shapes land on the copied ones.
        EXPECT_FLOAT_EQ(rects[0]->getPoint1().X(), 10.0f);
        EXPECT_FLOAT_EQ(rects[1]->getPoint1().X(), 100.0f);
        ZN_ShapeBase* newA = rects[0];
        ZN_ShapeBase* newB = rects[1];
        ZN_ShapeBase* newAB = nullptr;
        ZN_ShapeBase* newBC = nullptr;
        for (ZN_ShapeBase* l : conns)
            (l->inputs().front() == newA ? newAB : newBC) = l;
        ASSERT_TRUE(newAB && newBC);
        EXPECT_EQ(single(newAB->outputs()), newB);
        EXPECT_EQ(single(newA->outputs()), newAB);
        EXPECT_EQ(single(newB->inputs()), newAB);
        EXPECT_EQ(single(newBC->inputs()), newB);
        EXPECT_TRUE(newBC->outputs().empty()) << "its end box was not copied";
        EXPECT_EQ(newB->outputs().size(), 1u);
    }
    // The first document keeps its shapes and its links.
    EXPECT_EQ(page->getShapeList().size(), 5u);
    EXPECT_EQ(single(bc->outputs()), c);
}

TEST_F(Clipboard, CopyOfNothingEmptiesTheClipboardAndPasteStillTakesASnapshot) {
    ZN_NRect* a = addRect(*page, 10, 10, 60, 40);
    select({a});
    run(cmd::Copy);
    ASSERT_EQ(shapeClipboard().size(), 1u);
    view->clearSelection();
    run(cmd::Copy);
    EXPECT_TRUE(shapeClipboard().empty());
    select({a});
    run(cmd::Paste);
    EXPECT_EQ(page->getShapeList().size(), 1u);
    EXPECT_EQ(snapshots(), 1);
    EXPECT_TRUE(modified());
    EXPECT_TRUE(view->getSelection().empty());
    EXPECT_FALSE(a->getSelected());
}

TEST_F(Clipboard, CutDeletesAndKeepsClonesButWithTheCaptureFrameShownOnlyDeletes) {
    ZN_NRect* a = addRect(*page, 10, 10, 60, 40);
    addRect(*page, 100, 10, 150, 40);
    select({a});
    run(cmd::Cut);
    EXPECT_EQ(page->getShapeList().size(), 1u);
    ASSERT_EQ(shapeClipboard().size(), 1u);
    EXPECT_FLOAT_EQ(shapeClipboard().front()->getPoint1().X(), 10.0f);
    EXPECT_EQ(snapshots(), 1);
    EXPECT_TRUE(view->getSelection().empty());

    page->getBackRgn()->setShow(true);
    select({page->getShapeList().front()});
    run(cmd::Cut);
    EXPECT_TRUE(page->getShapeList().empty());
    ASSERT_EQ(shapeClipboard().size(), 1u) << "the capture's bitmap stays, so do the old clones";
    EXPECT_FLOAT_EQ(shapeClipboard().front()->getPoint1().X(), 10.0f);
    page->getBackRgn()->setShow(false);
}

TEST_F(Clipboard, ABitmapPastesAsAnUnselectedPictureAtTheWindowCornerUntilCopyEmptiesIt) {
    ZN_NRect* a = addRect(*page, 10, 10, 60, 40);
    QImage image(5, 3, QImage::Format_RGB32);
    image.fill(QColor(10, 20, 30));
    image.setPixel(0, 0, qRgb(200, 100, 50)); // top-left
    QApplication::clipboard()->setImage(image);
    QCoreApplication::processEvents();
    view->scrollTo(QPoint(30, 40));
    select({a});
    const std::size_t texturesBefore = testApp().textures.size();
    run(cmd::Paste);
    ASSERT_EQ(page->getShapeList().size(), 2u);
    auto* pic = dynamic_cast<ZN_NRect*>(page->getShapeList().back());
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(pic->type(), 7);
    EXPECT_FALSE(pic->getSelected());
    EXPECT_FALSE(a->getSelected());
    EXPECT_TRUE(view->getSelection().empty());
    EXPECT_FLOAT_EQ(pic->getPoint1().X(), 30.0f);
    EXPECT_FLOAT_EQ(pic->getPoint1().Y(), 40.0f);
    EXPECT_FLOAT_EQ(pic->getPoint2().X(), 35.0f);
    EXPECT_FLOAT_EQ(pic->getPoint2().Y(), 43.0f);
    ASSERT_NE(pic->getImageData(), nullptr);
    EXPECT_EQ(testApp().textures.size(), texturesBefore + 1);
    const ZImageData* data = pic->getImageData()->getImageData();
    ASSERT_TRUE(data && data->isComplete());
    EXPECT_EQ(data->getFileType(), 0);
    // Stored bottom-up, blue first: the top-left pixel opens the last row.
    const unsigned char* top = data->getData() + 2 * ZImageData::rowStride(5);
    EXPECT_EQ(top[0], 50);
    EXPECT_EQ(top[1], 100);
    EXPECT_EQ(top[2], 200);
    EXPECT_EQ(snapshots(), 1);

    // Copy empties the system clipboard, so shapes paste although a bitmap was there.
    select({a});
    run(cmd::Copy);
    QCoreApplication::processEvents();
    run(cmd::Paste);
    EXPECT_EQ(page->getShapeList().size(), 3u);
    auto* pasted = dynamic_cast<ZN_NRect*>(page->getShapeList().back());
    ASSERT_NE(pasted, nullptr);
    EXPECT_EQ(pasted->getImageData(), nullptr);
    EXPECT_TRUE(pasted->getSelected());
    view->scrollTo(QPoint(0, 0));
}

TEST_F(Clipboard, ABrokenBitmapPastesNothingAndSaysSo) {
    auto* mime = new QMimeData;
    QByteArray bmp("BM");
    bmp.append(12, '\0');
    bmp.append(40, '\x7F'); // a header of nonsense sizes
    mime->setData("image/bmp", bmp);
    QApplication::clipboard()->setMimeData(mime);
    QCoreApplication::processEvents();
    run(cmd::Paste);
    EXPECT_TRUE(page->getShapeList().empty());
    EXPECT_EQ(ZLastMessageText(), kDibRefusedText);
    QApplication::clipboard()->clear();
}

TEST_F(Clipboard, APngAboveTheReadersDefaultLimitPastesAsAPicture) {
    ZN_NRect* a = addRect(*page, 10, 10, 60, 40);
    select({a});
    run(cmd::Copy);
    // 6000 x 6000 takes 137 MB as a 32-bit image, above the reader's default
    // of 128 MB, and 103 MB as the picture's own rows.
    offerOnly("image/png", blackPng(6000, 6000));
    run(cmd::Paste);
    ASSERT_EQ(page->getShapeList().size(), 2u);
    auto* pic = dynamic_cast<ZN_NRect*>(page->getShapeList().back());
    ASSERT_NE(pic, nullptr);
    ASSERT_NE(pic->getImageData(), nullptr);
    const ZImageData* data = pic->getImageData()->getImageData();
    ASSERT_TRUE(data && data->isComplete());
    EXPECT_EQ(data->getWidth(), 6000);
    EXPECT_EQ(data->getHeight(), 6000);
    QApplication::clipboard()->clear();
}

TEST_F(Clipboard, AnUnreadableImagePastesNothingAndSaysSo) {
    ZN_NRect* a = addRect(*page, 10, 10, 60, 40);
    select({a});
    run(cmd::Copy);
    offerOnly("image/png", QByteArray("\x89PNG\r\n\x1A\n not a picture", 23));
    ZShowMessage("", "");
    run(cmd::Paste);
    EXPECT_EQ(page->getShapeList().size(), 1u) << "neither a picture nor the copied shapes";
    EXPECT_EQ(ZLastMessageText(), "剪贴板中的图片无法读取，未粘贴。");
    QApplication::clipboard()->clear();
}

// A BMP file may leave a gap between its colour table and its pixels; its
// file header says where they begin.
TEST_F(Clipboard, ABmpFilePastesThePixelsItsHeaderPointsAt) {
    const auto bmpFile = [](std::uint32_t pixelsAt) {
        QByteArray bmp("BM");
        const auto u32 = [&bmp](std::uint32_t v) {
            for (int i = 0; i < 4; ++i)
                bmp.append(static_cast<char>(v >> (8 * i)));
        };
        const int gap = 100;
        u32(14 + 40 + 16 + gap + 8);
        u32(0);
        u32(pixelsAt);
        // 3 x 2 pixels of 8 bits, a table of four colours.
        for (std::uint32_t v : {40u, 3u, 2u, 0x00080001u, 0u, 8u, 0u, 0u, 4u, 0u})
            u32(v);
        for (std::uint32_t bgr : {0x0A141Eu, 0x28323Cu, 0x46505Au, 0xC86432u})
            u32(bgr);
        bmp.append(gap, '\1');             // read as pixels, the gap would be colour 1 throughout
        bmp.append("\0\1\2\0\3\2\1\0", 8); // bottom row 0 1 2, top row 3 2 1
        return bmp;
    };
    const auto paste = [this](const QByteArray& bmp) {
        auto* mime = new QMimeData;
        mime->setData("image/bmp", bmp);
        QApplication::clipboard()->setMimeData(mime);
        QCoreApplication::processEvents();
        run(cmd::Paste);
    };

    paste(bmpFile(14 + 40 + 16 + 100));
    ASSERT_EQ(page->getShapeList().size(), 1u);
    auto* pic = dynamic_cast<ZN_NRect*>(page->getShapeList().back());
    ASSERT_TRUE(pic && pic->getImageData());
    const ZImageData* data = pic->getImageData()->getImageData();
    ASSERT_TRUE(data && data->isComplete());
    EXPECT_EQ(data->getWidth(), 3);
    EXPECT_EQ(data->getHeight(), 2);
    const std::vector<unsigned char> expected = {0x1E, 0x14, 0x0A, 0x3C, 0x32, 0x28, 0x5A, 0x50,
                                                 0x46, 0,    0,    0,    0x32, 0x64, 0xC8, 0x5A,
                                                 0x50, 0x46, 0x3C, 0x32, 0x28, 0,    0,    0};
    EXPECT_EQ(std::vector<unsigned char>(data->getData(), data->getData() + 24), expected);

    // Pointing past the end of the file, it pastes nothing and says so.
    paste(bmpFile(14 + 40 + 16 + 100 + 8 + 1));
    EXPECT_EQ(page->getShapeList().size(), 1u);
    EXPECT_EQ(ZLastMessageText(), kDibRefusedText);
    QApplication::clipboard()->clear();
}
