#include "frames/LatencyProbe.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QOpenGLWidget>
#include <QWidget>

namespace {

// An action that no frame followed for this long changed nothing on screen;
// it is dropped rather than charged with the wait for an unrelated frame.
constexpr qint64 kForgetNs = 5'000'000'000;
// More actions than this waiting for one frame means the window is not
// drawing at all (hidden, minimised); the oldest go.
constexpr std::size_t kMostPending = 256;

double milliseconds(qint64 ns) {
    return static_cast<double>(ns) / 1.0e6;
}

// The file the lines go to, opened for appending. Every line is one write,
// so lines of two editors sharing a file do not interleave within a line.
class LineFile {
public:
    ~LineFile() {
        if (fd_ >= 0)
            ::close(fd_);
    }

    // Null with the reason in `error` when the file cannot be opened. A FIFO
    // without a reader is refused at once instead of blocking the start.
    static std::unique_ptr<LineFile> open(const QByteArray& path, QString* error) {
        const int fd =
            ::open(path.constData(),
                   O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
        if (fd < 0) {
            *error = QString::fromLocal8Bit(std::strerror(errno));
            return nullptr;
        }
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags >= 0)
            ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
        auto file = std::unique_ptr<LineFile>(new LineFile);
        file->fd_ = fd;
        return file;
    }

    // False, with the reason in `error`, when the line was not written whole.
    // A reader that went away must not end the program with SIGPIPE: the
    // signal is held back during the write and taken off again.
    bool append(const QByteArray& line, QString* error) {
        sigset_t pipe;
        sigset_t old;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe, &old);
        const char* data = line.constData();
        std::size_t left = static_cast<std::size_t>(line.size());
        int failure = 0;
        while (left > 0) {
            const ssize_t n = ::write(fd_, data, left);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                failure = n < 0 ? errno : ENOSPC;
                break;
            }
            data += n;
            left -= static_cast<std::size_t>(n);
        }
        if (failure == EPIPE) {
            sigset_t pending;
            sigpending(&pending);
            if (sigismember(&pending, SIGPIPE) && !sigismember(&old, SIGPIPE)) {
                const timespec now{};
                sigtimedwait(&pipe, nullptr, &now);
            }
        }
        pthread_sigmask(SIG_SETMASK, &old, nullptr);
        if (failure)
            *error = QString::fromLocal8Bit(std::strerror(failure));
        return failure == 0;
    }

private:
    LineFile() = default;
    int fd_ = -1;
};

bool isModifierKey(int key) {
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_unknown:
    case 0:
        return true;
    default:
        return false;
    }
}

// Posted behind an action's events: when it comes back the second time,
// whatever the action's handling posted (its update requests among them)
// has been handled.
class QuietCheck : public QEvent {
public:
    static QEvent::Type kind() {
        static const int type = QEvent::registerEventType();
        return static_cast<QEvent::Type>(type);
    }
    QuietCheck(quint64 id, int round) : QEvent(kind()), id(id), round(round) {}
    quint64 id;
    int round;
};

bool isAncestor(const QObject* older, const QObject* of) {
    for (const QObject* o = of ? of->parent() : nullptr; o; o = o->parent()) {
        if (o == older)
            return true;
    }
    return false;
}

} // namespace

