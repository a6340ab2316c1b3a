#include "document/LabelText.h"

#include <string>

#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_NRect.h>
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
    ZN_ShapeBase* host = label.getHost();
    if (!host)
        return;
    host->resetLabelPosition();
    // A box grown around a longer label tells the page it moved and brings the
    // ends of its connectors back onto its outline.
    if (auto* box = dynamic_cast<ZN_NRect*>(host))
        box->setPoint1(box->getPoint1());
    for (const auto& lines : {host->inputs(), host->outputs()})
        for (ZN_ShapeBase* s : lines)
            if (auto* line = dynamic_cast<ZN_NLine*>(s))
                line->reglueEnds();
}
