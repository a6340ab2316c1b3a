// The writers of recorded pages: SVG documents, QPainter drawing for PDF pages
// and images, and the PDF document itself.

#include "document/PageExport.h"

#include <algorithm>
#include <cmath>

#include <QBuffer>
#include <QFileDevice>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPdfWriter>
#include <QPen>
#include <QXmlStreamWriter>

namespace {

constexpr double kMaxPdfPoints = 14400.0;

QString num(double v) {
    return QString::number(v, 'g', 7);
}

QString pathData(const std::vector<ExportPolyline>& shape) {
    QString d;
    for (const ExportPolyline& line : shape) {
        for (std::size_t k = 0; k < line.points.size(); ++k)
            d += (k == 0 ? "M" : "L") + num(line.points[k].x()) + " " + num(line.points[k].y());
        if (line.closed)
            d += "Z";
    }
    return d;
}

QPainterPath painterPath(const std::vector<ExportPolyline>& shape) {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (const ExportPolyline& line : shape) {
        if (line.points.empty())
            continue;
        path.moveTo(line.points.front());
        for (std::size_t k = 1; k < line.points.size(); ++k)
            path.lineTo(line.points[k]);
        if (line.closed)
            path.closeSubpath();
    }
    return path;
}

QFont fontOf(const ExportItem& t) {
    QFont font;
    font.setFamilies(t.families);
    font.setPixelSize(std::max(t.em, 1));
    font.setBold(t.bold);
    font.setItalic(t.italic);
    font.setUnderline(t.underline);
    font.setStrikeOut(t.strikeOut);
    return font;
}

// Where a line's text starts (left) or is anchored (centre, right), given
// the room the editor's layout gave it.
QPointF anchorOf(const ExportItem& t, const ExportTextLine& line) {
    if (t.align == 1)
        return {line.x, line.baseline};
    if (t.align == 2)
        return {line.x + line.width, line.baseline};
    return {line.x + line.width / 2.0f, line.baseline};
}

// The spacing to add after each character of the line so that Qt's layout
// of it in the item's font is as wide as the screen's.
qreal extraSpacing(const ExportItem& item, const ExportTextLine& line) {
    const qsizetype count = line.text.size();
    if (line.width <= 0 || count == 0)
        return 0.0;
    const qreal advance = QFontMetricsF(fontOf(item)).horizontalAdvance(line.text);
    return (line.width - advance) / static_cast<qreal>(count);
}

// The text's lines, each spread to the width the screen gives it. Bold made
// from a regular face loses its thickening where Qt draws large or scaled
// glyphs from its cache, as image exports at 200 % do: such text is filled
// as the outline of the bold font, which Qt thickens at every size about as
// much as the screen's rasteriser does. PDF keeps real text.
void paintText(const ExportItem& item, QPainter& painter) {
    const bool asOutline = item.emboldened && painter.paintEngine() &&
                           painter.paintEngine()->type() == QPaintEngine::Raster;
    for (const ExportTextLine& line : item.lines) {
        QFont font = fontOf(item);
        QPointF at(line.x, line.baseline);
        if (line.width > 0) {
            font.setLetterSpacing(QFont::AbsoluteSpacing, extraSpacing(item, line));
        } else {
            // No width from the layout: anchored as the alignment says.
            const qreal advance = QFontMetricsF(font).horizontalAdvance(line.text);
            at = anchorOf(item, line);
            at.rx() -= item.align == 2 ? advance : item.align != 1 ? advance / 2.0 : 0.0;
        }
        if (asOutline) {
            QPainterPath path;
            path.addText(at, font, line.text);
            painter.setPen(Qt::NoPen);
            painter.setBrush(item.colour);
            painter.drawPath(path);
        } else {
            painter.setFont(font);
            painter.setPen(item.colour);
            painter.drawText(at, line.text);
        }
    }
}

// A line one pixel wide at every scale, as the screen draws a point's ring.
// SVG and PDF viewers scale every line they zoom (a zero width is a
// printer's dot in PDF), so there it is one unit wide, as the screen shows
// it at the page's own size.
// In images, an antialiased one-pixel pen inks less of a curve than the
// screen does, and the screen's ring darkens as the zoom lengthens the
// pieces it is drawn from: a quarter more ink per 100 % makes up for both,
// as measured against the screen.
QPen hairlinePen(const ExportItem& item, const QPainter& painter) {
    QColor colour = item.colour;
    if (painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster) {
        const double scale = std::sqrt(std::fabs(painter.combinedTransform().determinant()));
        colour.setAlphaF(std::min(1.0, colour.alphaF() * (1.0 + scale / 4.0)));
    }
    QPen pen(colour, 1.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setCosmetic(true);
    return pen;
}

QString colourText(const QColor& c) {
    return c.name(QColor::HexRgb);
}

// One text item: a group carrying the font, a text element per line.
void writeSvgText(QXmlStreamWriter& xml, const ExportItem& item) {
    xml.writeStartElement("g");
    xml.writeAttribute("font-family", item.families.join(", "));
    xml.writeAttribute("font-size", QString::number(item.em));
    if (item.bold)
        xml.writeAttribute("font-weight", "bold");
    if (item.italic)
        xml.writeAttribute("font-style", "italic");
    if (item.underline || item.strikeOut)
        xml.writeAttribute("text-decoration", QString(item.underline ? "underline " : "") +
                                                  (item.strikeOut ? "line-through" : ""));
    xml.writeAttribute("fill", colourText(item.colour));
    for (const ExportTextLine& line : item.lines) {
        // Each line starts where the screen's does and is spread to
        // the width the screen gives it: a viewer's advances differ
        // from the screen's hinted ones, and a bold made by
        // thickening widens every glyph there.
        xml.writeStartElement("text");
        xml.writeAttribute("x", num(line.x));
        xml.writeAttribute("y", num(line.baseline));
        if (line.width > 0) {
            xml.writeAttribute("letter-spacing", num(extraSpacing(item, line)));
            xml.writeAttribute("textLength", num(line.width));
            xml.writeAttribute("lengthAdjust", "spacing");
        }
        xml.writeAttribute("xml:space", "preserve");
        xml.writeCharacters(line.text);
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

// A picture, stretched over its rectangle, as an embedded PNG.
void writeSvgPicture(QXmlStreamWriter& xml, const ExportItem& item) {
    xml.writeEmptyElement("image");
    xml.writeAttribute("x", num(item.rect.x()));
    xml.writeAttribute("y", num(item.rect.y()));
    xml.writeAttribute("width", num(item.rect.width()));
    xml.writeAttribute("height", num(item.rect.height()));
    xml.writeAttribute("preserveAspectRatio", "none");
    xml.writeAttribute("xlink:href",
                       "data:image/png;base64," + pngFile(item.image).toBase64());
}

} // namespace

QByteArray pageSvg(const RecordedPage& page) {
    QByteArray svg;
    QBuffer out(&svg);
    out.open(QIODevice::WriteOnly);
    QXmlStreamWriter xml(&out);
    xml.writeStartDocument();
    xml.writeStartElement("svg");
    xml.writeDefaultNamespace("http://www.w3.org/2000/svg");
    xml.writeNamespace("http://www.w3.org/1999/xlink", "xlink");
    xml.writeAttribute("version", "1.1");
    const int width = page.size.width(), height = page.size.height();
    xml.writeAttribute("width", QString::number(width));
    xml.writeAttribute("height", QString::number(height));
    xml.writeAttribute("viewBox", QString("0 0 %1 %2").arg(width).arg(height));
    if (page.background.isValid()) {
        xml.writeEmptyElement("rect");
        xml.writeAttribute("width", QString::number(width));
        xml.writeAttribute("height", QString::number(height));
        xml.writeAttribute("fill", colourText(page.background));
        if (page.background.alphaF() < 0.999)
            xml.writeAttribute("fill-opacity", num(page.background.alphaF()));
    }
    int gradients = 0;
    auto paint = [&](const ExportItem& item) {
        if (!item.gradient)
            return colourText(item.colour);
        const QString id = QString("g%1").arg(++gradients);
        xml.writeStartElement("linearGradient");
        xml.writeAttribute("id", id);
        xml.writeAttribute("gradientUnits", "userSpaceOnUse");
        xml.writeAttribute("x1", num(item.from.x()));
        xml.writeAttribute("y1", num(item.from.y()));
        xml.writeAttribute("x2", num(item.to.x()));
        xml.writeAttribute("y2", num(item.to.y()));
        for (const auto& [offset, colour] : {std::pair{"0", item.colour}, {"1", item.colourTo}}) {
            xml.writeEmptyElement("stop");
            xml.writeAttribute("offset", offset);
            xml.writeAttribute("stop-color", colourText(colour));
            if (colour.alphaF() < 0.999)
                xml.writeAttribute("stop-opacity", num(colour.alphaF()));
        }
        xml.writeEndElement();
        return "url(#" + id + ")";
    };
    for (const ExportItem& item : page.items) {
        switch (item.kind) {
        case ExportItem::Fill: {
            const QString fill = paint(item);
            xml.writeEmptyElement("path");
            xml.writeAttribute("d", pathData(item.shape));
            xml.writeAttribute("fill", fill);
            // Neighbouring pieces of one gradient would show their shared edges.
            if (item.gradient) {
                xml.writeAttribute("stroke", fill);
                xml.writeAttribute("stroke-width", "0.5");
            }
            if (!item.gradient && item.colour.alphaF() < 0.999)
                xml.writeAttribute("fill-opacity", num(item.colour.alphaF()));
            break;
        }
        case ExportItem::Stroke: {
            const QString stroke = paint(item);
            xml.writeEmptyElement("path");
            xml.writeAttribute("d", pathData(item.shape));
            xml.writeAttribute("fill", "none");
            xml.writeAttribute("stroke", stroke);
            xml.writeAttribute("stroke-width", num(item.width));
            if (!item.gradient && item.colour.alphaF() < 0.999)
                xml.writeAttribute("stroke-opacity", num(item.colour.alphaF()));
            break;
        }
        case ExportItem::Text:
            writeSvgText(xml, item);
            break;
        case ExportItem::Picture:
            writeSvgPicture(xml, item);
            break;
        }
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return svg;
}

void paintPage(const RecordedPage& page, QPainter& painter) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (page.background.isValid())
        painter.fillRect(QRectF(QPointF(0, 0), QSizeF(page.size)), page.background);
    auto brush = [](const ExportItem& item) -> QBrush {
        if (!item.gradient)
            return item.colour;
        QLinearGradient g(item.from, item.to);
        g.setColorAt(0, item.colour);
        g.setColorAt(1, item.colourTo);
        return g;
    };
    for (const ExportItem& item : page.items) {
        switch (item.kind) {
        case ExportItem::Fill:
            painter.setPen(item.gradient ? QPen(brush(item), 0.5) : QPen(Qt::NoPen));
            painter.setBrush(brush(item));
            painter.drawPath(painterPath(item.shape));
            break;
        case ExportItem::Stroke: {
            QPen pen(brush(item), item.width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
            if (item.hairline)
                pen = hairlinePen(item, painter);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(painterPath(item.shape));
            break;
        }
        case ExportItem::Text:
            paintText(item, painter);
            break;
        case ExportItem::Picture:
            painter.drawImage(item.rect, item.image);
            break;
        }
    }
    painter.restore();
}

QImage pageImage(const RecordedPage& page, double scale) {
    const QSize size = (QSizeF(page.size) * scale).toSize();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.scale(scale, scale);
    paintPage(page, painter);
    painter.end();
    return image;
}

bool pdfDocument(const std::vector<RecordedPage>& pages, const QString& title, QByteArray* out,
                 QString* error) {
    if (pages.empty()) {
        *error = "nothing to write";
        return false;
    }
    out->clear();
    QBuffer buffer(out);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setResolution(72); // one pixel of the page is one point
    pdf.setCreator("Tavlo");
    pdf.setTitle(title);
    QPainter painter;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        // PDF viewers refuse pages beyond 200 inches: a larger page is
        // scaled down to fit, keeping its proportions.
        const QSizeF natural(pages[i].size);
        const double fit =
            std::min(1.0, kMaxPdfPoints / std::max({natural.width(), natural.height(), 1.0}));
        const QSizeF size = natural * fit;
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setPageSize(QPageSize(size, QPageSize::Point, QString(), QPageSize::ExactMatch));
        if (i == 0) {
            if (!painter.begin(&pdf)) {
                *error = "cannot start the PDF document";
                return false;
            }
        } else if (!pdf.newPage()) {
            *error = "cannot add a PDF page";
            return false;
        }
        painter.save();
        painter.scale(fit, fit);
        paintPage(pages[i], painter);
        painter.restore();
    }
    if (!painter.end()) {
        *error = "cannot finish the PDF document";
        return false;
    }
    return true;
}

bool writePdfPages(const std::vector<RecordedPage>& pages, QIODevice* device, QString* error) {
    QByteArray bytes;
    return pdfDocument(pages, QString(), &bytes, error) && writeWholly(device, bytes, error);
}

QByteArray pngFile(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

bool writeWholly(QIODevice* device, const QByteArray& bytes, QString* error) {
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = device->write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            *error = device->errorString().isEmpty() || device->errorString() == "Unknown error"
                         ? QString("the device took only %1 of %2 bytes").arg(done).arg(bytes.size())
                         : device->errorString();
            return false;
        }
        done += n;
    }
    auto* file = qobject_cast<QFileDevice*>(device);
    if (file && !file->flush()) {
        *error = file->errorString();
        return false;
    }
    return true;
}
