#include "dialogs/CommandPrompts.h"

#include <cmath>
#include <cstring>

#include <QColorDialog>
#include <QCoreApplication>
#include <QDialog>
#include <QFileInfo>
#include <QFont>
#include <QFontDialog>
#include <QFontInfo>
#include <QMessageBox>

#include <sarvik/platform/ZCodePage.h>

#include "dialogs/FileDialogs.h"
#include "document/AppNames.h"

namespace {

bool colorDialog(QWidget* parent, QColor& colour) {
    QColorDialog dialog(colour, parent);
    dialog.setWindowTitle("颜色");
    // Solid colours only, as the fill and line colours have no alpha.
    dialog.setOption(QColorDialog::ShowAlphaChannel, false);
    if (dialog.exec() != QDialog::Accepted || !dialog.selectedColor().isValid())
        return false;
    colour = dialog.selectedColor();
    return true;
}

bool fontDialog(QWidget* parent, LOGFONTA& font) {
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, QFont(), parent, "字体");
    if (!ok)
        return false;
    font = logFontFromQFont(chosen);
    return true;
}

QString pictureDialog(QWidget* parent) {
    static const std::vector<FileType> types = {{"图片文件(*.jpg)", "*.jpg"},
                                                {"All Files (*.*)", "*"}};
    return askOpenFile(parent, "打开", QString(), types, "jpg");
}

bool execDialog(QDialog& dialog) {
    return dialog.exec() == QDialog::Accepted;
}

QString exportDialog(QWidget* parent, const QString& start, const QString& filter) {
    const QString suffix = QFileInfo(start).suffix();
    const QByteArray label = filter.toUtf8();
    const QByteArray pattern = ("*." + suffix).toUtf8();
    return askSaveFile(parent, "导出", start, {{label.constData(), pattern.constData()}}, suffix);
}

void warningBox(QWidget* parent, const QString& message) {
    QMessageBox::warning(parent, QCoreApplication::applicationName(), message);
}

bool confirmBox(QWidget* parent, const QString& question) {
    return QMessageBox::question(parent, QCoreApplication::applicationName(), question,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void informationBox(QWidget* parent, const QString& message) {
    QMessageBox::information(parent, tavlo::kApplication, message);
}

CommandPrompts defaults() {
    return {colorDialog, fontDialog,  pictureDialog, execDialog,
            exportDialog, warningBox, confirmBox,    informationBox};
}

} // namespace

CommandPrompts& commandPrompts() {
    static CommandPrompts prompts = defaults();
    return prompts;
}

void resetCommandPrompts() {
    commandPrompts() = defaults();
}

LOGFONTA logFontFromQFont(const QFont& font) {
    LOGFONTA lf;
    // A negative height asks for the character height in pixels, at 96 dpi.
    int pixels = font.pixelSize();
    if (pixels <= 0)
        pixels = static_cast<int>(std::lround(font.pointSizeF() * 96.0 / 72.0));
    lf.lfHeight = -pixels;
    lf.lfWeight = font.bold() ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.italic() ? 1 : 0;
    lf.lfUnderline = font.underline() ? 1 : 0;
    lf.lfStrikeOut = font.strikeOut() ? 1 : 0;
    lf.lfCharSet = 1; // DEFAULT_CHARSET
    const std::string face = ZUtf8ToCp936(font.family().toStdString());
    // Cut at a whole character: a GB18030 lead byte must not end the name.
    std::size_t len = 0;
    while (len < face.size()) {
        const unsigned char c = static_cast<unsigned char>(face[len]);
        std::size_t step = 1;
        if (c >= 0x81 && len + 1 < face.size())
            step = (static_cast<unsigned char>(face[len + 1]) >= 0x30 &&
                    static_cast<unsigned char>(face[len + 1]) <= 0x39)
                       ? 4
                       : 2;
        if (len + step > LF_FACESIZE - 1)
            break;
        len += step;
    }
    std::memcpy(lf.lfFaceName, face.data(), len);
    return lf;
}
