#pragma once
// Measures what a user waits for: the time from a key, wheel notch or mouse
// button reaching the program to the end of the buffer swap of the first
// frame drawn after it. With TAVLO_LATENCY=FILE the editor appends one line
// per action to FILE:
//
//   key Ctrl+Z<TAB>12.3<TAB>command=9.1 drawing=2.8 compose=0.4
//
// The split is the time until the first GL widget began to paint (the input's
// own handling and whatever the event loop ran before the frame), the paint
// until the window began composing, and the composition with its swap.
// An action that asked for no drawing by the time the events it posted were
// handled showed nothing, and is not written; one that no frame followed
// within seconds is dropped too.
// Without the variable nothing is installed and nothing is written.

#include <functional>
#include <vector>

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QOpenGLWidget;

class LatencyProbe : public QObject {
    Q_OBJECT
public:
    struct Record {
        QString name;
        double totalMs = 0.0;
        double commandMs = 0.0; // arrival to the first GL paint
        double drawingMs = 0.0; // that paint to the start of composition
        double composeMs = 0.0; // composition and swap
    };
    // Returns false when the record could not be kept: the probe then stops.
    using Sink = std::function<bool(const Record&)>;

    // Watches every event of the application and hands each finished action
    // to `sink`.
    explicit LatencyProbe(Sink sink, QObject* parent = nullptr);
    ~LatencyProbe() override;

    // A probe writing to the file TAVLO_LATENCY names, or null when the
    // variable is unset or empty, or the file cannot be opened (said once on
    // standard error). A write that fails later stops the probe, never the
    // editor.
    static LatencyProbe* installFromEnvironment(QObject* parent);

    // One line of the file for `record`, newline included.
    static QByteArray formatLine(const Record& record);

    // The name an input event is recorded under ("key Ctrl+Z", "wheel",
    // "press", "drag", "release", "double-click"), or an empty string for an
    // event that is not a user action of its own (hover moves, modifier keys,
    // key releases).
    static QString actionName(const QEvent* event);

    // Starts an action that no input event stands for (opening a file from
    // the command line); it ends with the next frame, however long that
    // takes to be asked for.
    void begin(const QString& name) { begin(name, false); }
    // Actions still waiting for their frame.
    int pendingCount() const { return static_cast<int>(pending_.size()); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct Pending {
        QString name;
        qint64 arrival = 0;
        qint64 paint = -1;
        qint64 compose = -1;
        quint64 id = 0;
        bool asked = false; // drawing was asked for since the arrival
        bool mayBeQuiet = false;
    };
    void begin(const QString& name, bool mayBeQuiet);
    void watchWidget(QOpenGLWidget* widget);
    void onAboutToCompose();
    void onFrameSwapped();
    // True when `event` is the one last seen, passed on to a parent.
    bool propagated(const QObject* watched, const QEvent* event) const;

    Sink sink_;
    QElapsedTimer clock_;
    std::vector<Pending> pending_;
    const QEvent* lastEvent_ = nullptr;
    const QObject* lastReceiver_ = nullptr;
    // The key whose shortcut override was recorded: its key press that
    // follows is the same action.
    int overrideKey_ = 0;
    int overrideModifiers_ = 0;
    bool stopped_ = false; // the sink failed
    quint64 nextId_ = 1;
};
