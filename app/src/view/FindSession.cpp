#include "view/FindSession.h"

#include <algorithm>
#include <cmath>

#include <sarvik/ZNRedoUndo.h>
#include <sarvik/ZN_ShapeManager.h>

#include "document/CTavloDoc.h"
#include "document/FoldReveal.h"
#include "folder/CFolderFrame.h"
#include "view/CTavloView.h"
#include "view/UndoStep.h"

namespace {

// A match is shown at least this large.
constexpr float kReadableZoom = 0.5f;
// Room kept between a match brought into sight and the window's edge, in
// window pixels.
constexpr double kSightMargin = 40.0;

} // namespace

FindSession::~FindSession() {
    if (outlining_ && view_)
        view_->setOutlineSource({});
}

std::vector<ZN_ShapeManager*> FindSession::pages() const {
    if (!view_ || !view_->document())
        return {};
    return view_->document()->shapeData().managers;
}

int FindSession::currentPageIndex() const {
    const auto all = pages();
    const auto it = std::find(all.begin(), all.end(), view_ ? view_->getCurrentPage() : nullptr);
    return it == all.end() ? -1 : static_cast<int>(it - all.begin());
}

std::uint64_t FindSession::documentState() const {
    std::uint64_t state = 0;
    for (ZN_ShapeManager* page : pages()) {
        // Every edit takes a snapshot first, and the stamp moves with each
        // (the counts stop moving once the stack is full).
        state = state * 1000003u + page->getListVersion();
        state = state * 1000003u + page->getUndoRedo()->historyStamp();
        state = state * 1000003u + reinterpret_cast<std::uintptr_t>(page);
    }
    return state;
}

bool FindSession::stale() const {
    if (query_.isEmpty() || !view_)
        return false;
    return documentState() != searchedState_ ||
           (!allPages_ && view_->getCurrentPage() != searchedPage_);
}

void FindSession::setQuery(const QString& text, bool caseSensitive, bool allPages) {
    query_ = text;
    queryUtf8_ = text.toStdString();
    caseSensitive_ = caseSensitive;
    allPages_ = allPages;
    current_ = -1;
    anchor_ = -1;
    currentPage_ = nullptr;
    currentShape_ = nullptr;
    search();
    if (outlining_ && view_)
        view_->update();
}

void FindSession::setSearchNotes(bool on) {
    if (on == searchNotes_)
        return;
    searchNotes_ = on;
    setQuery(query_, caseSensitive_, allPages_);
}

void FindSession::search() {
    const TextFinder finder(queryUtf8_, caseSensitive_);
    const auto all = pages();
    matches_.clear();
    if (allPages_) {
        matches_ = findInPages(all, finder, searchNotes_);
    } else if (const int here = currentPageIndex(); here >= 0) {
        findInPage(*all[static_cast<std::size_t>(here)], here, finder, matches_, searchNotes_);
    }
    searchedState_ = documentState();
    searchedPage_ = view_ ? view_->getCurrentPage() : nullptr;
    current_ = -1;
    if (!currentShape_)
        return;
    for (std::size_t i = 0; i < matches_.size(); ++i) {
        const ZN_ShapeManager* page = all[static_cast<std::size_t>(matches_[i].page)];
        if (page == currentPage_ && matches_[i].shape == currentShape_ &&
            matches_[i].kind == currentKind_ && page->getListVersion() == currentVersion_) {
            current_ = static_cast<int>(i);
            return;
        }
    }
}

void FindSession::refresh() {
    search();
}

int FindSession::selectedMatch() const {
    const auto& selection = view_->getSelection();
    if (selection.empty())
        return -1;
    const int here = currentPageIndex();
    for (std::size_t i = 0; i < matches_.size(); ++i) {
        if (matches_[i].page == here && matches_[i].shape == selection.front())
            return static_cast<int>(i);
    }
    return -1;
}

void FindSession::rememberCurrent() {
    const TextMatch& m = matches_[static_cast<std::size_t>(current_)];
    currentPage_ = pages()[static_cast<std::size_t>(m.page)];
    currentShape_ = m.shape;
    currentKind_ = m.kind;
    anchor_ = current_;
}

bool FindSession::step(bool backward) {
    if (!view_)
        return false;
    search();
    const int n = count();
    if (n == 0) {
        current_ = -1;
        return false;
    }
    int next = 0;
    if (current_ >= 0) {
        next = current_ + (backward ? -1 : 1);
    } else if (anchor_ >= 0) {
        // The last match went (replaced, or the page changed): the one after
        // it now stands in its place.
        next = backward ? anchor_ - 1 : anchor_;
    } else if (const int selected = selectedMatch(); selected >= 0) {
        // A fresh query goes on from the match that is selected.
        next = selected + (backward ? -1 : 1);
    } else {
        // From the page shown: its first match going on, its last going back.
        const int here = std::max(0, currentPageIndex());
        const auto after = std::partition_point(
            matches_.begin(), matches_.end(),
            [here, backward](const TextMatch& m) { return backward ? m.page <= here : m.page < here; });
        next = static_cast<int>(after - matches_.begin()) - (backward ? 1 : 0);
    }
    current_ = ((next % n) + n) % n;
    show(matches_[static_cast<std::size_t>(current_)]);
    // Showing may have switched the page or expanded subtrees; the list of
    // matches stays valid, as nothing was destroyed.
    searchedState_ = documentState();
    searchedPage_ = view_->getCurrentPage();
    rememberCurrent();
    currentVersion_ = currentPage_->getListVersion();
    return true;
}

