#include "EditBoxText.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include <QPlainTextEdit>

#include <sarvik/ZN_SText.h>
#include <sarvik/platform/ZCodePage.h>

namespace detail {

LOGFONTA defaultTextFont() {
    static const LOGFONTA font = ZN_SText().getFont();
    return font;
}

QFont qtFont(const LOGFONTA& font, float zoom) {
    // The face name is kept as the file holds it, in code page 936.
    const std::size_t length = strnlen(font.lfFaceName, sizeof font.lfFaceName);
    QFont f(QString::fromStdString(ZCp936ToUtf8(std::string_view(font.lfFaceName, length))));
    if (font.lfHeight != 0)
        f.setPixelSize(std::max(1, static_cast<int>(std::lround(std::abs(font.lfHeight) * zoom))));
    f.setBold(font.lfWeight >= 600);
    f.setItalic(font.lfItalic != 0);
    return f;
}

std::string editText(const QPlainTextEdit* box) {
    QString text = box->toPlainText();
    text.replace("\n", "\r\n");
    return text.toStdString();
}

} // namespace detail
