#include "ZTestJpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <unistd.h>

#include <jpeglib.h>

std::vector<std::uint8_t> ZEncodeTestJpeg(int width, int height, int components,
                                          const std::vector<std::uint8_t>& pixels,
                                          const ZTestJpegOptions& options) {
    const std::size_t stride = static_cast<std::size_t>(width) * components;
    if (width <= 0 || height <= 0 || pixels.size() != stride * height)
        return {};
    return ZEncodeTestJpegRows(
        width, height, components,
        [&](int y, std::uint8_t* row) {
            std::memcpy(row, pixels.data() + stride * static_cast<std::size_t>(y), stride);
        },
        options);
}

std::vector<std::uint8_t>
ZEncodeTestJpegRows(int width, int height, int components,
                    const std::function<void(int, std::uint8_t*)>& fillRow,
                    const ZTestJpegOptions& options) {
    if (width <= 0 || height <= 0 || (components != 1 && components != 3 && components != 4))
        return {};

    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, options.quality, TRUE);
    // Full-resolution colour, so neighbouring pixels keep their own colours.
    for (int c = 0; c < cinfo.num_components; ++c)
        cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
    if (options.progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * components);
    while (cinfo.next_scanline < cinfo.image_height) {
        fillRow(static_cast<int>(cinfo.next_scanline), row.data());
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::vector<std::uint8_t> bytes(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return bytes;
}

bool ZDecodeTestJpeg(const std::uint8_t* data, std::size_t size,
                     const std::function<bool(unsigned, unsigned)>& header,
                     const std::function<void(int, const std::uint8_t*)>& row) {
    // libjpeg's fatal errors must not return: they jump back here.
    struct Errors {
        jpeg_error_mgr pub;
        std::jmp_buf jump;
    };
    jpeg_decompress_struct cinfo;
    Errors errors;
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = [](j_common_ptr c) {
        std::longjmp(reinterpret_cast<Errors*>(c->err)->jump, 1);
    };
    errors.pub.output_message = [](j_common_ptr) {};
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    if (!header(cinfo.image_width, cinfo.image_height)) {
        jpeg_destroy_decompress(&cinfo);
        return true;
    }
    if (cinfo.num_components != 1)
        cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    std::vector<std::uint8_t> line(static_cast<std::size_t>(cinfo.output_width) *
                                   static_cast<std::size_t>(cinfo.output_components));
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW rows[1] = {line.data()};
        jpeg_read_scanlines(&cinfo, rows, 1);
        if (row)
            row(static_cast<int>(cinfo.output_scanline) - 1, line.data());
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

bool ZWriteTestFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written =
        bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

std::string ZTestTempPath(const std::string& name) {
    const auto folder = std::filesystem::temp_directory_path();
    return (folder / ("tavlo-" + std::to_string(::getpid()) + "-" + name)).string();
}
