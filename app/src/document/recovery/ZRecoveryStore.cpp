#include "document/ZRecoveryStore.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>

#include <sarvik/platform/ZFile.h>

namespace {

const QString kCopySuffix = QStringLiteral(".tvx");
const QString kCompanionSuffix = QStringLiteral(".json");
const QString kLockSuffix = QStringLiteral(".lock");

bool writeAtomically(const QString& path, const std::vector<std::uint8_t>& bytes) {
    auto file = ZFile::openWrite(QFile::encodeName(path).toStdString());
    if (!file)
        return false;
    if (!bytes.empty() && !file->write(bytes.data(), bytes.size()))
        return false;
    return file->commit();
}

std::vector<std::uint8_t> encodeInfo(const ZRecoveryInfo& info) {
    QJsonObject o;
    o["path"] = info.path;
    o["title"] = info.title;
    o["time"] = info.time.toUTC().toString(Qt::ISODateWithMs);
    if (info.fileTime.isValid())
        o["fileTime"] = info.fileTime.toUTC().toString(Qt::ISODateWithMs);
    const QByteArray json = QJsonDocument(o).toJson();
    return {json.begin(), json.end()};
}

// A companion that is missing or unreadable still leaves the copy worth
// offering: it then shows as untitled, with the time of the copy itself.
ZRecoveryInfo readInfo(const QString& companion, const QString& copy) {
    ZRecoveryInfo info;
    QFile file(companion);
    if (file.open(QIODevice::ReadOnly)) {
        const QJsonObject o = QJsonDocument::fromJson(file.read(64 * 1024)).object();
        info.path = o["path"].toString();
        // Saving a recovered copy writes to this path: only a document file
        // named in full is trusted, never a relative name or one with "..".
        if (!QDir::isAbsolutePath(info.path) || QDir::cleanPath(info.path) != info.path ||
            !info.path.endsWith(kCopySuffix, Qt::CaseInsensitive))
            info.path.clear();
        info.title = o["title"].toString();
        info.time = QDateTime::fromString(o["time"].toString(), Qt::ISODateWithMs);
        info.fileTime = QDateTime::fromString(o["fileTime"].toString(), Qt::ISODateWithMs);
    }
    if (info.title.isEmpty())
        info.title =
            info.path.isEmpty() ? QStringLiteral("未命名") : QFileInfo(info.path).fileName();
    if (!info.time.isValid())
        info.time = QFileInfo(copy).lastModified();
    return info;
}

// "<instance>-<slot>.tvx" -> "<instance>"; empty for names of another shape.
QString instanceOf(const QString& fileName) {
    static const QRegularExpression pattern(QStringLiteral("^(.+)-\\d+\\.tvx$"));
    const auto match = pattern.match(fileName);
    return match.hasMatch() ? match.captured(1) : QString();
}

QString companionOf(const QString& copyPath) {
    return copyPath.left(copyPath.size() - kCopySuffix.size()) + kCompanionSuffix;
}

// A free name in `folder` for `fileName`, adding a number when it is taken.
QString freeName(const QDir& folder, const QString& fileName) {
    if (!folder.exists(fileName))
        return folder.filePath(fileName);
    const QFileInfo fi(fileName);
    for (int i = 1;; ++i) {
        const QString candidate =
            QString("%1-%2.%3").arg(fi.completeBaseName()).arg(i).arg(fi.suffix());
        if (!folder.exists(candidate))
            return folder.filePath(candidate);
    }
}

} // namespace

ZRecoveryStore::ZRecoveryStore(const QString& folder) : folder_(folder) {
    // The process id names the instance for people looking at the folder; the
    // random part keeps a recycled id from meeting the copies of a dead program.
    instance_ = QString("%1-%2")
                    .arg(QCoreApplication::applicationPid())
                    .arg(QRandomGenerator::global()->generate(), 8, 16, QChar('0'));
    if (!QDir().mkpath(folder_))
        return;
    // The copies hold the user's documents: keep them to the user.
    QFile::setPermissions(folder_,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    lock_ = std::make_unique<QLockFile>(QDir(folder_).filePath(instance_ + kLockSuffix));
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0))
        return;
    active_ = true;
    worker_ = std::thread([this] { run(); });
}

ZRecoveryStore::~ZRecoveryStore() {
    if (worker_.joinable()) {
        {
            std::lock_guard<std::mutex> guard(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        worker_.join();
    }
    releaseClaims();
}

QString ZRecoveryStore::defaultFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("recovery"));
}

QString ZRecoveryStore::copyPath(int slot) const {
    return QDir(folder_).filePath(QString("%1-%2").arg(instance_).arg(slot) + kCopySuffix);
}

QString ZRecoveryStore::companionPath(int slot) const {
    return companionOf(copyPath(slot));
}

void ZRecoveryStore::write(int slot, std::vector<std::uint8_t> bytes, const ZRecoveryInfo& info) {
    enqueue({slot, false, std::move(bytes), encodeInfo(info)});
}

void ZRecoveryStore::remove(int slot) {
    enqueue({slot, true, {}, {}});
}

void ZRecoveryStore::enqueue(Job job) {
    if (!active_)
        return;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        const int slot = job.slot;
        queue_.erase(std::remove_if(queue_.begin(), queue_.end(),
                                    [slot](const Job& j) { return j.slot == slot; }),
                     queue_.end());
        queue_.push_back(std::move(job));
    }
    wake_.notify_one();
}

void ZRecoveryStore::waitForIdle() {
    std::unique_lock<std::mutex> guard(mutex_);
    idle_.wait(guard, [this] { return queue_.empty() && !busy_; });
}

