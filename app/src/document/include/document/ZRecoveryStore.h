#pragma once
// Recovery copies of modified documents, kept in the program's data folder so
// that a crash or a power cut loses at most the edits since the last copy.
//
// Every running program holds a lock on its own copies (<instance>.lock beside
// <instance>-<slot>.tvx and its companion <instance>-<slot>.json), so a second
// program never offers copies that are still being kept up to date. Copies
// whose program is gone are claimed by the next one that starts.
//
// Copies are written by one worker thread, in the order they were asked for,
// each through the same temporary-file, sync and rename path as a save. The
// caller only hands over bytes already serialised.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <QDateTime>
#include <QLockFile>
#include <QString>
#include <QStringList>

#include "document/TvxContainer.h"

// What the companion file says about a copy.
struct ZRecoveryInfo {
    QString path;       // the document's file; empty for an untitled document
    QString title;      // the title the window showed
    QDateTime time;     // when the copy was taken
    QDateTime fileTime; // when the document's file last changed as the document knew it
};

// A copy left by a program that is no longer running, read whole.
struct ZRecoveryEntry {
    QString copyPath;
    ZRecoveryInfo info;
    TvxDocument document;
};

// What a scan for left-over copies found.
struct ZRecoveryScan {
    std::vector<ZRecoveryEntry> entries;
    QStringList damaged; // copies that could not be read, as now found in damaged/
};

class ZRecoveryStore {
public:
    // `folder` is where the copies live; it is created when missing.
    explicit ZRecoveryStore(const QString& folder = defaultFolder());
    // Finishes every write and removal asked for, then releases the lock.
    ~ZRecoveryStore();
    ZRecoveryStore(const ZRecoveryStore&) = delete;
    ZRecoveryStore& operator=(const ZRecoveryStore&) = delete;

    // The recovery folder inside the program's data folder.
    static QString defaultFolder();

    const QString& folder() const { return folder_; }
    const QString& instanceId() const { return instance_; }
    // False when the folder or the lock could not be made; nothing is written then.
    bool isActive() const { return active_; }

    // A new slot for one document's copy.
    int newSlot() { return ++lastSlot_; }
    QString copyPath(int slot) const;

    // Queues a copy; a copy or removal of the same slot that has not started
    // yet is dropped, since this one supersedes it.
    void write(int slot, std::vector<std::uint8_t> bytes, const ZRecoveryInfo& info);
    // Queues the removal of a slot's copy, superseding anything queued for it.
    void remove(int slot);
    // Blocks until the worker has nothing left to do.
    void waitForIdle();
    // Writes that failed since the last call.
    int takeFailures() { return failures_.exchange(0); }

    // Claims the copies of programs that are no longer running and reads
    // them. Copies that cannot be read are moved to damaged/, never deleted.
    ZRecoveryScan claimOrphans();
    // Deletes a claimed copy and its companion (recovered or discarded).
    void discard(const QString& copyPath);
    // Gives up the claims on copies of other programs; any copies still there
    // are offered again at the next start.
    void releaseClaims();

private:
    struct Job {
        int slot;
        bool remove;
        std::vector<std::uint8_t> bytes;
        std::vector<std::uint8_t> companion;
    };
    void enqueue(Job job);
    void run();
    bool perform(const Job& job);
    QString companionPath(int slot) const;
    void moveToDamaged(const QString& copyPath);

    QString folder_;
    QString instance_;
    bool active_ = false;
    int lastSlot_ = 0;
    std::unique_ptr<QLockFile> lock_;
    std::map<QString, std::unique_ptr<QLockFile>> claims_; // other programs' copies taken over

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Job> queue_;
    bool busy_ = false;
    bool stopping_ = false;
    std::atomic<int> failures_{0};
    std::thread worker_;
};

// Removes temporary files that an interrupted save left in `folder`: those
// that no running save holds, and those older than `minutes` (left by a
// writer that held no lock).
void removeStaleSaveFiles(const QString& folder, int minutes = 10);
