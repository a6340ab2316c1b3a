#include <md4c.h>

#include <QRegularExpression>
#include <QString>

#include <exception>
#include <string_view>

#include "interchange/MapFields.h"
#include "interchange/TextDiagrams.h"

#include "interchange/Outline.h"
#include "interchange/XmlInput.h"

namespace interchange {

namespace {

// Builds the sheet from md4c's stream of blocks, spans and texts: headings
// and list items are nodes; a node's first paragraph is its text, the
// paragraphs, code and tables after it its note; a ```mermaid mind map
// becomes the trees it draws.
struct MdBuilder {
    MapDocument doc;
    MapSheet* sheet = nullptr;
    std::exception_ptr thrown; // what a callback threw, for after the parse
    std::vector<std::pair<int, int>> headings; // level, node
    struct Item {
        int node;
        int blocks = 0; // paragraphs and other blocks begun in it
    };
    std::vector<Item> items;    // open list items, innermost last
    std::vector<int> numbering; // per open list: the next number, 0 for bullets
    int target = -1;            // the node that text goes to
    bool toNote = false;        // ... into its note
    int last = -1;              // the node made last
    int skipText = 0;           // inside an image or raw HTML
    bool inCode = false;
    std::string code;           // a code block's text, until it ends
    std::string codeLanguage;
    int cells = 0;              // cells begun in the table row

    MapNode& at(int node) { return sheet->nodes[static_cast<std::size_t>(node)]; }
    int make(int parent) {
        last = sheet->add(parent, {});
        return last;
    }
    int headingParent() const { return headings.empty() ? -1 : headings.back().second; }
    // The node a block that is not a node's own text belongs to.
    int owner() const { return !items.empty() ? items.back().node : headings.empty() ? last : headingParent(); }
    std::string& into(int node) { return toNote ? at(node).fields.note : at(node).text; }
    // A further block of a node's note starts after an empty line.
    void startNoteBlock(int node) {
        std::string& note = at(node).fields.note;
        while (!note.empty() && note.back() == '\n')
            note.pop_back();
        if (!note.empty())
            note += "\n\n";
    }
    void append(const char* s, std::size_t n) {
        if (inCode)
            code.append(s, n);
        else if (target >= 0 && !skipText)
            into(target).append(s, n);
    }

    void startParagraph() {
        if (!items.empty()) {
            Item& item = items.back();
            target = item.node;
            toNote = item.blocks++ > 0;
        } else if (owner() < 0) {
            target = make(-1); // text before any heading or list starts a tree
            toNote = false;
        } else {
            target = owner();
            toNote = true;
        }
        if (toNote)
            startNoteBlock(target);
    }

