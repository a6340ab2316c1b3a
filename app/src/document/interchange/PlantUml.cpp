#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <algorithm>

#include "interchange/MapFields.h"
#include "interchange/Outline.h"
#include "interchange/TextDiagrams.h"
#include "interchange/XmlInput.h"

namespace interchange {

namespace {

// A node's line: its marks, then an optional fill and "_" (no box), then the
// text, which starts with ":" when it runs over lines up to one ending ";".
const QRegularExpression& nodePattern() {
    static const QRegularExpression kNode(
        QStringLiteral("^\\s*([*+-]+)(?:\\[(#[^\\]]*)\\])?(_)?(?:\\[(#[^\\]]*)\\])?(.*)$"));
    return kNode;
}

// The characters PlantUML's "~" shows as they are, where they would mark
// up text otherwise; before any other character "~" is itself.
constexpr char16_t kEscapable[] = u"*/\"-_[]<#.";

QString unescape(const QString& text) {
    // A line that starts with "|" would be a table: it is written after a
    // zero-width space.
    if (text.contains(u'\n')) {
        QStringList lines = text.split(u'\n');
        for (QString& line : lines)
            line = unescape(line);
        return lines.join(u'\n');
    }
    if (text.startsWith(QStringLiteral("\u200B|")))
        return unescape(text.mid(1));
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'~' && i + 1 < text.size() && QStringView(kEscapable).contains(text[i + 1]))
            ++i;
        out += text[i];
    }
    return out;
}

// A line of a text over several lines that ends in ";" is written with a
// zero-width space after it, or it would end the text.
QString endOfTextLine(QString line) {
    if (line.endsWith(QStringLiteral(";\u200B")))
        line.chop(1);
    return line;
}

// A trailing "<<stereotype>>" styles the node only.
QString withoutStereotype(QString text) {
    static const QRegularExpression kStereotype(QStringLiteral("\\s*<<[^<>]*>>\\s*$"));
    return text.remove(kStereotype);
}

class PumlReader {
public:
    explicit PumlReader(MapSheet& sheet) : sheet_(sheet) {}
    // False when the line is not part of the tree (a comment, a setting).
    void line(const QString& raw);
    bool madeUpRoot() const { return madeUp_; }

private:
    void node(const QRegularExpressionMatch& m);

    MapSheet& sheet_;
    std::vector<int> open_; // the node open at each depth
    int multiline_ = -1;    // the node whose ":...;" text is being read
    QString pending_;
    bool inBlock_ = false;    // a /' ... '/ comment
    QString endOfBlock_;      // the line that ends a style, legend or header block
    bool leftSide_ = false;   // after "left side"
    bool madeUp_ = false;
};

void PumlReader::line(const QString& raw) {
    const QString t = raw.trimmed();
    if (multiline_ >= 0) {
        const bool last = t.endsWith(u';');
        pending_ += u'\n' + (last ? t.left(t.size() - 1) : endOfTextLine(t));
        if (last) {
            sheet_.nodes[static_cast<std::size_t>(multiline_)].text = labelFromLine(toUtf8(unescape(pending_)));
            multiline_ = -1;
        }
        return;
    }
    if (inBlock_) {
        inBlock_ = !t.endsWith(u"'/");
        return;
    }
    if (!endOfBlock_.isEmpty()) {
        if (t.compare(endOfBlock_, Qt::CaseInsensitive) == 0)
            endOfBlock_.clear();
        return;
    }
    if (t.startsWith(u"/'")) {
        inBlock_ = !t.endsWith(u"'/") || t.size() < 4;
        return;
    }
    if (t.startsWith(u'\'')) {
        if (t.mid(1).trimmed() == QLatin1String(kMadeUpRootComment.data(),
                                                static_cast<qsizetype>(kMadeUpRootComment.size())) &&
            sheet_.nodes.size() == 1)
            madeUp_ = true;
        return;
    }
    static const QRegularExpression kBlock(QStringLiteral("^(<style>|legend|header|footer)\\b"),
                                           QRegularExpression::CaseInsensitiveOption);
    if (const auto m = kBlock.match(t); m.hasMatch() && !t.contains(u"</style>")) {
        const QString kind = m.captured(1).toLower();
        endOfBlock_ = kind == u"<style>" ? QStringLiteral("</style>") : QStringLiteral("end") + kind;
        // "header text" on one line is the whole header.
        if (kind != u"<style>" && kind != u"legend" && t.size() > kind.size())
            endOfBlock_.clear();
        return;
    }
    if (t.compare(u"left side", Qt::CaseInsensitive) == 0) {
        leftSide_ = true;
        return;
    }
    if (t.compare(u"right side", Qt::CaseInsensitive) == 0) {
        leftSide_ = false;
        return;
    }
    if (t.startsWith(u"title ", Qt::CaseInsensitive)) {
        sheet_.title = toUtf8(t.mid(6).trimmed());
        return;
    }
    const QRegularExpressionMatch m = nodePattern().match(raw);
    if (m.hasMatch())
        node(m);
    // Anything else (skinparam, caption, directions) does not change the tree.
}

