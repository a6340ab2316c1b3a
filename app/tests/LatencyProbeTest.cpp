// The latency probe: which events are actions, one record per action however
// its events travel, the line written for it, and a file that fails.

#include <functional>

#include <gtest/gtest.h>

#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>

#include "WindowFixture.h"
#include "frames/LatencyProbe.h"

namespace {

using Record = LatencyProbe::Record;

bool waitFor(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, 20000);
}

} // namespace

TEST(LatencyProbeNames, InputEventsAreNamedAndTheRestAreNotActions) {
    const QKeyEvent undo(QEvent::KeyPress, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(LatencyProbe::actionName(&undo), "key Ctrl+Z");
    const QKeyEvent keypad(QEvent::ShortcutOverride, Qt::Key_Right, Qt::KeypadModifier);
    EXPECT_EQ(LatencyProbe::actionName(&keypad), "key Right");
    const QKeyEvent control(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    EXPECT_EQ(LatencyProbe::actionName(&control), "");
    const QKeyEvent release(QEvent::KeyRelease, Qt::Key_Z, Qt::NoModifier);
    EXPECT_EQ(LatencyProbe::actionName(&release), "");

    const QPointF at(5, 5);
    const QMouseEvent hover(QEvent::MouseMove, at, at, Qt::NoButton, Qt::NoButton, {});
    EXPECT_EQ(LatencyProbe::actionName(&hover), "");
    const QMouseEvent drag(QEvent::MouseMove, at, at, Qt::NoButton, Qt::LeftButton, {});
    EXPECT_EQ(LatencyProbe::actionName(&drag), "drag");
    const QMouseEvent press(QEvent::MouseButtonPress, at, at, Qt::LeftButton, Qt::LeftButton, {});
    EXPECT_EQ(LatencyProbe::actionName(&press), "press");
    const QWheelEvent wheel(at, at, {}, {0, 120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
    EXPECT_EQ(LatencyProbe::actionName(&wheel), "wheel");
}

TEST(LatencyProbeNames, ALineIsNameTabMillisecondsTabSplit) {
    Record r;
    r.name = "key\tTab";
    r.totalMs = 12.345;
    r.commandMs = 10.04;
    r.drawingMs = 2.0;
    r.composeMs = 0.26;
    EXPECT_EQ(LatencyProbe::formatLine(r), "key Tab\t12.3\tcommand=10.0 drawing=2.0 compose=0.3\n");
}

class LatencyProbeWindow : public DocumentFixture {
protected:
    void SetUp() override {
        DocumentFixture::SetUp();
        if (HasFatalFailure())
            return;
        addRect(*page, 100, 100, 200, 160);
        QApplication::setActiveWindow(frame);
        view->setFocus();
        // Whatever the window still had to draw is drawn before the probe.
        view->grabFramebuffer();
        QCoreApplication::processEvents();
    }
};

TEST_F(LatencyProbeWindow, EachActionIsOneRecordEndedByTheFrameThatShowsIt) {
    std::vector<Record> records;
    LatencyProbe probe([&](const Record& r) {
        records.push_back(r);
        return true;
    });
    // A key that changes nothing asks for no frame and is not charged with
    // the wait for the next one.
    QTest::keyClick(view, Qt::Key_F12);
    EXPECT_EQ(probe.pendingCount(), 1);
    ASSERT_TRUE(waitFor([&] { return probe.pendingCount() == 0; }));
    EXPECT_TRUE(records.empty());
    // A shortcut (override, then the command) and a key the view takes
    // itself, each passing through several widgets: one record apiece.
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    ASSERT_TRUE(waitFor([&] { return !records.empty(); }));
    QTest::keyClick(view, Qt::Key_Delete);
    ASSERT_TRUE(waitFor([&] { return records.size() >= 2; }));
    QCoreApplication::processEvents();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].name.toStdString(), "key Ctrl+A");
    EXPECT_EQ(records[1].name.toStdString(), "key Del");
    EXPECT_TRUE(page->getShapeList().empty());
    for (const Record& r : records) {
        EXPECT_GE(r.commandMs, 0.0);
        EXPECT_GE(r.drawingMs, 0.0);
        EXPECT_GE(r.composeMs, 0.0);
        EXPECT_NEAR(r.commandMs + r.drawingMs + r.composeMs, r.totalMs, 1e-6);
    }
    // Moves of one drag before its frame are one action.
    records.clear();
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(40, 40));
    for (int i = 1; i <= 3; ++i) {
        QMouseEvent move(QEvent::MouseMove, QPointF(40 + 10 * i, 40),
                         view->mapToGlobal(QPointF(40 + 10 * i, 40)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(view, &move);
    }
    ASSERT_TRUE(waitFor([&] { return records.size() >= 2; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(records[0].name.toStdString(), "press");
    EXPECT_EQ(std::count_if(records.begin(), records.end(),
                            [](const Record& r) { return r.name == "drag"; }),
              1);
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(70, 40));
}

TEST_F(LatencyProbeWindow, TheVariableNamesTheFileAndAFileThatFailsStopsOnlyTheProbe) {
    qunsetenv("TAVLO_LATENCY");
    EXPECT_EQ(LatencyProbe::installFromEnvironment(nullptr), nullptr);
    qputenv("TAVLO_LATENCY", "/nonexistent-folder/latency.log");
    EXPECT_EQ(LatencyProbe::installFromEnvironment(nullptr), nullptr);

    const QString path = QString::fromStdString(tempDir()) + "/latency.log";
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("earlier\t1.0\n");
    }
    qputenv("TAVLO_LATENCY", path.toLocal8Bit());
    std::unique_ptr<LatencyProbe> probe(LatencyProbe::installFromEnvironment(nullptr));
    ASSERT_NE(probe, nullptr);
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    ASSERT_TRUE(waitFor([&] { return probe->pendingCount() == 0; }));
    probe.reset();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), 3); // appended, and ending in a line end
    EXPECT_EQ(lines[0], "earlier\t1.0");
    EXPECT_TRUE(lines[1].startsWith("key Ctrl+A\t")) << lines[1].constData();
    EXPECT_EQ(lines[1].split('\t').size(), 3);

    // A full disk: the first failed line ends the probe; the editor goes on.
    qputenv("TAVLO_LATENCY", "/dev/full");
    probe.reset(LatencyProbe::installFromEnvironment(nullptr));
    qunsetenv("TAVLO_LATENCY");
    ASSERT_NE(probe, nullptr);
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    ASSERT_TRUE(waitFor([&] { return probe->pendingCount() == 0; }));
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(probe->pendingCount(), 0) << "a stopped probe records nothing";
    EXPECT_TRUE(page->getShapeList().empty());
}
