#pragma once
// A document: its pages, the file it belongs to and whether it changed since
// it was last saved or opened.

#include <cstdint>
#include <string>
#include <vector>

#include <QDateTime>
#include <QObject>
#include <QString>

#include "document/ZShapeData.h"

class ZImageTexture;

class CTavloDoc : public QObject {
    Q_OBJECT
public:
    explicit CTavloDoc(QObject* parent = nullptr);
    ~CTavloDoc() override;

    ZShapeData& shapeData() { return data_; }
    const ZShapeData& shapeData() const { return data_; }

    // The file this document belongs to; empty for a new document.
    const QString& pathName() const { return path_; }
    void setPathName(const QString& path);
    // "未命名" for a new document, the file name otherwise; a map imported
    // from another program is titled by its file's base name until saved.
    QString title() const;

    // The file of another program this document was imported from; empty
    // for documents that were made or opened here. Never written to.
    const QString& importSource() const { return importSource_; }
    void setImportSource(const QString& path);

    // When the file last changed as this document knows it (read or written
    // here); invalid when the document has no file yet.
    const QDateTime& fileTime() const { return fileTime_; }
    void setFileTime(const QDateTime& time) { fileTime_ = time; }
    // The file was changed by someone else since this document read or wrote it.
    bool fileChangedSince() const;

    bool isModified() const { return modified_; }
    void SetModifiedFlag(bool modified = true);
    // Moves on at every report of a change (SetModifiedFlag(true)), marked
    // already or not, so that a window can tell an edit from a frame that
    // only moved the view.
    std::uint64_t changeCount() const { return changes_; }

    // Writes the document atomically. On failure the user is told why, the
    // previous file stays as it was and the document stays modified.
    bool saveTo(const QString& path);

    // Takes the pages and pictures of a document read whole from `path`.
    // The pictures join the application's cache and get their GL textures
    // the next time the view's context is current.
    void adoptLoaded(TvxDocument& doc, const QString& path);

    // Pictures read with the document whose textures are not built yet.
    std::vector<ZImageTexture*> takePendingTextures();

signals:
    void modifiedChanged(bool modified);
    void titleChanged();

private:
    ZShapeData data_;
    QString path_;
    QString importSource_;
    bool modified_ = false;
    std::uint64_t changes_ = 0;
    QDateTime fileTime_;
    std::vector<ZImageTexture*> pendingTextures_; // owned by the application's cache
};
