#include "astro/uUniUtils.h"

#include <fcntl.h>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>
#include <stdexcept>

#include "astro/uExceptions.h"

namespace orbis {

// ---------------------------------------------------------------------------
// Format settings

FormatSettings& formatSettings() {
    static FormatSettings settings;
    return settings;
}

void loadFormatSettingsFromLocale() {
    locale_t loc = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (loc == static_cast<locale_t>(nullptr)) return;  // unknown locale in the environment: keep "."
    const char* radix = nl_langinfo_l(RADIXCHAR, loc);
    if (radix != nullptr && std::strlen(radix) == 1) formatSettings().decimalSeparator = radix[0];
    freelocale(loc);
}

// ---------------------------------------------------------------------------
// Numbers

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

[[noreturn]] void throwNotFloat(std::string_view text) {
    throw EConvertError(TDiagnostic(Code::NotAFloat).with("text", std::string(text)));
}

[[noreturn]] void throwNotInteger(std::string_view text) {
    throw EConvertError(TDiagnostic(Code::NotAnInteger).with("text", std::string(text)));
}

}  // namespace

double parseFloat(std::string_view text) {
    const char sep = text.find('.') != std::string_view::npos ? '.' : formatSettings().decimalSeparator;
    std::string_view s = trimBlanks(text);

    // Rebuild the number in the one form from_chars reads: optional "-",
    // digits, ".", digits, exponent. Every character is checked here, so
    // nothing else (hex, "inf", thousands separators) gets through.
    std::string normal;
    normal.reserve(s.size());
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-') normal += '-';
        ++i;
    }
    int mantissaDigits = 0;
    while (i < s.size() && isDigit(s[i])) { normal += s[i++]; ++mantissaDigits; }
    if (i < s.size() && s[i] == sep) {
        normal += '.';
        ++i;
        while (i < s.size() && isDigit(s[i])) { normal += s[i++]; ++mantissaDigits; }
    }
    if (mantissaDigits == 0) throwNotFloat(text);
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        normal += 'e';
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) normal += s[i++];
        int expDigits = 0;
        while (i < s.size() && isDigit(s[i])) { normal += s[i++]; ++expDigits; }
        if (expDigits == 0) throwNotFloat(text);
    }
    if (i != s.size()) throwNotFloat(text);

    double value = 0.0;
    const auto [end, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (ec != std::errc() || end != normal.data() + normal.size() || !std::isfinite(value)) {
        throwNotFloat(text);
    }
    return value;
}

int parseInt(std::string_view text) {
    std::string_view s = trimBlanks(text);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty()) throwNotInteger(text);
    long long value = 0;
    for (char c : s) {
        if (!isDigit(c)) throwNotInteger(text);
        value = value * 10 + (c - '0');
        if (value > 2147483648LL) throwNotInteger(text);
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int>::max()) throwNotInteger(text);
    return static_cast<int>(value);
}

int parseIntDefault(std::string_view text, int fallback) {
    try {
        return parseInt(text);
    } catch (const EConvertError&) {
        return fallback;
    }
}

std::string floatToText(double value) {
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    (void)ec;  // 64 characters hold every double
    return std::string(buf, end);
}

