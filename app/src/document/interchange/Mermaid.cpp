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

struct Shape {
    const char* open;
    const char* close;
    MapShape shape;
};

// Longer openers first: "((" before "(", "))" before ")".
constexpr Shape kShapes[] = {
    {"((", "))", MapShape::Circle}, {"))", "((", MapShape::Bang}, {"{{", "}}", MapShape::Hexagon},
    {"(", ")", MapShape::Rounded},  {")", "(", MapShape::Cloud},  {"[", "]", MapShape::Rectangle},
};

// Mermaid's entity codes ("#quot;", "#35;") and line breaks.
QString decodeLabel(QString text) {
    static const QRegularExpression kBreak(QStringLiteral("<br\\s*/?>"),
                                           QRegularExpression::CaseInsensitiveOption);
    text.replace(kBreak, QStringLiteral("\n"));
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype end = text[i] == u'#' ? text.indexOf(u';', i) : -1;
        if (end > i + 1 && end - i <= 10) {
            const QString name = text.mid(i + 1, end - i - 1);
            bool numeric = false;
            const uint code = name.toUInt(&numeric);
            QString decoded;
            if (numeric && code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF))
                decoded = QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
            else if (name == u"quot")
                decoded = QStringLiteral("\"");
            else if (name == u"lt")
                decoded = QStringLiteral("<");
            else if (name == u"gt")
                decoded = QStringLiteral(">");
            else if (name == u"amp")
                decoded = QStringLiteral("&");
            if (!decoded.isEmpty()) {
                out += decoded;
                i = end;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

// The text between a shape's brackets: quoted, a Markdown string, or bare.
QString unquote(QString text) {
    text = text.trimmed();
    if (text.size() >= 4 && text.startsWith(u"\"`") && text.endsWith(u"`\""))
        return text.mid(2, text.size() - 4);
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"'))
        return text.mid(1, text.size() - 2);
    return text;
}

// A node's line: "id[text]", "id((text))", ... or a bare text.
void parseNode(const QString& line, MapNode& node) {
    const qsizetype idEnd = [&] {
        for (qsizetype i = 0; i < line.size(); ++i)
            if (QStringLiteral("([{)").contains(line[i]))
                return i;
        return line.size();
    }();
    const QString rest = line.mid(idEnd);
    for (const Shape& s : kShapes) {
        const QLatin1String open(s.open), close(s.close);
        if (rest.startsWith(open) && rest.endsWith(close) && rest.size() >= open.size() + close.size()) {
            node.shape = s.shape;
            node.text = labelFromLine(
                toUtf8(decodeLabel(unquote(rest.mid(open.size(), rest.size() - open.size() - close.size())))));
            return;
        }
    }
    node.text = labelFromLine(toUtf8(decodeLabel(line.trimmed())));
}

// Source lines with a Markdown string that runs over several lines joined,
// its line breaks kept.
QStringList logicalLines(std::string_view text) {
    const QStringList raw = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
                                .remove(u'\r')
                                .split(u'\n');
    QStringList out;
    for (const QString& line : raw) {
        if (!out.isEmpty() && out.back().count(QLatin1String("\"`")) >
                                  out.back().count(QLatin1String("`\""))) {
            out.back() += u'\n' + line.trimmed();
            continue;
        }
        out.push_back(line);
    }
    return out;
}

int indentOf(const QString& line) {
    int n = 0;
    while (n < line.size() && (line[n] == u' ' || line[n] == u'\t'))
        ++n;
    return n;
}

} // namespace

bool addMermaidTrees(std::string_view text, MapSheet& sheet, int parent) {
    const QStringList lines = logicalLines(text);
    qsizetype i = 0;
    // Front matter (a title, settings) and directives come before the kind.
    if (i < lines.size() && lines[i].trimmed() == u"---") {
        for (++i; i < lines.size() && lines[i].trimmed() != u"---"; ++i) {
        }
        ++i;
    }
    for (; i < lines.size(); ++i) {
        const QString t = lines[i].trimmed();
        if (!t.isEmpty() && !t.startsWith(u"%%"))
            break;
    }
    if (i >= lines.size() || lines[i].trimmed() != u"mindmap")
        return false;
    std::vector<std::pair<int, int>> open; // indentation and node, innermost last
    int last = -1;
    std::vector<int> madeUp;
    for (++i; i < lines.size(); ++i) {
        const QString& line = lines[i];
        const QString t = line.trimmed();
        if (t.isEmpty())
            continue;
        if (t.startsWith(u"%%")) {
            if (last >= 0 && t.mid(2).trimmed() == QLatin1String(kMadeUpRootComment.data(),
                                                                  static_cast<qsizetype>(kMadeUpRootComment.size())))
                madeUp.push_back(last);
            continue;
        }
        if (t.startsWith(u"::icon(") && t.endsWith(u')')) {
            if (last >= 0)
                sheet.nodes[static_cast<std::size_t>(last)].fields.markers.push_back(
                    toUtf8(t.mid(7, t.size() - 8).trimmed()));
            continue;
        }
        if (t.startsWith(u":::"))
            continue; // classes style the node only
        const int indent = indentOf(line);
        while (!open.empty() && open.back().first >= indent)
            open.pop_back();
        last = sheet.add(open.empty() ? parent : open.back().second, {});
        parseNode(t, sheet.nodes[static_cast<std::size_t>(last)]);
        open.emplace_back(indent, last);
    }
    if (parent < 0 && madeUp.size() == 1 && sheet.roots.size() == 1 && sheet.roots.front() == madeUp.front())
        freeMadeUpRoot(sheet, [](const MapNode&) { return true; });
    return true;
}

bool readMermaid(const QByteArray& bytes, MapDocument& out, ReadError& error) {
    std::string encoding;
    std::string decoded;
    if (!readTextFile(bytes, decoded, &encoding, error))
        return false;
    const std::string& text = decoded;
    MapDocument doc;
    doc.sheets.emplace_back();
    if (!addMermaidTrees(text, doc.sheets.back(), -1)) {
        error = {1, "not a Mermaid mind map (no \"mindmap\" line)"};
        return false;
    }
    doc.encoding = encoding;
    out = std::move(doc);
    return true;
}

namespace {

// A text Mermaid shows as it is without brackets or quotes.
bool isBare(const std::string& text) {
    const QString t = fromUtf8(text);
    // "mindmap" would start another diagram.
    if (t.isEmpty() || t.trimmed() != t || text.rfind("::", 0) == 0 || text.rfind("%%", 0) == 0 ||
        t.compare(u"mindmap", Qt::CaseInsensitive) == 0)
        return false;
    return text.find_first_of("()[]{}\"#<>&\n\t`") == std::string::npos;
}

std::string encodeLabel(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '"': out += "#quot;"; break;
        case '#': out += "#35;"; break;
        case '&': out += "#38;"; break; // a text is HTML to mermaid
        case '`': out += "#96;"; break; // "` would start a Markdown string
        case '<': out += "#lt;"; break;
        case '>': out += "#gt;"; break;
        case '\n': out += "<br>"; break;
        case '\t': out += ' '; break;
        default: out += c;
        }
    }
    return out;
}

