#include "document/PageExport.h"

#include <algorithm>
#include <cmath>
#include <string>

#include <QFontDatabase>
#include <QOpenGLContext>
#include <QScopeGuard>

#include <GL/gl.h>

#include <ZHeadlessGL.h>
#include <sarvik/ZDrawRecorder.h>
#include <sarvik/ZImageData.h>
#include <sarvik/ZImageTexture.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_Scene.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZTextRaster.h>

#include "document/PageBounds.h"

namespace {

constexpr int kMargin = 20;
// Feedback values per vertex in GL_3D_COLOR with RGBA: x, y, z, r, g, b, a.
constexpr int kVertexFloats = 7;
// The feedback buffer grows up to this many floats (1 GiB) before a page
// counts as too large to record.
constexpr GLint kMaxFeedbackFloats = 1 << 28;

struct TextEvent {
    std::string text;
    LOGFONTA font;
    int align = 0;
    ZVector3 colour;
    float left = 0, bottom = 0;
    int width = 0, height = 0;
};

struct PictureEvent {
    QImage image;
    float ax = 0, ay = 0, bx = 0, by = 0;
};

// What feedback does not carry, in drawing order: each event is announced in
// the feedback stream by a pass-through token holding its index.
struct Event {
    enum Kind { LineWidth, Hairline, Text, PictureBegin, PictureEnd } kind;
    float width = 1.0f; // LineWidth: the width; Hairline: the coverage
    int payload = -1;
};

class Recorder final : public ZDrawRecorder {
public:
    void lineWidth(float width) override {
        // GL refuses a width that is not positive and keeps the last one.
        if (width > 0.0f)
            add({Event::LineWidth, std::min(width, maxWidth), -1});
    }
    void hairline(float coverage) override {
        add({Event::Hairline, std::clamp(coverage, 0.0f, 1.0f), -1});
    }
    void text(const ZN_SText& t, const ZVector2& a, const ZVector2& b) override {
        TextEvent e;
        e.text = t.getText();
        e.font = t.getFont();
        e.align = t.getGLFont().getAlignType();
        e.colour = t.getFontColor();
        e.left = a.X();
        e.bottom = b.Y();
        e.width = static_cast<int>(b.X() - a.X());
        e.height = t.getGLFont().getHeight();
        texts.push_back(std::move(e));
        add({Event::Text, 0.0f, static_cast<int>(texts.size() - 1)});
    }
    void pictureBegin(const ZImageTexture& picture, const ZVector2& a, const ZVector2& b) override {
        PictureEvent e{imageOf(picture.getImageData()), a.X(), a.Y(), b.X(), b.Y()};
        pictures.push_back(std::move(e));
        add({Event::PictureBegin, 0.0f, static_cast<int>(pictures.size() - 1)});
    }
    void pictureEnd() override { add({Event::PictureEnd, 0.0f, -1}); }

    // A picture's pixels as they look: its rows are stored bottom-up,
    // padded to four bytes, red-green-blue from JPEG files and blue-green-red
    // from the clipboard.
    static QImage imageOf(const ZImageData* data) {
        if (!data || !data->getData() || data->getWidth() <= 0 || data->getHeight() <= 0)
            return {};
        const int w = data->getWidth(), h = data->getHeight();
        const qsizetype stride = (static_cast<qsizetype>(w) * 24 + 31) / 32 * 4;
        if (stride * h > data->getByteCount())
            return {};
        QImage image(data->getData(), w, h, stride, QImage::Format_RGB888);
        image = image.mirrored(false, true);
        return data->getFileType() == 1 ? image : image.rgbSwapped();
    }

    float maxWidth = 256.0f;
    std::vector<Event> events;
    std::vector<TextEvent> texts;
    std::vector<PictureEvent> pictures;

private:
    void add(const Event& e) {
        events.push_back(e);
        glPassThrough(static_cast<GLfloat>(events.size() - 1));
    }
};

struct Vertex {
    float x, y;
    float r, g, b, a;
    QColor colour() const {
        return QColor::fromRgbF(clamp01(r), clamp01(g), clamp01(b), clamp01(a));
    }
    static float clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }
};