    void enterBlock(MD_BLOCKTYPE type, void* detail) {
        switch (type) {
        case MD_BLOCK_H: {
            // A heading inside a list item (a line of "-" under its text makes
            // one) is the item's text, not a new branch.
            if (!items.empty()) {
                target = items.back().node;
                toNote = items.back().blocks++ > 0;
                break;
            }
            const int level = static_cast<int>(static_cast<MD_BLOCK_H_DETAIL*>(detail)->level);
            while (!headings.empty() && headings.back().first >= level)
                headings.pop_back();
            items.clear();
            target = make(headingParent());
            toNote = false;
            headings.emplace_back(level, target);
            break;
        }
        case MD_BLOCK_UL:
            numbering.push_back(0);
            break;
        case MD_BLOCK_OL:
            numbering.push_back(static_cast<int>(static_cast<MD_BLOCK_OL_DETAIL*>(detail)->start));
            break;
        case MD_BLOCK_LI: {
            // A text in tight lists comes without a paragraph: it is the item's own.
            target = make(items.empty() ? headingParent() : items.back().node);
            toNote = false;
            items.push_back({target, 0});
            if (!numbering.empty() && numbering.back() > 0)
                at(target).text = std::to_string(numbering.back()++) + ". ";
            break;
        }
        case MD_BLOCK_P:
            startParagraph();
            break;
        case MD_BLOCK_CODE: {
            const auto* d = static_cast<MD_BLOCK_CODE_DETAIL*>(detail);
            codeLanguage.assign(d->lang.text ? d->lang.text : "", d->lang.size);
            code.clear();
            inCode = true;
            break;
        }
        case MD_BLOCK_TABLE:
            startParagraph();
            if (!toNote) { // a table's cells are a note, never a title
                toNote = true;
                startNoteBlock(target);
            }
            break;
        case MD_BLOCK_TR:
            cells = 0;
            break;
        case MD_BLOCK_TH:
        case MD_BLOCK_TD:
            if (cells++ > 0)
                append(" | ", 3);
            break;
        case MD_BLOCK_HTML:
            ++skipText;
            break;
        default:
            break;
        }
        if (!items.empty() && type != MD_BLOCK_LI && type != MD_BLOCK_P && type != MD_BLOCK_TABLE && type != MD_BLOCK_H &&
            type != MD_BLOCK_UL && type != MD_BLOCK_OL && type != MD_BLOCK_TR &&
            type != MD_BLOCK_TH && type != MD_BLOCK_TD && type != MD_BLOCK_THEAD &&
            type != MD_BLOCK_TBODY)
            items.back().blocks++;
    }
    void endCode() {
        inCode = false;
        const int parent = !items.empty() ? items.back().node : headingParent();
        if (codeLanguage == "mermaid" && addMermaidTrees(code, *sheet, parent)) {
            last = static_cast<int>(sheet->nodes.size()) - 1;
            return;
        }
        int node = owner();
        if (node < 0)
            node = make(-1);
        startNoteBlock(node);
        while (!code.empty() && code.back() == '\n')
            code.pop_back();
        at(node).fields.note += code;
    }
    void leaveBlock(MD_BLOCKTYPE type) {
        switch (type) {
        case MD_BLOCK_H:
            target = items.empty() ? -1 : items.back().node;
            toNote = !items.empty();
            break;
        case MD_BLOCK_UL:
        case MD_BLOCK_OL:
            if (!numbering.empty())
                numbering.pop_back();
            break;
        case MD_BLOCK_LI:
            if (!items.empty())
                items.pop_back();
            target = items.empty() ? -1 : items.back().node;
            toNote = !items.empty() && items.back().blocks > 0;
            break;
        case MD_BLOCK_P:
        case MD_BLOCK_TABLE:
            target = items.empty() ? -1 : items.back().node;
            toNote = !items.empty();
            break;
        case MD_BLOCK_CODE:
            endCode();
            break;
        case MD_BLOCK_HTML:
            --skipText;
            break;
        case MD_BLOCK_TR:
            append("\n", 1);
            break;
        default:
            break;
        }
    }
    // Inline HTML: a line break, a markmap fold mark, or nothing shown.
    void html(const std::string& tag) {
        static const QRegularExpression kBreak(QStringLiteral("^<br\\s*/?>$"),
                                               QRegularExpression::CaseInsensitiveOption);
        static const QRegularExpression kFold(QStringLiteral("^<!--\\s*markmap:\\s*fold\\s*-->$"));
        const QString t = QString::fromStdString(tag);
        if (kBreak.match(t).hasMatch())
            append("\n", 1);
        else if (kFold.match(t).hasMatch() && target >= 0 && !toNote)
            at(target).folded = true;
    }
    void text(MD_TEXTTYPE type, const MD_CHAR* s, MD_SIZE n) {
        switch (type) {
        case MD_TEXT_SOFTBR:
            append(toNote ? "\n" : " ", 1);
            break;
        case MD_TEXT_BR:
            append("\n", 1);
            break;
        case MD_TEXT_NULLCHAR:
            break;
        case MD_TEXT_HTML:
            html(std::string(s, n));
            break;
        case MD_TEXT_ENTITY: {
            const std::string entity(s, n);
            const std::string decoded = htmlToText(QString::fromStdString(entity));
            append(decoded.data(), decoded.size());
            break;
        }
        default:
            append(s, n);
        }
    }
    void link(const MD_SPAN_A_DETAIL* detail) {
        if (target < 0 || skipText)
            return;
        std::string& link = at(target).fields.link;
        if (link.empty() && !toNote)
            link.assign(detail->href.text ? detail->href.text : "", detail->href.size);
        else if (!toNote)
            doc.skipped.add(kLinks); // a node keeps one link
    }
};

// The parser is C: nothing may be thrown through it. What a callback throws
// (too many nodes, no memory) stops the parse and is thrown again after it.
template <class F> int guarded(void* user, F&& f) {
    try {
        f(*static_cast<MdBuilder*>(user));
        return 0;
    } catch (...) {
        static_cast<MdBuilder*>(user)->thrown = std::current_exception();
        return 1;
    }
}

int onEnterBlock(MD_BLOCKTYPE type, void* detail, void* user) {
    return guarded(user, [&](MdBuilder& b) { b.enterBlock(type, detail); });
}
int onLeaveBlock(MD_BLOCKTYPE type, void*, void* user) {
    return guarded(user, [&](MdBuilder& b) { b.leaveBlock(type); });
}
int onEnterSpan(MD_SPANTYPE type, void* detail, void* user) {
    return guarded(user, [&](MdBuilder& b) {
        if (type == MD_SPAN_IMG) {
            b.doc.skipped.add(kImages);
            ++b.skipText;
        } else if (type == MD_SPAN_A) {
            b.link(static_cast<MD_SPAN_A_DETAIL*>(detail));
        }
    });
}
int onLeaveSpan(MD_SPANTYPE type, void*, void* user) {
    if (type == MD_SPAN_IMG)
        --static_cast<MdBuilder*>(user)->skipText;
    return 0;
}
int onText(MD_TEXTTYPE type, const MD_CHAR* s, MD_SIZE n, void* user) {
    return guarded(user, [&](MdBuilder& b) { b.text(type, s, n); });
}

// Nodes at `level` and deeper are folded, as markmap shows them at first.
void foldBelow(MapSheet& sheet, int level) {
    if (level < 0)
        return;
    walkSheet(sheet, [&](int index, int depth) {
        MapNode& node = sheet.nodes[static_cast<std::size_t>(index)];
        if (depth >= level && !node.children.empty())
            node.folded = true;
    });
}

// A markmap file's front matter ("---" lines around YAML) is its settings,
// not part of the map: the number of levels shown at first is kept, the rest
// is passed over. Returns the text after it.
std::string_view frontMatter(std::string_view text, int& expandLevel) {
    if (text.rfind("---\n", 0) != 0 && text.rfind("---\r\n", 0) != 0)
        return text;
    std::size_t at = text.find('\n') + 1;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        std::string_view line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        at = end + 1;
        if (line == "---" || line == "...")
            return text.substr(std::min(at, text.size()));
        const std::size_t key = line.find("initialExpandLevel:");
        if (key != std::string_view::npos) {
            bool ok = false;
            const int level = QString::fromUtf8(line.substr(key + 19).data(),
                                                static_cast<qsizetype>(line.size() - key - 19))
                                  .trimmed()
                                  .toInt(&ok);
            if (ok)
                expandLevel = level;
        }
    }
    return text; // no end: not front matter after all
}

// Characters that would start a heading, a list or a quote at a line's start,
// or mark up text inside it, are escaped.
std::string escapeMarkdown(const std::string& line, bool atStart) {
    std::string out;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        // markmap also reads $math$, ^super^ and ==marked== text.
        const bool special = c == '\\' || c == '*' || c == '_' || c == '`' || c == '[' ||
                             c == ']' || c == '<' || c == '>' || c == '#' || c == '|' ||
                             c == '~' || c == '&' || c == '$' || c == '^' || c == '=';
        const bool leading = atStart && i == 0 && (c == '-' || c == '+');
        const bool ordered = atStart && (c == '.' || c == ')') && i > 0 &&
                             line.find_first_not_of("0123456789") == i;
        if (special || leading || ordered)
            out += '\\';
        out += c;
    }
    return out;
}

} // namespace

