#pragma once
// Small JPEG files made on the spot, so picture tests need no sample files.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct ZTestJpegOptions {
    int quality = 100;
    bool progressive = false;
};

// Encodes width x height pixels given top-down with `components` bytes per
// pixel: 1 grey, 3 red-green-blue, 4 CMYK (stored inverted, as Adobe writes
// it). Colour is not subsampled. Empty on a bad argument.
std::vector<std::uint8_t> ZEncodeTestJpeg(int width, int height, int components,
                                          const std::vector<std::uint8_t>& pixels,
                                          const ZTestJpegOptions& options = {});

// The same for pictures too large to hold twice: fillRow(y, row) writes row y
// (top-down, width * components bytes) when the encoder asks for it.
std::vector<std::uint8_t>
ZEncodeTestJpegRows(int width, int height, int components,
                    const std::function<void(int, std::uint8_t*)>& fillRow,
                    const ZTestJpegOptions& options = {});

// Decodes JPEG bytes as libjpeg does by default (colour as red, green, blue),
// its warnings silenced. header(width, height) learns the declared size first
// and may stop there by returning false; row(y, pixels) then gets each row,
// top-down. False when libjpeg fails.
bool ZDecodeTestJpeg(const std::uint8_t* data, std::size_t size,
                     const std::function<bool(unsigned, unsigned)>& header,
                     const std::function<void(int, const std::uint8_t*)>& row = {});

// Writes bytes to a file, replacing it; false when that fails.
bool ZWriteTestFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

// A path for a scratch file in the temporary folder, unique to this process.
std::string ZTestTempPath(const std::string& name);
