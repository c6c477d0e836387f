// The mutation driver of the fuzzing targets for builds without libFuzzer,
// and the seed writer of both builds.
//
// Without libFuzzer (ORBIS_LIBFUZZER undefined) this is the program's main:
//   fuzz_<name> [--iterations N] [--seed S] [--timeout SECONDS] [FILE...]
// runs every seed of the target once, then N inputs made from the seeds by
// a fixed sequence of random mutations (the same N inputs for the same
// seed on every machine), or only the given files. A crash, a sanitizer
// report, an unexpected exception or an input that runs longer than the
// timeout leaves the input as fuzz_<name>-crash-<iteration>.bin in the
// current folder, for a rerun with the file as argument.
//
// In both builds, --write-seeds DIR writes the seeds as files and exits:
// the starting corpus of libFuzzer.

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <random>
#include <string>
#include <vector>

#include "fuzz/uFuzzSupport.h"

extern "C" void __sanitizer_set_death_callback(void (*callback)()) __attribute__((weak));

namespace orbis::fuzz {

namespace {

// Tokens for every target: numbers at the edges of what the parsers take.
std::vector<std::string> tokens(const TSeeds& seeds) {
    std::vector<std::string> t = {"0", "1", "-1", "-", "+", ".", "e", "E", "1e308", "-1e308", "1e-308", "nan",
                                  "inf", "-0", "2147483647", "2147483648", "-2147483649", "4294967295",
                                  "99999999999999999999", "0.5", "1.7976931348623157e308", "4.9e-324", " ",
                                  "\xEF\xBB\xBF", "\xC3\x28", "\xFF"};
    t.push_back(std::string(400, '9'));
    t.push_back("0." + std::string(400, '0') + "1");
    t.insert(t.end(), seeds.tokens.begin(), seeds.tokens.end());
    return t;
}

// The seeds as files of the folder, the tokens as libFuzzer's dictionary
// beside it (folder + ".dict").
int writeSeeds(const char* folder) {
    const TSeeds seeds = targetSeeds();
    std::filesystem::create_directories(folder);
    for (std::size_t i = 0; i < seeds.inputs.size(); ++i) {
        writeFile(std::filesystem::path(folder) / ("seed-" + std::to_string(i)), seeds.inputs[i]);
    }
    std::string dictionary;
    for (const std::string& token : tokens(seeds)) {
        if (token.empty() || token.size() > 64) continue;  // libFuzzer keeps only short entries
        dictionary += '"';
        for (unsigned char c : token) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            dictionary += c >= 0x20 && c < 0x7F && c != '"' && c != '\\' ? std::string(1, static_cast<char>(c)) : hex;
        }
        dictionary += "\"\n";
    }
    writeFile(std::string(folder) + ".dict", dictionary);
    std::printf("fuzz_%s: %zu seeds written to %s\n", kTargetName, seeds.inputs.size(), folder);
    return 0;
}

// Finds "--write-seeds DIR" among the arguments.
const char* seedFolderArgument(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--write-seeds") == 0) return argv[i + 1];
    }
    return nullptr;
}

}  // namespace

}  // namespace orbis::fuzz

#ifdef ORBIS_LIBFUZZER

// libFuzzer calls this before it reads its own flags.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    if (const char* folder = orbis::fuzz::seedFolderArgument(*argc, *argv)) std::exit(orbis::fuzz::writeSeeds(folder));
    return 0;
}

#else

namespace orbis::fuzz {

namespace {

// ---------------------------------------------------------------------------
// The input under test, for the report of a crash. Written before every
// call; read only by the crash handlers, with async-signal-safe calls.

std::string current;
long long currentIteration = -1;
char crashFile[256] = "";

void writeCrashInput() {
    const int fd = ::open(crashFile, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return;
    const char* p = current.data();
    std::size_t left = current.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n <= 0) break;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    ::close(fd);
    const char note[] = "\nfuzz: the input is saved as ";
    (void)!::write(2, note, sizeof note - 1);
    (void)!::write(2, crashFile, std::strlen(crashFile));
    (void)!::write(2, "\n", 1);
}

void onDeath() { writeCrashInput(); }

}  // namespace

}  // namespace orbis::fuzz

// The undefined-behaviour runtime of g++ is a library of its own that does
// not call the address sanitizer's death callback: it aborts instead, into
// the signal handler, and shows where.
extern "C" const char* __ubsan_default_options() { return "abort_on_error=1:print_stacktrace=1"; }

