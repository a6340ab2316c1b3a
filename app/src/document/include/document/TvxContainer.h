#pragma once
// The outer document container: version, magic, page table, one page record
// per page and the picture block. The reader builds a whole document aside and
// hands it over only when every byte made sense, so a bad file never replaces
// what the caller had.

#include <memory>
#include <string>
#include <vector>

#include <sarvik/ZN_NodeFields.h>

class ZFile;
class ZImageTexture;
class ZN_ShapeManager;

constexpr int kTvxVersion = 8;

// One page as the container stores it. Names are UTF-8 in memory.
struct TvxPage {
    std::string name;
    int customName = 0;
    std::unique_ptr<ZN_ShapeManager> manager;

    TvxPage();
    TvxPage(TvxPage&&) noexcept;
    TvxPage& operator=(TvxPage&&) noexcept;
    ~TvxPage();
};

// A document read from a file, owning its pages and pictures until the caller
// takes them.
struct TvxDocument {
    int version = kTvxVersion;
    std::vector<TvxPage> pages;
    std::vector<std::unique_ptr<ZImageTexture>> images;
    // Records of the extension block that belong to no shape and that this
    // program does not know: written back as they came.
    std::vector<ZN_UnknownRecord> extensions;
    // The file's extension block could not be read: the map is whole, but its
    // nodes' notes, links and markers are missing (tvxExtensionDamagedMessage).
    bool extensionsDamaged = false;

    TvxDocument();
    TvxDocument(TvxDocument&&) noexcept;
    TvxDocument& operator=(TvxDocument&&) noexcept;
    ~TvxDocument();
};

enum class TvxStatus { Ok, BadMagic, TooNew, Corrupt, CannotOpen };

// The message the user sees for a refused file; empty for Ok.
std::string tvxStatusMessage(TvxStatus status);

// What the user is told when a document opened without its extension block.
std::string tvxExtensionDamagedMessage();

// Whether the pictures' pixels are read, or only their sizes (for reports
// that draw nothing and need no picture in memory).
enum class TvxPictures { Pixels, SizesOnly };

// Reads a whole container. On anything but Ok, `out` is left empty.
TvxStatus readTvx(ZFile& file, TvxDocument& out, TvxPictures pictures = TvxPictures::Pixels);
TvxStatus readTvxFile(const std::string& path, TvxDocument& out,
                      TvxPictures pictures = TvxPictures::Pixels);

// A page as the writer sees it: borrowed name and manager.
struct TvxPageRef {
    std::string name;
    int customName = 0;
    ZN_ShapeManager* manager = nullptr;
};

// Numbers the pictures shown by plain rectangles (type 7) in page and list
// order, setting each rectangle's imageId, and returns them in number order.
std::vector<ZImageTexture*> numberImages(const std::vector<TvxPageRef>& pages);

// Writes the current version of the container. The extension block follows
// the pictures only when some shape has fields or `extensions` (a document's
// unknown records) is not empty, so a document without them is written as it
// always was. False when a write failed.
bool writeTvx(ZFile& file, const std::vector<TvxPageRef>& pages,
              const std::vector<ZN_UnknownRecord>& extensions = {});

// Writes atomically to `path`; on failure *reason says why and the previous
// file is untouched.
bool writeTvxFile(const std::string& path, const std::vector<TvxPageRef>& pages,
                  std::string* reason = nullptr,
                  const std::vector<ZN_UnknownRecord>& extensions = {});
