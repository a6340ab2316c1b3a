// The editor driven as a user would, timed from each key, wheel notch or
// mouse event to the end of the buffer swap that shows its result, over the
// generated maps of 1 000, 10 000 and 100 000 nodes. Prints, per action, the
// median and the 90th percentile of that time, and the median split of it
// into handling, drawing and composition.
//
//   tavlo_bench_editor [--sizes 1000,10000,100000] [--reps N] [--only A,B] [--smoke] [--verbose]
//
// --only runs only the groups of actions whose first row's name holds one of
// the given texts (the undo and redo rows after an action come with it).
// Under callgrind (--collect-atstart=no) only the timed actions are counted;
// with TAVLO_BENCH_PERF_CTL naming the control fifo of `perf record -D -1
// --control fifo:...`, perf samples only them too.
//
// --smoke runs a handful of actions once on the 1 000-node map and fails
// only when one of them produced no frame; it never judges a time.
// Needs an X display (xvfb-run provides one).

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <valgrind/callgrind.h>

#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NPoint.h>
#include <sarvik/ZN_ShapeManager.h>

#include "../MapGenerator.h"
#include "BenchMap.h"
#include "BenchTable.h"
#include "commands/CommandIds.h"
#include "document/CTavloDoc.h"
#include "document/TvxContainer.h"
#include "frames/CChildFrame.h"
#include "frames/CFindBar.h"
#include "frames/CMainFrame.h"
#include "frames/CTavloApp.h"
#include "frames/LatencyProbe.h"
#include "view/COverviewPanel.h"
#include "view/CTavloView.h"

namespace {

// However slow the machine, an action that shows nothing within this long
// produced no frame.
constexpr int kFrameTimeoutMs = 120000;

using Record = LatencyProbe::Record;
using namespace editorbench;

using benchtable::Row;

class Bench {
public:
    explicit Bench(int reps) : reps_(reps) {
        frame_ = new CMainFrame;
        frame_->resize(1400, 900);
        frame_->show();
        if (!QTest::qWaitForWindowExposed(frame_)) {
            std::fprintf(stderr, "tavlo_bench_editor: the window was never shown\n");
            ++missedTotal_;
        }
        QApplication::setActiveWindow(frame_);
        probe_ = new LatencyProbe(
            [this](const Record& r) {
                records_.push_back(r);
                if (waiting_)
                    waiting_->quit();
                return true;
            },
            frame_);
    }
    ~Bench() {
        for (CChildFrame* c : frame_->children())
            c->document()->SetModifiedFlag(false);
        delete frame_;
    }

    bool run(int nodes, const QString& folder, bool smoke);
    void print(const std::vector<int>& sizes) const;
    bool allFramed() const { return missedTotal_ == 0; }

private:
    // Waits for the probe's next record; none when no frame came.
    std::optional<Record> nextRecord() {
        QElapsedTimer clock;
        clock.start();
        while (records_.empty() && clock.elapsed() < kFrameTimeoutMs) {
            QEventLoop loop;
            QTimer::singleShot(kFrameTimeoutMs, &loop, &QEventLoop::quit);
            waiting_ = &loop;
            loop.exec();
            waiting_ = nullptr;
        }
        if (records_.empty())
            return std::nullopt;
        Record r = records_.front();
        records_.erase(records_.begin());
        return r;
    }
    // Draws everything that is waiting, so that the next action starts from
    // a quiet window.
    bool settle() {
        QCoreApplication::processEvents();
        records_.clear();
        if (!child_)
            return true;
        probe_->begin(QStringLiteral("settle"));
        view()->update();
        const bool framed = nextRecord().has_value();
        records_.clear();
        return framed;
    }
    // One timed action: `send` delivers its events, the probe times them.
    void measure(const std::string& row, const std::function<void()>& send) {
        // Shortcuts reach only the active window; without a window manager
        // nothing else makes it so.
        QApplication::setActiveWindow(frame_);
        settle();
        records_.clear();
        profiling(true);
        send();
        std::optional<Record> r = nextRecord();
        profiling(false);
        Row& out = rows_[row];
        if (std::find(order_.begin(), order_.end(), row) == order_.end())
            order_.push_back(row);
        if (!r) {
            ++out.missed;
            ++missedTotal_;
            std::fprintf(stderr, "tavlo_bench_editor: %s at %d nodes: no frame\n", row.c_str(),
                         nodes_);
            return;
        }
        if (verbose_)
            std::fprintf(stderr, "  %-28s %s\t%.1f\n", row.c_str(), qPrintable(r->name),
                         r->totalMs);
        out.total.push_back(r->totalMs);
        out.command.push_back(r->commandMs);
        out.drawing.push_back(r->drawingMs);
        out.compose.push_back(r->composeMs);
    }
    // Tells a profiler that a timed action starts or has ended.
    static void profiling(bool on) {
        CALLGRIND_TOGGLE_COLLECT;
        static FILE* perf = [] {
            const QByteArray path = qgetenv("TAVLO_BENCH_PERF_CTL");
            return path.isEmpty() ? nullptr : std::fopen(path.constData(), "w");
        }();
        if (perf) {
            std::fputs(on ? "enable\n" : "disable\n", perf);
            std::fflush(perf);
        }
    }
    // A timed action that no input event stands for.
    void measureCall(const std::string& row, const QString& name,
                     const std::function<void()>& call) {
        measure(row, [&] {
            probe_->begin(name);
            call();
        });
    }
    // The longest gap between two turns of the event loop until `done`
    // holds, in milliseconds; negative when it never does.
    double longestStall(const std::function<bool()>& done) {
        QElapsedTimer clock;
        clock.start();
        qint64 last = clock.nsecsElapsed();
        qint64 longest = 0;
        bool reached = false;
        QEventLoop loop;
        QTimer beat;
        beat.setInterval(0);
        QObject::connect(&beat, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            longest = std::max(longest, now - last);
            last = now;
            if (done()) {
                reached = true;
                loop.quit();
            }
        });
        QTimer::singleShot(kFrameTimeoutMs, &loop, &QEventLoop::quit);
        beat.start();
        loop.exec();
        beat.stop();
        return reached ? static_cast<double>(longest) / 1.0e6 : -1.0;
    }
    void record(const std::string& row, double ms) {
        if (std::find(order_.begin(), order_.end(), row) == order_.end())
            order_.push_back(row);
        rows_[row].total.push_back(ms);
    }

