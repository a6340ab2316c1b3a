#include "cli/TavloCli.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <ostream>
#include <unistd.h>

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QImage>
#include <QFileInfo>
#include <QString>

#include <ZHeadlessGL.h>
#include <rulmek/rulmek.h>
#include <sarvik/ZImageTexture.h>
#include <sarvik/ZN_Scene.h>
#include <sarvik/ZN_ShapeManager.h>
#include <sarvik/platform/ZFile.h>

#include "cli/MapConvert.h"
#include "document/PageExport.h"
#include "document/TvxContainer.h"

namespace {

constexpr int kExitFailure = 2;

int fail(std::ostream& err, const std::string& message) {
    err << "Tavlo: " << message << '\n';
    return kExitFailure;
}

// Why a document could not be read, in the command line's language.
std::string readProblem(TvxStatus status, const std::string& path) {
    switch (status) {
    case TvxStatus::CannotOpen: {
        std::string cause = "not a regular file";
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            cause = std::strerror(errno);
        else
            ::close(fd);
        return "cannot open " + path + ": " + cause;
    }
    case TvxStatus::BadMagic:
        return path + ": not a Tavlo document";
    case TvxStatus::TooNew:
        return path + ": written by a newer version of Tavlo";
    default:
        return path + ": the document is damaged";
    }
}

// Writes the whole output through one checked path; an existing regular file
// is replaced only once every byte is on the disk, a device or FIFO is written
// into.
int writeOutput(const std::string& path, const QByteArray& bytes, std::ostream& err) {
    std::string cause;
    if (!ZFile::writeWhole(path, bytes.constData(), static_cast<std::size_t>(bytes.size()),
                           &cause))
        return fail(err, "cannot write " + path + ": " + cause);
    return 0;
}

// A document whose extension block is damaged is used without it; the user
// hears of what is missing.
void warnIfExtensionsLost(const TvxDocument& doc, const std::string& path, std::ostream& err) {
    if (doc.extensionsDamaged)
        err << "Tavlo: " << path << ": " << tvxExtensionDamagedMessage() << '\n';
}

struct FieldCounts {
    long notes = 0, links = 0, markers = 0, attributes = 0;
};

FieldCounts countFields(const ZN_ShapeManager& page) {
    FieldCounts c;
    for (const ZN_ShapeBase* shape : page.getShapeList()) {
        if (!shape->hasFields())
            continue;
        const ZN_NodeFields& f = shape->getFields();
        c.notes += f.note.empty() ? 0 : 1;
        c.links += f.link.empty() ? 0 : 1;
        c.markers += static_cast<long>(f.markers.size());
        c.attributes += static_cast<long>(f.attributes.size());
    }
    return c;
}

int info(const std::string& path, std::ostream& out, std::ostream& err) {
    TvxDocument doc;
    // The report counts pictures; their pixels are passed over, not kept.
    const TvxStatus status = readTvxFile(path, doc, TvxPictures::SizesOnly);
    if (status != TvxStatus::Ok)
        return fail(err, readProblem(status, path));
    warnIfExtensionsLost(doc, path, err);
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
        const FieldCounts fields = countFields(*page.manager);
        out << "; notes " << fields.notes << ", links " << fields.links << ", markers "
            << fields.markers << ", attributes " << fields.attributes << '\n';
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

int convert(const CommandLine& cl, std::ostream& out, std::ostream& err) {
    if (isMapConversion(cl.input, cl.output))
        return convertMap(cl.input, cl.output, cl.page, out, err);
    const std::string& in = cl.input;
    const std::string& outPath = cl.output;
    TvxDocument doc;
    const TvxStatus status = readTvxFile(in, doc);
    if (status != TvxStatus::Ok)
        return fail(err, readProblem(status, in));
    auto memory = ZFile::toMemory();
    warnIfExtensionsLost(doc, in, err);
    if (!writeTvx(*memory, refsOf(doc), doc.extensions))
        return fail(err, "cannot encode " + in);
    const std::vector<std::uint8_t>& bytes = memory->bytes();
    return writeOutput(outPath, QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                                        static_cast<qsizetype>(bytes.size())),
                       err);
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
    const ExportPage page =
        prepareExportPage(*doc.pages[static_cast<std::size_t>(pageNumber - 1)].manager, false);
    const double w = page.size.width();
    const double h = page.size.height();

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

    setScallPosition(ZVector2(page.left, page.top));
    ZN_Scene scene;
    scene.setShapeManager(page.page.get());
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

    const QImage image(rgba.data(), width, height, width * 4, QImage::Format_RGBA8888);
    const QByteArray png = pngFile(image.convertToFormat(QImage::Format_RGB888));
    if (png.isEmpty())
        return fail(err, "cannot encode the PNG image of " + in);
    return writeOutput(outPath, png, err);
}

// QPainter lays out text through Qt's font database, which needs a GUI
// application object; without a display the offscreen platform serves. Qt's
// notes about the session (a missing runtime folder and the like) are kept
// quiet meanwhile: they would break the promise of one line on failure.
class FontsWithoutDisplay {
public:
    FontsWithoutDisplay() {
        if (QCoreApplication::instance())
            return;
        previous_ = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext&, const QString& message) {
                if (type == QtFatalMsg)
                    std::fprintf(stderr, "Tavlo: %s\n", qPrintable(message));
            });
        static int argc = 3;
        static char arg0[] = "Tavlo", arg1[] = "-platform", arg2[] = "offscreen";
        static char* argv[] = {arg0, arg1, arg2, nullptr};
        app_ = std::make_unique<QGuiApplication>(argc, argv);
    }
    ~FontsWithoutDisplay() {
        if (!app_)
            return;
        app_.reset();
        qInstallMessageHandler(previous_);
    }
    FontsWithoutDisplay(const FontsWithoutDisplay&) = delete;
    FontsWithoutDisplay& operator=(const FontsWithoutDisplay&) = delete;

