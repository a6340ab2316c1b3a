#include "TestSupport.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include <QDir>
#include <QTemporaryDir>

#include <sarvik/ZImageData.h>
#include <sarvik/ZImageTexture.h>
#include <sarvik/ZN_NRect.h>
#include <sarvik/ZN_ShapeManager.h>

#include "cli/TavloCli.h"
#include "frames/CTavloApp.h"

CTavloApp& testApp() {
    static CTavloApp* app = [] {
        static QTemporaryDir* config = nullptr;
        static int argc = 1;
        static char name[] = "tavlo_tests";
        static char* argv[] = {name, nullptr};
        // The tests must never touch the user's own profile.
        config = new QTemporaryDir;
        qputenv("XDG_CONFIG_HOME", config->path().toUtf8());
        CTavloApp::prepare();
        return new CTavloApp(argc, argv);
    }();
    return *app;
}

ZN_NRect* addRect(ZN_ShapeManager& page, float x1, float y1, float x2, float y2) {
    auto* rect = static_cast<ZN_NRect*>(ZN_ShapeBase::createShape(7));
    rect->setPoint1(ZVector2(x1, y1));
    rect->setPoint2(ZVector2(x2, y2));
    page.addShape(rect);
    return rect;
}

ZImageTexture* makePicture(std::uint8_t value) {
    auto* data = new ZImageData;
    const int stride = static_cast<int>(ZImageData::rowStride(2));
    std::vector<unsigned char> pixels(static_cast<std::size_t>(stride * 2), value);
    data->copyData(pixels.data(), 2, 2, stride * 2);
    return new ZImageTexture(data, " ");
}

std::vector<std::uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string tempDir() {
    static QTemporaryDir root;
    static int counter = 0;
    const QString path = root.path() + QString("/t%1").arg(++counter);
    QDir().mkpath(path);
    return path.toStdString();
}

Bytes& Bytes::i32(std::int32_t v) {
    for (int i = 0; i < 4; ++i)
        data.push_back(static_cast<std::uint8_t>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF));
    return *this;
}

Bytes& Bytes::raw(const std::string& s) {
    data.insert(data.end(), s.begin(), s.end());
    return *this;
}

CliRun runCli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = runCommandLine(args, out, err);
    return {status, out.str(), err.str()};
}