LatencyProbe::LatencyProbe(Sink sink, QObject* parent) : QObject(parent), sink_(std::move(sink)) {
    clock_.start();
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

LatencyProbe::~LatencyProbe() {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

LatencyProbe* LatencyProbe::installFromEnvironment(QObject* parent) {
    const QByteArray path = qgetenv("TAVLO_LATENCY");
    if (path.isEmpty())
        return nullptr;
    QString error;
    std::shared_ptr<LineFile> file = LineFile::open(path, &error);
    if (!file) {
        std::fprintf(stderr, "Tavlo: latency probe: cannot open %s: %s\n", path.constData(),
                     qPrintable(error));
        return nullptr;
    }
    return new LatencyProbe(
        [file, path](const Record& record) {
            QString why;
            if (file->append(formatLine(record), &why))
                return true;
            std::fprintf(stderr, "Tavlo: latency probe: cannot write to %s: %s; the probe stops\n",
                         path.constData(), qPrintable(why));
            return false;
        },
        parent);
}

QByteArray LatencyProbe::formatLine(const Record& record) {
    QByteArray name = record.name.toUtf8();
    // A line holds one action: tabs and line ends in a name would split it.
    name.replace('\t', ' ').replace('\n', ' ').replace('\r', ' ');
    QByteArray line = name + '\t' + QByteArray::number(record.totalMs, 'f', 1) + '\t' +
                      "command=" + QByteArray::number(record.commandMs, 'f', 1) +
                      " drawing=" + QByteArray::number(record.drawingMs, 'f', 1) +
                      " compose=" + QByteArray::number(record.composeMs, 'f', 1) + '\n';
    return line;
}

QString LatencyProbe::actionName(const QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress: {
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (isModifierKey(key->key()))
            return {};
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        return QStringLiteral("key ") +
               QKeySequence(QKeyCombination(mods, static_cast<Qt::Key>(key->key())))
                   .toString(QKeySequence::PortableText);
    }
    case QEvent::InputMethod: {
        const auto* input = static_cast<const QInputMethodEvent*>(event);
        return input->commitString().isEmpty() ? QString() : QStringLiteral("input");
    }
    case QEvent::Wheel:
        return QStringLiteral("wheel");
    case QEvent::MouseButtonPress:
        return QStringLiteral("press");
    case QEvent::MouseButtonDblClick:
        return QStringLiteral("double-click");
    case QEvent::MouseButtonRelease:
        return QStringLiteral("release");
    case QEvent::MouseMove:
        return static_cast<const QMouseEvent*>(event)->buttons() == Qt::NoButton
                   ? QString()
                   : QStringLiteral("drag");
    default:
        return {};
    }
}

void LatencyProbe::begin(const QString& name, bool mayBeQuiet) {
    if (stopped_)
        return;
    const qint64 now = clock_.nsecsElapsed();
    while (!pending_.empty() &&
           (now - pending_.front().arrival > kForgetNs || pending_.size() >= kMostPending))
        pending_.erase(pending_.begin());
    const quint64 id = nextId_++;
    pending_.push_back({name, now, -1, -1, id, false, mayBeQuiet});
    if (mayBeQuiet)
        QCoreApplication::postEvent(this, new QuietCheck(id, 0), Qt::LowEventPriority);
}

bool LatencyProbe::event(QEvent* event) {
    if (event->type() != QuietCheck::kind())
        return QObject::event(event);
    const auto* check = static_cast<const QuietCheck*>(event);
    if (check->round == 0) {
        // Behind what the handling posted, once more.
        QCoreApplication::postEvent(this, new QuietCheck(check->id, 1), Qt::LowEventPriority);
        return true;
    }
    pending_.erase(std::remove_if(pending_.begin(), pending_.end(),
                                  [check](const Pending& p) {
                                      return p.id == check->id && !p.asked && p.paint < 0;
                                  }),
                   pending_.end());
    return true;
}

bool LatencyProbe::propagated(const QObject* watched, const QEvent* event) const {
    return event == lastEvent_ && isAncestor(watched, lastReceiver_);
}

bool LatencyProbe::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::UpdateRequest || type == QEvent::UpdateLater) {
        for (Pending& p : pending_)
            p.asked = true;
        return false;
    }
    if (type == QEvent::Paint) {
        for (Pending& p : pending_)
            p.asked = true;
        if (auto* gl = qobject_cast<QOpenGLWidget*>(watched)) {
            watchWidget(gl);
            const qint64 now = clock_.nsecsElapsed();
            for (Pending& p : pending_) {
                if (p.paint < 0)
                    p.paint = now;
            }
        }
        return false;
    }
    // Input reaches the window first and then the widget; the widget's copy
    // is the one counted.
    if (!watched->isWidgetType())
        return false;
    const QString name = actionName(event);
    if (name.isEmpty())
        return false;
    // An event a widget ignored goes on to its parents: still one action.
    if (propagated(watched, event)) {
        lastReceiver_ = watched;
        return false;
    }
    const auto* key = (type == QEvent::KeyPress || type == QEvent::ShortcutOverride)
                          ? static_cast<const QKeyEvent*>(event)
                          : nullptr;
    if (type == QEvent::KeyPress && key->key() == overrideKey_ &&
        static_cast<int>(key->modifiers()) == overrideModifiers_) {
        // The key press after its shortcut override.
        overrideKey_ = 0;
        lastEvent_ = event;
        lastReceiver_ = watched;
        return false;
    }
    if (type == QEvent::ShortcutOverride) {
        overrideKey_ = key->key();
        overrideModifiers_ = static_cast<int>(key->modifiers());
    }
    lastEvent_ = event;
    lastReceiver_ = watched;
    // A drag is one action per frame: the moves that come before the frame
    // that shows the first of them wait with it.
    if (type == QEvent::MouseMove && !pending_.empty() && pending_.back().name == name &&
        pending_.back().paint < 0)
        return false;
    begin(name, true);
    return false;
}

void LatencyProbe::watchWidget(QOpenGLWidget* widget) {
    connect(widget, &QOpenGLWidget::aboutToCompose, this, &LatencyProbe::onAboutToCompose,
            Qt::UniqueConnection);
    connect(widget, &QOpenGLWidget::frameSwapped, this, &LatencyProbe::onFrameSwapped,
            Qt::UniqueConnection);
}

void LatencyProbe::onAboutToCompose() {
    if (stopped_)
        return;
    const qint64 now = clock_.nsecsElapsed();
    for (Pending& p : pending_) {
        if (p.compose < 0)
            p.compose = now;
    }
}

void LatencyProbe::onFrameSwapped() {
    if (stopped_ || pending_.empty())
        return;
    const qint64 now = clock_.nsecsElapsed();
    std::vector<Pending> done;
    done.swap(pending_);
    for (const Pending& p : done) {
        const qint64 compose = p.compose >= 0 ? p.compose : now;
        const qint64 paint = p.paint >= 0 ? std::min(p.paint, compose) : compose;
        Record record;
        record.name = p.name;
        record.totalMs = milliseconds(now - p.arrival);
        record.commandMs = milliseconds(paint - p.arrival);
        record.drawingMs = milliseconds(compose - paint);
        record.composeMs = milliseconds(now - compose);
        if (!sink_(record)) {
            // The file failed: nothing more is measured or written.
            if (QCoreApplication* app = QCoreApplication::instance())
                app->removeEventFilter(this);
            stopped_ = true;
            return;
        }
    }
}