private:
    std::unique_ptr<QGuiApplication> app_;
    QtMessageHandler previous_ = nullptr;
};

int exportVector(const CommandLine& cl, std::ostream& err) {
    TvxDocument doc;
    const TvxStatus status = readTvxFile(cl.input, doc);
    if (status != TvxStatus::Ok)
        return fail(err, readProblem(status, cl.input));
    const int count = static_cast<int>(doc.pages.size());
    if (cl.page > count || (cl.page == 0 && count == 0))
        return fail(err, "page " + std::to_string(std::max(cl.page, 1)) +
                             " does not exist; the file has " + std::to_string(count) + " pages");
    const bool pdf = cl.action == CommandLine::Action::ExportPdf;
    const int first = cl.page == 0 ? 1 : cl.page;
    const int last = cl.page == 0 && pdf ? count : first;

    const FontsWithoutDisplay fonts;
    std::vector<RecordedPage> pages;
    for (int n = first; n <= last; ++n) {
        const ExportPage page =
            prepareExportPage(*doc.pages[static_cast<std::size_t>(n - 1)].manager, false);
        RecordedPage recorded;
        QString problem;
        if (!recordPage(page, false, &recorded, &problem))
            return fail(err, "page " + std::to_string(n) + ": " + problem.toStdString());
        pages.push_back(std::move(recorded));
    }

    QByteArray bytes;
    QString problem;
    if (!pdf)
        bytes = pageSvg(pages.front());
    else if (!pdfDocument(pages, QFileInfo(QString::fromStdString(cl.input)).fileName(),
                          &bytes, &problem))
        return fail(err, "cannot write " + cl.output + ": " + problem.toStdString());
    return writeOutput(cl.output, bytes, err);
}

// The operations, and the suffixes of the files they write. A name without a
// suffix (a device, /dev/stdout, a FIFO) is taken as it is.
struct Form {
    const char* option;
    CommandLine::Action action;
    QStringList suffixes;
};
const std::vector<Form>& forms() {
    static const std::vector<Form> table = {
        {"info", CommandLine::Action::Info, {}},
        {"convert", CommandLine::Action::Convert,
         {"tvx", "mm", "xmind", "opml", "md", "txt", "km", "mmd", "puml"}},
        {"export-png", CommandLine::Action::ExportPng, {"png"}},
        {"export-svg", CommandLine::Action::ExportSvg, {"svg"}},
        {"export-pdf", CommandLine::Action::ExportPdf, {"pdf"}},
    };
    return table;
}

// Qt's parser says "Unknown option 'bogus'."; every message here starts in
// lower case and has no full stop, as in "Tavlo: unknown option 'bogus'".
QString plainMessage(QString text) {
    if (text.endsWith('.'))
        text.chop(1);
    if (!text.isEmpty())
        text[0] = text[0].toLower();
    return text;
}

