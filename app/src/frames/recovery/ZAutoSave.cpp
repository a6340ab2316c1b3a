#include "frames/ZAutoSave.h"

#include <functional>
#include <string_view>

#include <QSettings>
#include <QStatusBar>

#include <sarvik/ZNRedoUndo.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZFile.h>

#include "document/CTavloDoc.h"
#include "frames/CChildFrame.h"
#include "frames/CDlgRecover.h"
#include "frames/CMainFrame.h"
#include "frames/CTavloApp.h"

namespace {

ZAutoSave* g_instance = nullptr;

QSettings profile() {
    return QSettings(CTavloApp::kOrganisation, CTavloApp::kApplication);
}

std::size_t hashOf(const std::vector<std::uint8_t>& bytes) {
    return std::hash<std::string_view>{}(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

} // namespace

ZAutoSave::ZAutoSave(CMainFrame* frame, const QString& folder, QObject* parent)
    : QObject(parent), frame_(frame), store_(folder) {
    if (!g_instance)
        g_instance = this;
    connect(&timer_, &QTimer::timeout, this, &ZAutoSave::tick);
    setSeconds(profileSeconds());
}

ZAutoSave::~ZAutoSave() {
    if (g_instance == this)
        g_instance = nullptr;
}

ZAutoSave* ZAutoSave::instance() {
    return g_instance;
}

int ZAutoSave::profileSeconds() {
    const int seconds = profile().value(kProfileKey, kDefaultSeconds).toInt();
    return seconds < 0 ? kDefaultSeconds : seconds;
}

void ZAutoSave::setProfileSeconds(int seconds) {
    profile().setValue(kProfileKey, seconds);
}

void ZAutoSave::setSeconds(int seconds) {
    seconds_ = seconds < 0 ? 0 : seconds;
    if (seconds_ == 0 || !store_.isActive()) {
        timer_.stop();
        return;
    }
    timer_.start(seconds_ * 1000);
}

ZAutoSave::Tracked& ZAutoSave::track(CTavloDoc* doc) {
    auto it = docs_.find(doc);
    if (it != docs_.end())
        return it->second;
    Tracked& t = docs_[doc];
    t.slot = store_.newSlot();
    // The entry goes with its document: a new document made at the same
    // address must be tracked afresh, with connections of its own.
    connect(doc, &QObject::destroyed, this, [this](QObject* gone) {
        dropCopy(gone);
        docs_.erase(gone);
    });
    connect(doc, &CTavloDoc::modifiedChanged, this, [this, doc](bool modified) {
        if (!modified)
            dropCopy(doc);
    });
    return t;
}

void ZAutoSave::tick() {
    if (!frame_)
        return;
    for (CChildFrame* child : frame_->children()) {
        CTavloDoc* doc = child->document();
        if (doc->isModified())
            writeCopy(doc);
        else
            dropCopy(doc);
    }
    if (store_.takeFailures() > 0 && frame_->statusBar())
        frame_->statusBar()->showMessage("无法写入恢复文件", 10000);
}

void ZAutoSave::writeAllCopies() {
    tick();
    store_.waitForIdle();
}

void ZAutoSave::writeCopy(CTavloDoc* doc) {
    // A document's copies grow slowly, so the last one's size, with a
    // little more, is room enough for the next.
    const auto known = docs_.find(doc);
    const std::size_t last = known != docs_.end() ? known->second.size : 0;
    auto memory = ZFile::toMemory(last + last / 8);
    if (!writeTvx(*memory, doc->shapeData().pageRefs(), doc->shapeData().extensions))
        return;
    std::vector<std::uint8_t> bytes = memory->takeBytes();
    Tracked& t = track(doc);
    t.size = bytes.size();
    const std::size_t hash = hashOf(bytes);
    if (t.written && t.hash == hash)
        return;
    ZRecoveryInfo info;
    info.path = doc->pathName();
    info.title = doc->title();
    info.time = QDateTime::currentDateTime();
    info.fileTime = doc->fileTime();
    store_.write(t.slot, std::move(bytes), info);
    t.hash = hash;
    t.written = true;
}

void ZAutoSave::dropCopy(const QObject* doc) {
    const auto it = docs_.find(doc);
    if (it == docs_.end() || !it->second.written)
        return;
    store_.remove(it->second.slot);
    it->second.written = false;
}

void ZAutoSave::offerRecovery(QWidget* parent) {
    ZRecoveryScan scan = store_.claimOrphans();
    if (!scan.entries.empty() || !scan.damaged.isEmpty()) {
        CDlgRecover dialog(*this, scan, parent);
        dialog.exec();
    }
    store_.releaseClaims();
}

namespace {

// The empty untitled document the program starts with, as long as nobody has
// touched it: it has no use once a recovered document opens beside it.
CChildFrame* untouchedStartDocument(CMainFrame& frame) {
    const QList<CChildFrame*> children = frame.children();
    if (children.size() != 1)
        return nullptr;
    CTavloDoc* doc = children.front()->document();
    if (!doc->pathName().isEmpty() || doc->isModified())
        return nullptr;
    const std::vector<TvxPageRef> pages = doc->shapeData().pageRefs();
    if (pages.size() != 1 || !pages.front().manager->getShapeList().empty() ||
        pages.front().manager->getUndoRedo()->undoCount() > 0)
        return nullptr;
    return children.front();
}

} // namespace

CChildFrame* ZAutoSave::recover(ZRecoveryEntry& entry) {
    if (!frame_)
        return nullptr;
    CChildFrame* untouched = untouchedStartDocument(*frame_);
    CChildFrame* child = frame_->newDocument();
    if (untouched)
        untouched->close();
    CTavloDoc* doc = child->document();
    doc->adoptLoaded(entry.document, entry.info.path);
    // Saving asks first if the file changed after the lost program last read or wrote it.
    doc->setFileTime(entry.info.fileTime);
    doc->SetModifiedFlag(true);
    // The old copy may go only once this program holds one of its own.
    writeCopy(doc);
    store_.waitForIdle();
    if (store_.takeFailures() == 0)
        store_.discard(entry.copyPath);
    return child;
}

void ZAutoSave::discard(const ZRecoveryEntry& entry) {
    store_.discard(entry.copyPath);
}
