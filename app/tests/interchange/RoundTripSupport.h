#pragma once
// Writing a sheet in a format and reading it back: what each format keeps,
// so that two sheets can be compared as the format sees them.

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "interchange/Interchange.h"
#include "interchange/MapFields.h"

namespace ictest {

using interchange::Format;
using interchange::MapNode;
using interchange::MapSheet;

struct Keeps {
    bool fold = false, side = false, note = false, link = false, nodeLinks = false, markers = false,
         attributes = false, crossLinks = false, colours = false, shape = false;
};

inline Keeps keeps(Format f) {
    Keeps k;
    k.fold = f == Format::FreeMind || f == Format::XMind || f == Format::Opml ||
             f == Format::Markdown || f == Format::KityMinder;
    k.side = f == Format::FreeMind || f == Format::PlantUml;
    k.note = f == Format::FreeMind || f == Format::XMind || f == Format::Opml ||
             f == Format::Markdown || f == Format::KityMinder;
    k.link = k.note;
    k.nodeLinks = f == Format::FreeMind || f == Format::XMind || f == Format::KityMinder;
    k.markers = f == Format::FreeMind || f == Format::XMind || f == Format::KityMinder ||
                f == Format::Mermaid;
    k.attributes = f == Format::FreeMind;
    k.crossLinks = f == Format::FreeMind || f == Format::XMind;
    k.colours = f == Format::FreeMind || f == Format::XMind || f == Format::KityMinder;
    k.shape = f == Format::Mermaid;
    return k;
}

inline std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t from = 0;
    while (from <= text.size()) {
        const std::size_t end = std::min(text.find('\n', from), text.size());
        out.push_back(text.substr(from, end - from));
        from = end + 1;
    }
    return out;
}

// White space at both ends, as the readers trim it.
inline std::string trim(const std::string& s) {
    return QString::fromStdString(s).trimmed().toStdString();
}

inline std::string join(const std::vector<std::string>& parts, const char* glue) {
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i)
        out += (i ? glue : "") + parts[i];
    return out;
}

// Lines trimmed, empty lines at both ends dropped.
inline std::string tidy(const std::string& text, bool collapseSpaces = false) {
    std::vector<std::string> ls;
    for (std::string l : lines(text)) {
        for (char& c : l)
            if (c == '\t')
                c = ' ';
        if (collapseSpaces) {
            std::string c;
            for (char ch : l)
                if (!(ch == ' ' && !c.empty() && c.back() == ' '))
                    c += ch;
            l = c;
        }
        ls.push_back(trim(l));
    }
    while (!ls.empty() && ls.front().empty())
        ls.erase(ls.begin());
    while (!ls.empty() && ls.back().empty())
        ls.pop_back();
    return join(ls, "\n");
}

// A node's text as the format holds it.
inline std::string textAs(Format f, const std::string& text) {
    switch (f) {
    case Format::Text: {
        std::string t = text;
        for (char& c : t)
            if (c == '\n' || c == '\t')
                c = ' ';
        return trim(t);
    }
    case Format::XMind:
        return tidy(text);
    case Format::Markdown:
    case Format::PlantUml: {
        std::vector<std::string> ls;
        for (std::string l : lines(text)) {
            for (char& c : l)
                if (c == '\t')
                    c = ' ';
            ls.push_back(trim(l));
        }
        return join(ls, "\n");
    }
    case Format::Mermaid: {
        std::string t = text;
        std::replace(t.begin(), t.end(), '\t', ' ');
        return t;
    }
    default:
        return text;
    }
}

inline std::string noteAs(Format f, const std::string& note) {
    switch (f) {
    case Format::FreeMind:
        return tidy(note, true);
    case Format::XMind:
        return tidy(note);
    case Format::Markdown: {
        // Paragraphs: runs of empty lines are one break.
        std::vector<std::string> ls;
        for (const std::string& l : lines(tidy(note)))
            if (!(l.empty() && !ls.empty() && ls.back().empty()))
                ls.push_back(l);
        return join(ls, "\n");
    }
    default:
        return note;
    }
}