// Reads the operation's files from the arguments; an error message or empty.
QString takeFiles(const Form& form, const QString& value, const QStringList& positional,
                  CommandLine& cl) {
    const bool convert = form.action == CommandLine::Action::Convert;
    const qsizetype wanted = form.action == CommandLine::Action::Info ? 0 : 1;
    if (positional.size() > wanted)
        return "unexpected argument '" + positional[wanted] + "'";
    if (positional.size() < wanted)
        return convert ? "missing the output file OUT.tvx after --convert IN.tvx"
                       : "missing the input file IN.tvx";
    cl.input = (convert || wanted == 0 ? value : positional.front()).toStdString();
    if (wanted == 0)
        return {};
    const QString output = convert ? positional.front() : value;
    cl.output = output.toStdString();
    const QString suffix = QFileInfo(output).suffix().toLower();
    if (!suffix.isEmpty() && !form.suffixes.contains(suffix))
        return QString("--%1 writes .%2 files, not '%3'")
            .arg(QString::fromLatin1(form.option), form.suffixes.join(", ."), output);
    return {};
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine cl;
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const QCommandLineOption help({"h", "help", "?"}, "");
    const QCommandLineOption version({"v", "version"}, "");
    const QCommandLineOption page("page", "", "N");
    // Qt's own options for the editor; QApplication reads them itself.
    const QCommandLineOption platform("platform", "", "NAME");
    const QCommandLineOption style("style", "", "STYLE");
    parser.addOptions({help, version, page, platform, style});
    std::vector<QCommandLineOption> formOptions;
    for (const Form& form : forms())
        formOptions.emplace_back(QString(form.option), QString(), "FILE");
    for (const QCommandLineOption& option : formOptions)
        parser.addOption(option);

    QStringList list{"Tavlo"};
    for (const std::string& a : args)
        list << QString::fromLocal8Bit(a.c_str());
    auto error = [&](const QString& message) {
        cl.action = CommandLine::Action::Error;
        cl.error = message.toStdString();
        return cl;
    };
    if (!parser.parse(list)) {
        // Qt's texts follow whatever translator the process has installed;
        // the command line always answers in English.
        if (const QStringList unknown = parser.unknownOptionNames(); !unknown.isEmpty())
            return error("unknown option '" + unknown.front() + "'");
        return error(plainMessage(parser.errorText()));
    }
    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(help) || parser.isSet(version)) {
        if (!positional.isEmpty())
            return error("unexpected argument '" + positional.front() + "'");
        cl.action = parser.isSet(help) ? CommandLine::Action::Help : CommandLine::Action::Version;
        return cl;
    }

    const Form* chosen = nullptr;
    QString value;
    for (std::size_t k = 0; k < forms().size(); ++k) {
        if (!parser.isSet(formOptions[k]))
            continue;
        if (chosen || parser.values(formOptions[k]).size() > 1)
            return error("choose one operation of --info, --convert, --export-png, --export-svg "
                         "and --export-pdf");
        chosen = &forms()[k];
        value = parser.value(formOptions[k]);
    }
    if (parser.isSet(page)) {
        if (!chosen || chosen->action == CommandLine::Action::Info)
            return error("--page goes only with --convert, --export-png, --export-svg or --export-pdf");
        if (parser.values(page).size() > 1)
            return error("--page is given more than once");
        bool ok = false;
        cl.page = parser.value(page).toInt(&ok);
        if (!ok || cl.page < 1)
            return error("--page needs a page number from 1, not '" + parser.value(page) + "'");
    }
    if (!chosen) {
        if (positional.size() > 1)
            return error("the editor opens one file, not " + QString::number(positional.size()));
        cl.action = CommandLine::Action::Editor;
        cl.platform = parser.value(platform).toStdString();
        if (!positional.isEmpty())
            cl.input = positional.front().toStdString();
        return cl;
    }
    if (parser.isSet(platform) || parser.isSet(style))
        return error("--platform and --style are for the editor");
    cl.action = chosen->action;
    const QString problem = takeFiles(*chosen, value, positional, cl);
    return problem.isEmpty() ? cl : error(problem);
}