namespace {

// The parts of a number picture that the system's patterns use.
struct FloatPattern {
    int minIntDigits = 0;
    int minFracDigits = 0;
    int maxFracDigits = 0;
    bool scientific = false;
    bool exponentPlus = false;  // "E+": always show the exponent's sign
    int exponentDigits = 0;
    bool percent = false;
};

FloatPattern parsePattern(std::string_view pattern) {
    FloatPattern p;
    p.percent = pattern.find('%') != std::string_view::npos;
    std::string_view mantissa = pattern;
    for (std::size_t i = 0; i + 1 < pattern.size(); ++i) {
        if ((pattern[i] == 'E' || pattern[i] == 'e') && (pattern[i + 1] == '+' || pattern[i + 1] == '-')) {
            p.scientific = true;
            p.exponentPlus = pattern[i + 1] == '+';
            for (std::size_t j = i + 2; j < pattern.size() && pattern[j] == '0'; ++j) ++p.exponentDigits;
            mantissa = pattern.substr(0, i);
            break;
        }
    }
    const std::size_t dot = mantissa.find('.');
    const std::string_view intPart = mantissa.substr(0, dot);
    for (char c : intPart) p.minIntDigits += c == '0' ? 1 : 0;
    if (dot != std::string_view::npos) {
        for (char c : mantissa.substr(dot + 1)) {
            if (c == '0') { ++p.minFracDigits; ++p.maxFracDigits; }
            else if (c == '#') ++p.maxFracDigits;
        }
    }
    return p;
}

// Rounds a string of decimal digits to its first `keep` digits, half away
// from zero (or cuts them, toward zero). Returns true when the carry ran out
// of the front (999 -> 1000), in which case digits becomes "1" followed by
// zeros.
bool roundDigits(std::string& digits, int keep, bool cut = false) {
    if (keep < 0) { digits.assign(1, '0'); return false; }
    if (keep >= static_cast<int>(digits.size())) return false;
    const bool up = !cut && digits[static_cast<std::size_t>(keep)] >= '5';
    digits.resize(static_cast<std::size_t>(keep));
    if (!up) return false;
    for (int i = keep - 1; i >= 0; --i) {
        char& c = digits[static_cast<std::size_t>(i)];
        if (c != '9') { ++c; return false; }
        c = '0';
    }
    digits.insert(digits.begin(), '1');
    return true;
}

// Whether 0.d1d2... x 10^(exp10 + 1) lies beyond the largest double.
bool beyondLargestDouble(const std::string& digits, int exp10) {
    if (exp10 < std::numeric_limits<double>::max_exponent10) return false;
    const std::string text = "0." + digits + "e" + std::to_string(exp10 + 1);
    double v = 0;
    return std::from_chars(text.data(), text.data() + text.size(), v).ec == std::errc::result_out_of_range;
}

}  // namespace

std::string formatFloat(std::string_view pattern, double value, char decimalSeparator) {
    const FloatPattern p = parsePattern(pattern);
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";

    // The value's 15 significant digits: value = 0.d1d2...d15 x 10^(exp10 + 1).
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    std::string digits;
    digits += buf[0];
    digits.append(buf + 2, 14);
    int exp10 = std::atoi(std::strchr(buf, 'e') + 1);
    const bool isZeroValue = value == 0.0;
    // Next to the largest double, digits rounded up can pass it
    // (1.79769313486232e308) and the text would no longer read as a number:
    // there the digits are cut instead.
    if (beyondLargestDouble(digits, exp10)) {
        std::snprintf(buf, sizeof buf, "%.16e", std::fabs(value));
        digits.assign(1, buf[0]);
        digits.append(buf + 2, 14);
    }
    const auto roundToPattern = [&](int keep) {
        std::string rounded = digits;
        const bool carry = roundDigits(rounded, keep);
        if (beyondLargestDouble(rounded, exp10 + (carry ? 1 : 0))) return roundDigits(digits, keep, true);
        digits = std::move(rounded);
        return carry;
    };

    std::string intText;
    std::string fracText;
    std::string expText;
    if (p.scientific) {
        const int intDigits = p.minIntDigits > 0 ? p.minIntDigits : 1;
        if (roundToPattern(intDigits + p.maxFracDigits)) {
            digits.pop_back();
            ++exp10;
        }
        int exponent = isZeroValue ? 0 : exp10 - (intDigits - 1);
        digits.resize(static_cast<std::size_t>(intDigits + p.maxFracDigits), '0');
        intText = digits.substr(0, static_cast<std::size_t>(intDigits));
        fracText = digits.substr(static_cast<std::size_t>(intDigits));
        std::string e = std::to_string(exponent < 0 ? -exponent : exponent);
        if (static_cast<int>(e.size()) < p.exponentDigits) e.insert(0, static_cast<std::size_t>(p.exponentDigits) - e.size(), '0');
        expText = "E";
        if (exponent < 0) expText += '-';
        else if (p.exponentPlus) expText += '+';
        expText += e;
    } else {
        int intCount = exp10 + 1;  // digits before the decimal point
        if (isZeroValue) { digits.assign(1, '0'); intCount = 1; }
        if (roundToPattern(intCount + p.maxFracDigits)) ++intCount;
        if (intCount > 0) {
            intText = digits.substr(0, std::min<std::size_t>(digits.size(), static_cast<std::size_t>(intCount)));
            intText.resize(static_cast<std::size_t>(intCount), '0');
            fracText = static_cast<int>(digits.size()) > intCount ? digits.substr(static_cast<std::size_t>(intCount)) : "";
        } else {
            fracText = std::string(static_cast<std::size_t>(-intCount), '0') + digits;
        }
        fracText.resize(static_cast<std::size_t>(p.maxFracDigits), '0');
        const std::size_t firstNonZero = intText.find_first_not_of('0');
        intText = firstNonZero == std::string::npos ? "" : intText.substr(firstNonZero);
    }
    while (static_cast<int>(fracText.size()) > p.minFracDigits && fracText.back() == '0') fracText.pop_back();
    if (static_cast<int>(intText.size()) < p.minIntDigits) {
        intText.insert(0, static_cast<std::size_t>(p.minIntDigits) - intText.size(), '0');
    }

    const bool allZero = (intText + fracText).find_first_not_of('0') == std::string::npos;
    std::string out;
    if (value < 0 && !allZero) out += '-';
    out += intText;
    if (!fracText.empty()) {
        out += decimalSeparator;
        out += fracText;
    }
    out += expText;
    if (p.percent) out += '%';
    return out;
}

