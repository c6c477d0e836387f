#include "fuzz/uFuzzSupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

namespace orbis::fuzz {

std::vector<std::string> splitParts(std::string_view input, std::size_t minimum) {
    std::vector<std::string> parts;
    for (;;) {
        const std::size_t at = input.find(kPartSeparator);
        parts.emplace_back(input.substr(0, at));
        if (at == std::string_view::npos) break;
        input.remove_prefix(at + 1);
    }
    if (parts.size() < minimum) parts.resize(minimum);
    return parts;
}

std::string joinParts(const std::vector<std::string>& parts) {
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) out += kPartSeparator;
        out += parts[i];
    }
    return out;
}

namespace {

std::filesystem::path makeScratchFolder() {
    std::error_code ec;
    std::filesystem::path base;
    if (const char* env = std::getenv("ORBIS_FUZZ_TMP"); env != nullptr && *env != '\0') {
        base = env;
    } else if (std::filesystem::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0) {
        base = "/dev/shm";
    } else {
        base = std::filesystem::temp_directory_path();
    }
    const std::filesystem::path folder =
        base / ("orbis-fuzz-" + std::string(kTargetName) + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder, ec);
    std::filesystem::create_directories(folder);
    // Removed when the run ends normally; a crash leaves it for inspection.
    static const std::filesystem::path toRemove = folder;
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(toRemove, ignored);
    });
    return folder;
}

}  // namespace

const std::filesystem::path& scratchFolder() {
    static const std::filesystem::path folder = makeScratchFolder();
    return folder;
}

std::filesystem::path freshScratchFolder() {
    const std::filesystem::path& folder = scratchFolder();
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        std::filesystem::remove_all(entry.path(), ec);
    }
    return folder;
}

void writeFile(const std::filesystem::path& path, std::string_view bytes) {
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) finding("cannot write the scratch file " + path.string());
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream data;
    data << in.rdbuf();
    return std::move(data).str();
}

void finding(const std::string& message) {
    std::fprintf(stderr, "\nfuzz_%s: %s\n", kTargetName, message.c_str());
    std::fflush(stderr);
    std::abort();
}

}  // namespace orbis::fuzz