std::string commandLineHelp() {
    return "Usage: Tavlo [FILE.tvx]\n"
           "       Tavlo --info FILE.tvx\n"
           "       Tavlo --convert IN OUT [--page N]\n"
           "       Tavlo --export-png OUT.png [--page N] IN.tvx\n"
           "       Tavlo --export-svg OUT.svg [--page N] IN.tvx\n"
           "       Tavlo --export-pdf OUT.pdf [--page N] IN.tvx\n"
           "\n"
           "Tavlo edits mind maps. With a file, or none, it opens the editor; the other\n"
           "forms work without a display and open no window. On failure they print one\n"
           "line to standard error, exit with status 2 and write nothing.\n"
           "\n"
           "Options:\n"
           "  -h, --help               show this help and exit\n"
           "  -v, --version            show the version and exit\n"
           "  --info FILE.tvx          print the file's version, pages and shape counts\n"
           "  --convert IN OUT         write IN as OUT, the kinds chosen by extension:\n"
           "                           IN and OUT .tvx .mm .xmind .opml .md .txt .km\n"
           "                           .mmd .puml; .tvx to .tvx writes the current\n"
           "                           file version; .xmind holds every page\n"
           "  --export-png OUT.png     draw a page of IN.tvx into a PNG picture\n"
           "  --export-svg OUT.svg     write a page of IN.tvx as an SVG drawing\n"
           "  --export-pdf OUT.pdf     write IN.tvx as a PDF document, one page each\n"
           "  --page N                 the page to export or convert (from 1); the PNG,\n"
           "                           SVG and converted map\n"
           "                           default to page 1, the PDF to every page\n"
           "  --platform NAME, --style STYLE\n"
           "                           Qt's window system and widget style for the editor\n";
}

bool isCommandLineRequest(const std::vector<std::string>& args) {
    return parseCommandLine(args).action != CommandLine::Action::Editor;
}

int runCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const CommandLine cl = parseCommandLine(args);
    switch (cl.action) {
    case CommandLine::Action::Editor:
        return fail(err, "no operation given");
    case CommandLine::Action::Help:
        out << commandLineHelp();
        return 0;
    case CommandLine::Action::Version:
        out << "Tavlo " << TAVLO_VERSION << '\n';
        return 0;
    case CommandLine::Action::Error:
        // One line, as every other failure of the command line.
        err << "Tavlo: " << cl.error << '\n';
        return kExitFailure;
    case CommandLine::Action::Info:
        return info(cl.input, out, err);
    case CommandLine::Action::Convert:
        return convert(cl, out, err);
    case CommandLine::Action::ExportPng:
        return exportPng(cl.output, cl.page == 0 ? 1 : cl.page, cl.input, err);
    case CommandLine::Action::ExportSvg:
    case CommandLine::Action::ExportPdf:
        return exportVector(cl, err);
    }
    return kExitFailure;
}

bool displayAvailable(const std::string& platformOption, std::string* why) {
    const QByteArray platform = platformOption.empty() ? qgetenv("QT_QPA_PLATFORM")
                                                       : QByteArray::fromStdString(platformOption);
    // Platforms that need no window system (offscreen, vnc, ...) are the user's choice.
    if (!platform.isEmpty() && !platform.startsWith("xcb") && !platform.startsWith("wayland"))
        return true;
    if (!qgetenv("WAYLAND_DISPLAY").isEmpty() && !platform.startsWith("xcb"))
        return true;
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty()) {
        *why = "no display: DISPLAY is not set (the command-line operations need none; see --help)";
        return false;
    }
    // Qt aborts when it cannot reach the X server, so try the connection first.
    void* xcb = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!xcb)
        return true; // Qt's own plugin will say what is missing
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);
    auto connect = reinterpret_cast<Connect>(dlsym(xcb, "xcb_connect"));
    auto hasError = reinterpret_cast<HasError>(dlsym(xcb, "xcb_connection_has_error"));
    auto disconnect = reinterpret_cast<Disconnect>(dlsym(xcb, "xcb_disconnect"));
    bool reachable = true;
    if (connect && hasError && disconnect) {
        void* connection = connect(display.constData(), nullptr);
        reachable = connection && hasError(connection) == 0;
        if (connection)
            disconnect(connection);
    }
    dlclose(xcb);
    if (!reachable)
        *why = "cannot open display " + display.toStdString();
    return reachable;
}