namespace orbis::fuzz {

namespace {

void onSignal(int sig) {
    if (sig == SIGALRM) {
        const char note[] = "\nfuzz: an input ran longer than the timeout (a hang)";
        (void)!::write(2, note, sizeof note - 1);
    }
    writeCrashInput();
    ::signal(sig == SIGALRM ? SIGABRT : sig, SIG_DFL);
    ::raise(sig == SIGALRM ? SIGABRT : sig);
}

void installCrashHandlers() {
    if (__sanitizer_set_death_callback != nullptr) __sanitizer_set_death_callback(onDeath);
    for (int sig : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGALRM}) ::signal(sig, onSignal);
}

void run(const std::string& input, long long iteration, unsigned timeoutSeconds) {
    current = input;
    currentIteration = iteration;
    if (iteration >= 0) {
        std::snprintf(crashFile, sizeof crashFile, "fuzz_%s-crash-%lld.bin", kTargetName, iteration);
    } else {
        std::snprintf(crashFile, sizeof crashFile, "fuzz_%s-crash-seed.bin", kTargetName);
    }
    ::alarm(timeoutSeconds);
    try {
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
    } catch (const std::exception& e) {
        finding(std::string("unexpected exception: ") + e.what());
    } catch (...) {
        finding("unexpected exception of an unknown type");
    }
    ::alarm(0);
}

// ---------------------------------------------------------------------------
// Mutations

class Mutator {
public:
    Mutator(uint64_t seed, const TSeeds& seeds) : rng_(seed), seeds_(seeds), tokens_(tokens(seeds)) {}

    std::string next() {
        std::string s = seeds_.inputs[pick(seeds_.inputs.size())];
        // Mostly a few mutations, sometimes a pile of them.
        int count = 1 + static_cast<int>(pick(4));
        if (pick(8) == 0) count += static_cast<int>(pick(16));
        for (int i = 0; i < count; ++i) mutate(s);
        return s;
    }

private:
    std::size_t pick(std::size_t n) { return n == 0 ? 0 : static_cast<std::size_t>(rng_() % n); }

    // An offset into s, half of the time inside the first 256 bytes where
    // the headers of binary files lie.
    std::size_t offset(const std::string& s) {
        if (s.empty()) return 0;
        if (!seeds_.text && pick(2) == 0) return pick(std::min<std::size_t>(s.size(), 256));
        return pick(s.size());
    }

    void put32(std::string& s, uint32_t v) {
        if (s.size() < 4) return;
        const std::size_t at = std::min(offset(s), s.size() - 4);
        for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    }