std::string formatFloat(std::string_view pattern, double value) {
    return formatFloat(pattern, value, formatSettings().decimalSeparator);
}

int intDiv(int a, int b) {
    if (b == 0) throw EZeroDivide(TDiagnostic(Code::IntegerDivisionByZero).with("dividend", a));
    const double q = std::trunc(static_cast<double>(a) / static_cast<double>(b));
    // Only -2147483648 / -1 leaves the integers.
    if (q > std::numeric_limits<int>::max()) {
        throw EIntOverflow(TDiagnostic(Code::IntegerDivisionOverflow).with("dividend", a).with("divisor", b));
    }
    return static_cast<int>(q);
}

int intMod(int a, int b) { return a - b * intDiv(a, b); }

// ---------------------------------------------------------------------------
// Pipe records

std::string extractField(std::string_view record, std::string_view sep, int k) {
    std::string_view rest = record;
    std::string_view result;
    bool tailReturned = false;
    for (int i = 0; i < k; ++i) {
        const std::size_t pos = sep.empty() ? std::string_view::npos : rest.find(sep);
        if (pos != std::string_view::npos) {
            result = rest.substr(0, pos);
            rest.remove_prefix(pos + sep.size());
        } else if (!tailReturned) {
            result = rest;
            tailReturned = true;
        } else {
            result = {};
        }
    }
    return std::string(result);
}

std::string_view firstCharacters(std::string_view s, std::size_t n) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (chars == n) return s.substr(0, i);
            ++chars;
        }
    }
    return s;
}

double parseFloatField(std::string_view record, std::string_view sep, int k, const std::string& fileName,
                       std::size_t lineIndex) {
    try {
        return parseFloat(extractField(record, sep, k));
    } catch (const EConvertError& e) {
        throw EConvertError(TDiagnostic(Code::FieldNotANumber)
                                .with("file", fileName)
                                .with("line", lineIndex + 1)
                                .with("field", k)
                                .with("text", e.diagnostic().value("text")));
    }
}

std::vector<std::string> splitFields(std::string_view record, std::string_view sep) {
    std::vector<std::string> fields;
    std::string_view rest = record;
    for (;;) {
        const std::size_t pos = sep.empty() ? std::string_view::npos : rest.find(sep);
        if (pos == std::string_view::npos) {
            fields.emplace_back(firstCharacters(rest, kMaxFieldLength));
            return fields;
        }
        fields.emplace_back(firstCharacters(rest.substr(0, pos), kMaxFieldLength));
        rest.remove_prefix(pos + sep.size());
    }
}

// ---------------------------------------------------------------------------
// Windows-1251 text

namespace {

// Length of the UTF-8 sequence a lead byte starts (1 for a stray byte).
std::size_t utf8SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC2) return 2;
    return 1;
}

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw EConvertError(TDiagnostic(Code::TextConversionUnavailable).with("from", from).with("to", to));
        }
    }
    ~Iconv() { iconv_close(cd_); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // Converts all of in; an unconvertible sequence is replaced by "?" and
    // skipped (skip tells how many input bytes it covers).
    template <typename Skip>
    std::string convert(std::string_view in, Skip skip) {
        std::string out;
        out.reserve(in.size() * 2 + 16);
        char buf[4096];
        std::size_t pos = 0;
        while (pos < in.size()) {
            char* inPtr = const_cast<char*>(in.data() + pos);
            std::size_t inLeft = in.size() - pos;
            char* outPtr = buf;
            std::size_t outLeft = sizeof buf;
            const std::size_t r = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
            out.append(buf, static_cast<std::size_t>(outPtr - buf));
            pos = in.size() - inLeft;
            if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
                out += '?';
                pos += std::min(skip(in, pos), in.size() - pos);
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return out;
    }

private:
    iconv_t cd_;
};

}  // namespace

