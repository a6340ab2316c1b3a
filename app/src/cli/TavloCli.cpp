#include "cli/TavloCli.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <ostream>

#include <QImage>
#include <QSaveFile>
#include <QString>

#include <ZHeadlessGL.h>
#include <rulmek/rulmek.h>
#include <sarvik/ZImageTexture.h>
#include <sarvik/ZN_NLine.h>
#include <sarvik/ZN_SText.h>
#include <sarvik/ZN_Scene.h>
#include <sarvik/ZN_ShapeManager.h>

#include "frames/TvxContainer.h"

namespace {

constexpr int kExitFailure = 2;
constexpr int kExportMargin = 20;

int fail(std::ostream& err, const std::string& message) {
    err << "Tavlo: " << message << '\n';
    return kExitFailure;
}

std::string readProblem(TvxStatus status, const std::string& path) {
    if (status == TvxStatus::CannotOpen)
        return "cannot open " + path;
    return path + ": " + tvxStatusMessage(status);
}

void include(CanvasBounds& b, const ZVector2& p) {
    if (!std::isfinite(p.X()) || !std::isfinite(p.Y()))
        return;
    if (b.empty) {
        b = {p.X(), p.Y(), p.X(), p.Y(), false};
        return;
    }
    b.minX = std::min(b.minX, p.X());
    b.minY = std::min(b.minY, p.Y());
    b.maxX = std::max(b.maxX, p.X());
    b.maxY = std::max(b.maxY, p.Y());
}

int info(const std::string& path, std::ostream& out, std::ostream& err) {
    TvxDocument doc;
    const TvxStatus status = readTvxFile(path, doc);
    if (status != TvxStatus::Ok)
        return fail(err, readProblem(status, path));
    out << "version " << doc.version << '\n';
    out << "pages " << doc.pages.size() << '\n';
    for (std::size_t i = 0; i < doc.pages.size(); ++i) {
        const TvxPage& page = doc.pages[i];
        std::map<int, int> counts;
        for (ZN_ShapeBase* shape : page.manager->getShapeList())
            ++counts[shape->type()];
        out << "page " << i + 1 << " \"" << page.name << "\""
            << (page.customName ? " (typed name)" : "") << ": "
            << page.manager->getShapeList().size() << " shapes";
        for (const auto& [type, count] : counts)
            out << ", type " << type << " x" << count;
        out << '\n';
    }
    out << "pictures " << doc.images.size() << '\n';
    return 0;
}

std::vector<TvxPageRef> refsOf(TvxDocument& doc) {
    std::vector<TvxPageRef> refs;
    for (TvxPage& page : doc.pages)
        refs.push_back({page.name, page.customName, page.manager.get()});
    return refs;
}

int convert(const std::string& in, const std::string& outPath, std::ostream& err) {
    TvxDocument doc;
    const TvxStatus status = readTvxFile(in, doc);
    if (status != TvxStatus::Ok)
        return fail(err, readProblem(status, in));
    std::string reason;
    if (!writeTvxFile(outPath, refsOf(doc), &reason))
        return fail(err, reason);
    return 0;
}

int exportPng(const std::string& outPath, int pageNumber, const std::string& in,
              std::ostream& err) {
    TvxDocument doc;
    const TvxStatus status = readTvxFile(in, doc);
    if (status != TvxStatus::Ok)
        return fail(err, readProblem(status, in));
    if (pageNumber < 1 || pageNumber > static_cast<int>(doc.pages.size()))
        return fail(err, "page " + std::to_string(pageNumber) + " does not exist; the file has " +
                             std::to_string(doc.pages.size()) + " pages");
    ZN_ShapeManager& page = *doc.pages[static_cast<std::size_t>(pageNumber - 1)].manager;
    const CanvasBounds bounds = visibleBounds(page);
    const float left = bounds.empty ? 0.0f : std::floor(bounds.minX);
    const float top = bounds.empty ? 0.0f : std::floor(bounds.minY);
    const double w = (bounds.empty ? 0.0 : std::ceil(bounds.maxX) - left) + 2 * kExportMargin;
    const double h = (bounds.empty ? 0.0 : std::ceil(bounds.maxY) - top) + 2 * kExportMargin;

    std::string error;
    auto gl = ZHeadlessGL::create(1, 1, &error);
    if (!gl)
        return fail(err, "no off-screen OpenGL: " + error);
    if (w > gl->maxSize() || h > gl->maxSize())
        return fail(err, "the page is too large to draw (" + std::to_string(static_cast<long>(w)) +
                             " x " + std::to_string(static_cast<long>(h)) + " pixels)");
    const int width = static_cast<int>(w);
    const int height = static_cast<int>(h);
    if (!gl->resize(width, height))
        return fail(err, "cannot make a framebuffer of " + std::to_string(width) + " x " +
                             std::to_string(height));

    setScallPosition(ZVector2(left - kExportMargin, top - kExportMargin));
    ZN_Scene scene;
    scene.setShapeManager(&page);
    scene.init(gl.get());
    scene.makeCurrent();
    scene.resize(width, height);
    for (auto& image : doc.images)
        image->resetTexture();
    scene.render();
    const std::vector<std::uint8_t> rgba = gl->readPixels();
    // Textures go while their context is still current.
    doc.images.clear();
    scene.releaseCurrent();

    QImage image(rgba.data(), width, height, width * 4, QImage::Format_RGBA8888);
    QSaveFile file(QString::fromStdString(outPath));
    if (!file.open(QIODevice::WriteOnly))
        return fail(err, "cannot write " + outPath + ": " + file.errorString().toStdString());
    if (!image.convertToFormat(QImage::Format_RGB888).save(&file, "PNG")) {
        file.cancelWriting();
        return fail(err, "cannot encode the PNG image");
    }
    if (!file.commit())
        return fail(err, "cannot write " + outPath + ": " + file.errorString().toStdString());
    return 0;
}

} // namespace

