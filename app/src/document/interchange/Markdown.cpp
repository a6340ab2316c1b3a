#include <md4c.h>

#include <QString>

#include "interchange/Outline.h"
#include "interchange/XmlInput.h"

namespace interchange {

namespace {

// Builds the sheet from md4c's stream of blocks, spans and texts.
struct MdBuilder {
    MapDocument doc;
    MapSheet* sheet = nullptr;
    std::vector<std::pair<int, int>> headings; // level, node
    std::vector<int> items;                    // open list items, innermost last
    int target = -1;                           // the node that text goes to
    int last = -1;                             // the node made last
    int skipText = 0;                          // inside an image or raw HTML

    int make(int parent) {
        last = sheet->add(parent, {});
        return last;
    }
    int headingParent() const { return headings.empty() ? -1 : headings.back().second; }
    // A further block of a node's text starts on a line of its own.
    void startLine(int node) {
        std::string& text = sheet->nodes[static_cast<std::size_t>(node)].text;
        if (!text.empty() && text.back() != '\n')
            text += '\n';
    }
    void append(const char* s, std::size_t n) {
        if (target >= 0 && !skipText)
            sheet->nodes[static_cast<std::size_t>(target)].text.append(s, n);
    }

    void enterBlock(MD_BLOCKTYPE type, void* detail) {
        switch (type) {
        case MD_BLOCK_H: {
            const int level = static_cast<int>(static_cast<MD_BLOCK_H_DETAIL*>(detail)->level);
            while (!headings.empty() && headings.back().first >= level)
                headings.pop_back();
            items.clear();
            target = make(headingParent());
            headings.emplace_back(level, target);
            break;
        }
        case MD_BLOCK_LI:
            target = make(items.empty() ? headingParent() : items.back());
            items.push_back(target);
            break;
        case MD_BLOCK_P:
        case MD_BLOCK_CODE:
        case MD_BLOCK_TABLE:
            if (!items.empty())
                target = items.back();
            else
                target = last >= 0 ? last : make(-1);
            startLine(target);
            break;
        case MD_BLOCK_HTML:
            ++skipText;
            break;
        default:
            break;
        }
    }
    void leaveBlock(MD_BLOCKTYPE type) {
        switch (type) {
        case MD_BLOCK_H:
            target = -1;
            break;
        case MD_BLOCK_LI:
            if (!items.empty())
                items.pop_back();
            target = items.empty() ? -1 : items.back();
            break;
        case MD_BLOCK_HTML:
            --skipText;
            break;
        case MD_BLOCK_TR:
            if (target >= 0)
                startLine(target);
            break;
        default:
            break;
        }
    }
    void text(MD_TEXTTYPE type, const MD_CHAR* s, MD_SIZE n) {
        switch (type) {
        case MD_TEXT_SOFTBR:
            append(" ", 1);
            break;
        case MD_TEXT_BR:
            append("\n", 1);
            break;
        case MD_TEXT_NULLCHAR:
        case MD_TEXT_HTML:
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
};

int onEnterBlock(MD_BLOCKTYPE type, void* detail, void* user) {
    static_cast<MdBuilder*>(user)->enterBlock(type, detail);
    return 0;
}
int onLeaveBlock(MD_BLOCKTYPE type, void*, void* user) {
    static_cast<MdBuilder*>(user)->leaveBlock(type);
    return 0;
}
int onEnterSpan(MD_SPANTYPE type, void*, void* user) {
    auto* b = static_cast<MdBuilder*>(user);
    if (type == MD_SPAN_IMG) {
        b->doc.skipped.add(kImages);
        ++b->skipText;
    } else if (type == MD_SPAN_A) {
        b->doc.skipped.add(kLinks);
    }
    return 0;
}
int onLeaveSpan(MD_SPANTYPE type, void*, void* user) {
    if (type == MD_SPAN_IMG)
        --static_cast<MdBuilder*>(user)->skipText;
    return 0;
}
int onText(MD_TEXTTYPE type, const MD_CHAR* s, MD_SIZE n, void* user) {
    static_cast<MdBuilder*>(user)->text(type, s, n);
    return 0;
}

// The first line holding a NUL byte, or 0: such bytes are not text.
int binaryLine(const QByteArray& bytes) {
    const qsizetype nul = bytes.indexOf('\0');
    return nul < 0 ? 0 : static_cast<int>(bytes.left(nul).count('\n')) + 1;
}

// Characters that would start a heading, a list or a quote at a line's start,
// or mark up text inside it, are escaped.
std::string escapeMarkdown(const std::string& line, bool atStart) {
    std::string out;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        const bool special = c == '\\' || c == '*' || c == '_' || c == '`' || c == '[' ||
                             c == ']' || c == '<' || c == '>' || c == '#' || c == '|' ||
                             c == '~' || c == '&';
        const bool leading = atStart && i == 0 && (c == '-' || c == '+' || c == '=');
        const bool ordered = atStart && c == '.' && i > 0 &&
                             line.find_first_not_of("0123456789") == i;
        if (special || leading || ordered)
            out += '\\';
        out += c;
    }
    return out;
}

} // namespace

bool readMarkdown(const QByteArray& bytes, MapDocument& out, ReadError& error) {
    if (const int line = binaryLine(bytes)) {
        error = {line, "not a text file"};
        return false;
    }
    const std::string text = decodePlainText(bytes);
    MdBuilder builder;
    builder.doc.sheets.emplace_back();
    builder.sheet = &builder.doc.sheets.back();
    MD_PARSER parser{};
    parser.abi_version = 0;
    parser.flags = MD_FLAG_TABLES | MD_FLAG_STRIKETHROUGH | MD_FLAG_NOHTML;
    parser.enter_block = onEnterBlock;
    parser.leave_block = onLeaveBlock;
    parser.enter_span = onEnterSpan;
    parser.leave_span = onLeaveSpan;
    parser.text = onText;
    if (md_parse(text.data(), static_cast<MD_SIZE>(text.size()), &parser, &builder) != 0) {
        error = {1, "the Markdown could not be read"};
        return false;
    }
    for (MapNode& node : builder.sheet->nodes)
        node.text = tidyLines(fromUtf8(node.text));
    out = std::move(builder.doc);
    return true;
}

QByteArray writeMarkdown(const MapSheet& sheet) {
    std::string out;
    bool afterHeading = false;
    walkSheet(sheet, [&](int index, int depth) {
        const std::string& text = sheet.nodes[static_cast<std::size_t>(index)].text;
        std::vector<std::string> lines;
        std::size_t from = 0;
        while (from <= text.size()) {
            const std::size_t end = std::min(text.find('\n', from), text.size());
            lines.push_back(text.substr(from, end - from));
            from = end + 1;
        }
        if (depth < 2) {
            afterHeading = true;
            if (!out.empty())
                out += '\n';
            out += std::string(static_cast<std::size_t>(depth + 1), '#') + ' ' +
                   escapeMarkdown(lines[0], false) + '\n';
            for (std::size_t i = 1; i < lines.size(); ++i)
                out += '\n' + escapeMarkdown(lines[i], true) + '\n';
            return;
        }
        if (afterHeading)
            out += '\n'; // a list needs a blank line after a heading's paragraph
        afterHeading = false;
        const std::string indent(static_cast<std::size_t>(2 * (depth - 2)), ' ');
        out += indent + "- " + escapeMarkdown(lines[0], true) + '\n';
        // Further lines are lines of the same item, ended by a hard break.
        for (std::size_t i = 1; i < lines.size(); ++i) {
            out.insert(out.size() - 1, "\\");
            out += indent + "  " + escapeMarkdown(lines[i], true) + '\n';
        }
    });
    return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

} // namespace interchange