std::string nodeLine(const MapNode& node, int index) {
    const std::string text = labelForLine(node.text);
    if (node.shape == MapShape::Default && isBare(text))
        return text;
    const Shape* shape = &kShapes[5]; // a box, when the text needs quotes
    for (const Shape& s : kShapes)
        if (s.shape == node.shape)
            shape = &s;
    return "n" + std::to_string(index + 1) + shape->open + "\"" + encodeLabel(text) + "\"" +
           shape->close;
}

} // namespace

QByteArray writeMermaid(const MapSheet& source) {
    MapSheet storage;
    const MapSheet& sheet = withOneRoot(source, storage, [](MapNode&) {});
    std::string out = "mindmap\n";
    walkSheet(sheet, [&](int index, int depth) {
        const MapNode& node = sheet.nodes[static_cast<std::size_t>(index)];
        const std::string indent(static_cast<std::size_t>(2 * (std::min(depth, kMostDiagramDepth) + 1)), ' ');
        out += indent + nodeLine(node, index) + '\n';
        if (depth == 0 && &sheet == &storage)
            out += indent + "  %% " + std::string(kMadeUpRootComment) + '\n';
        for (const std::string& marker : node.fields.markers)
            if (marker.find_first_of(")\n") == std::string::npos && !marker.empty())
                out += indent + "  ::icon(" + marker + ")\n";
    });
    return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

} // namespace interchange