bool sameColour(const Vertex& u, const Vertex& v) {
    const float e = 1.0f / 512.0f;
    return std::fabs(u.r - v.r) < e && std::fabs(u.g - v.g) < e && std::fabs(u.b - v.b) < e &&
           std::fabs(u.a - v.a) < e;
}

bool samePaint(const ExportItem& a, const ExportItem& b) {
    return a.kind == b.kind && a.colour == b.colour && a.gradient == b.gradient &&
           (!a.gradient || (a.from == b.from && a.to == b.to && a.colourTo == b.colourTo)) &&
           a.width == b.width && a.hairline == b.hairline;
}

bool near(const QPointF& a, const QPointF& b) {
    return std::fabs(a.x() - b.x()) < 0.01 && std::fabs(a.y() - b.y()) < 0.01;
}

// False when the text's first family has no bold face, so that the screen's
// rasteriser thickens its regular face instead.
bool hasBoldFace(const QStringList& families) {
    if (families.isEmpty())
        return true;
    const QStringList styles = QFontDatabase::styles(families.front());
    for (const QString& style : styles)
        if (QFontDatabase::weight(families.front(), style) >= QFont::DemiBold)
            return true;
    return styles.isEmpty();
}

// Turns the feedback stream into items, joining runs of the same paint into
// one item so that shared edges of neighbouring pieces leave no seams.
class FeedbackReader {
public:
    // `sx` and `sy` undo the squeeze of a page larger than GL's largest
    // viewport: the projection still spans the whole page, so window
    // coordinates come out scaled down by the viewport's share of it.
    FeedbackReader(const Recorder& recorder, float height, float sx, float sy,
                   std::vector<ExportItem>& items)
        : rec(recorder), height(height), sx(sx), sy(sy), items(items) {}

    void read(const std::vector<GLfloat>& buffer, GLint count) {
        GLint i = 0;
        auto vertex = [&]() {
            Vertex v{buffer[i] * sx, height - buffer[i + 1] * sy, buffer[i + 3],
                     buffer[i + 4], buffer[i + 5],          buffer[i + 6]};
            i += kVertexFloats;
            return v;
        };
        while (i < count) {
            const auto token = static_cast<GLint>(buffer[i++]);
            switch (token) {
            case GL_POLYGON_TOKEN: {
                const auto n = static_cast<GLint>(buffer[i++]);
                if (n < 0 || i + n * kVertexFloats > count)
                    return;
                std::vector<Vertex> poly;
                for (GLint k = 0; k < n; ++k)
                    poly.push_back(vertex());
                if (!inPicture)
                    polygon(poly);
                break;
            }
            case GL_LINE_TOKEN:
            case GL_LINE_RESET_TOKEN: {
                if (i + 2 * kVertexFloats > count)
                    return;
                const Vertex a = vertex();
                const Vertex b = vertex();
                if (!inPicture)
                    line(a, b);
                break;
            }
            case GL_POINT_TOKEN:
            case GL_BITMAP_TOKEN:
            case GL_DRAW_PIXEL_TOKEN:
            case GL_COPY_PIXEL_TOKEN:
                // Texts arrive through the recorder as text; the shapes draw
                // no points (only the capture frame's corners, not exported).
                if (i + kVertexFloats > count)
                    return;
                i += kVertexFloats;
                break;
            case GL_PASS_THROUGH_TOKEN:
                event(static_cast<std::size_t>(buffer[i++]));
                break;
            default:
                return; // not a token: the stream is not what GL writes
            }
        }
    }

private:
    void polygon(const std::vector<Vertex>& p) {
        if (p.size() < 3)
            return;
        ExportItem item;
        item.kind = ExportItem::Fill;
        ExportPolyline outline;
        outline.closed = true;
        for (const Vertex& v : p)
            outline.points.emplace_back(v.x, v.y);
        item.shape.push_back(std::move(outline));
        bool flat = true;
        for (const Vertex& v : p)
            flat = flat && sameColour(v, p[0]);
        if (flat)
            item.colour = p[0].colour();
        else
            gradient(p, item);
        if (!items.empty() && samePaint(items.back(), item) && !lastStroke) {
            items.back().shape.push_back(std::move(item.shape.front()));
            return;
        }
        items.push_back(std::move(item));
        lastStroke = false;
    }