bool readMarkdown(const QByteArray& bytes, MapDocument& out, ReadError& error) {
    std::string encoding;
    std::string decoded;
    if (!readTextFile(bytes, decoded, &encoding, error))
        return false;
    int expandLevel = -1;
    const std::string_view text = frontMatter(decoded, expandLevel);
    MdBuilder builder;
    builder.doc.sheets.emplace_back();
    builder.sheet = &builder.doc.sheets.back();
    MD_PARSER parser{};
    parser.abi_version = 0;
    // Inline HTML is read for line breaks and fold marks; blocks of it are not text.
    parser.flags = MD_FLAG_TABLES | MD_FLAG_STRIKETHROUGH | MD_FLAG_NOHTMLBLOCKS;
    parser.enter_block = onEnterBlock;
    parser.leave_block = onLeaveBlock;
    parser.enter_span = onEnterSpan;
    parser.leave_span = onLeaveSpan;
    parser.text = onText;
    if (md_parse(text.data(), static_cast<MD_SIZE>(text.size()), &parser, &builder) != 0) {
        if (builder.thrown)
            std::rethrow_exception(builder.thrown);
        error = {1, "the Markdown could not be read"};
        return false;
    }
    foldBelow(*builder.sheet, expandLevel);
    for (MapNode& node : builder.sheet->nodes) {
        node.text = labelFromLine(tidyLines(fromUtf8(node.text)));
        while (!node.fields.note.empty() &&
               std::string_view(" \t\n").find(node.fields.note.back()) != std::string_view::npos)
            node.fields.note.pop_back();
    }
    builder.doc.encoding = encoding;
    out = std::move(builder.doc);
    return true;
}