    CTavloView* view() const { return child_->view(); }
    ZN_ShapeManager& page() const { return *view()->getCurrentPage(); }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(view(), static_cast<Qt::Key>(k), mods);
    }
    void select(int index) {
        view()->clearSelection();
        view()->addToSelection(shapeAt(page(), index));
        view()->setFocus();
    }
    QPoint screenOf(const ZVector2& canvas) const {
        return view()->screenFromClient(canvas - view()->viewOffset()).toPoint();
    }
    // Back to 100 % with the canvas point `at` at the window's top-left.
    void home(QPoint at) {
        view()->setZoom(1.0f, QPointF(0, 0));
        view()->scrollTo(at);
        view()->setFocus();
    }
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(at), view()->mapToGlobal(QPointF(at)),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(view(), &event);
    }

    void editActions(int leaf, QPoint leafView);
    void viewActions(QPoint leafView);
    void treeActions(int leaf, int fold, int branch, QPoint leafView);

    int reps_;
    int nodes_ = 0;
    CMainFrame* frame_ = nullptr;
    CChildFrame* child_ = nullptr;
    LatencyProbe* probe_ = nullptr;
    QEventLoop* waiting_ = nullptr;
    std::vector<Record> records_;
    std::map<std::string, Row> rows_;
    std::vector<std::string> order_;
    int missedTotal_ = 0;

public:
    bool verbose_ = false;
    std::vector<std::string> only_;
    // True when the group of actions led by `row` is to run.
    bool wanted(const std::string& row) const {
        if (only_.empty())
            return true;
        for (const std::string& o : only_) {
            if (row.find(o) != std::string::npos)
                return true;
        }
        return false;
    }

public:
    benchtable::Rows bySize;
    std::vector<std::string> rowOrder;
};