// "[text|fold|side|note|link|markers|attributes](children)" over every tree,
// as far as the format keeps each; links to nodes are shown by the node's
// place in the outline, cross links after the trees.
inline std::string describe(const MapSheet& sheet, Format f) {
    const Keeps k = keeps(f);
    const interchange::AnchorIndex anchors(sheet);
    std::vector<int> order(sheet.nodes.size(), -1);
    int count = 0;
    std::vector<int> stack(sheet.roots.rbegin(), sheet.roots.rend());
    while (!stack.empty()) {
        const int i = stack.back();
        stack.pop_back();
        order[static_cast<std::size_t>(i)] = count++;
        const auto& kids = sheet.nodes[static_cast<std::size_t>(i)].children;
        stack.insert(stack.end(), kids.rbegin(), kids.rend());
    }
    std::string out;
    std::vector<std::pair<int, bool>> walk;
    for (auto it = sheet.roots.rbegin(); it != sheet.roots.rend(); ++it)
        walk.emplace_back(*it, false);
    std::vector<bool> hiddenBelow(sheet.nodes.size(), false);
    while (!walk.empty()) {
        auto [i, closing] = walk.back();
        walk.pop_back();
        if (closing) {
            out += ")";
            continue;
        }
        const MapNode& n = sheet.nodes[static_cast<std::size_t>(i)];
        const bool under = n.parent >= 0 && (hiddenBelow[static_cast<std::size_t>(n.parent)] ||
                                              sheet.nodes[static_cast<std::size_t>(n.parent)].folded);
        hiddenBelow[static_cast<std::size_t>(i)] = under;
        out += "[" + textAs(f, n.text);
        // OPML says only which shown rows are open: below a fold, all is folded.
        const bool folded = !n.children.empty() && (n.folded || (f == Format::Opml && under));
        if (k.fold && folded)
            out += "|+";
        // PlantUML gives sides by the marks of a single tree's branches.
        if (k.side && n.side != 0 && n.parent >= 0 &&
            sheet.nodes[static_cast<std::size_t>(n.parent)].parent < 0 &&
            (f == Format::FreeMind || sheet.roots.size() == 1) && (f != Format::PlantUml || n.side < 0))
            out += n.side < 0 ? "|L" : "|R";
        if (k.note && !noteAs(f, n.fields.note).empty())
            out += "|note:" + noteAs(f, n.fields.note);
        const bool toNode = n.fields.link.size() > 1 && n.fields.link[0] == '#';
        if (k.link && !n.fields.link.empty() && (!toNode || k.nodeLinks)) {
            const int to = anchors.find(n.fields.link);
            out += "|link:" + (to >= 0 ? "@" + std::to_string(order[static_cast<std::size_t>(to)])
                                       : n.fields.link);
        }
        if (k.markers && !n.fields.markers.empty()) {
            std::vector<std::string> m = n.fields.markers;
            // Priority and progress, or markers and labels, have places of their own.
            if (f == Format::KityMinder || f == Format::XMind)
                std::sort(m.begin(), m.end());
            out += "|markers:" + join(m, ",");
        }
        if (k.attributes)
            for (const auto& a : n.fields.attributes)
                out += "|" + a.name + "=" + a.value;
        if (k.colours && n.background.set)
            out += "|bg" + interchange::hexColour(n.background);
        // A text that needs quotes is written in a plain box.
        if (k.shape && n.shape != interchange::MapShape::Default &&
            n.shape != interchange::MapShape::Rectangle)
            out += "|shape" + std::to_string(static_cast<int>(n.shape));
        if (!n.image.empty())
            out += "|picture" + std::to_string(n.image.bytes.size());
        out += "]";
        if (n.children.empty())
            continue;
        out += "(";
        walk.emplace_back(i, true);
        std::vector<int> kids = n.children;
        // PlantUML orders a single root's children on each side, the right first.
        if (f == Format::PlantUml && n.parent < 0 && sheet.roots.size() == 1)
            std::stable_partition(kids.begin(), kids.end(), [&](int c) {
                return sheet.nodes[static_cast<std::size_t>(c)].side >= 0;
            });
        for (auto it = kids.rbegin(); it != kids.rend(); ++it)
            walk.emplace_back(*it, false);
    }
    if (k.crossLinks)
        for (const auto& link : sheet.links)
            out += " " + std::to_string(order[static_cast<std::size_t>(link.from)]) + "->" +
                   std::to_string(order[static_cast<std::size_t>(link.to)]) + ":" + link.title;
    return out;
}

