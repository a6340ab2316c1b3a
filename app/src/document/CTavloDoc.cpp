#include "document/CTavloDoc.h"

#include <QFileInfo>

#include <sarvik/ZImageTexture.h>
#include <sarvik/platform/ZMessage.h>

#include "document/PageObserver.h"
#include "document/PictureCache.h"
#include "document/ZRecoveryStore.h"

CTavloDoc::CTavloDoc(QObject* parent) : QObject(parent) {}

CTavloDoc::~CTavloDoc() = default;

void CTavloDoc::setPathName(const QString& path) {
    path_ = path;
    emit titleChanged();
}

void CTavloDoc::setImportSource(const QString& path) {
    importSource_ = path;
    emit titleChanged();
}

QString CTavloDoc::title() const {
    if (path_.isEmpty()) {
        const QString base = QFileInfo(importSource_).completeBaseName();
        return base.isEmpty() ? QStringLiteral("未命名") : base;
    }
    return QFileInfo(path_).fileName();
}

void CTavloDoc::SetModifiedFlag(bool modified) {
    if (modified)
        ++changes_;
    if (modified_ == modified)
        return;
    modified_ = modified;
    emit modifiedChanged(modified);
}

bool CTavloDoc::saveTo(const QString& path) {
    std::string reason;
    if (!writeTvxFile(path.toStdString(), data_.pageRefs(), &reason, data_.extensions)) {
        ZShowMessage("Tavlo", "无法保存文件\n" + reason);
        return false;
    }
    setPathName(path);
    fileTime_ = QFileInfo(path).lastModified();
    SetModifiedFlag(false);
    removeStaleSaveFiles(QFileInfo(path).absolutePath());
    return true;
}

void CTavloDoc::adoptLoaded(TvxDocument& doc, const QString& path) {
    for (auto& image : doc.images) {
        pendingTextures_.push_back(image.get());
        pictureCache::add(image.release());
    }
    doc.images.clear();
    data_.replacePages(doc);
    if (PageObserver* window = data_.observer()) {
        window->showPage(0);
        window->showAll();
    }
    setPathName(path);
    fileTime_ = path.isEmpty() ? QDateTime() : QFileInfo(path).lastModified();
    SetModifiedFlag(false);
}

bool CTavloDoc::fileChangedSince() const {
    if (path_.isEmpty())
        return false;
    const QFileInfo file(path_);
    // A file whose time the document never knew (a recovered copy that did not
    // say) may have changed: asking is the safe side.
    return file.exists() && (!fileTime_.isValid() || file.lastModified() != fileTime_);
}

std::vector<ZImageTexture*> CTavloDoc::takePendingTextures() {
    std::vector<ZImageTexture*> taken;
    taken.swap(pendingTextures_);
    return taken;
}
