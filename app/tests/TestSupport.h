#pragma once
// Shared pieces of the program's tests: one application object for the whole
// run (with a private profile), and small builders of documents.

#include <cstdint>
#include <string>
#include <vector>

class CTavloApp;
class ZN_NRect;
class ZN_ShapeManager;
class ZImageTexture;

CTavloApp& testApp();

// A rectangle from (x1, y1) to (x2, y2), added to `page`.
ZN_NRect* addRect(ZN_ShapeManager& page, float x1, float y1, float x2, float y2);
// A 2 x 2 picture whose pixels are all `value`.
ZImageTexture* makePicture(std::uint8_t value);

std::vector<std::uint8_t> readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
// A fresh empty folder for one test's files.
std::string tempDir();

// Little-endian building of container bytes.
struct Bytes {
    std::vector<std::uint8_t> data;
    Bytes& i32(std::int32_t v);
    Bytes& raw(const std::string& s);
};

// The command line run in-process: its status and what it printed.
struct CliRun {
    int status;
    std::string out;
    std::string err;
};
CliRun runCli(const std::vector<std::string>& args);
