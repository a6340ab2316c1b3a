#include <sarvik/ZImageData.h>
#include <sarvik/ZJpgResource.h>
#include <sarvik/platform/ZMessage.h>

#include "PictureUpload.h"

#include <GL/gl.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include <jpeglib.h>

#include <jerror.h>

namespace {

// libjpeg reports fatal errors through error_exit, which must not return; it
// jumps back to the decoder's recovery point instead.
struct JpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf recovery;
};

constexpr const char* kJpegErrorTitle = "JPEG Error";
constexpr const char* kNoMemoryText = "Not enough memory to decode ";

std::string sizeText(JDIMENSION width, JDIMENSION height) {
    return std::to_string(width) + " x " + std::to_string(height) + " pixels";
}

// A picture refused for its size is worth telling the user about, unlike a
// file that is simply not a JPEG.
void refuseForSize(const std::string& why, JDIMENSION width, JDIMENSION height) {
    ZShowMessage(kJpegErrorTitle, why + sizeText(width, height));
}

[[noreturn]] void jpegErrorExit(j_common_ptr cinfo) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    // The text of a fatal error is formatted and dropped: the caller only
    // learns that the picture could not be read. Running out of memory is the
    // exception: the user learns that the picture was too large.
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    const int code = cinfo->err->msg_code;
    if (code == JERR_OUT_OF_MEMORY || code == JERR_NO_BACKING_STORE) {
        const auto* decompress = reinterpret_cast<j_decompress_ptr>(cinfo);
        refuseForSize(kNoMemoryText, decompress->image_width, decompress->image_height);
    }
    std::longjmp(manager->recovery, 1);
}

// Warnings (corrupt data libjpeg can skip, a file cut short) reach the user;
// decoding goes on.
void jpegOutputMessage(j_common_ptr cinfo) {
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    ZShowMessage(kJpegErrorTitle, text);
}

void closeFile(std::FILE* file) {
    if (file)
        std::fclose(file);
}

// CMYK as Adobe writes it (the only CMYK JPEGs in circulation) stores the
// inks inverted, so a byte of 255 means no ink.
void cmykRowToRgb(const JSAMPLE* in, unsigned char* out, unsigned width, bool inverted) {
    for (unsigned x = 0; x < width; ++x, in += 4, out += 3) {
        unsigned c = in[0], m = in[1], y = in[2], k = in[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        out[0] = static_cast<unsigned char>((c * k + 127) / 255);
        out[1] = static_cast<unsigned char>((m * k + 127) / 255);
        out[2] = static_cast<unsigned char>((y * k + 127) / 255);
    }
}

// The decoded picture must fit the stored layout's bound once its rows are
// padded; checked before libjpeg allocates anything for the whole picture.
bool sizeAcceptable(JDIMENSION width, JDIMENSION height) {
    return width > 0 && height > 0 && ZImageData::pictureBytes(width, height) >= 0;
}

// Progressive and multi-scan files keep every coefficient of the picture in
// memory until the last scan: one 8x8 block of 16-bit values per block of each
// component, its rows and columns rounded up to whole sampling units.
std::uint64_t coefficientBytes(const jpeg_decompress_struct& cinfo) {
    std::uint64_t bytes = 0;
    for (int ci = 0; ci < cinfo.num_components; ++ci) {
        const jpeg_component_info& c = cinfo.comp_info[ci];
        const auto roundUp = [](std::uint64_t n, std::uint64_t unit) {
            return (n + unit - 1) / unit * unit;
        };
        bytes += roundUp(c.width_in_blocks, static_cast<std::uint64_t>(c.h_samp_factor)) *
                 roundUp(c.height_in_blocks, static_cast<std::uint64_t>(c.v_samp_factor)) *
                 sizeof(JBLOCK);
    }
    return bytes;
}

// Row buffers, tables and the like beside the coefficients; a few MiB even at
// the widest picture libjpeg accepts.
constexpr std::uint64_t kDecoderRowAllowance = std::uint64_t{64} << 20;

// The decoder's memory bound follows the picture the header declares (which
// already fits the picture bound), so every picture the program may hold can
// be decoded, whatever its sampling.
long decoderMemoryBound(const jpeg_decompress_struct& cinfo) {
    return static_cast<long>(coefficientBytes(cinfo) + kDecoderRowAllowance);
}

// Each 8x8 block of a Huffman-coded picture costs at least one bit of the file
// (its code in the first scan that reaches it). A file shorter than that is
// cut far inside its picture and would show almost nothing of it; refusing it
// up front keeps a few damaged bytes from costing the memory and time of a
// huge declared picture. Arithmetic coding has no such floor.
bool tooShortForPicture(const jpeg_decompress_struct& cinfo, long fileBytes) {
    if (cinfo.arith_code || fileBytes < 0)
        return false;
    std::uint64_t blocks = 0;
    for (int ci = 0; ci < cinfo.num_components; ++ci)
        blocks += std::uint64_t{cinfo.comp_info[ci].width_in_blocks} *
                  cinfo.comp_info[ci].height_in_blocks;
    return static_cast<std::uint64_t>(fileBytes) * 8 < blocks;
}

// Bytes in the file, or -1 when it cannot be told (a pipe, say).
long fileLength(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0)
        return -1;
    const long length = std::ftell(file);
    if (std::fseek(file, 0, SEEK_SET) != 0)
        return -1;
    return length;
}

} // namespace