CanvasBounds visibleBounds(ZN_ShapeManager& page) {
    CanvasBounds b;
    for (ZN_ShapeBase* shape : page.getShapeList()) {
        if (!shape->getShow())
            continue;
        if (auto* line = dynamic_cast<ZN_NLine*>(shape)) {
            for (const ZVector2& p : line->getPoints())
                include(b, p);
        } else {
            include(b, shape->getPoint1());
            include(b, shape->getPoint2());
        }
        if (ZN_SText* label = shape->getLabel(); label && label->getShow()) {
            include(b, label->getPoint1());
            include(b, label->getPoint2());
        }
    }
    return b;
}

bool isCommandLineRequest(const std::vector<std::string>& args) {
    return !args.empty() &&
           (args[0] == "--info" || args[0] == "--convert" || args[0] == "--export-png");
}

int runCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty())
        return fail(err, "no operation given");
    const std::string& op = args[0];
    if (op == "--info") {
        if (args.size() != 2)
            return fail(err, "usage: Tavlo --info FILE.tvx");
        return info(args[1], out, err);
    }
    if (op == "--convert") {
        if (args.size() != 3)
            return fail(err, "usage: Tavlo --convert IN.tvx OUT.tvx");
        return convert(args[1], args[2], err);
    }
    if (op == "--export-png") {
        std::string outPath;
        std::string in;
        int pageNumber = 1;
        for (std::size_t i = 1; i < args.size(); ++i) {
            if (args[i] == "--page") {
                if (i + 1 >= args.size())
                    return fail(err, "--page needs a number");
                try {
                    std::size_t used = 0;
                    pageNumber = std::stoi(args[i + 1], &used);
                    if (used != args[i + 1].size())
                        throw std::invalid_argument("page");
                } catch (const std::exception&) {
                    return fail(err, "--page needs a number, not \"" + args[i + 1] + "\"");
                }
                ++i;
            } else if (outPath.empty()) {
                outPath = args[i];
            } else if (in.empty()) {
                in = args[i];
            } else {
                return fail(err, "usage: Tavlo --export-png OUT.png [--page N] IN.tvx");
            }
        }
        if (outPath.empty() || in.empty())
            return fail(err, "usage: Tavlo --export-png OUT.png [--page N] IN.tvx");
        return exportPng(outPath, pageNumber, in, err);
    }
    return fail(err, "unknown option " + op);
}
