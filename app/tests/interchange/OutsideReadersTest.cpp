// Our XMind, Mermaid and PlantUML files as programs nobody here wrote read
// them: XMind's model library (content.json against its schema, content.xml
// as XMind 8 reads it), the mermaid package's parser, and PlantUML itself.
// The tools come from scripts/install-deps.sh; without them these tests fail.

#ifdef TAVLO_OUTSIDE_READERS

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <cstdio>

#include "InterchangeTestSupport.h"
#include "RoundTripSupport.h"

#include "interchange/MapFields.h"
#include "interchange/XMind.h"

using namespace interchange;

namespace {

// The sheets written: the rich samples and random trees with every field.
std::vector<std::pair<std::string, std::vector<MapSheet>>> documents() {
    std::vector<std::pair<std::string, std::vector<MapSheet>>> out;
    for (const char* name : {"freeplane-rich.mm", "rich.xmind", "xmind8-rich.xmind", "two-sheets.xmind",
                             "rich.km", "shapes.mmd", "shapes.puml", "markmap.md", "map.md",
                             "outline.opml", "freemind08-html.mm"}) {
        MapDocument doc;
        ReadError error;
        EXPECT_TRUE(readMap(ictest::sample(name), formatOfPath(name), doc, error,
                            std::string(TAVLO_INTERCHANGE_DATA)))
            << name;
        std::string stem = name;
        std::replace(stem.begin(), stem.end(), '.', '-');
        out.emplace_back(stem, doc.sheets);
    }
    for (unsigned seed = 1; seed <= 30; ++seed)
        out.emplace_back("random-" + std::to_string(seed),
                         std::vector<MapSheet>{ictest::randomSheet(seed, true)});
    return out;
}

bool save(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

QString str(const std::string& s) { return QString::fromStdString(s); }

// TAVLO_KEEP_OUTSIDE_FILES=1 keeps the files written, to look at them.
void keepIfAsked(QTemporaryDir& dir) {
    if (qEnvironmentVariableIsSet("TAVLO_KEEP_OUTSIDE_FILES")) {
        dir.setAutoRemove(false);
        std::printf("outside reader files: %s\n", dir.path().toUtf8().constData());
    }
}

// Runs a tool on the files and returns what it printed; fails the test on a
// non-zero exit.
QString run(const QString& program, const QStringList& args) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    EXPECT_TRUE(process.waitForStarted(-1)) << program.toStdString() << " does not start";
    process.waitForFinished(-1);
    const QString output = QString::fromUtf8(process.readAll());
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << output.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << output.toStdString();
    return output;
}

QString node() {
    const QString found = QStandardPaths::findExecutable("node");
    EXPECT_FALSE(found.isEmpty()) << "node is not installed: run scripts/install-deps.sh";
    EXPECT_TRUE(QDir(TAVLO_OUTSIDE_READERS "/node_modules").exists())
        << "the outside readers are not installed in " TAVLO_OUTSIDE_READERS
           ": run scripts/install-deps.sh";
    return found;
}

QJsonObject xmindNode(const MapSheet& sheet, int index) {
    const MapNode& n = sheet.nodes[static_cast<std::size_t>(index)];
    QJsonArray children;
    for (int c : n.children)
        children.append(xmindNode(sheet, c));
    const bool toNode = !ZN_LinkedAnchor(n.fields.link).empty() && AnchorIndex(sheet).find(n.fields.link) >= 0;
    return {{"text", str(n.text)},
            {"note", str(n.fields.note)},
            // A link to a topic names it by the id the writer gave it.
            {"link", toNode ? QStringLiteral("xmind:#") : str(n.fields.link)},
            {"markers", static_cast<int>(n.fields.markers.size())},
            {"folded", n.folded && !n.children.empty()},
            {"children", children}};
}

QJsonObject mermaidNode(const MapSheet& sheet, int index) {
    const MapNode& n = sheet.nodes[static_cast<std::size_t>(index)];
    QJsonArray children;
    for (int c : n.children)
        children.append(mermaidNode(sheet, c));
    QString text = str(n.text);
    text.replace(u'\t', u' ');
    return {{"text", text},
            {"shape", static_cast<int>(n.shape)},
            {"icon", n.fields.markers.empty() ? QString() : str(n.fields.markers.back())},
            {"children", children}};
}

// The texts a drawing shows, in order.
QStringList svgTexts(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    QXmlStreamReader xml(&file);
    QStringList texts;
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"text")
            texts << xml.readElementText(QXmlStreamReader::IncludeChildElements);
    return texts;
}

