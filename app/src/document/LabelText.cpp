#include "document/LabelText.h"

#include <string>

#include <sarvik/ZN_SText.h>
#include <sarvik/platform/ZTextRaster.h>

void setLabelText(ZN_SText& label, ZVector2 topLeft, std::string_view text) {
    const ZTextSize size = ZMeasureText(label.getFont(), text);
    const ZVector2 bottomRight =
        topLeft + ZVector2(static_cast<float>(size.width), static_cast<float>(size.height));
    label.setRect(topLeft, bottomRight);
    const std::string copy(text);
    label.setText(copy.c_str());
    // Setting the font again measures and renders the new text.
    label.setFont(label.getFont());
    if (ZN_ShapeBase* host = label.getHost())
        host->resetLabelPosition();
}
