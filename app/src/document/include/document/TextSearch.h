#pragma once
// Finding and replacing text on the pages of a document: every node's label,
// every free text and every fill-in table answer, hidden ones included.
// Line breaks count as nothing, so a phrase wrapped over two lines is found;
// without case mattering both sides are compared in Unicode's simple case
// folding. Matches come page by page, and within a page in the page's list
// (drawing) order, which moving shapes does not change.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <QRectF>

#include <rulmek/rulmek.h>

class ZN_ShapeBase;
class ZN_ShapeManager;
class ZN_SText;

// Note: the match is in the node's note (ZN_NodeFields), when notes are
// searched too; it comes after the match of the same node's label.
enum class MatchKind { Label, FreeText, Answer, Note };

struct TextMatch {
    int page = 0;                  // index of the page in the document
    ZN_ShapeBase* shape = nullptr; // in the page's list: the labelled node or the text itself
    MatchKind kind = MatchKind::Label;
};

// A query made ready once for many texts.
class TextFinder {
public:
    TextFinder(std::string_view query, bool caseSensitive);

    // An empty query (or one of line breaks only) finds nothing.
    bool empty() const { return needle_.empty(); }
    bool caseSensitive() const { return !fold_; }
    // Whether `text` holds the query.
    bool matches(std::string_view text) const;
    // Where the query first occurs in `text`: the byte offsets of its first
    // character and just past its last. False when it does not.
    bool locate(std::string_view text, std::size_t& begin, std::size_t& end) const;
    // `text` with every occurrence of the query replaced by `replacement`,
    // into `out`; the number of occurrences. Line breaks inside an occurrence
    // go with it; the others stay.
    int replace(std::string_view text, std::string_view replacement, std::string& out) const;
    // The bytes [begin, end) of `text` that its first occurrence of the query
    // covers; false when there is none.
    bool firstOccurrence(std::string_view text, std::size_t& begin, std::size_t& end) const;

private:
    std::string needle_;
    bool fold_ = true;
    // Reused between texts, as a search reads tens of thousands of them.
    mutable std::string scratch_;
    mutable std::vector<std::uint32_t> origin_;
};

// The text search reads on `shape`: its label, or the shape itself for a free
// text; null when it has none.
ZN_SText* searchableText(ZN_ShapeBase* shape);
const ZN_SText* searchableText(const ZN_ShapeBase* shape);

// Appends the matches of page `page` (its index `pageIndex`) in list order;
// with `notes`, nodes' notes are searched as well.
void findInPage(const ZN_ShapeManager& page, int pageIndex, const TextFinder& finder,
                std::vector<TextMatch>& out, bool notes = false);
// The matches of every page, page by page.
std::vector<TextMatch> findInPages(const std::vector<ZN_ShapeManager*>& pages,
                                   const TextFinder& finder, bool notes = false);

// Replaces the query in the text of `shape` (a match's shape on `page`) as an
// edit puts a new text there; the number of occurrences replaced. A label left
// empty is taken off its node and a free text left empty leaves the page, as
// erasing them would. Takes no undo snapshot.
int replaceInShape(ZN_ShapeManager& page, ZN_ShapeBase* shape, const TextFinder& finder,
                   std::string_view replacement);
// The same for matches of `page` (found by findInPage, each shape once), in
// time linear in the page: free texts left empty leave the list in one pass.
int replaceMatches(ZN_ShapeManager& page, const std::vector<TextMatch>& matches,
                   const TextFinder& finder, std::string_view replacement);
// The same for every match of a page.
int replaceInPage(ZN_ShapeManager& page, const TextFinder& finder, std::string_view replacement);

// The canvas rectangle that shows where `shape` (a match's shape) is: a box's
// or a text's own, or the label's for a shape without a box (a connector).
QRectF matchRect(const ZN_ShapeBase* shape);
// The canvas rectangle of the first line of the first occurrence of the query
// in the text of `shape`, for bringing the words themselves into sight when
// the whole label does not fit; matchRect(shape) when it cannot be placed.
QRectF matchTextRect(const ZN_ShapeBase* shape, const TextFinder& finder);
// The rectangles of the shown matches on `page` that lie in the canvas part
// min..max, for outlining what the window shows; only the shapes there are read.
void outlinesInView(const ZN_ShapeManager& page, const TextFinder& finder, ZVector2 min,
                    ZVector2 max, std::vector<QRectF>& out, bool notes = false);
