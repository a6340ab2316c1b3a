// Maps made to hurt the readers: expansions, quadratic parser paths, huge
// texts and counts, encodings told by their first bytes, and damaged
// archives. Every such file is refused with a reason or read soundly; the
// inputs are generated here and kept small.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QStringEncoder>

#include "InterchangeTestSupport.h"

#include <set>

#include <sarvik/ZN_ShapeManager.h>

#include "interchange/MapPage.h"
#include "interchange/Outline.h"
#include "interchange/XMind.h"
#include "interchange/XmlInput.h"

using namespace interchange;
using ictest::node;

namespace {

QByteArray repeated(const std::string& piece, int times) {
    std::string out;
    out.reserve(piece.size() * static_cast<std::size_t>(times));
    for (int i = 0; i < times; ++i)
        out += piece;
    return QByteArray::fromStdString(out);
}

QByteArray encoded(const QString& text, QStringConverter::Encoding encoding, bool mark) {
    QStringEncoder encoder(encoding, mark ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
    return encoder.encode(text);
}

bool reads(const QByteArray& bytes, Format format, MapDocument& doc) {
    ReadError error;
    const bool ok = readMap(bytes, format, doc, error);
    EXPECT_TRUE(ok) << error.line << ": " << error.reason;
    return ok;
}

} // namespace

TEST(HostileMaps, EntityAndAttributeDeclarationsAreNeverExpanded) {
    // One entity of 1 000 characters used 300 times: each use is within the
    // parser's bound for one entity, the whole is not.
    const QByteArray dtd = "<!DOCTYPE map [\n<!ENTITY big \"" + repeated("x", 1000) + "\">\n]>\n";
    const QByteArray uses = repeated("&big;", 300);
    const ReadError mm = ictest::refusal("<?xml version=\"1.0\"?>\n" + dtd + "<map><node TEXT=\"" + uses +
                                             "\"/></map>",
                                         Format::FreeMind);
    EXPECT_EQ(mm.line, 3);
    EXPECT_NE(mm.reason.find("entity"), std::string::npos) << mm.reason;
    ictest::refusal(dtd + "<opml><body><outline text=\"" + uses + "\"/></body></opml>", Format::Opml);
    MapDocument doc;
    ReadError error;
    EXPECT_FALSE(readXMindXml(dtd + "<xmap-content><sheet><topic><title>" + uses +
                                  "</title></topic></sheet></xmap-content>",
                              doc, error));
    EXPECT_NE(error.reason.find("entity"), std::string::npos) << error.reason;
    // A default attribute repeats its text on every element.
    const ReadError attlist = ictest::refusal(
        "<!DOCTYPE map [<!ATTLIST node TEXT CDATA \"" + repeated("y", 1000) + "\">]>\n<map>" +
            repeated("<node/>", 100) + "</map>",
        Format::FreeMind);
    EXPECT_NE(attlist.reason.find("attribute"), std::string::npos) << attlist.reason;
    // The same words inside a comment or a text are only text.
    ASSERT_TRUE(reads("<map><!-- <!ENTITY x \"y\"> --><node TEXT=\"&lt;!ENTITY\"/></map>",
                      Format::FreeMind, doc));
    EXPECT_EQ(node(doc.sheets.at(0), 0).text, "<!ENTITY");
}

TEST(HostileMaps, AnElementWithTooManyAttributesIsRefusedBeforeParsing) {
    auto element = [](int attributes) {
        std::string tag = "<map>\n<node TEXT=\"a>b\" ";
        for (int i = 0; i < attributes - 1; ++i)
            tag += "a" + std::to_string(i) + "='=' ";
        return QByteArray::fromStdString(tag + "/>\n</map>");
    };
    MapDocument doc;
    ASSERT_TRUE(reads(element(kMostAttributes), Format::FreeMind, doc));
    EXPECT_EQ(node(doc.sheets.at(0), 0).text, "a>b");
    const ReadError error = ictest::refusal(element(kMostAttributes + 1), Format::FreeMind);
    EXPECT_EQ(error.line, 2);
    EXPECT_NE(error.reason.find("attributes"), std::string::npos);
}

TEST(HostileMaps, HtmlTextsWithoutEntityEnds) {
    // An '&' without ';' near it stays as it is, wherever a ';' comes later.
    const std::string text = htmlToText("<p>" + QString(200000, u'&') + "x;&amp;</p><br/>y");
    ASSERT_EQ(text.size(), 200000u + 3u + 2u + 1u);
    EXPECT_EQ(text.substr(199998), "&&x;&\n\ny");
    EXPECT_EQ(htmlToText("a &lt;b&gt; &#x4e2d; &nosuchentity; &toolongtobeanentity;"),
              "a <b> 中 &nosuchentity; &toolongtobeanentity;");
    EXPECT_EQ(htmlToText("<DIV class=x>a</div><Br/>b<p/>c"), "a\n\nb\nc");
}

TEST(HostileMaps, HugeLabelsAreCutBeforeTheyAreMeasuredAndTheMessageSaysSo) {
    const QByteArray line = repeated("中", 40000); // 120 000 bytes
    MapDocument doc;
    ASSERT_TRUE(reads("root\n\t" + line + "\n\tshort\n", Format::Text, doc));
    const MapSheet& s = doc.sheets.at(0);
    ASSERT_EQ(s.nodes.size(), 3u);
    EXPECT_EQ(node(s, 1).text.size(), kMostLabelBytes - kMostLabelBytes % 3); // whole characters
    EXPECT_EQ(node(s, 2).text, "short");
    EXPECT_EQ(doc.cutLabels, 1);
    const Imported imported = pagesOf(doc);
    EXPECT_EQ(imported.summary(), "已导入 3 个节点；1 个过长的标签只保留了前 64 KiB");
}

TEST(HostileMaps, NodeCountAndDepthHaveBounds) {
    {
        const NodeBudget budget(3);
        MapSheet sheet;
        for (int i = 0; i < 3; ++i)
            sheet.add(-1, "n");
        EXPECT_THROW(sheet.add(-1, "n"), TooManyNodes);
    }
    MapSheet free;
    for (int i = 0; i < 10; ++i)
        free.add(-1, "n"); // no budget outside a reader
    // A chain one level deeper than the bound is refused in one line.
    const int depth = kMostDepth + 2;
    const QByteArray xml = "<map>" + repeated("<node>", depth) + repeated("</node>", depth) + "</map>";
    const ReadError error = ictest::refusal(xml, Format::FreeMind);
    EXPECT_EQ(error.reason, "the map nests deeper than 100 000 levels");
}

TEST(HostileMaps, RunningOutOfMemoryIsAFailedRead) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "address space limits do not go with the sanitizers' shadow memory";
#endif
    // In a child with little address space, a text of many nodes cannot be
    // held: the read must fail with a reason, not end the process.
    const QByteArray text = repeated("a\n", 400000);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        rlimit limit{};
        getrlimit(RLIMIT_AS, &limit);
        std::FILE* statm = std::fopen("/proc/self/statm", "r");
        unsigned long pages = 0;
        if (!statm || std::fscanf(statm, "%lu", &pages) != 1)
            _exit(3);
        std::fclose(statm);
        limit.rlim_cur = pages * static_cast<unsigned long>(sysconf(_SC_PAGESIZE)) + 64ul * 1024 * 1024;
        setrlimit(RLIMIT_AS, &limit);
        MapDocument doc;
        ReadError error;
        const bool ok = readMap(text, Format::Text, doc, error);
        _exit(!ok && error.reason.find("memory") != std::string::npos ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the child died of signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(HostileMaps, WideEncodingsAreToldByTheirFirstBytes) {
    const QString mm = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
                                      "<map><node TEXT=\"中文根节点\"><node TEXT=\"子\"/></node></map>");
    const QString bare = QStringLiteral("<map><node TEXT=\"中文根节点\"/></map>");
    for (const QByteArray& bytes :
         {encoded(mm, QStringConverter::Utf16LE, true), encoded(mm, QStringConverter::Utf16BE, true),
          encoded(bare, QStringConverter::Utf16LE, false), encoded(bare, QStringConverter::Utf16BE, false),
          encoded(bare, QStringConverter::Utf32LE, false), encoded(mm, QStringConverter::Utf32BE, true)}) {
        MapDocument doc;
        ASSERT_TRUE(reads(bytes, Format::FreeMind, doc));
        EXPECT_EQ(node(doc.sheets.at(0), 0).text, "中文根节点");
        EXPECT_EQ(doc.encoding, "");
    }
    MapDocument doc;
    ASSERT_TRUE(reads(encoded("<opml><body><outline text=\"大纲\"/></body></opml>", QStringConverter::Utf16LE, true),
                      Format::Opml, doc));
    EXPECT_EQ(node(doc.sheets.at(0), 0).text, "大纲");
    ASSERT_TRUE(reads(encoded("根\r\n\t子\r\n", QStringConverter::Utf16LE, true), Format::Text, doc));
    EXPECT_EQ(ictest::outline(doc.sheets.at(0)), "[根]([子])");
    ASSERT_TRUE(reads(encoded("# 标题\n\n- 项\n", QStringConverter::Utf16BE, true), Format::Markdown, doc));
    EXPECT_EQ(ictest::outline(doc.sheets.at(0)), "[标题]([项])");
    // A NUL that is a character, not half of one, is still no text.
    EXPECT_EQ(ictest::refusal(encoded(QString("a\nb") + QChar(0) + "c", QStringConverter::Utf16LE, true),
                              Format::Text).line,
              2);
}

TEST(HostileMaps, UndeclaredEncodingsAreGuessedAlikeAndNamed) {
    QStringEncoder gbk("GB18030");
    const QByteArray chinese = gbk.encode(QStringLiteral("<map><node TEXT=\"中文根节点\"><node TEXT=\"项目计划\"/></node></map>"));
    MapDocument doc;
    ASSERT_TRUE(reads(chinese, Format::FreeMind, doc));
    EXPECT_EQ(ictest::outline(doc.sheets.at(0)), "[中文根节点]([项目计划])");
    EXPECT_EQ(doc.encoding, "GB18030");
    EXPECT_EQ(pagesOf(doc).summary(), "已导入 2 个节点；文件未注明编码，按 GB18030 读取");
    ASSERT_TRUE(reads(gbk.encode(QStringLiteral("<opml><body><outline text=\"大纲\"/></body></opml>")),
                      Format::Opml, doc));
    EXPECT_EQ(node(doc.sheets.at(0), 0).text, "大纲");
    // Latin-1 that happens to be valid GB18030 reads as Latin-1, in XML and
    // in text alike.
    const QByteArray latin = QStringLiteral("Crème brûlée\n\tnaïve\n").toLatin1();
    ASSERT_TRUE(reads(latin, Format::Text, doc));
    EXPECT_EQ(ictest::outline(doc.sheets.at(0)), "[Crème brûlée]([naïve])");
    EXPECT_EQ(doc.encoding, "Latin-1");
    ASSERT_TRUE(reads("<map><node TEXT=\"" + QStringLiteral("naïve").toLatin1() + "\"/></map>", Format::FreeMind, doc));
    EXPECT_EQ(node(doc.sheets.at(0), 0).text, "naïve");
    // UTF-8 needs no word.
    ASSERT_TRUE(reads("根\n", Format::Text, doc));
    EXPECT_EQ(doc.encoding, "");
}

TEST(HostileMaps, CarriageReturnsAloneEndLines) {
    MapDocument doc;
    ASSERT_TRUE(reads("a\r\tb\r\t\tc\r\td\r", Format::Text, doc));
    EXPECT_EQ(ictest::outline(doc.sheets.at(0)), "[a]([b]([c])[d])");
    ASSERT_TRUE(reads("a\r\n\tb\r\r\tc", Format::Text, doc));
    EXPECT_EQ(ictest::outline(doc.sheets.at(0)), "[a]([b][c])");
    ASSERT_TRUE(reads("@startmindmap\r* a\r** b\r@endmindmap\r", Format::PlantUml, doc));
    EXPECT_EQ(ictest::outline(doc.sheets.at(0)), "[a]([b])");
    ASSERT_TRUE(reads("mindmap\r  a\r    b\r", Format::Mermaid, doc));
    EXPECT_EQ(ictest::outline(doc.sheets.at(0)), "[a]([b])");
}

TEST(HostileMaps, AWorkbookEntryWithAWrongChecksumIsDamaged) {
    MapSheet sheet;
    sheet.title = "s";
    sheet.add(-1, "root");
    QByteArray zip = writeXMind({sheet});
    MapDocument doc;
    ASSERT_TRUE(reads(zip, Format::XMind, doc));
    // Every header naming content.json gets another checksum.
    for (const QByteArray& signature : {QByteArray("PK\x01\x02"), QByteArray("PK\x03\x04")}) {
        const bool central = signature[2] == '\x01';
        for (qsizetype at = zip.indexOf(signature); at >= 0; at = zip.indexOf(signature, at + 4)) {
            const qsizetype nameAt = at + (central ? 46 : 30);
            if (zip.mid(nameAt, 12) == "content.json")
                zip[at + (central ? 16 : 14)] = static_cast<char>(zip[at + (central ? 16 : 14)] ^ 0x5A);
        }
    }
    const ReadError error = ictest::refusal(zip, Format::XMind);
    EXPECT_NE(error.reason.find("damaged"), std::string::npos) << error.reason;
}

TEST(HostileMaps, DeepTreesAreWrittenWithinBoundsOrRefusedInOneLine) {
    auto chain = [](int levels) {
        MapSheet sheet;
        int at = -1;
        for (int i = 0; i < levels; ++i)
            at = sheet.add(at, "n");
        return sheet;
    };
    // As deep as an outline holds: written whole, read back alike.
    const MapSheet fits = chain(kMostOutlineDepth);
    for (const Format format : {Format::Text, Format::Markdown}) {
        Skipped skipped;
        const MapFiles files = writeMapFiles({fits}, format, "x", skipped);
        ASSERT_TRUE(files.refusal.empty()) << files.refusal;
        MapDocument back;
        ASSERT_TRUE(reads(files.bytes, format, back));
        EXPECT_EQ(ictest::outline(back.sheets.at(0)), ictest::outline(fits));
    }
    // Deeper: refused, naming the depth; every writer's bytes stay within a
    // small multiple of what the map holds.
    const int levels = 4000;
    const MapSheet deep = chain(levels);
    for (const Format format : {Format::Text, Format::Markdown}) {
        Skipped skipped;
        const MapFiles files = writeMapFiles({deep}, format, "x", skipped);
        EXPECT_EQ(files.refusal.substr(0, 28), "the map is 4 000 levels deep") << files.refusal;
        EXPECT_TRUE(files.bytes.isEmpty());
    }
    for (const Format format : {Format::FreeMind, Format::Opml, Format::Markdown, Format::Text,
                                Format::XMind, Format::KityMinder, Format::Mermaid, Format::PlantUml})
        EXPECT_LT(writeMap(deep, format).size(), 2 * kMostOutlineDepth * levels) << static_cast<int>(format);
}

TEST(HostileMaps, ManyCrossLinksAreFoundAgainOnThePage) {
    // Arrows are matched to the boxes their ends touch through a grid; every
    // one of them must still find its two boxes, wherever they are.
    MapSheet sheet;
    const int root = sheet.add(-1, "root");
    std::vector<int> nodes;
    for (int i = 0; i < 600; ++i)
        nodes.push_back(sheet.add(i % 3 == 0 ? root : nodes.back(), "n" + std::to_string(i)));
    for (int i = 0; i < 2000; ++i) {
        const int from = nodes[static_cast<std::size_t>((i * 7) % 600)];
        const int to = nodes[static_cast<std::size_t>((i * 13 + 5) % 600)];
        if (from != to)
            sheet.links.push_back({from, to, {}});
    }
    const std::unique_ptr<ZN_ShapeManager> page = buildPage(sheet);
    Skipped skipped;
    const MapSheet back = pageTrees(*page, "p", skipped);
    ASSERT_EQ(back.nodes.size(), sheet.nodes.size());
    ASSERT_EQ(back.links.size(), sheet.links.size());
    std::multiset<std::pair<std::string, std::string>> want, got;
    for (const MapLink& l : sheet.links)
        want.insert({node(sheet, l.from).text, node(sheet, l.to).text});
    for (const MapLink& l : back.links)
        got.insert({node(back, l.from).text, node(back, l.to).text});
    EXPECT_EQ(got, want);
    EXPECT_EQ(skipped.count(kLines), 0);
}