bool isValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) { ++i; continue; }
        const std::size_t n = utf8SequenceLength(c);
        if (n == 1 || i + n > s.size()) return false;
        const auto c1 = static_cast<unsigned char>(s[i + 1]);
        // Second-byte ranges exclude overlong forms, surrogates and code
        // points beyond U+10FFFF.
        unsigned char lo = 0x80, hi = 0xBF;
        if (c == 0xE0) lo = 0xA0;
        else if (c == 0xED) hi = 0x9F;
        else if (c == 0xF0) lo = 0x90;
        else if (c == 0xF4) hi = 0x8F;
        if (c1 < lo || c1 > hi) return false;
        for (std::size_t k = 2; k < n; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        }
        i += n;
    }
    return true;
}

std::string utf8ToCp1251(std::string_view utf8) {
    Iconv conv("CP1251", "UTF-8");
    return conv.convert(utf8, [](std::string_view in, std::size_t pos) {
        const std::size_t n = utf8SequenceLength(static_cast<unsigned char>(in[pos]));
        // A broken sequence is skipped one byte at a time.
        for (std::size_t k = 1; k < n; ++k) {
            if (pos + k >= in.size() || (static_cast<unsigned char>(in[pos + k]) & 0xC0) != 0x80) return std::size_t{1};
        }
        return n;
    });
}

std::string cp1251ToUtf8(std::string_view cp1251) {
    Iconv conv("UTF-8", "CP1251");
    return conv.convert(cp1251, [](std::string_view, std::size_t) { return std::size_t{1}; });
}

std::string readFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw EInOutError(TDiagnostic(Code::FileNotOpened).with("file", path.string()).with("reason", std::strerror(errno)));
    }
    // Straight into a string of the file's size: a frame is read many times
    // an event, and a growing string would copy it over and over. Whatever
    // the size did not tell (a file that grew, a size the system does not
    // know) follows through the stream.
    std::string data;
    std::error_code sizeError;
    const std::uintmax_t size = std::filesystem::file_size(path, sizeError);
    if (!sizeError && size <= static_cast<std::uintmax_t>(std::numeric_limits<std::streamsize>::max())) {
        data.resize(static_cast<std::size_t>(size));
        in.read(data.data(), static_cast<std::streamsize>(size));
        data.resize(static_cast<std::size_t>(in.gcount()));
    }
    if (in.good()) {
        std::ostringstream rest;
        rest << in.rdbuf();
        data += std::move(rest).str();
    }
    if (in.bad()) throw EInOutError(TDiagnostic(Code::FileNotRead).with("file", path.string()));
    return data;
}

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        if (nl == std::string_view::npos) break;
        text.remove_prefix(nl + 1);
    }
    return lines;
}

std::vector<std::string> readTextLines(const std::filesystem::path& path, TextEncoding encoding) {
    std::string bytes = readFileBytes(path);
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
    if (encoding == TextEncoding::Utf8OrWindows1251 && isValidUtf8(bytes)) return splitLines(bytes);
    return splitLines(cp1251ToUtf8(bytes));
}

void writeTextLines(const std::filesystem::path& path, std::span<const std::string> lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    writeFileAtomically(path, utf8ToCp1251(text));
}

void writeFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    auto fail = [&](const char* step, int err) {
        throw EInOutError(
            TDiagnostic(Code::FileNotWritten).with("file", path.string()).with("step", step).with("reason", std::strerror(err)));
    };
    static std::atomic<unsigned> counter{0};
    std::random_device rd;
    std::filesystem::path temp;
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        temp = path;
        temp += ".tmp" + std::to_string(getpid()) + "_" + std::to_string(counter++) + "_" + std::to_string(rd() % 100000);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && (errno != EEXIST || attempt > 100)) fail("create", errno);
    }
    // A file that is replaced keeps its permissions.
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);

    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            ::close(fd);
            ::unlink(temp.c_str());
            fail("write", err);
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        fail("flush", err);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        fail("rename", err);
    }
}

}  // namespace orbis
