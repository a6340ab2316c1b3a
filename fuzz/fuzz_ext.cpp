// The extension block that follows a document's pictures. The first byte
// chooses whether the checksum is mended before reading: a checksum that
// fails turns nearly every mutation away before its records are looked at,
// so most inputs get a right one and reach the record reader.

#include <sarvik/platform/ZFile.h>

#include "document/ExtensionBlock.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "FuzzCheck.h"

namespace {

bool sameContent(const ExtensionContent& a, const ExtensionContent& b) {
    if (a.nodes.size() != b.nodes.size() || a.unknown != b.unknown)
        return false;
    for (std::size_t i = 0; i < a.nodes.size(); ++i)
        if (a.nodes[i].page != b.nodes[i].page || a.nodes[i].id != b.nodes[i].id ||
            !a.nodes[i].fields || !b.nodes[i].fields || !(*a.nodes[i].fields == *b.nodes[i].fields))
            return false;
    return true;
}

std::uint32_t load(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// Puts the right checksum after the records, when the length leaves room for one.
void mendChecksum(std::vector<std::uint8_t>& block) {
    if (block.size() < 20)
        return;
    const std::uint64_t end = 16 + std::uint64_t{load(block.data() + 12)};
    if (end + 4 > block.size())
        return;
    const std::uint32_t crc = extensionCrc32(block.data(), static_cast<std::size_t>(end));
    for (int k = 0; k < 4; ++k)
        block[static_cast<std::size_t>(end) + static_cast<std::size_t>(k)] =
            static_cast<std::uint8_t>(crc >> (8 * k));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    std::vector<std::uint8_t> block(data + 1, data + size);
    if ((data[0] & 1u) == 0)
        mendChecksum(block);

    ExtensionContent content;
    const ExtensionStatus status = decodeExtensionBlock(block.data(), block.size(), content);
    // Reading from a file agrees with reading from memory.
    auto file = ZFile::fromMemory(block);
    ExtensionContent fromFile;
    FUZZ_CHECK(readExtensionBlock(*file, fromFile) == status);
    FUZZ_CHECK(!file->failed());
    if (status != ExtensionStatus::Read) {
        FUZZ_CHECK(content.empty() && fromFile.empty());
        return 0;
    }
    FUZZ_CHECK(sameContent(content, fromFile));
    for (const ExtensionNode& node : content.nodes)
        FUZZ_CHECK(node.fields && !node.fields->empty());

    // What was read writes a block that reads back the same and writes the same.
    const std::string first = encodeExtensionBlock(content);
    ExtensionContent again;
    FUZZ_CHECK(decodeExtensionBlock(reinterpret_cast<const std::uint8_t*>(first.data()),
                                    first.size(), again) == ExtensionStatus::Read);
    FUZZ_CHECK(sameContent(content, again));
    FUZZ_CHECK(encodeExtensionBlock(again) == first);
    return 0;
}