    void mutate(std::string& s) {
        const std::size_t ops = seeds_.text ? 16 : 11;
        switch (pick(ops)) {
            case 0:  // one bit
                if (!s.empty()) s[offset(s)] ^= static_cast<char>(1u << pick(8));
                break;
            case 1: {  // one byte set to an edge value or anything
                static constexpr std::array<uint8_t, 5> edge{0x00, 0xFF, 0x7F, 0x80, 0x01};
                if (!s.empty()) s[offset(s)] = static_cast<char>(pick(2) ? edge[pick(edge.size())] : pick(256));
                break;
            }
            case 2: {  // random bytes inserted
                std::string bytes(1 + pick(16), '\0');
                for (char& c : bytes) c = static_cast<char>(pick(256));
                s.insert(std::min(offset(s), s.size()), bytes);
                break;
            }
            case 3:  // a range deleted
                if (!s.empty()) {
                    const std::size_t at = offset(s);
                    s.erase(at, 1 + pick(std::min<std::size_t>(s.size() - at, 64)));
                }
                break;
            case 4:  // a range duplicated elsewhere
                if (!s.empty()) {
                    const std::size_t at = offset(s);
                    const std::string range = s.substr(at, 1 + pick(std::min<std::size_t>(s.size() - at, 256)));
                    s.insert(pick(s.size() + 1), range);
                }
                break;
            case 5:  // cut short
                s.resize(pick(s.size() + 1));
                break;
            case 6: {  // a 32-bit little-endian field at an edge value
                const std::array<uint32_t, 8> edge{0, 1, 0x7FFFFFFF, 0xFFFFFFFF, 0x80000000, 0x10000,
                                                   static_cast<uint32_t>(s.size()), static_cast<uint32_t>(s.size() + 1)};
                put32(s, edge[pick(edge.size())]);
                break;
            }
            case 7:  // a 16-bit little-endian field at an edge value
                if (s.size() >= 2) {
                    static constexpr std::array<uint16_t, 6> edge{0, 1, 0xFFFF, 0x8000, 0x7FFF, 0x0100};
                    const std::size_t at = std::min(offset(s), s.size() - 2);
                    const uint16_t v = edge[pick(edge.size())];
                    s[at] = static_cast<char>(v & 0xFF);
                    s[at + 1] = static_cast<char>(v >> 8);
                }
                break;
            case 8:  // a byte nudged by a little
                if (!s.empty()) s[offset(s)] += static_cast<char>(pick(2) ? 1 + pick(16) : -static_cast<int>(1 + pick(16)));
                break;
            case 9: {  // the tail of another seed
                const std::string& other = seeds_.inputs[pick(seeds_.inputs.size())];
                s = s.substr(0, pick(s.size() + 1)) + other.substr(pick(other.size() + 1));
                break;
            }
            case 10:  // a token inserted (binary inputs too: their text parts)
            case 11:
                s.insert(std::min(offset(s), s.size()), tokens_[pick(tokens_.size())]);
                break;
            case 12: {  // one separator swapped for another
                static constexpr std::string_view separators = "|,.;=: \t\r\n";
                std::vector<std::size_t> at;
                for (std::size_t i = 0; i < s.size(); ++i) {
                    if (separators.find(s[i]) != std::string_view::npos) at.push_back(i);
                }
                if (!at.empty()) s[at[pick(at.size())]] = separators[pick(separators.size())];
                break;
            }
            case 13: {  // a number replaced by a token
                std::vector<std::size_t> starts;
                for (std::size_t i = 0; i < s.size(); ++i) {
                    const bool digit = s[i] >= '0' && s[i] <= '9';
                    if (digit && (i == 0 || !(s[i - 1] >= '0' && s[i - 1] <= '9'))) starts.push_back(i);
                }
                if (starts.empty()) break;
                const std::size_t from = starts[pick(starts.size())];
                std::size_t to = from;
                while (to < s.size() && ((s[to] >= '0' && s[to] <= '9') || s[to] == '.')) ++to;
                s.replace(from, to - from, tokens_[pick(tokens_.size())]);
                break;
            }
            case 14: {  // a line deleted or repeated
                std::vector<std::size_t> starts{0};
                for (std::size_t i = 0; i < s.size(); ++i) {
                    if (s[i] == '\n' && i + 1 < s.size()) starts.push_back(i + 1);
                }
                const std::size_t k = pick(starts.size());
                const std::size_t from = starts[k];
                const std::size_t to = k + 1 < starts.size() ? starts[k + 1] : s.size();
                const std::string line = s.substr(from, to - from);
                if (pick(2)) s.erase(from, to - from);
                else s.insert(from, line + (line.ends_with('\n') ? "" : "\n"));
                break;
            }
            case 15: {  // a very long number
                std::string digits(1 + pick(600), '7');
                if (pick(2)) digits.insert(pick(digits.size()), ".");
                s.insert(std::min(offset(s), s.size()), digits);
                break;
            }
        }
    }

    std::mt19937_64 rng_;
    const TSeeds& seeds_;
    std::vector<std::string> tokens_;
};

int usage() {
    std::fprintf(stderr,
                 "usage: fuzz_%s [--iterations N] [--seed S] [--timeout SECONDS] [FILE...]\n"
                 "       fuzz_%s --write-seeds DIR\n",
                 kTargetName, kTargetName);
    return 2;
}

}  // namespace

}  // namespace orbis::fuzz

int main(int argc, char** argv) {
    using namespace orbis::fuzz;
    if (const char* folder = seedFolderArgument(argc, argv)) return writeSeeds(folder);

    long long iterations = 2000;
    uint64_t seed = 1;
    unsigned timeout = 20;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--iterations" && hasValue) iterations = std::atoll(argv[++i]);
        else if (arg == "--seed" && hasValue) seed = std::strtoull(argv[++i], nullptr, 10);
        else if (arg == "--timeout" && hasValue) timeout = static_cast<unsigned>(std::atoi(argv[++i]));
        else if (arg.starts_with("-")) return usage();
        else files.push_back(arg);
    }
    installCrashHandlers();

    if (!files.empty()) {
        for (const std::string& file : files) {
            std::printf("fuzz_%s: %s\n", kTargetName, file.c_str());
            run(readFile(file), -1, timeout);
        }
        return 0;
    }

    const TSeeds seeds = targetSeeds();
    if (seeds.inputs.empty()) finding("the target has no seeds");
    for (const std::string& input : seeds.inputs) run(input, -1, timeout);
    Mutator mutator(seed, seeds);
    for (long long i = 0; i < iterations; ++i) run(mutator.next(), i, timeout);
    std::printf("fuzz_%s: %zu seeds and %lld mutated inputs, seed %" PRIu64 ", no finding\n", kTargetName,
                seeds.inputs.size(), iterations, seed);
    return 0;
}

#endif
