// Runs a fuzz target's entry point once on every file of the folders (or on
// the files) given on the command line, so that the corpora are replayed by
// the ordinary test run, built with any compiler, without libFuzzer.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool runFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return false;
    }
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    // An empty vector's data() may be null; the fuzzer never passes null.
    static const std::uint8_t empty = 0;
    LLVMFuzzerTestOneInput(bytes.empty() ? &empty : bytes.data(), bytes.size());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::size_t runs = 0;
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path arg = argv[i];
        std::error_code error;
        if (std::filesystem::is_directory(arg, error)) {
            std::vector<std::filesystem::path> files;
            for (const auto& entry : std::filesystem::recursive_directory_iterator(arg))
                if (entry.is_regular_file())
                    files.push_back(entry.path());
            // A fixed order makes a failure reproducible from the log alone.
            std::sort(files.begin(), files.end());
            for (const auto& file : files) {
                ok = runFile(file) && ok;
                ++runs;
            }
        } else if (std::filesystem::exists(arg, error)) {
            ok = runFile(arg) && ok;
            ++runs;
        }
        // A missing folder is an empty corpus: checked-in folders may not exist yet.
    }
    std::printf("replayed %zu inputs\n", runs);
    if (runs == 0) {
        std::fprintf(stderr, "no inputs found\n");
        return 1;
    }
    return ok ? 0 : 1;
}
