#pragma once
// Export of pages as pictures and documents. A page is drawn by the shapes'
// own drawing code into GL's feedback buffer instead of pixels; the recorded
// lines, polygons, texts and pictures are then written as SVG, or painted
// with QPainter into PDF pages (QPdfWriter embeds the fonts of the texts) and
// into images at any scale. What is exported is a copy of the page without
// selection marks, covering every visible shape (or the selected ones) with a
// margin of 20 pixels.

#include <memory>
#include <vector>

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>

class QIODevice;
class QPainter;
class ZN_ShapeManager;

// A page ready to be drawn for export: clones of the shapes to show, never
// selected, and the canvas origin of the picture's top-left pixel.
struct ExportPage {
    std::unique_ptr<ZN_ShapeManager> page;
    float left = 0.0f;
    float top = 0.0f;
    QSize size; // pixels at 100 %
};

// Copies what `source` shows (or only its selected shapes) and places the
// picture around it. An empty page gives a picture of the margins alone.
ExportPage prepareExportPage(ZN_ShapeManager& source, bool selectionOnly);

// What the drawing code drew, in drawing order, in window pixels.
struct ExportPolyline {
    std::vector<QPointF> points;
    bool closed = false;
};
struct ExportTextLine {
    QString text;
    float x = 0;        // where the line starts ...
    float baseline = 0; // ... and its baseline
    float width = 0;    // as the editor lays it out
};
struct ExportItem {
    enum Kind { Fill, Stroke, Text, Picture } kind = Fill;
    std::vector<ExportPolyline> shape; // Fill, Stroke
    QColor colour;                     // Fill, Stroke, Text
    bool gradient = false;             // a linear gradient from colour at `from` ...
    QPointF from, to;                  // ... to colourTo at `to`
    QColor colourTo;
    float width = 1.0f; // Stroke
    bool hairline = false; // Stroke: one pixel wide at every scale in images, as on screen
    // Text: the font as the editor chose it, and its lines
    QStringList families;
    int em = 0;
    bool bold = false, italic = false, underline = false, strikeOut = false;
    bool emboldened = false; // bold thickened from a regular face, as on screen
    int align = 0; // 1 left, 2 right, otherwise centred
    std::vector<ExportTextLine> lines;
    QImage image; // Picture, stretched over `rect`
    QRectF rect;
};
struct RecordedPage {
    QSize size;
    QColor background; // invalid when transparent
    std::vector<ExportItem> items;
};

// Draws the page through the shapes' drawing code into GL's feedback buffer.
// With `transparent` the page's background is left out. False with a reason
// when no off-screen context can be made or the page is too large.
bool recordPage(const ExportPage& page, bool transparent, RecordedPage* out, QString* error);

// The recorded page as an SVG document: paths, gradients, embedded pictures
// and real text.
QByteArray pageSvg(const RecordedPage& page);
// The recorded page painted with QPainter: into PDF pages (with real text in
// embedded fonts) and into images at any scale.
void paintPage(const RecordedPage& page, QPainter& painter);
// The page at `scale` (1 = 100 %); transparent where it has no background.
QImage pageImage(const RecordedPage& page, double scale);
// A PDF document of the pages, one PDF page each, sized to each page (one
// pixel is one point), titled `title`. Made in memory, so that the file
// reaches the disk through one checked write; false with a reason.
bool pdfDocument(const std::vector<RecordedPage>& pages, const QString& title, QByteArray* out,
                 QString* error);
// The same document written into `device`; false with a reason when the
// device did not take every byte.
bool writePdfPages(const std::vector<RecordedPage>& pages, QIODevice* device, QString* error);
// An image as the bytes of a PNG file.
QByteArray pngFile(const QImage& image);
// Writes all of `bytes` into `device` (and flushes a file); false with the
// device's reason when it takes fewer.
bool writeWholly(QIODevice* device, const QByteArray& bytes, QString* error);
