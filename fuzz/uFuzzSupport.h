#pragma once
// What every fuzzing target shares: the libFuzzer entry point each target
// defines, the valid inputs it starts from, a scratch folder for parsers
// that take a path, and the way a target reports a broken invariant.
//
// A target calls the real parser on the bytes and catches exactly the
// exceptions that parser is documented to raise. Anything else — a crash, a
// sanitizer report, another exception type, a hang, or a failed check — is
// a finding. The same target source is linked with libFuzzer (ORBIS_LIBFUZZER)
// or with the deterministic mutation driver of uFuzzDriver.cpp.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size);

namespace orbis::fuzz {

// The valid inputs a target's mutations start from, built with the
// station's own writers, and how to mutate them.
struct TSeeds {
    std::vector<std::string> inputs;
    // Text inputs also get separators swapped and tokens inserted.
    bool text = false;
    // Tokens worth inserting besides the common number tokens.
    std::vector<std::string> tokens;
};

// Defined by each target.
TSeeds targetSeeds();
// The target's name, as in fuzz_<name>.
extern const char* const kTargetName;

// Inputs that hold several files are split at this byte (ASCII record
// separator): it occurs in no file the station writes, and mutations
// rarely create or remove one.
inline constexpr char kPartSeparator = '\x1e';

// The parts of an input; always at least `minimum` (missing ones empty).
std::vector<std::string> splitParts(std::string_view input, std::size_t minimum);
// Joins files into one input.
std::string joinParts(const std::vector<std::string>& parts);

// A folder of this process for the files of one input, emptied on every
// call. It lies on a memory file system where there is one: the parsers'
// writers flush every file to disk, which would dominate the run time.
const std::filesystem::path& scratchFolder();
std::filesystem::path freshScratchFolder();

// Writes bytes to a file, creating the folders it needs.
void writeFile(const std::filesystem::path& path, std::string_view bytes);
std::string readFile(const std::filesystem::path& path);

// A broken invariant: prints the message and aborts, which both libFuzzer
// and the driver report with the input.
[[noreturn]] void finding(const std::string& message);

inline void check(bool condition, const std::string& message) {
    if (!condition) finding(message);
}

}  // namespace orbis::fuzz