QString squeezed(QString s) {
    static const QRegularExpression kSpace(QStringLiteral("[\\s\\x{200B}\\x{00A0}]"));
    return s.remove(kSpace);
}

} // namespace

TEST(OutsideReaders, XMindsOwnModelReadsOurWorkbooksAlike) {
    const QString nodeProgram = node();
    QTemporaryDir dir;
    keepIfAsked(dir);
    QStringList files;
    for (const auto& [stem, sheets] : documents()) {
        const QString path = dir.filePath(str(stem) + ".xmind");
        ASSERT_TRUE(save(path, writeXMind(sheets)));
        QJsonArray expectSheets;
        for (std::size_t s = 0; s < sheets.size(); ++s) {
            QJsonArray roots;
            for (int r : sheets[s].roots)
                roots.append(xmindNode(sheets[s], r));
            const QString title =
                sheets[s].title.empty() ? QString("页%1").arg(s + 1) : str(sheets[s].title);
            expectSheets.append(QJsonObject{{"title", title}, {"roots", roots}});
        }
        QByteArray expect = QJsonDocument(QJsonObject{{"sheets", expectSheets}}).toJson();
        ASSERT_TRUE(save(path + ".expect.json", expect));
        files << path;
    }
    const QString out = run(nodeProgram, QStringList{TAVLO_OUTSIDE_READERS "/check-xmind.mjs"} + files);
    EXPECT_EQ(out.count(": same"), files.size()) << out.toStdString();
}

TEST(OutsideReaders, MermaidsParserReadsOurMindMapsAlike) {
    const QString nodeProgram = node();
    QTemporaryDir dir;
    keepIfAsked(dir);
    QStringList files;
    for (const auto& [stem, sheets] : documents()) {
        const MapSheet& source = sheets.front();
        if (source.roots.empty())
            continue;
        const QString path = dir.filePath(str(stem) + ".mmd");
        ASSERT_TRUE(save(path, writeMap(source, Format::Mermaid)));
        MapSheet storage;
        const MapSheet& one = withOneRoot(source, storage, [](MapNode&) {});
        ASSERT_TRUE(save(path + ".expect.json",
                         QJsonDocument(mermaidNode(one, one.roots.front())).toJson()));
        files << path;
    }
    const QString out = run(nodeProgram, QStringList{TAVLO_OUTSIDE_READERS "/check-mermaid.mjs"} + files);
    EXPECT_EQ(out.count(": same"), files.size()) << out.toStdString();
}

TEST(OutsideReaders, PlantUmlDrawsEveryNodeOfOurMindMaps) {
    const QString plantuml = QStandardPaths::findExecutable("plantuml");
    ASSERT_FALSE(plantuml.isEmpty()) << "plantuml is not installed: run scripts/install-deps.sh";
    QTemporaryDir dir;
    keepIfAsked(dir);
    QStringList files;
    std::vector<MapSheet> written;
    for (const auto& [stem, sheets] : documents()) {
        if (sheets.front().roots.empty())
            continue;
        const QString path = dir.filePath(str(stem) + ".puml");
        ASSERT_TRUE(save(path, writeMap(sheets.front(), Format::PlantUml)));
        files << path;
        written.push_back(sheets.front());
    }
    // One Java start for every file.
    const QString out = run(plantuml, QStringList{"-tsvg", "-nometadata"} + files);
    for (qsizetype i = 0; i < files.size(); ++i) {
        QString svg = files[i];
        svg.replace(QLatin1String(".puml"), QLatin1String(".svg"));
        const QStringList texts = svgTexts(svg);
        EXPECT_FALSE(texts.join(u' ').contains(QLatin1String("Syntax Error"))) << files[i].toStdString();
        // Each node's text is drawn (the left side after the right one):
        // longer texts are found first, each where no other was found.
        QString left = squeezed(texts.join(QString()));
        QStringList wanted;
        for (const MapNode& n : written[static_cast<std::size_t>(i)].nodes)
            wanted << squeezed(str(n.text));
        std::sort(wanted.begin(), wanted.end(),
                  [](const QString& a, const QString& b) { return a.size() > b.size(); });
        for (const QString& want : wanted) {
            const qsizetype found = left.indexOf(want);
            EXPECT_GE(found, 0) << files[i].toStdString() << ": " << want.toStdString();
            if (found >= 0)
                left.remove(found, want.size());
        }
    }
    (void)out;
}

#endif
