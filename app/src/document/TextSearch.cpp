#include "document/TextSearch.h"

#include <algorithm>
#include <list>
#include <unordered_set>
#include <vector>

#include <QChar>
#include <QString>

#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZTextRaster.h>

#include "document/LabelText.h"

namespace {

// Length of the UTF-8 character starting at text[at], or 1 for a byte that
// does not start a well-formed one (it is then taken as it is).
std::size_t charLength(std::string_view text, std::size_t at, char32_t& code) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    code = lead;
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    if (length == 0 || at + length > text.size())
        return 1;
    char32_t value = lead & (0xFF >> (length + 1));
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 1;
        value = (value << 6) | (byte(at + i) & 0x3F);
    }
    code = value;
    return length;
}

void appendUtf8(char32_t c, std::string& out) {
    // Only characters with case come here, seldom enough to go through Qt.
    out += QString::fromUcs4(&c, 1).toStdString();
}

// Scripts without case (CJK, kana, Hangul), which most labels are written in,
// are copied without asking the folding tables.
bool caseless(char32_t code) {
    return (code >= 0x2E80 && code <= 0xA63F) || (code >= 0xAC00 && code <= 0xD7FF) ||
           (code >= 0xF900 && code <= 0xFAFF);
}

// `text` as the search compares it, into `out`: line breaks left out and,
// with `fold`, every character case-folded. With `origin`, the offset in
// `text` of the character each byte of `out` came from.
void normalise(std::string_view text, bool fold, std::string& out,
               std::vector<std::uint32_t>* origin) {
    out.clear();
    if (origin)
        origin->clear();
    for (std::size_t at = 0; at < text.size();) {
        char32_t code = 0;
        const std::size_t length = charLength(text, at, code);
        const std::size_t before = out.size();
        if (code == '\r' || code == '\n') {
            // A line break is only where the text was wrapped.
        } else if (length == 1 && code >= 0x80) {
            out += text[at];
        } else if (!fold || caseless(code)) {
            out.append(text.substr(at, length));
        } else if (code < 0x80) {
            out += static_cast<char>(code >= 'A' && code <= 'Z' ? code + ('a' - 'A') : code);
        } else {
            appendUtf8(QChar::toCaseFolded(code), out);
        }
        if (origin)
            origin->insert(origin->end(), out.size() - before, static_cast<std::uint32_t>(at));
        at += length;
    }
}

bool needsNormalising(std::string_view text, bool fold) {
    if (fold)
        return true;
    return text.find_first_of("\r\n") != std::string_view::npos;
}

MatchKind kindOf(const ZN_ShapeBase* shape) {
    if (shape->type() != 5)
        return MatchKind::Label;
    return shape->answerHosts().empty() ? MatchKind::FreeText : MatchKind::Answer;
}

} // namespace

TextFinder::TextFinder(std::string_view query, bool caseSensitive) : fold_(!caseSensitive) {
    normalise(query, fold_, needle_, nullptr);
}

bool TextFinder::matches(std::string_view text) const {
    if (needle_.empty())
        return false;
    if (!needsNormalising(text, fold_))
        return text.find(needle_) != std::string_view::npos;
    normalise(text, fold_, scratch_, nullptr);
    return scratch_.find(needle_) != std::string::npos;
}

bool TextFinder::locate(std::string_view text, std::size_t& begin, std::size_t& end) const {
    if (needle_.empty())
        return false;
    normalise(text, fold_, scratch_, &origin_);
    const std::size_t at = scratch_.find(needle_);
    if (at == std::string::npos)
        return false;
    begin = origin_[at];
    const std::size_t lastStart = origin_[at + needle_.size() - 1];
    char32_t code = 0;
    end = lastStart + charLength(text, lastStart, code);
    return true;
}

int TextFinder::replace(std::string_view text, std::string_view replacement,
                        std::string& out) const {
    out.clear();
    if (needle_.empty())
        return 0;
    normalise(text, fold_, scratch_, &origin_);
    int count = 0;
    std::size_t copied = 0; // bytes of `text` already dealt with
    for (std::size_t at = scratch_.find(needle_); at != std::string::npos;
         at = scratch_.find(needle_, at + needle_.size())) {
        const std::size_t first = origin_[at];
        const std::size_t lastStart = origin_[at + needle_.size() - 1];
        char32_t code = 0;
        const std::size_t end = lastStart + charLength(text, lastStart, code);
        out.append(text.substr(copied, first - copied));
        out.append(replacement);
        copied = end;
        ++count;
    }
    out.append(text.substr(copied));
    return count;
}

bool TextFinder::firstOccurrence(std::string_view text, std::size_t& begin,
                                 std::size_t& end) const {
    return locate(text, begin, end);
}

ZN_SText* searchableText(ZN_ShapeBase* shape) {
    if (!shape)
        return nullptr;
    if (shape->type() == 5)
        return static_cast<ZN_SText*>(shape);
    return shape->getLabel();
}

const ZN_SText* searchableText(const ZN_ShapeBase* shape) {
    if (!shape)
        return nullptr;
    if (shape->type() == 5)
        return static_cast<const ZN_SText*>(shape);
    return shape->getLabel();
}

void findInPage(const ZN_ShapeManager& page, int pageIndex, const TextFinder& finder,
                std::vector<TextMatch>& out, bool notes) {
    if (finder.empty())
        return;
    for (ZN_ShapeBase* shape : page.getShapeArray()) {
        const ZN_SText* text = searchableText(shape);
        if (text && finder.matches(text->getText()))
            out.push_back({pageIndex, shape, kindOf(shape)});
        if (notes && shape->hasFields() && finder.matches(shape->getFields().note))
            out.push_back({pageIndex, shape, MatchKind::Note});
    }
}

