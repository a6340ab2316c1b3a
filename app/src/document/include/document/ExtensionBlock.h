#pragma once
// The extension block: what the document keeps of its nodes beyond their
// shape records (notes, links, markers, attributes, anchors, tree layouts),
// stored after the last picture record. A reader that stops after the
// pictures never sees it, so a file with a block still opens in full in any
// program that reads the container without it.
//
// Layout (integers are 32-bit little-endian, unsigned unless said):
//
//   magic      8 bytes   89 54 56 58 0D 0A 1A 0A  ("\x89TVX\r\n\x1a\n")
//   version    u32       kExtensionVersion (1)
//   length     u32       L, the bytes of the records that follow
//   records    L bytes   top-level records, back to back
//   checksum   u32       CRC-32 (the zip and PNG one) of every byte from the
//                        magic to the end of the records
//
// A record is a tag (u32; four ASCII letters, the first in the lowest byte),
// the length of its payload (u32) and the payload. Top-level records:
//
//   "NODE"  page index (u32, 0-based), shape id (u32, the 1..n the page
//           record was written with), then the node's own records:
//             "NOTE"  the note, UTF-8 bytes
//             "LINK"  the link, UTF-8 bytes
//             "MARK"  markers in order, each a u32 length and UTF-8 bytes
//             "ATTR"  attributes in order, each a name and a value written
//                     as in MARK
//             "ANCH"  the anchor, UTF-8 bytes
//             "LAYO"  the tree layout, i32
//
// Later versions only add tags; a tag keeps its layout for ever. So a newer
// block is read as this one, and any record whose tag is not known (a node's
// or a top-level one) is kept as it is and written back unchanged.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <sarvik/ZN_NodeFields.h>

class ZFile;

constexpr std::uint32_t kExtensionVersion = 1;

// The fields of one shape, named by the page it is on and its id.
struct ExtensionNode {
    std::uint32_t page = 0;
    std::uint32_t id = 0;
    ZN_SharedFields fields;
};

struct ExtensionContent {
    std::vector<ExtensionNode> nodes;
    std::vector<ZN_UnknownRecord> unknown; // top-level records of later versions
    bool empty() const { return nodes.empty() && unknown.empty(); }
};

// The whole block, magic to checksum.
std::string encodeExtensionBlock(const ExtensionContent& content);

// The same for fields that stay where they are (a document being saved).
struct ExtensionNodeRef {
    std::uint32_t page = 0;
    std::uint32_t id = 0;
    const ZN_NodeFields* fields = nullptr; // not owned
};
std::string encodeExtensionBlock(const std::vector<ExtensionNodeRef>& nodes,
                                 const std::vector<ZN_UnknownRecord>& unknown);

enum class ExtensionStatus {
    None,    // nothing follows the pictures, or something that is not a block
    Read,    // a block, read whole
    Damaged, // a block cut short, failing its checksum or badly framed
};

// Reads the block from the bytes that follow the picture records. Only Read
// fills `out`; a damaged block gives nothing, so no half of it is applied.
ExtensionStatus decodeExtensionBlock(const std::uint8_t* data, std::size_t size,
                                     ExtensionContent& out);
// The same from the rest of a file, which it reads up to the block's end.
ExtensionStatus readExtensionBlock(ZFile& file, ExtensionContent& out);

// CRC-32 as zip and PNG compute it, continued from `crc` (0 to start).
std::uint32_t extensionCrc32(const void* data, std::size_t size, std::uint32_t crc = 0);