void ZRecoveryStore::run() {
    std::unique_lock<std::mutex> guard(mutex_);
    for (;;) {
        wake_.wait(guard, [this] { return stopping_ || !queue_.empty(); });
        if (queue_.empty()) {
            if (stopping_)
                return;
            continue;
        }
        Job job = std::move(queue_.front());
        queue_.pop_front();
        busy_ = true;
        guard.unlock();
        const bool ok = perform(job);
        guard.lock();
        busy_ = false;
        if (!ok)
            ++failures_;
        if (queue_.empty())
            idle_.notify_all();
    }
}

bool ZRecoveryStore::perform(const Job& job) {
    const QString copy = copyPath(job.slot);
    const QString companion = companionPath(job.slot);
    if (job.remove) {
        // The copy goes first: a companion without a copy is never offered.
        const bool removed = !QFile::exists(copy) || QFile::remove(copy);
        QFile::remove(companion);
        return removed;
    }
    return writeAtomically(copy, job.bytes) && writeAtomically(companion, job.companion);
}

ZRecoveryScan ZRecoveryStore::claimOrphans() {
    ZRecoveryScan scan;
    if (!active_)
        return scan;
    QDir dir(folder_);
    removeStaleSaveFiles(folder_);
    std::map<QString, bool> claimed; // instance -> whether this program now holds its lock
    const QStringList copies = dir.entryList({"*" + kCopySuffix}, QDir::Files, QDir::Name);
    for (const QString& name : copies) {
        const QString owner = instanceOf(name);
        if (owner.isEmpty() || owner == instance_)
            continue;
        auto it = claimed.find(owner);
        if (it == claimed.end()) {
            bool mine = claims_.count(owner) > 0;
            if (!mine) {
                auto lock = std::make_unique<QLockFile>(dir.filePath(owner + kLockSuffix));
                lock->setStaleLockTime(0);
                // Taking the lock succeeds only when its holder is gone.
                mine = lock->tryLock(0);
                if (mine)
                    claims_.emplace(owner, std::move(lock));
            }
            it = claimed.emplace(owner, mine).first;
        }
        if (!it->second)
            continue;
        const QString copy = dir.filePath(name);
        ZRecoveryEntry entry;
        entry.copyPath = copy;
        entry.info = readInfo(companionOf(copy), copy);
        if (readTvxFile(QFile::encodeName(copy).toStdString(), entry.document) != TvxStatus::Ok) {
            moveToDamaged(copy);
            scan.damaged << entry.info.title;
            continue;
        }
        scan.entries.push_back(std::move(entry));
    }
    // Companions whose copy is gone say nothing worth keeping.
    for (const QString& name : dir.entryList({"*" + kCompanionSuffix}, QDir::Files)) {
        const QString copyName = name.left(name.size() - kCompanionSuffix.size()) + kCopySuffix;
        const auto it = claimed.find(instanceOf(copyName));
        if (it != claimed.end() && it->second && !dir.exists(copyName))
            dir.remove(name);
    }
    // A program that died with nothing to recover leaves only its lock behind;
    // taking the lock of a dead holder and letting it go removes the file.
    for (const QString& name : dir.entryList({"*" + kLockSuffix}, QDir::Files)) {
        const QString owner = name.left(name.size() - kLockSuffix.size());
        if (owner == instance_ || claimed.count(owner) > 0 || claims_.count(owner) > 0)
            continue;
        QLockFile stale(dir.filePath(name));
        stale.setStaleLockTime(0);
        if (stale.tryLock(0))
            stale.unlock();
    }
    std::sort(
        scan.entries.begin(), scan.entries.end(),
        [](const ZRecoveryEntry& a, const ZRecoveryEntry& b) { return a.info.time > b.info.time; });
    return scan;
}

void ZRecoveryStore::discard(const QString& copyPath) {
    QFile::remove(copyPath);
    QFile::remove(companionOf(copyPath));
}

void ZRecoveryStore::releaseClaims() {
    for (auto& [owner, lock] : claims_)
        lock->unlock();
    claims_.clear();
}

void ZRecoveryStore::moveToDamaged(const QString& copyPath) {
    const QString folder = QDir(folder_).filePath(QStringLiteral("damaged"));
    // A damaged/ that is a link could lead anywhere: the copy then stays put.
    const QFileInfo info(folder);
    if (info.isSymLink() || (info.exists() && !info.isDir()))
        return;
    QDir damaged(folder);
    if (!damaged.mkpath("."))
        return;
    const QString companion = companionOf(copyPath);
    const QString target = freeName(damaged, QFileInfo(copyPath).fileName());
    if (!QFile::rename(copyPath, target))
        return;
    if (QFile::exists(companion))
        QFile::rename(companion, companionOf(target));
}

void removeStaleSaveFiles(const QString& folder, int minutes) {
    static const QRegularExpression pattern(QStringLiteral("^\\.tavlo-save-[A-Za-z0-9]{6}$"));
    const QDateTime limit = QDateTime::currentDateTimeUtc().addSecs(-60LL * minutes);
    const QDir dir(folder);
    for (const QFileInfo& fi :
         dir.entryInfoList({".tavlo-save-*"}, QDir::Files | QDir::Hidden | QDir::NoSymLinks)) {
        // A file no writer holds is left from a program that ended while
        // saving; an old one may be from a writer that takes no lock.
        if (!pattern.match(fi.fileName()).hasMatch())
            continue;
        if (ZFile::isAbandonedTemp(QFile::encodeName(fi.absoluteFilePath()).toStdString()) ||
            fi.lastModified().toUTC() < limit)
            QFile::remove(fi.absoluteFilePath());
    }
}
