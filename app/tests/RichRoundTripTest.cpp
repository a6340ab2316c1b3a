// What a node holds beyond its title survives the whole way: a map of
// another program imported, saved as a document, opened again and exported
// back, compared field by field with the map read from the file; the same
// after the shape clipboard and after undo and redo.

#include <map>
#include <set>

#include <QFile>
#include <QMdiArea>

#include "CommandFixture.h"
#include "commands/CommandIds.h"
#include "interchange/Interchange.h"
#include "view/UndoStep.h"

using namespace interchange;

namespace {

// Each node's fields as one line, in no order: the trees' shapes are the
// business of the readers' own tests. A link to a node names the node's
// text, as writers may give the nodes ids of their own.
std::multiset<std::string> fieldLines(const MapSheet& sheet) {
    std::map<std::string, std::string> textOfId;
    for (const MapNode& n : sheet.nodes)
        if (!n.id.empty())
            textOfId[n.id] = n.text;
    std::multiset<std::string> lines;
    for (const MapNode& n : sheet.nodes) {
        std::string link = n.fields.link;
        if (const std::string_view id = ZN_LinkedAnchor(link); !id.empty())
            link = "to node " + (textOfId.count(std::string(id)) ? textOfId[std::string(id)]
                                                                 : "? " + std::string(id));
        std::string line = n.text + " | note " + n.fields.note + " | link " + link + " |";
        for (const std::string& m : n.fields.markers)
            line += " " + m;
        line += " |";
        for (const ZN_Attribute& a : n.fields.attributes)
            line += " " + a.name + "=" + a.value;
        line += n.image.empty() ? " | no picture" : " | picture";
        lines.insert(line);
    }
    return lines;
}

struct Counts {
    int notes = 0, links = 0, markers = 0, attributes = 0, pictures = 0;
    bool operator==(const Counts&) const = default;
};

Counts countsOf(const MapSheet& sheet) {
    Counts c;
    for (const MapNode& n : sheet.nodes) {
        c.notes += n.fields.note.empty() ? 0 : 1;
        c.links += n.fields.link.empty() ? 0 : 1;
        c.markers += static_cast<int>(n.fields.markers.size());
        c.attributes += static_cast<int>(n.fields.attributes.size());
        c.pictures += n.image.empty() ? 0 : 1;
    }
    return c;
}

std::ostream& operator<<(std::ostream& os, const Counts& c) {
    return os << c.notes << " notes, " << c.links << " links, " << c.markers << " markers, "
              << c.attributes << " attributes, " << c.pictures << " pictures";
}

MapSheet readSheet(const std::string& path, const std::string& folder) {
    QFile file(QString::fromStdString(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    MapDocument doc;
    ReadError error;
    EXPECT_TRUE(readMap(file.readAll(), formatOfPath(path), doc, error, folder))
        << path << ": " << error.reason;
    return doc.sheets.empty() ? MapSheet{} : doc.sheets.front();
}

} // namespace

class RichRoundTrip : public CommandFixture, public ::testing::WithParamInterface<const char*> {
protected:
    // The page's trees as a FreeMind map on disk, read back.
    MapSheet exported(const ZN_ShapeManager& onPage, const std::string& name) {
        const std::string path = dir + "/" + name + ".mm";
        Exported out;
        std::string problem;
        EXPECT_TRUE(exportMapFile(onPage, "页1", path, out, problem)) << problem;
        return readSheet(path, dir);
    }
    std::string dir = tempDir();
};

TEST_P(RichRoundTrip, ImportSaveOpenExportKeepsEveryField) {
    const std::string source = std::string(TAVLO_INTERCHANGE_DATA) + "/" + GetParam();
    const MapSheet original = readSheet(source, TAVLO_INTERCHANGE_DATA);
    const Counts expected = countsOf(original);
    ASSERT_GT(expected.notes, 0);

    CChildFrame* imported = frame->importDocumentFile(QString::fromStdString(source));
    ASSERT_NE(imported, nullptr);
    ASSERT_TRUE(imported->document()->saveTo(QString::fromStdString(dir + "/saved.tvx")));
    writeBytes(dir + "/again.tvx", readBytes(dir + "/saved.tvx"));
    CChildFrame* opened = frame->openDocumentFile(QString::fromStdString(dir + "/again.tvx"));
    ASSERT_NE(opened, nullptr);
    ASSERT_NE(opened, imported);
    ZN_ShapeManager& reopened = *opened->view()->getCurrentPage();

    const MapSheet back = exported(reopened, "back");
    EXPECT_EQ(countsOf(back), expected);
    EXPECT_EQ(fieldLines(back), fieldLines(original));

    // Through the shape clipboard into another document.
    CTavloView* from = opened->view();
    from->selectAll();
    ASSERT_TRUE(runViewCommand(*from, cmd::Copy));
    CChildFrame* other = frame->newDocument();
    QCoreApplication::processEvents();
    ASSERT_TRUE(runViewCommand(*other->view(), cmd::Paste));
    EXPECT_EQ(fieldLines(exported(*other->view()->getCurrentPage(), "pasted")),
              fieldLines(original));

    // Through undo and redo of an edit that takes every field away.
    frame->mdiArea()->setActiveSubWindow(opened);
    UndoStep(*from).change();
    for (ZN_ShapeBase* s : reopened.getShapeArray())
        s->setFields(ZN_SharedFields{});
    // Pictures belong to the boxes, not to their fields.
    Counts none;
    none.pictures = expected.pictures;
    EXPECT_EQ(countsOf(exported(reopened, "emptied")), none);
    ASSERT_TRUE(from->undoStep(false));
    EXPECT_EQ(fieldLines(exported(*from->getCurrentPage(), "undone")), fieldLines(original));
    ASSERT_TRUE(from->undoStep(true));
    EXPECT_EQ(countsOf(exported(*from->getCurrentPage(), "redone")), none);
}

INSTANTIATE_TEST_SUITE_P(Samples, RichRoundTrip,
                         ::testing::Values("freeplane-rich.mm", "rich.xmind", "outline.opml"));