void FindSession::show(const TextMatch& match) {
    if (view_->isEditing()) {
        view_->commitEdit();
        view_->forgetShapes();
    }
    if (match.page != currentPageIndex()) {
        if (CFolderFrame* frame = view_->folderFrame())
            frame->showPage(match.page);
        else
            view_->showPage(match.page);
    }
    ZN_ShapeManager* page = view_->getCurrentPage();
    if (needsReveal(match.shape)) {
        // Reveals made one after another while the bar is open are one undo
        // step per page: undoing it folds them all again. Anything else that
        // changed the page's history since ends that step.
        ZNRedoUndo& history = *page->getUndoRedo();
        const auto last = revealStamps_.find(page);
        if (last == revealStamps_.end() || last->second != history.historyStamp()) {
            UndoStep(*view_).change();
            revealStamps_[page] = history.historyStamp();
        }
        revealShape(*page, match.shape);
    }
    view_->clearSelection();
    view_->addToSelection(match.shape);
    if (view_->getZoom() < kReadableZoom)
        view_->setZoom(kReadableZoom);
    // Into sight: centred when any part of it is out of the window.
    const QRectF r = matchRect(match.shape);
    const float zoom = view_->getZoom();
    const ZVector2 offset = view_->viewOffset();
    const QRectF seen(offset.X(), offset.Y(), view_->width() / zoom, view_->height() / zoom);
    const double margin = kSightMargin / zoom;
    // A box larger than the window is brought into sight by the words found
    // in it, as its middle may show none of them.
    QRectF target = r;
    if (r.width() + 2 * margin > seen.width() || r.height() + 2 * margin > seen.height())
        target = matchTextRect(match.shape, TextFinder(queryUtf8_, caseSensitive_));
    if (!seen.contains(target.adjusted(-margin, -margin, margin, margin))) {
        const QPointF topLeft = target.center() - QPointF(seen.width() * 0.5, seen.height() * 0.5);
        view_->scrollTo(QPoint(static_cast<int>(std::lround(topLeft.x())),
                               static_cast<int>(std::lround(topLeft.y()))));
    }
    view_->update();
    if (match.kind == MatchKind::Note && noteShown_) {
        const std::string& note = match.shape->getFields().note;
        std::size_t begin = 0, end = 0;
        if (TextFinder(queryUtf8_, caseSensitive_).locate(note, begin, end)) {
            const auto units = [&note](std::size_t bytes) {
                return static_cast<int>(
                    QString::fromUtf8(note.data(), static_cast<qsizetype>(bytes)).size());
            };
            noteShown_(match.shape, units(begin), units(end));
        }
    }
}

bool FindSession::replaceCurrent(const QString& replacement) {
    if (!view_)
        return false;
    search();
    if (current_ < 0 || matches_[static_cast<std::size_t>(current_)].page != currentPageIndex())
        return step(false);
    const TextMatch match = matches_[static_cast<std::size_t>(current_)];
    UndoStep undo(*view_);
    const TextFinder finder(queryUtf8_, caseSensitive_);
    replaceInShape(*view_->getCurrentPage(), match.shape, finder, replacement.toStdString());
    // The text may have left the page with the selection on it; if it did,
    // the page's list moved on and the match after it is found by its place.
    view_->forgetShapes();
    anchor_ = current_;
    step(false);
    return true;
}

int FindSession::replaceAll(const QString& replacement) {
    if (!view_)
        return 0;
    if (view_->isEditing())
        view_->commitEdit();
    view_->forgetShapes();
    const TextFinder finder(queryUtf8_, caseSensitive_);
    const std::string with = replacement.toStdString();
    const auto all = pages();
    const int here = currentPageIndex();
    int total = 0;
    replacedPages_ = 0;
    for (int i = 0; i < static_cast<int>(all.size()); ++i) {
        if (!allPages_ && i != here)
            continue;
        ZN_ShapeManager& page = *all[static_cast<std::size_t>(i)];
        std::vector<TextMatch> onPage;
        findInPage(page, i, finder, onPage);
        if (onPage.empty())
            continue;
        // One undo step per page; the view notes where it was for its own.
        UndoStep undo(*view_, page);
        total += replaceMatches(page, onPage, finder, with);
        ++replacedPages_;
    }
    current_ = -1;
    anchor_ = -1;
    currentShape_ = nullptr;
    currentPage_ = nullptr;
    search();
    view_->update();
    return total;
}

QString FindSession::positionText() const {
    return QString("%1 / %2").arg(current()).arg(count());
}

void FindSession::setOutlining(bool on) {
    outlining_ = on;
    // The bar opens or closes: the next reveal is a step of its own.
    revealStamps_.clear();
    if (!view_)
        return;
    if (!on) {
        view_->setOutlineSource({});
        return;
    }
    view_->setOutlineSource([this](ZVector2 min, ZVector2 max, std::vector<QRectF>& out) {
        out.clear();
        if (ZN_ShapeManager* page = view_->getCurrentPage())
            outlinesInView(*page, TextFinder(queryUtf8_, caseSensitive_), min, max, out,
                           searchNotes_);
    });
}