std::vector<TextMatch> findInPages(const std::vector<ZN_ShapeManager*>& pages,
                                   const TextFinder& finder, bool notes) {
    std::vector<TextMatch> out;
    for (std::size_t i = 0; i < pages.size(); ++i)
        findInPage(*pages[i], static_cast<int>(i), finder, out, notes);
    return out;
}

int replaceInShape(ZN_ShapeManager& page, ZN_ShapeBase* shape, const TextFinder& finder,
                   std::string_view replacement) {
    ZN_SText* text = searchableText(shape);
    if (!text)
        return 0;
    std::string replaced;
    const int count = finder.replace(text->getText(), replacement, replaced);
    if (count == 0)
        return 0;
    if (!replaced.empty())
        setLabelText(*text, text->getPoint1(), replaced);
    else if (text == shape)
        page.deleteShape(shape);
    else
        shape->deleteLabel();
    return count;
}

int replaceMatches(ZN_ShapeManager& page, const std::vector<TextMatch>& matches,
                   const TextFinder& finder, std::string_view replacement) {
    int count = 0;
    std::unordered_set<ZN_ShapeBase*> emptied;
    std::string replaced;
    for (const TextMatch& m : matches) {
        ZN_SText* text = searchableText(m.shape);
        if (!text)
            continue;
        const int n = finder.replace(text->getText(), replacement, replaced);
        if (n == 0)
            continue;
        count += n;
        if (!replaced.empty())
            setLabelText(*text, text->getPoint1(), replaced);
        else if (text == m.shape)
            emptied.insert(m.shape); // erased below, with the others
        else
            m.shape->deleteLabel();
    }
    if (emptied.empty())
        return count;
    // Deleting them one by one would search the list for each.
    std::vector<ZN_ShapeBase*> doomed;
    doomed.reserve(emptied.size());
    std::list<ZN_ShapeBase*>& list = page.getShapeList();
    for (auto it = list.begin(); it != list.end();) {
        if (emptied.count(*it) != 0) {
            doomed.push_back(*it);
            it = list.erase(it);
        } else {
            ++it;
        }
    }
    for (ZN_ShapeBase* shape : doomed)
        delete shape;
    return count;
}

int replaceInPage(ZN_ShapeManager& page, const TextFinder& finder, std::string_view replacement) {
    std::vector<TextMatch> matches;
    findInPage(page, 0, finder, matches);
    return replaceMatches(page, matches, finder, replacement);
}

QRectF matchRect(const ZN_ShapeBase* shape) {
    const ZN_ShapeBase* boxed = shape;
    if (!shape->isRegion() && shape->type() != 5 && shape->getLabel())
        boxed = shape->getLabel();
    const ZVector2 a = boxed->getPoint1();
    const ZVector2 b = boxed->getPoint2();
    return QRectF(QPointF(a.X(), a.Y()), QPointF(b.X(), b.Y())).normalized();
}

QRectF matchTextRect(const ZN_ShapeBase* shape, const TextFinder& finder) {
    const QRectF whole = matchRect(shape);
    const ZN_SText* label = searchableText(shape);
    if (!label)
        return whole;
    const std::string_view text = label->getText();
    std::size_t begin = 0;
    std::size_t end = 0;
    if (!finder.firstOccurrence(text, begin, end))
        return whole;
    // The line the occurrence starts on, and the part of it that it covers.
    std::size_t lineStart = 0;
    int line = 0;
    for (std::size_t i = 0; i < begin; ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
            ++line;
            lineStart = i + 1;
        }
    }
    std::size_t lineEnd = text.find_first_of("\r\n", begin);
    if (lineEnd == std::string_view::npos)
        lineEnd = text.size();
    end = std::min(end, lineEnd);
    const ZVector2 a = label->getPoint1();
    const ZVector2 b = label->getPoint2();
    const ZTextLayout layout =
        ZLayoutText(label->getFont(), text, static_cast<int>(b.X() - a.X()),
                    static_cast<int>(b.Y() - a.Y()), ZTextAlignFromCode(label->getTextAlignType()));
    if (line >= static_cast<int>(layout.lines.size()) || layout.lineHeight <= 0)
        return whole;
    const ZTextLine& placed = layout.lines[static_cast<std::size_t>(line)];
    const int before = ZMeasureText(label->getFont(), text.substr(lineStart, begin - lineStart)).width;
    const int covered = ZMeasureText(label->getFont(), text.substr(begin, end - begin)).width;
    return QRectF(a.X() + placed.x + before, a.Y() + static_cast<float>(line * layout.lineHeight),
                  std::max(covered, 1), layout.lineHeight);
}

void outlinesInView(const ZN_ShapeManager& page, const TextFinder& finder, ZVector2 min,
                    ZVector2 max, std::vector<QRectF>& out, bool notes) {
    out.clear();
    if (finder.empty())
        return;
    std::vector<const ZN_ShapeBase*> inView;
    page.shapesToDraw(min, max, inView);
    for (const ZN_ShapeBase* shape : inView) {
        if (!shape->getShow())
            continue;
        const ZN_SText* text = searchableText(shape);
        if ((text && finder.matches(text->getText())) ||
            (notes && shape->hasFields() && finder.matches(shape->getFields().note)))
            out.push_back(matchRect(shape));
    }
}
