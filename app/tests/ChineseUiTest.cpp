// Every word on screen is Chinese: Qt's own dialogs are translated, titles
// carry no second program name, and the type lists and messages read as
// written.

#include <gtest/gtest.h>

#include <QAbstractProxyModel>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTranslator>

#include <sarvik/platform/ZMessage.h>

#include "TestSupport.h"
#include "WindowFixture.h"
#include "dialogs/CDlgJiuGongGe.h"
#include "dialogs/FileDialogs.h"
#include "frames/CTavloApp.h"

// X headers last: their macros (None, Status) clash with names above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

// The title the window manager is given for `w`, read from the X server on a
// connection of our own.
QString shownTitle(QWidget* w) {
    QCoreApplication::processEvents();
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return "(no display)";
    const Atom name = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    QString title;
    if (XGetWindowProperty(display, static_cast<Window>(w->winId()), name, 0, 4096, False, utf8,
                           &type, &format, &count, &after, &data) == Success &&
        data) {
        title = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(count));
        XFree(data);
    }
    XCloseDisplay(display);
    return title;
}

} // namespace

TEST(ChineseUi, QtTranslationsAreInstalledAndStandardButtonsSpeakChinese) {
    testApp();
    ASSERT_NE(testApp().qtTranslator(), nullptr) << "qtbase_zh_CN was not found";
    EXPECT_FALSE(testApp().qtTranslator()->isEmpty());
    QMessageBox box(QMessageBox::Question, CTavloApp::kApplication, "是否保存?",
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Save)->text(), "保存");
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), "取消");
    EXPECT_NE(box.button(QMessageBox::Discard)->text(), "Discard");
    QMessageBox ok(QMessageBox::NoIcon, "JPEG Error", "x", QMessageBox::Ok);
    EXPECT_EQ(ok.button(QMessageBox::Ok)->text(), "确定");
    EXPECT_TRUE(QCoreApplication::testAttribute(Qt::AA_DontUseNativeDialogs));
}

TEST(ChineseUi, FileTypeListsShowEachLabelOnceAsWritten) {
    testApp();
    const auto open = makeFileDialog(nullptr, "打开", QString(), documentFileTypes(), false);
    EXPECT_TRUE(open->testOption(QFileDialog::DontUseNativeDialog));
    const auto* types = open->findChild<QComboBox*>("fileTypeCombo");
    ASSERT_NE(types, nullptr);
    ASSERT_EQ(types->count(), 2);
    EXPECT_EQ(types->itemText(0), "Qelmo思维导图文件(*.tvx)");
    EXPECT_EQ(types->itemText(1), "所有文件 (*.*)");
    // The labels are only shown: the all-files entry still lists files
    // without an extension.
    EXPECT_EQ(open->nameFilters().at(1), "所有文件 (*.*) (*)");

    // The file list's columns read Chinese too, whatever the desktop locale.
    const QString folder = QString::fromStdString(tempDir());
    QDir(folder).mkdir("sub");
    writeBytes((folder + "/a.tvx").toStdString(), std::vector<std::uint8_t>(18, 0));
    open->setDirectory(folder);
    const QAbstractProxyModel* list = open->proxyModel();
    ASSERT_NE(list, nullptr);
    const auto* files = qobject_cast<const QFileSystemModel*>(list->sourceModel());
    ASSERT_NE(files, nullptr);
    const QModelIndex root = list->mapFromSource(files->index(folder));
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->rowCount(root) == 2; }, 5000));
    for (int row = 0; row < 2; ++row) {
        const QString name = list->index(row, 0, root).data().toString();
        const QString size = list->index(row, 1, root).data().toString();
        const QString type = list->index(row, 2, root).data().toString();
        const QString date = list->index(row, 3, root).data().toString();
        if (name == "sub") {
            EXPECT_EQ(type, "文件夹");
            EXPECT_EQ(size, "");
        } else {
            EXPECT_EQ(size, "18 字节");
        }
        EXPECT_FALSE(date.contains(QRegularExpression("[A-Za-z]"))) << date.toStdString();
    }

    const auto picture =
        makeFileDialog(nullptr, "打开", QString(),
                       {{"图片文件(*.jpg)", "*.jpg"}, {"All Files (*.*)", "*"}}, false);
    const auto* pictureTypes = picture->findChild<QComboBox*>("fileTypeCombo");
    ASSERT_NE(pictureTypes, nullptr);
    EXPECT_EQ(pictureTypes->itemText(0), "图片文件(*.jpg)");
}

TEST(ChineseUi, TableSizeDialogTellsANonNumberFromAnOutOfRangeOne) {
    testApp();
    CDlgJiuGongGe dialog;
    dialog.rowsEdit()->setText("x");
    EXPECT_FALSE(dialog.readFields());
    EXPECT_EQ(ZLastMessageText(), "请输入一个整数。");
    dialog.rowsEdit()->setText("1001");
    EXPECT_FALSE(dialog.readFields());
    EXPECT_EQ(ZLastMessageText(), "请输入 1 和 1000 之间的整数。");
    dialog.rowsEdit()->setText("4");
    dialog.columnsEdit()->setText("");
    EXPECT_FALSE(dialog.readFields());
    EXPECT_EQ(ZLastMessageText(), "请输入一个整数。");
    EXPECT_EQ(dialog.rows, 3) << "a refusal changes neither value";
}

class WindowTitles : public MainWindowFixture {};

TEST_F(WindowTitles, CarryTheProgramNameOnlyOnce) {
    EXPECT_EQ(shownTitle(frame), "Qelmo思维导图(2.03版)");
    frame->newDocument();
    EXPECT_EQ(shownTitle(frame), "Qelmo思维导图(2.03版) - [未命名]");

    QMessageBox box(QMessageBox::Warning, CTavloApp::kApplication, "必需是tvx文件", QMessageBox::Ok,
                    frame);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    EXPECT_EQ(shownTitle(&box), "Tavlo");
    box.close();
}