// Texts that trip one format or another.
inline const std::vector<std::string>& oddTexts() {
    static const std::vector<std::string> texts = {
        "", "plain", "two\nlines", "three\n\nlines with a gap", "\nstarts with a break",
        "ends with a break\n", "<html><b>not html</b></html>", "# not a heading",
        "- not an item", "1. not numbered", "2) nor this", "* star", "+ plus", "> quote",
        "a;b;", ":colon first", "ends;", "[text](url)", "$x$ ^sup^ ==mark==", "**bold** //it//",
        "~tilde~ `code`", "back\\slash", "quote\"d 'single'", "tab\there", "中文 文本",
        "emoji 😀", "#35; #quot;", "&amp; &lt;", "trailing ", "  leading", "@endmindmap",
        "mindmap", "::icon(x)", "%% not a comment", "' not a comment", "_under_", "a  two  spaces",
        "((circle))", "[square]", "{{hex}}", "<br> break", "---", "|pipe|", "x = y",
        "-- dash dash", "right side", "title T", "...", "\u00a0nbsp", "`tick` \"`quoted`\"",
    };
    return texts;
}

// A sheet of random trees with odd texts and, where `fields`, notes, links,
// markers, attributes and cross links.
inline MapSheet randomSheet(unsigned seed, bool fields) {
    std::mt19937 rng(seed);
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
    MapSheet sheet;
    sheet.title = "Sheet " + std::to_string(seed);
    const int trees = 1 + static_cast<int>(pick(3));
    const int count = 1 + static_cast<int>(pick(40));
    for (int i = 0; i < count; ++i) {
        const int parent = i < trees ? -1 : static_cast<int>(pick(static_cast<std::size_t>(i)));
        const int n = sheet.add(parent, oddTexts()[pick(oddTexts().size())]);
        sheet.nodes[static_cast<std::size_t>(n)].id = "N" + std::to_string(n);
    }
    static const std::vector<std::string> markers = {
        "priority-1", "priority-9", "task-done", "flag-red", "flag-green", "star", "question",
        "idea", "warning", "progress-50", "custom-icon", "Label two"};
    for (std::size_t i = 0; i < sheet.nodes.size(); ++i) {
        MapNode& n = sheet.nodes[i];
        n.folded = !n.children.empty() && pick(3) == 0;
        if (n.parent >= 0 && sheet.nodes[static_cast<std::size_t>(n.parent)].parent < 0)
            n.side = static_cast<int>(pick(3)) - 1;
        if (!fields)
            continue;
        if (pick(3) == 0)
            n.fields.note = pick(2) ? "A note" : "Note line one\nline two\n\nnext paragraph";
        if (pick(4) == 0)
            n.fields.link = pick(2) ? "https://example.org/a?b=c&d" : "#N" + std::to_string(pick(sheet.nodes.size()));
        for (std::size_t m = pick(3); m > 0; --m) {
            const std::string& name = markers[pick(markers.size())];
            if (std::find(n.fields.markers.begin(), n.fields.markers.end(), name) == n.fields.markers.end())
                n.fields.markers.push_back(name);
        }
        if (pick(5) == 0)
            n.fields.attributes.push_back({"key", "value " + std::to_string(i)});
    }
    if (fields && sheet.nodes.size() > 2)
        sheet.links.push_back({0, static_cast<int>(sheet.nodes.size()) - 1, pick(2) ? "titled" : ""});
    return sheet;
}

inline const std::vector<Format>& writableFormats() {
    static const std::vector<Format> formats = {Format::FreeMind, Format::XMind,      Format::Opml,
                                                Format::Markdown, Format::Text,       Format::KityMinder,
                                                Format::Mermaid,  Format::PlantUml};
    return formats;
}

inline const char* formatName(Format f) {
    switch (f) {
    case Format::FreeMind: return "mm";
    case Format::XMind: return "xmind";
    case Format::Opml: return "opml";
    case Format::Markdown: return "md";
    case Format::Text: return "txt";
    case Format::KityMinder: return "km";
    case Format::Mermaid: return "mmd";
    case Format::PlantUml: return "puml";
    default: return "?";
    }
}

} // namespace ictest