void Bench::editActions(int leaf, QPoint leafView) {
    for (int i = 0; i < (wanted("nudge one (Right)") ? reps_ : 0); ++i) {
        home(leafView);
        select(leaf);
        measure("nudge one (Right)", [&] { key(Qt::Key_Right); });
        measure("  Ctrl+Z after nudge one", [&] { key(Qt::Key_Z, Qt::ControlModifier); });
        measure("  Ctrl+Y after nudge one", [&] { key(Qt::Key_Y, Qt::ControlModifier); });
    }
    for (int i = 0; i < (wanted("select all (Ctrl+A)") || wanted("nudge all (Right)") ? reps_ : 0); ++i) {
        home(leafView);
        measure("select all (Ctrl+A)", [&] { key(Qt::Key_A, Qt::ControlModifier); });
        measure("nudge all (Right)", [&] { key(Qt::Key_Right); });
        measure("  Ctrl+Z after nudge all", [&] { key(Qt::Key_Z, Qt::ControlModifier); });
        measure("  Ctrl+Y after nudge all", [&] { key(Qt::Key_Y, Qt::ControlModifier); });
    }
    for (int i = 0; i < (wanted("delete one (Delete)") ? reps_ : 0); ++i) {
        home(leafView);
        select(leaf);
        measure("delete one (Delete)", [&] { key(Qt::Key_Delete); });
        measure("  Ctrl+Z after delete one", [&] { key(Qt::Key_Z, Qt::ControlModifier); });
        measure("  Ctrl+Y after delete one", [&] { key(Qt::Key_Y, Qt::ControlModifier); });
        key(Qt::Key_Z, Qt::ControlModifier);
    }
    for (int i = 0; i < (wanted("delete all (Delete)") ? reps_ : 0); ++i) {
        home(leafView);
        view()->selectAll();
        measure("delete all (Delete)", [&] { key(Qt::Key_Delete); });
        measure("  Ctrl+Z after delete all", [&] { key(Qt::Key_Z, Qt::ControlModifier); });
        measure("  Ctrl+Y after delete all", [&] { key(Qt::Key_Y, Qt::ControlModifier); });
        key(Qt::Key_Z, Qt::ControlModifier);
    }
}