ZJpgResource::~ZJpgResource() = default;

int ZJpgResource::getByteCount() const {
    if (!pixels)
        return 0;
    return static_cast<int>(ZImageData::pictureBytes(width, height));
}

unsigned char* ZJpgResource::ReadJPEGFile(const char* path, unsigned int* outWidth,
                                          unsigned int* outHeight) {
    *outWidth = 0;
    *outHeight = 0;
    std::FILE* file = path ? std::fopen(path, "rb") : nullptr;
    if (!file)
        return nullptr;
    const long fileBytes = fileLength(file);

    // Only plain C objects live in this frame between setjmp and a jump back:
    // longjmp skips destructors.
    jpeg_decompress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    JpegErrorManager errors;
    unsigned char* volatile result = nullptr;
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = jpegErrorExit;
    errors.pub.output_message = jpegOutputMessage;
    if (setjmp(errors.recovery)) {
        jpeg_destroy_decompress(&cinfo);
        closeFile(file);
        delete[] result;
        return nullptr;
    }

    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    if (cmyk)
        cinfo.out_color_space = JCS_CMYK;
    else if (cinfo.num_components != 1)
        cinfo.out_color_space = JCS_RGB;
    jpeg_calc_output_dimensions(&cinfo);
    const int components = cinfo.output_components;
    const char* sizeRefusal = nullptr;
    if (!sizeAcceptable(cinfo.output_width, cinfo.output_height))
        sizeRefusal = "Image too big for a picture: ";
    else if (tooShortForPicture(cinfo, fileBytes))
        sizeRefusal = "JPEG file too short for its ";
    if (sizeRefusal || (components != 1 && components != 3 && !(cmyk && components == 4))) {
        if (sizeRefusal)
            refuseForSize(sizeRefusal, cinfo.image_width, cinfo.image_height);
        jpeg_destroy_decompress(&cinfo);
        closeFile(file);
        return nullptr;
    }

    // Past this bound libjpeg fails (there is no backing store) rather than
    // taking more than the declared picture needs.
    cinfo.mem->max_memory_to_use = decoderMemoryBound(cinfo);
    jpeg_start_decompress(&cinfo);
    // Rows go straight to their place in the stored layout (bottom-up, padded),
    // so the picture is never held twice.
    const std::size_t stride = static_cast<std::size_t>(ZImageData::rowStride(cinfo.output_width));
    // Zeroed, so rows a damaged file never delivers come out black, not stale,
    // and the row padding is zero.
    result = new (std::nothrow) unsigned char[stride * cinfo.output_height]();
    if (!result) {
        refuseForSize(kNoMemoryText, cinfo.image_width, cinfo.image_height);
        jpeg_destroy_decompress(&cinfo);
        closeFile(file);
        return nullptr;
    }
    JSAMPARRAY row =
        (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                   cinfo.output_width * static_cast<JDIMENSION>(components), 1);
    const bool inverted = cinfo.saw_Adobe_marker;
    while (cinfo.output_scanline < cinfo.output_height) {
        if (jpeg_read_scanlines(&cinfo, row, 1) != 1)
            break;
        unsigned char* out = result + stride * (cinfo.output_height - cinfo.output_scanline);
        const JSAMPLE* in = row[0];
        if (components == 3) {
            std::memcpy(out, in, static_cast<std::size_t>(cinfo.output_width) * 3);
        } else if (components == 1) {
            for (JDIMENSION x = 0; x < cinfo.output_width; ++x, out += 3)
                out[0] = out[1] = out[2] = in[x];
        } else {
            cmykRowToRgb(in, out, cinfo.output_width, inverted);
        }
    }
    *outWidth = cinfo.output_width;
    *outHeight = cinfo.output_height;
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    closeFile(file);
    return result;
}

bool ZJpgResource::loadFile(const char* path) {
    pixels.reset();
    width = 0;
    height = 0;
    unsigned int decodedWidth = 0, decodedHeight = 0;
    std::unique_ptr<unsigned char[]> decoded(ReadJPEGFile(path, &decodedWidth, &decodedHeight));
    if (!decoded)
        return false;
    pixels = std::move(decoded);
    width = decodedWidth;
    height = decodedHeight;
    reload();
    return true;
}

void ZJpgResource::reload() {
    if (!pixels || !detail::hasCurrentContext())
        return;
    release();
    glEnable(GL_TEXTURE_2D);
    // Capped like a picture's first texture: the whole picture may be far
    // larger than any screen.
    texture = detail::buildPictureTexture(
        static_cast<int>(width), static_cast<int>(height), GL_RGB, pixels.get(),
        detail::textureSizeFor(static_cast<int>(width), static_cast<int>(height), 2048.0f, 2048.0f));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
}
