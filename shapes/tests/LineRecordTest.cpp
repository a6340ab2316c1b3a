// Connector line record: layout, the version rule, and refusal of bad input.

#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/platform/ZFile.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace {

void style(ZN_NLine& line) {
    line.pushPointBack(ZVector2(1.5f, -2.0f));
    line.pushPointBack(ZVector2(30.0f, 40.0f));
    line.pushPointBack(ZVector2(-7.0f, 8.25f));
    line.setColor(ZVector3(0.25f, 0.5f, 0.75f));
    line.setOutNumber(6);
    line.setInNumber(9);
    line.setStrightType(1);
    line.setLineWide(3);
    line.setArrowSize(30);
    line.setArrowType(2);
    line.setbGradualWide(1);
    line.setbGradualColor(1);
    line.setGradualColor(ZVector3(0.125f, 0.0f, 1.0f));
    line.setGradualWide(4.5f);
    line.setbOffsetH(1);
    line.setOffsetH(-60);
}

std::vector<std::uint8_t> record(ZN_NLine& line, int version = 8) {
    auto out = ZFile::toMemory();
    line.writeFile(out.get(), version);
    EXPECT_TRUE(out->commit());
    return out->bytes();
}

std::int32_t int32At(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    std::int32_t v = 0;
    std::memcpy(&v, bytes.data() + offset, sizeof v);
    return v;
}

float floatAt(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    float v = 0;
    std::memcpy(&v, bytes.data() + offset, sizeof v);
    return v;
}

} // namespace

TEST(LineRecord, LayoutAndRoundTrip) {
    ZN_NLine line;
    style(line);
    const std::vector<std::uint8_t> bytes = record(line);
    // Label flag, count, three points, then fifteen items' worth of fields.
    ASSERT_EQ(bytes.size(), 4u + 4u + 3u * 8u + 68u);
    EXPECT_EQ(int32At(bytes, 0), 0);
    EXPECT_EQ(int32At(bytes, 4), 3);
    EXPECT_EQ(floatAt(bytes, 8), 1.5f);
    EXPECT_EQ(floatAt(bytes, 12), -2.0f);
    EXPECT_EQ(floatAt(bytes, 32), 0.25f);   // colour follows the points
    EXPECT_EQ(int32At(bytes, 44), 6);       // out number
    EXPECT_EQ(int32At(bytes, 48), 9);       // in number
    EXPECT_EQ(int32At(bytes, 56), 3);       // line wide after stright type
    EXPECT_EQ(floatAt(bytes, 88), 4.5f);    // gradual wide
    EXPECT_EQ(int32At(bytes, 92), 1);       // offset-H flag
    EXPECT_EQ(floatAt(bytes, 96), -60.0f); // offset H

    // The writer ignores the version it is given.
    EXPECT_EQ(record(line, 2), bytes);

    // Every field lands where the writer took it from.
    auto in = ZFile::fromMemory(bytes);
    ZN_NLine back;
    back.readFile(in.get(), 8);
    ASSERT_FALSE(in->failed());
    EXPECT_EQ(in->remaining(), 0u);
    EXPECT_EQ(record(back), bytes);
}

TEST(LineRecord, CloneCopiesEveryRecordedFieldButNotSelectionOrRelations) {
    ZN_NLine start;
    ZN_NLine line;
    style(line);
    start.pushToOutput(&line);
    line.pushToInput(&start);
    line.setSelected(true);
    line.setSnake(3);
    line.setId(17);
    auto* text = new ZN_SText();
    text->setHost(&line);
    line.setLabel(text);

    std::unique_ptr<ZN_ShapeBase> copyShape(line.clone());
    auto* copy = dynamic_cast<ZN_NLine*>(copyShape.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(record(*copy), record(line));
    EXPECT_FALSE(copy->getSelected());
    EXPECT_EQ(copy->getSnake(), 0);
    EXPECT_EQ(copy->getId(), 17);
    EXPECT_TRUE(copy->getInputList().empty());
    ASSERT_NE(copy->getLabel(), nullptr);
    EXPECT_NE(copy->getLabel(), text);
    EXPECT_EQ(copy->getLabel()->getHost(), copy);
}

TEST(LineRecord, VersionTwoKeepsTheNewerDefaults) {
    // A version 2 record stops after the arrow type.
    auto out = ZFile::toMemory();
    out->writeInt32(0); // no label
    out->writeInt32(2);
    for (float f : {0.0f, 0.0f, 100.0f, 50.0f}) {
        out->writeFloat(f);
    }
    for (float f : {1.0f, 0.0f, 0.0f}) {
        out->writeFloat(f);
    }
    for (std::int32_t v : {3, 9, 1, 4, 20, 1}) {
        out->writeInt32(v);
    }
    out->writeInt32(77); // the next record's type code
    ASSERT_TRUE(out->commit());

    auto in = ZFile::fromMemory(out->bytes());
    ZN_NLine line;
    line.readFile(in.get(), 2);
    ASSERT_FALSE(in->failed());
    EXPECT_EQ(in->readInt32(), 77) << "read exactly the version 2 fields";
    ASSERT_EQ(line.getPointSize(), 2);
    EXPECT_EQ(line.getPoints()[1], ZVector2(100, 50));
    EXPECT_EQ(line.getColor(), ZVector3(1, 0, 0));
    EXPECT_EQ(line.getOutNumber(), 3);
    EXPECT_EQ(line.getInNumber(), 9);
    EXPECT_EQ(line.getStrightType(), 1);
    EXPECT_EQ(line.getLineWide(), 4);
    EXPECT_EQ(line.getArrowSize(), 20);
    EXPECT_EQ(line.getArrowType(), 1);
    EXPECT_EQ(line.getbGradualWide(), 0);
    EXPECT_EQ(line.getbGradualColor(), 0);
    EXPECT_EQ(line.getGradualColor(), ZVector3(0, 1, 0));
    EXPECT_EQ(line.getGradualWide(), 8.0f);
    EXPECT_EQ(line.getbOffsetH(), 0);
    EXPECT_EQ(line.getOffsetH(), 50.0f);
}

TEST(LineRecord, EveryTruncationFails) {
    ZN_NLine line;
    style(line);
    const std::vector<std::uint8_t> bytes = record(line);
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        auto in = ZFile::fromMemory(bytes.data(), cut);
        ZN_NLine back;
        back.readFile(in.get(), 8);
        EXPECT_TRUE(in->failed()) << "cut at " << cut;
        // Nothing read past the cut leaks into the fields.
        EXPECT_EQ(back.getOffsetH(), 50.0f) << "cut at " << cut;
    }
}

TEST(LineRecord, AbsurdPointCountsAreRefusedBeforeAllocating) {
    for (std::int32_t count : {-1, 0x7fffffff, 0x20000000, 3}) {
        auto out = ZFile::toMemory();
        out->writeInt32(0);
        out->writeInt32(count);
        // Two points' worth of bytes: too few for three.
        for (int i = 0; i < 4; ++i) {
            out->writeFloat(1.0f);
        }
        ASSERT_TRUE(out->commit());
        auto in = ZFile::fromMemory(out->bytes());
        ZN_NLine line;
        line.readFile(in.get(), 8);
        EXPECT_TRUE(in->failed()) << count;
        EXPECT_EQ(line.getPointSize(), 0) << count;
    }
}
