#pragma once
// Keeps a recovery copy of every modified document of a main window and, at
// start, offers the copies a program that died left behind.
//
// A tick serialises each modified document to memory on this thread (no undo
// snapshot, the modified flag untouched) and hands the bytes to the store's
// worker thread. A document's copy goes away when it is saved, closed with
// Discard, or closed unmodified.

#include <cstddef>
#include <map>

#include <QObject>
#include <QPointer>
#include <QTimer>

#include "document/ZRecoveryStore.h"

class CChildFrame;
class CMainFrame;
class CTavloDoc;
class QWidget;

class ZAutoSave : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kProfileKey = "AutoSaveSeconds";
    static constexpr int kDefaultSeconds = 60;

    explicit ZAutoSave(CMainFrame* frame, const QString& folder = ZRecoveryStore::defaultFolder(),
                       QObject* parent = nullptr);
    ~ZAutoSave() override;

    // The one that the settings command adjusts; null when none runs.
    static ZAutoSave* instance();

    // The interval in the profile; 0 means no copies are kept.
    static int profileSeconds();
    static void setProfileSeconds(int seconds);

    int seconds() const { return seconds_; }
    // Changes the interval of the running timer; 0 stops it.
    void setSeconds(int seconds);

    // Writes the copies of the documents that changed since their last copy.
    void tick();
    // The same, then waits until every copy is on the disk (before the
    // program ends on a signal).
    void writeAllCopies();
    ZRecoveryStore& store() { return store_; }
    // How many documents are followed: none outlives its document, since a
    // new one made at the same address must be followed afresh.
    std::size_t trackedDocuments() const { return docs_.size(); }

    // Shows the recovery dialog when copies were left behind.
    void offerRecovery(QWidget* parent);
    // Opens a left-over copy as a modified document bound to its original file
    // (untitled when it had none), keeps a copy of its own, and only then
    // deletes the old one.
    CChildFrame* recover(ZRecoveryEntry& entry);
    // Deletes a left-over copy.
    void discard(const ZRecoveryEntry& entry);

private:
    struct Tracked {
        int slot = 0;
        std::size_t hash = 0;
        std::size_t size = 0; // bytes of the last copy serialised
        bool written = false;
    };
    Tracked& track(CTavloDoc* doc);
    void writeCopy(CTavloDoc* doc);
    void dropCopy(const QObject* doc);

    QPointer<CMainFrame> frame_;
    ZRecoveryStore store_;
    QTimer timer_;
    int seconds_ = 0;
    std::map<const QObject*, Tracked> docs_;
};