    // Smooth shading between two colours is affine across a polygon, which
    // is exactly a linear gradient: find where the blend is 0 and where 1.
    static void gradient(const std::vector<Vertex>& p, ExportItem& item) {
        std::size_t ia = 0, ib = 0;
        float far = -1.0f;
        for (std::size_t u = 0; u < p.size(); ++u)
            for (std::size_t v = u + 1; v < p.size(); ++v) {
                const float d = std::fabs(p[u].r - p[v].r) + std::fabs(p[u].g - p[v].g) +
                                std::fabs(p[u].b - p[v].b) + std::fabs(p[u].a - p[v].a);
                if (d > far) {
                    far = d;
                    ia = u;
                    ib = v;
                }
            }
        const Vertex& A = p[ia];
        const Vertex& B = p[ib];
        const double dr = B.r - A.r, dg = B.g - A.g, db = B.b - A.b, da = B.a - A.a;
        const double dd = dr * dr + dg * dg + db * db + da * da;
        auto t = [&](const Vertex& v) {
            return ((v.r - A.r) * dr + (v.g - A.g) * dg + (v.b - A.b) * db + (v.a - A.a) * da) / dd;
        };
        // The blend's gradient g solves g . (p_k - p_0) = t_k - t_0 over two
        // edges that span the polygon.
        double gx = 0, gy = 0;
        bool solved = false;
        const double x1 = p[1].x - p[0].x, y1 = p[1].y - p[0].y;
        for (std::size_t k = 2; k < p.size() && !solved; ++k) {
            const double x2 = p[k].x - p[0].x, y2 = p[k].y - p[0].y;
            const double det = x1 * y2 - x2 * y1;
            if (std::fabs(det) < 1e-9)
                continue;
            const double t1 = t(p[1]) - t(p[0]), t2 = t(p[k]) - t(p[0]);
            gx = (t1 * y2 - t2 * y1) / det;
            gy = (x1 * t2 - x2 * t1) / det;
            solved = true;
        }
        const double g2 = gx * gx + gy * gy;
        item.gradient = true;
        item.colour = A.colour();
        item.colourTo = B.colour();
        item.from = QPointF(A.x, A.y);
        item.to = QPointF(B.x, B.y);
        if (solved && g2 > 1e-18) {
            const double t0 = t(p[0]);
            item.from = QPointF(p[0].x - gx * t0 / g2, p[0].y - gy * t0 / g2);
            item.to = QPointF(p[0].x + gx * (1.0 - t0) / g2, p[0].y + gy * (1.0 - t0) / g2);
        }
        // Rounded so that the pieces of one gradient fill join into one item.
        auto round = [](const QPointF& q) {
            return QPointF(std::round(q.x() * 100.0) / 100.0, std::round(q.y() * 100.0) / 100.0);
        };
        item.from = round(item.from);
        item.to = round(item.to);
    }

