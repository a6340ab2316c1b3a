#pragma once
// What the find bar of a document window does, apart from its widgets: it
// keeps the query, steps through the matches of the page or of every page,
// shows each one (switching the page, expanding what hides it, zooming and
// scrolling), outlines the matches in sight and replaces texts, each change
// one undo step per page.
//
// Matches are searched afresh for every step and replacement, so that no
// shape is held between two of them that an edit may have destroyed; the
// current match is recognised again among the new ones.

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include <QPointer>
#include <QString>

#include "document/TextSearch.h"

#include "view/CTavloView.h"

class ZN_ShapeManager;

class FindSession {
public:
    explicit FindSession(CTavloView* view) : view_(view) {}
    ~FindSession();
    FindSession(const FindSession&) = delete;
    FindSession& operator=(const FindSession&) = delete;

    // The query and how it is matched; searching starts again from the top.
    void setQuery(const QString& text, bool caseSensitive, bool allPages);
    const QString& query() const { return query_; }
    bool allPages() const { return allPages_; }

    // Whether nodes' notes are searched as well as the texts on the page;
    // searching starts again from the top.
    void setSearchNotes(bool on);
    bool searchNotes() const { return searchNotes_; }
    // Told when a match in a note is shown: the node and where in its note
    // (UTF-16 positions, as Qt's text widgets count) the match is.
    using NoteShown = std::function<void(ZN_ShapeBase* node, int begin, int end)>;
    void setNoteShown(NoteShown hook) { noteShown_ = std::move(hook); }

    // Outlines every match in sight while on.
    void setOutlining(bool on);
    bool outlining() const { return outlining_; }

    // Searches again, keeping the current match where it still is.
    void refresh();
    // Goes to the next (or previous) match, wrapping around: it becomes the
    // selection and comes into sight. False when there is none.
    bool step(bool backward);
    // Replaces the query in the current match's text and goes to the next
    // match; without a current match it only goes to the first. False when
    // there is nothing to replace or go to.
    bool replaceCurrent(const QString& replacement);
    // Replaces the query in every text in scope, one undo step per page
    // changed; the number of occurrences replaced.
    int replaceAll(const QString& replacement);
    // How many pages the last replaceAll changed, each its own undo step.
    int replacedPages() const { return replacedPages_; }

    int count() const { return static_cast<int>(matches_.size()); }
    // 1-based position of the current match, 0 when there is none.
    int current() const { return current_ + 1; }
    // "3 / 17".
    QString positionText() const;
    // Whether the document may have changed since the last search.
    bool stale() const;

private:
    std::vector<ZN_ShapeManager*> pages() const;
    int currentPageIndex() const;
    // The matches afresh; the current one found again by its page and shape.
    void search();
    void show(const TextMatch& match);
    void rememberCurrent();
    // The match that is the first selected shape, or -1.
    int selectedMatch() const;
    std::uint64_t documentState() const;

    // The document window's view; it may go before the session does.
    QPointer<CTavloView> view_;
    QString query_;
    std::string queryUtf8_;
    bool caseSensitive_ = false;
    bool allPages_ = false;
    bool outlining_ = false;
    bool searchNotes_ = true;
    NoteShown noteShown_;
    std::vector<TextMatch> matches_;
    int current_ = -1;
    int replacedPages_ = 0;
    // Where the last current match was: its page and shape (compared, never
    // followed, as they may be gone) and its place in the list of matches.
    const ZN_ShapeManager* currentPage_ = nullptr;
    const ZN_ShapeBase* currentShape_ = nullptr;
    MatchKind currentKind_ = MatchKind::Label;
    std::uint64_t currentVersion_ = 0; // the page's list version then
    int anchor_ = -1;
    // Per page, the history stamp just after the snapshot taken for the
    // latest reveal; compared, never followed.
    std::unordered_map<const ZN_ShapeManager*, std::uint64_t> revealStamps_;
    std::uint64_t searchedState_ = 0;
    const ZN_ShapeManager* searchedPage_ = nullptr; // the page shown then
};
