#include <zip.h>

#include <memory>

#include "interchange/XMind.h"

namespace interchange {

namespace {

struct ZipCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};
struct FileCloser {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};

enum class Entry { Missing, Read, TooLarge, Broken, Damaged };

// The entry's bytes, refused before inflating when the directory says it is
// too large or grows too much, and cut off should it grow past what it said.
Entry readEntry(zip_t* zip, const char* name, QByteArray& out) {
    const zip_int64_t index = zip_name_locate(zip, name, ZIP_FL_NOCASE);
    if (index < 0)
        return Entry::Missing;
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(zip, static_cast<zip_uint64_t>(index), 0, &st) != 0 ||
        !(st.valid & ZIP_STAT_SIZE) || !(st.valid & ZIP_STAT_COMP_SIZE))
        return Entry::Broken;
    if (st.size > kMostEntryBytes || st.size > (st.comp_size + 1) * kMostInflation)
        return Entry::TooLarge;
    std::unique_ptr<zip_file_t, FileCloser> file(
        zip_fopen_index(zip, static_cast<zip_uint64_t>(index), 0));
    if (!file)
        return Entry::Broken;
    out.resize(static_cast<qsizetype>(st.size));
    const zip_int64_t got = zip_fread(file.get(), out.data(), st.size);
    if (got < 0 || static_cast<zip_uint64_t>(got) != st.size)
        return Entry::Broken;
    // The checksum is compared when the end is reached: an entry whose bytes
    // do not match it is damaged, not a map to import.
    char past = 0;
    if (zip_fread(file.get(), &past, 1) != 0)
        return Entry::Damaged;
    return Entry::Read;
}

} // namespace

bool readXMind(const QByteArray& bytes, MapDocument& out, ReadError& error) {
    zip_error_t zerr;
    zip_error_init(&zerr);
    zip_source_t* source = zip_source_buffer_create(bytes.constData(),
                                                    static_cast<zip_uint64_t>(bytes.size()), 0, &zerr);
    if (!source) {
        zip_error_fini(&zerr);
        error = {0, "not an XMind workbook"};
        return false;
    }
    std::unique_ptr<zip_t, ZipCloser> zip(zip_open_from_source(source, ZIP_RDONLY, &zerr));
    zip_error_fini(&zerr);
    if (!zip) {
        zip_source_free(source);
        error = {0, "not an XMind workbook (not a zip archive)"};
        return false;
    }
    QByteArray content;
    for (const char* name : {"content.json", "content.xml"}) {
        switch (readEntry(zip.get(), name, content)) {
        case Entry::Missing:
            continue;
        case Entry::TooLarge:
            error = {0, std::string(name) + " is too large to inflate"};
            return false;
        case Entry::Broken:
            error = {0, std::string(name) + " cannot be inflated"};
            return false;
        case Entry::Damaged:
            error = {0, std::string(name) + " is damaged (its checksum does not match)"};
            return false;
        case Entry::Read: {
            const bool json = name[8] == 'j';
            // Pictures are read as the content names them, each within the
            // same bounds and all of them within the most a file may hold.
            std::uint64_t pictureBytes = 0;
            const ArchiveEntries entries = [&zip, &pictureBytes](const std::string& entry) {
                QByteArray bytes;
                if (pictureBytes > kMostEntryBytes * 4 ||
                    readEntry(zip.get(), entry.c_str(), bytes) != Entry::Read)
                    return QByteArray();
                pictureBytes += static_cast<std::uint64_t>(bytes.size());
                return bytes;
            };
            const bool ok = json ? readXMindJson(content, out, error, entries)
                                 : readXMindXml(content, out, error, entries);
            if (!ok)
                error.reason = std::string(name) + ": " + error.reason;
            return ok;
        }
        }
    }
    error = {0, "not an XMind workbook (no content.json or content.xml)"};
    return false;
}

} // namespace interchange