namespace {

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (from <= text.size()) {
        const std::size_t end = std::min(text.find('\n', from), text.size());
        std::string line = text.substr(from, end - from);
        // Markdown shows no white space at a line's ends, nor tabs in it.
        for (char& c : line)
            if (c == '\t' || c == '\r')
                c = ' ';
        const std::size_t first = line.find_first_not_of(' ');
        line = first == std::string::npos ? std::string() : line.substr(first, line.find_last_not_of(' ') - first + 1);
        lines.push_back(std::move(line));
        from = end + 1;
    }
    return lines;
}

// A link's destination, in angle brackets where it holds spaces or brackets.
std::string destination(const std::string& url) {
    std::string out;
    bool angled = false;
    for (const char c : url) {
        if (c == '<' || c == '>' || c == '\n' || c == '\r')
            out += c == '<' ? "%3C" : c == '>' ? "%3E" : "";
        else
            out += c;
        angled = angled || c == ' ' || c == '(' || c == ')' || c == '\\';
    }
    return angled ? "<" + out + ">" : out;
}

// The note's paragraphs, each line ended by a hard break but the last.
void writeNote(std::string& out, const std::string& note, const std::string& indent) {
    const std::vector<std::string> lines = splitLines(note);
    out += '\n';
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].empty()) {
            if (!out.ends_with("\n\n"))
                out += '\n';
            continue;
        }
        out += indent + escapeMarkdown(lines[i], true);
        const bool more = i + 1 < lines.size() && !lines[i + 1].empty();
        out += more ? "\\\n" : "\n";
    }
    if (!out.ends_with("\n\n"))
        out += '\n';
}

} // namespace

QByteArray writeMarkdown(const MapSheet& sheet) {
    std::string out;
    bool paragraphOpen = false; // a list must not continue a note's paragraph
    walkSheet(sheet, [&](int index, int depth) {
        const MapNode& node = sheet.nodes[static_cast<std::size_t>(index)];
        std::vector<std::string> lines = splitLines(labelForLine(node.text));
        std::vector<std::string> escaped;
        for (std::size_t i = 0; i < lines.size(); ++i)
            escaped.push_back(escapeMarkdown(lines[i], i > 0 || depth >= 2));
        if (escaped.front().empty())
            escaped.front() = std::string(kEmptyLabel);
        // Links to other nodes have nothing to point to in a document.
        if (!node.fields.link.empty() && ZN_LinkedAnchor(node.fields.link).empty())
            escaped.front() = "[" + escaped.front() + "](" + destination(node.fields.link) + ")";
        if (node.folded && !node.children.empty())
            escaped.back() += " <!-- markmap: fold -->";
        const bool heading = depth < 2;
        const std::string indent = heading ? std::string() : std::string(static_cast<std::size_t>(2 * (std::min(depth, kMostOutlineDepth) - 2)), ' ');
        if (heading) {
            if (!out.empty() && !out.ends_with("\n\n"))
                out += '\n';
            // A heading holds one line: further lines are breaks in it.
            out += std::string(static_cast<std::size_t>(depth + 1), '#') + ' ' + escaped[0];
            for (std::size_t i = 1; i < escaped.size(); ++i)
                out += "<br>" + escaped[i];
            out += '\n';
        } else {
            if (paragraphOpen && !out.ends_with("\n\n"))
                out += '\n';
            out += indent + "- " + escaped[0];
            // Further lines are lines of the same item, ended by a hard break.
            for (std::size_t i = 1; i < escaped.size(); ++i)
                out += "\\\n" + indent + "  " + escaped[i];
            out += '\n';
        }
        paragraphOpen = false;
        if (!node.fields.note.empty()) {
            writeNote(out, node.fields.note, heading ? std::string() : indent + "  ");
            paragraphOpen = true;
        }
        if (heading)
            paragraphOpen = true; // a list after a heading starts after a blank line
    });
    return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

} // namespace interchange