void PumlReader::node(const QRegularExpressionMatch& m) {
    const QString marks = m.captured(1);
    int depth = static_cast<int>(marks.size()) - 1;
    depth = std::min(depth, static_cast<int>(open_.size()));
    open_.resize(static_cast<std::size_t>(depth));
    const int index = sheet_.add(open_.empty() ? -1 : open_.back(), {});
    open_.push_back(index);
    MapNode& node = sheet_.nodes[static_cast<std::size_t>(index)];
    const QString colour = m.captured(2).isEmpty() ? m.captured(4) : m.captured(2);
    node.background = parseHexColour(toUtf8(colour));
    if (depth == 1)
        node.side = marks[0] == u'-' ? -1 : marks[0] == u'+' ? 1 : leftSide_ ? -1 : 0;
    // ":" right after the marks starts a text of several lines.
    QString text = m.captured(5);
    if (text.startsWith(u':')) {
        text = text.mid(1).trimmed();
        if (text.endsWith(u';')) {
            node.text = labelFromLine(toUtf8(unescape(text.left(text.size() - 1))));
        } else {
            multiline_ = index;
            pending_ = endOfTextLine(text);
        }
        return;
    }
    node.text = labelFromLine(toUtf8(unescape(withoutStereotype(text).trimmed())));
}

} // namespace

bool readPlantUml(const QByteArray& bytes, MapDocument& out, ReadError& error) {
    std::string encoding;
    std::string decoded;
    if (!readTextFile(bytes, decoded, &encoding, error))
        return false;
    const QStringList lines = fromUtf8(decoded).split(u'\n');
    decoded = std::string();
    qsizetype start = 0;
    while (start < lines.size() && !lines[start].trimmed().startsWith(u"@startmindmap"))
        ++start;
    if (start == lines.size()) {
        error = {1, "not a PlantUML mind map (no @startmindmap line)"};
        return false;
    }
    MapDocument doc;
    doc.sheets.emplace_back();
    PumlReader reader(doc.sheets.back());
    for (qsizetype i = start + 1; i < lines.size() && !lines[i].trimmed().startsWith(u"@end"); ++i)
        reader.line(lines[i]);
    if (reader.madeUpRoot())
        freeMadeUpRoot(doc.sheets.back(), [](const MapNode&) { return true; });
    doc.encoding = encoding;
    out = std::move(doc);
    return true;
}

namespace {

// Characters that PlantUML's text markup would take for formatting, a
// colour or a link are escaped with "~".
std::string escapeLine(const std::string& line, bool inLongText) {
    std::string out = line.rfind('|', 0) == 0 ? "\u200B" : "";
    for (const char c : line) {
        if (std::string_view("*/\"-_[]<#.").find(c) != std::string_view::npos)
            out += '~';
        out += c;
    }
    if (inLongText && !out.empty() && out.back() == ';')
        out += "\u200B";
    return out;
}

std::string nodeText(const MapNode& node) {
    const std::string text = labelForLine(node.text);
    if (text.find('\n') == std::string::npos)
        return " " + escapeLine(text, false);
    std::string out = ":";
    std::size_t from = 0;
    while (from <= text.size()) {
        const std::size_t end = std::min(text.find('\n', from), text.size());
        out += (from ? "\n" : "") + escapeLine(text.substr(from, end - from), true);
        from = end + 1;
    }
    return out + ";";
}

} // namespace

QByteArray writePlantUml(const MapSheet& source) {
    MapSheet storage;
    const MapSheet& sheet = withOneRoot(source, storage, [](MapNode&) {});
    std::string out = "@startmindmap\n";
    auto write = [&](int index, int depth) {
        const MapNode& node = sheet.nodes[static_cast<std::size_t>(index)];
        out += std::string(static_cast<std::size_t>(std::min(depth, kMostDiagramDepth) + 1), '*');
        if (node.background.set)
            out += "[" + hexColour(node.background) + "]";
        out += nodeText(node) + '\n';
    };
    // Branches on the left follow "left side", after those on the right: only
    // "*" marks take texts of several lines in every PlantUML.
    for (const int root : sheet.roots) {
        write(root, 0);
        if (&sheet == &storage)
            out += "' " + std::string(kMadeUpRootComment) + '\n';
        const auto& kids = sheet.nodes[static_cast<std::size_t>(root)].children;
        for (const bool left : {false, true}) {
            bool switched = false;
            for (const int child : kids) {
                if ((sheet.nodes[static_cast<std::size_t>(child)].side < 0) != left)
                    continue;
                if (left && !switched) {
                    out += "left side\n";
                    switched = true;
                }
                std::vector<std::pair<int, int>> stack{{child, 1}};
                while (!stack.empty()) {
                    const auto [n, depth] = stack.back();
                    stack.pop_back();
                    write(n, depth);
                    const auto& below = sheet.nodes[static_cast<std::size_t>(n)].children;
                    for (auto it = below.rbegin(); it != below.rend(); ++it)
                        stack.emplace_back(*it, depth + 1);
                }
            }
        }
    }
    out += "@endmindmap\n";
    return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

} // namespace interchange