void Bench::viewActions(QPoint leafView) {
    view()->clearSelection();
    for (int i = 0; i < (wanted("zoom step (Ctrl+") ? reps_ : 0); ++i) {
        home(leafView);
        measure("zoom step (Ctrl+=)", [&] { key(Qt::Key_Equal, Qt::ControlModifier); });
        measure("zoom step (Ctrl+-)", [&] { key(Qt::Key_Minus, Qt::ControlModifier); });
    }
    for (int i = 0; i < (wanted("wheel notch") || wanted("Page Down") || wanted("fit (Ctrl+9)") ? reps_ : 0); ++i) {
        home(leafView);
        const QPoint at(view()->width() / 2, view()->height() / 2);
        measure("wheel notch", [&] {
            QWheelEvent wheel(QPointF(at), view()->mapToGlobal(QPointF(at)), QPoint(),
                              QPoint(0, i % 2 ? 120 : -120), Qt::NoButton, Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(view(), &wheel);
        });
        measure("Page Down", [&] { key(Qt::Key_PageDown); });
        measure("fit (Ctrl+9)", [&] { key(Qt::Key_9, Qt::ControlModifier); });
    }
}

void Bench::treeActions(int leaf, int fold, int branch, QPoint leafView) {
    for (int i = 0; i < (wanted("Tab (new child)") || wanted("Enter (new sibling)") ? reps_ : 0); ++i) {
        home(leafView);
        select(leaf);
        measure("Tab (new child)", [&] { key(Qt::Key_Tab); });
        if (view()->isEditing())
            QTest::keyClick(view()->editBox(), Qt::Key_Escape);
        key(Qt::Key_Z, Qt::ControlModifier);
        home(leafView);
        select(leaf);
        measure("Enter (new sibling)", [&] { key(Qt::Key_Return); });
        if (view()->isEditing())
            QTest::keyClick(view()->editBox(), Qt::Key_Escape);
        key(Qt::Key_Z, Qt::ControlModifier);
    }
    // Find next through the bar, over the labels holding an "A".
    home(leafView);
    view()->clearSelection();
    key(Qt::Key_F, Qt::ControlModifier);
    CFindBar* bar = child_->findBar();
    if (bar && bar->isVisible() && wanted("F3 in the find bar")) {
        QTest::keyClicks(bar->findField(), QStringLiteral("A"));
        settle();
        for (int i = 0; i < reps_; ++i)
            measure("F3 in the find bar", [&] { QTest::keyClick(bar->findField(), Qt::Key_F3); });
        QTest::keyClick(bar->findField(), Qt::Key_Escape);
    }
    view()->clearSelection();
    // Fold and unfold: a click on the point before the root's biggest branch.
    for (int i = 0; i < reps_ && fold >= 0 && (wanted("fold biggest branch") || wanted("unfold it")); ++i) {
        ZN_ShapeBase* point = shapeAt(page(), fold);
        home(QPoint(static_cast<int>(point->getPoint1().X()) - 300,
                    static_cast<int>(point->getPoint1().Y()) - 300));
        const QPoint at = screenOf(point->getPoint1());
        // The press acts on what the pointer hovers.
        mouse(QEvent::MouseMove, at, Qt::NoButton);
        measure("fold biggest branch",
                [&] { mouse(QEvent::MouseButtonPress, at, Qt::LeftButton); });
        mouse(QEvent::MouseButtonRelease, at, Qt::NoButton);
        mouse(QEvent::MouseMove, at, Qt::NoButton);
        measure("unfold it", [&] { mouse(QEvent::MouseButtonPress, at, Qt::LeftButton); });
        mouse(QEvent::MouseButtonRelease, at, Qt::NoButton);
    }
    // A binding drag of that branch: one move past the threshold.
    for (int i = 0; i < reps_ && branch >= 0 && wanted("drag a branch (one move)"); ++i) {
        ZN_ShapeBase* head = shapeAt(page(), branch);
        const ZVector2 centre = (head->getPoint1() + head->getPoint2()) * 0.5f;
        home(QPoint(static_cast<int>(centre.X()) - 400, static_cast<int>(centre.Y()) - 300));
        view()->clearSelection();
        const QPoint at = screenOf(centre);
        mouse(QEvent::MouseMove, at, Qt::NoButton);
        mouse(QEvent::MouseButtonPress, at, Qt::LeftButton);
        measure("drag a branch (one move)",
                [&] { mouse(QEvent::MouseMove, at + QPoint(30, 20), Qt::LeftButton); });
        mouse(QEvent::MouseButtonRelease, at + QPoint(30, 20), Qt::NoButton);
        settle();
        key(Qt::Key_Z, Qt::ControlModifier);
    }
    // The overview: opened, its first picture, closed.
    COverviewPanel* panel = frame_->overviewDock()->panel();
    for (int i = 0; i < (wanted("overview open") ? reps_ : 0); ++i) {
        home(leafView);
        const int pictures = panel->pictureCount();
        QElapsedTimer clock;
        clock.start();
        measureCall("overview open", QStringLiteral("overview"),
                    [&] { frame_->runCommand(cmd::ViewOverview); });
        if (QTest::qWaitFor([&] { return panel->pictureCount() > pictures; }, kFrameTimeoutMs)) {
            record("overview open, its picture", static_cast<double>(clock.elapsed()));
        } else {
            std::fprintf(stderr, "tavlo_bench_editor: the overview drew no picture\n");
            ++missedTotal_;
        }
        // An edit with the overview open, and the longest the event loop
        // was held while the overview drew the edited page: an input that
        // came then waited that long on top of its own time.
        home(leafView);
        select(leaf);
        const int before = panel->pictureCount();
        measure("  nudge one, overview open", [&] { key(Qt::Key_Right); });
        const double stall = longestStall([&] { return panel->pictureCount() > before; });
        if (stall >= 0.0)
            record("  overview redraw, longest stall", stall);
        key(Qt::Key_Z, Qt::ControlModifier);
        measureCall("overview close", QStringLiteral("overview"),
                    [&] { frame_->runCommand(cmd::ViewOverview); });
    }
}

bool Bench::run(int nodes, const QString& folder, bool smoke) {
    nodes_ = nodes;
    rows_.clear();
    const QString path = folder + QStringLiteral("/map%1.tvx").arg(nodes);
    if (!writeBenchMap(path.toStdString(), nodes)) {
        std::fprintf(stderr, "tavlo_bench_editor: cannot write %s\n", qPrintable(path));
        return false;
    }
    // File to first frame, each time into a window of its own.
    for (int i = 0; i < (smoke || !only_.empty() ? 1 : 3); ++i) {
        if (child_) {
            child_->document()->SetModifiedFlag(false);
            child_->close();
            child_ = nullptr;
            QCoreApplication::processEvents();
        }
        CChildFrame* opened = nullptr;
        measureCall("load (file to first frame)", QStringLiteral("open"),
                    [&] { opened = frame_->openDocumentFile(path); });
        if (!opened)
            return false;
        child_ = opened;
    }
    ZN_ShapeManager& p = page();
    ZN_ShapeBase* root = benchmap::findRoot(p);
    if (!root)
        return false;
    // The keyboard grows a tree that keeps its layout, as 排列 > 自动布局 gives it.
    view()->clearSelection();
    view()->addToSelection(root);
    frame_->runCommand(cmd::LayoutLogicRight);
    root = benchmap::findRoot(page());
    // The first leaf, the fold point and the branch after it.
    ZN_ShapeBase* leaf = root;
    for (std::vector<ZN_ShapeBase*> kids = childrenOf(leaf); !kids.empty(); kids = childrenOf(leaf))
        leaf = kids.front();
    int fold = -1;
    int branch = -1;
    for (ZN_ShapeBase* kid : childrenOf(root)) {
        if (kid->type() == 2 && !childrenOf(kid).empty()) {
            fold = indexOf(page(), kid);
            branch = indexOf(page(), childrenOf(kid).front());
        }
    }
    const int leafIndex = indexOf(page(), leaf);
    const QPoint leafView(static_cast<int>(leaf->getPoint1().X()) - 600,
                          static_cast<int>(leaf->getPoint1().Y()) - 400);

    if (smoke) {
        home(leafView);
        select(leafIndex);
        measure("nudge one (Right)", [&] { key(Qt::Key_Right); });
        measure("  Ctrl+Z after nudge one", [&] { key(Qt::Key_Z, Qt::ControlModifier); });
        measure("  Ctrl+Y after nudge one", [&] { key(Qt::Key_Y, Qt::ControlModifier); });
        measure("zoom step (Ctrl+=)", [&] { key(Qt::Key_Equal, Qt::ControlModifier); });
        measure("Page Down", [&] { key(Qt::Key_PageDown); });
        home(leafView);
        const QPoint at(view()->width() / 2, view()->height() / 2);
        measure("wheel notch", [&] {
            QWheelEvent wheel(QPointF(at), view()->mapToGlobal(QPointF(at)), QPoint(),
                              QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                              false);
            QCoreApplication::sendEvent(view(), &wheel);
        });
        const int keep = reps_;
        reps_ = 1;
        treeActions(leafIndex, fold, branch, leafView);
        reps_ = keep;
    } else {
        editActions(leafIndex, leafView);
        viewActions(leafView);
        treeActions(leafIndex, fold, branch, leafView);
        // Save, the document's own writer to a file of its own.
        for (int i = 0; i < (wanted("save") ? 3 : 0); ++i) {
            QElapsedTimer clock;
            clock.start();
            const bool saved = child_->document()->saveTo(folder + QStringLiteral("/saved.tvx"));
            record("save", static_cast<double>(clock.nsecsElapsed()) / 1.0e6);
            if (!saved)
                std::fprintf(stderr, "tavlo_bench_editor: save failed\n");
        }
    }
    bySize[nodes] = rows_;
    for (const std::string& r : order_) {
        if (std::find(rowOrder.begin(), rowOrder.end(), r) == rowOrder.end())
            rowOrder.push_back(r);
    }
    child_->document()->SetModifiedFlag(false);
    child_->close();
    child_ = nullptr;
    QCoreApplication::processEvents();
    return true;
}

void Bench::print(const std::vector<int>& sizes) const {
    benchtable::print(bySize, rowOrder, sizes);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes = {1000, 10000, 100000};
    int reps = 7;
    bool smoke = false;
    bool verbose = false;
    std::vector<std::string> only;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--smoke") {
            smoke = true;
        } else if (a == "--verbose") {
            verbose = true;
        } else if (a == "--reps" && i + 1 < argc) {
            reps = std::max(1, std::atoi(argv[++i]));
        } else if (a == "--only" && i + 1 < argc) {
            for (const QString& s : QString::fromUtf8(argv[++i]).split(',', Qt::SkipEmptyParts))
                only.push_back(s.toStdString());
        } else if (a == "--sizes" && i + 1 < argc) {
            sizes.clear();
            for (const QString& s : QString::fromLatin1(argv[++i]).split(',', Qt::SkipEmptyParts))
                sizes.push_back(s.toInt());
        } else {
            std::fprintf(stderr, "usage: tavlo_bench_editor [--sizes 1000,10000,100000] [--reps N] "
                                 "[--only A,B] [--smoke] [--verbose]\n");
            return 2;
        }
    }
    if (smoke)
        sizes = {1000};
    // The bench never touches the user's own profile.
    QTemporaryDir profile;
    QTemporaryDir maps;
    if (!profile.isValid() || !maps.isValid()) {
        std::fprintf(stderr, "tavlo_bench_editor: no temporary folder\n");
        return 2;
    }
    qputenv("XDG_CONFIG_HOME", profile.path().toUtf8());
    CTavloApp::prepare();
    CTavloApp app(argc, argv);
    bool ok = true;
    {
        Bench bench(reps);
        bench.verbose_ = verbose;
        bench.only_ = only;
        for (int n : sizes) {
            std::fprintf(stderr, "tavlo_bench_editor: %d nodes\n", n);
            ok = bench.run(n, maps.path(), smoke) && ok;
        }
        bench.print(sizes);
        ok = ok && bench.allFramed();
    }
    app.ExitInstance();
    return ok ? 0 : 1;
}