    void line(const Vertex& a, const Vertex& b) {
        ExportItem item;
        item.kind = ExportItem::Stroke;
        item.width = width;
        item.colour = a.colour();
        if (coverage >= 0.0f) {
            // Drawn one device pixel wide and partly inked: the same line,
            // thinned to the share of the pixel the screen inks.
            item.hairline = true;
            item.width = 1.0f;
            item.colour.setAlphaF(item.colour.alphaF() * coverage);
        }
        if (!sameColour(a, b)) {
            item.gradient = true;
            item.colourTo = b.colour();
            item.colourTo.setAlphaF(item.colourTo.alphaF() * (item.hairline ? coverage : 1.0f));
            item.from = QPointF(a.x, a.y);
            item.to = QPointF(b.x, b.y);
        }
        const QPointF pa(a.x, a.y), pb(b.x, b.y);
        if (!item.gradient && lastStroke && !items.empty() && samePaint(items.back(), item)) {
            ExportPolyline& open = items.back().shape.back();
            if (!open.closed && near(open.points.back(), pa)) {
                if (near(pb, open.points.front()) && open.points.size() > 2)
                    open.closed = true;
                else
                    open.points.push_back(pb);
                return;
            }
            items.back().shape.push_back({{pa, pb}, false});
            return;
        }
        item.shape.push_back({{pa, pb}, false});
        items.push_back(std::move(item));
        lastStroke = true;
    }

    void event(std::size_t index) {
        if (index >= rec.events.size())
            return;
        const Event& e = rec.events[index];
        switch (e.kind) {
        case Event::LineWidth:
            width = e.width;
            coverage = -1.0f;
            break;
        case Event::Hairline:
            coverage = e.width;
            break;
        case Event::Text:
            text(rec.texts[static_cast<std::size_t>(e.payload)]);
            break;
        case Event::PictureBegin: {
            const PictureEvent& p = rec.pictures[static_cast<std::size_t>(e.payload)];
            if (!p.image.isNull()) {
                ExportItem item;
                item.kind = ExportItem::Picture;
                item.image = p.image;
                item.rect = QRectF(QPointF(std::min(p.ax, p.bx), std::min(p.ay, p.by)),
                                   QPointF(std::max(p.ax, p.bx), std::max(p.ay, p.by)));
                items.push_back(std::move(item));
                lastStroke = false;
            }
            inPicture = true;
            break;
        }
        case Event::PictureEnd:
            inPicture = false;
            break;
        }
    }

    void text(const TextEvent& t) {
        if (t.text.empty() || t.width <= 0 || t.height <= 0)
            return;
        const ZTextLayout layout =
            ZLayoutText(t.font, t.text, t.width, t.height, ZTextAlignFromCode(t.align));
        ExportItem item;
        item.kind = ExportItem::Text;
        for (const std::string& f : layout.families)
            item.families << QString::fromStdString(f);
        item.em = layout.em;
        item.bold = layout.bold;
        item.emboldened = layout.bold && !hasBoldFace(item.families);
        item.italic = layout.italic;
        item.underline = layout.underline;
        item.strikeOut = layout.strikeOut;
        item.align = static_cast<int>(ZTextAlignFromCode(t.align));
        item.colour = QColor::fromRgbF(Vertex::clamp01(t.colour.X()), Vertex::clamp01(t.colour.Y()),
                                       Vertex::clamp01(t.colour.Z()));
        // The picture rises from the bottom-left corner, its rows the text's height.
        const float top = t.bottom - static_cast<float>(t.height);
        for (const ZTextLine& line : layout.lines)
            if (!line.text.empty())
                item.lines.push_back(
                    {QString::fromStdString(line.text), t.left + static_cast<float>(line.x),
                     top + static_cast<float>(line.baseline), static_cast<float>(line.width)});
        if (item.lines.empty())
            return;
        items.push_back(std::move(item));
        lastStroke = false;
    }

    const Recorder& rec;
    float height;
    float sx, sy;
    std::vector<ExportItem>& items;
    float width = 2.0f;
    float coverage = -1.0f; // of the hairlines being drawn; negative for ordinary lines
    bool inPicture = false;
    bool lastStroke = false;
};

} // namespace

ExportPage prepareExportPage(ZN_ShapeManager& source, bool selectionOnly) {
    ExportPage out;
    out.page = std::make_unique<ZN_ShapeManager>();
    out.page->setBackColor(source.getBackColor());
    for (ZN_ShapeBase* shape : source.getShapeList()) {
        if (!shape->getShow() || (selectionOnly && !shape->getSelected()))
            continue;
        out.page->addShape(shape->clone());
    }
    const CanvasBounds b = visibleBounds(*out.page);
    out.left = (b.empty ? 0.0f : std::floor(b.minX)) - kMargin;
    out.top = (b.empty ? 0.0f : std::floor(b.minY)) - kMargin;
    const double w = (b.empty ? 0.0 : std::ceil(b.maxX) - std::floor(b.minX)) + 2 * kMargin;
    const double h = (b.empty ? 0.0 : std::ceil(b.maxY) - std::floor(b.minY)) + 2 * kMargin;
    out.size = QSize(static_cast<int>(std::min(w, 1e9)), static_cast<int>(std::min(h, 1e9)));
    return out;
}

bool recordPage(const ExportPage& page, bool transparent, RecordedPage* out, QString* error) {
    // The editor's own context must let go of the thread while the off-screen
    // one records; it is made current again afterwards.
    QOpenGLContext* editorContext = QOpenGLContext::currentContext();
    QSurface* editorSurface = editorContext ? editorContext->surface() : nullptr;
    if (editorContext)
        editorContext->doneCurrent();
    const auto restore = qScopeGuard([&] {
        if (editorContext && editorSurface)
            editorContext->makeCurrent(editorSurface);
    });
    std::string why;
    auto gl = ZHeadlessGL::create(1, 1, &why);
    if (!gl) {
        *error = QString("no off-screen OpenGL: %1").arg(QString::fromStdString(why));
        return false;
    }
    const int width = page.size.width(), height = page.size.height();
    GLfloat range[2] = {1.0f, 256.0f};
    glGetFloatv(GL_SMOOTH_LINE_WIDTH_RANGE, range);

    const ZVector2 oldOffset = getScallPosition();
    setScallPosition(ZVector2(page.left, page.top));
    ZN_Scene scene;
    scene.setShapeManager(page.page.get());
    scene.init(gl.get());
    scene.resize(width, height);
    // GL clamps the viewport of a page larger than it allows (vector output
    // has no such limit); the reader scales the squeezed coordinates back.
    GLint viewport[4] = {0, 0, width, height};
    glGetIntegerv(GL_VIEWPORT, viewport);

    Recorder recorder;
    std::vector<GLfloat> buffer;
    GLint count = -1;
    for (GLint size = 1 << 20; count < 0 && size <= kMaxFeedbackFloats; size *= 4) {
        recorder = Recorder();
        recorder.maxWidth = range[1];
        buffer.assign(static_cast<std::size_t>(size), 0.0f);
        glFeedbackBuffer(size, GL_3D_COLOR, buffer.data());
        glRenderMode(GL_FEEDBACK);
        ZSetDrawRecorder(&recorder);
        scene.render();
        ZSetDrawRecorder(nullptr);
        count = glRenderMode(GL_RENDER);
    }
    scene.releaseCurrent();
    setScallPosition(oldOffset);
    if (count < 0) {
        *error = "the page is too large to export";
        return false;
    }

    out->size = page.size;
    out->background = QColor();
    if (!transparent) {
        const ZVector4 back = page.page->getBackColor();
        out->background = QColor::fromRgbF(Vertex::clamp01(back.X()), Vertex::clamp01(back.Y()),
                                           Vertex::clamp01(back.Z()), Vertex::clamp01(back.W()));
    }
    out->items.clear();
    const float sx = viewport[2] > 0 ? static_cast<float>(width) / static_cast<float>(viewport[2]) : 1.0f;
    const float sy = viewport[3] > 0 ? static_cast<float>(height) / static_cast<float>(viewport[3]) : 1.0f;
    FeedbackReader(recorder, static_cast<float>(height), sx, sy, out->items).read(buffer, count);
    return true;
}

