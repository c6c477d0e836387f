// The text layer every work file, catalog and report is read through
// (astro/uUniUtils): Windows-1251 lines, pipe records, the number parsers.
// Checks that numbers read back from the text the station writes for them,
// and that the record readers agree with each other.

#include <cmath>
#include <stdexcept>

#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"
#include "fuzz/uFuzzSupport.h"
#include "processing/uNaming.h"

namespace orbis::fuzz {

const char* const kTargetName = "text";

TSeeds targetSeeds() {
    TSeeds seeds;
    seeds.text = true;
    const std::filesystem::path folder = freshScratchFolder();
    // Work files as the station writes them (Windows-1251, CR LF).
    const std::vector<std::string> sTxt = {"101.287|-16.716|320|240|-1.46|Сириус|A1Vm",
                                           "95.988|-52.696|118|402|-0.74|Canopus|F0II", "114.825|5.225|512|77|0.34||"};
    writeTextLines(folder / "S.txt", sTxt);
    seeds.inputs.push_back(readFile(folder / "S.txt"));
    const std::vector<std::string> report = {"UT_DATE=12.08.2024", "UT_TIME=23:41:07", "RA_BEG=47.113", "MAGN=-2.15",
                                             "SHOWER=PER"};
    writeTextLines(folder / "M.txt", report);
    seeds.inputs.push_back(readFile(folder / "M.txt"));
    // Numbers in every form parseFloat takes.
    seeds.inputs.push_back("0|0| 12,5 |+3.|-.5|1e-3|7E+2\t|0|-0\n12,5,-7,+0\n");
    seeds.tokens = {"|", "||", ",", "\r\n", "\n", "\xD0\xAF", "\x98", "\xEF\xBB\xBF"};
    return seeds;
}

}  // namespace orbis::fuzz

namespace {

using namespace orbis;
using namespace orbis::fuzz;

std::size_t countOf(std::string_view text, std::string_view sep) {
    std::size_t n = 0;
    for (std::size_t at = text.find(sep); at != std::string_view::npos; at = text.find(sep, at + sep.size())) ++n;
    return n;
}

std::size_t utf8Characters(std::string_view text) {
    std::size_t n = 0;
    for (char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return n;
}

void checkNumber(const std::string& field) {
    double v = 0;
    bool isFloat = true;
    try {
        v = parseFloat(field);
    } catch (const EConvertError&) {
        isFloat = false;
    }
    if (isFloat) {
        check(std::isfinite(v), "parseFloat gives a value that is not finite for '" + field + "'");
        const std::string shortest = floatToText(v);
        double back = 0;
        try {
            back = parseFloat(shortest);
        } catch (const EConvertError&) {
        }
        check(back == v, "floatToText(" + shortest + ") does not read back");
        // The report and work-file patterns: what the station writes reads back.
        for (const char* pattern : {"0.000", "0.00", "0.0000", "##0", "0.00000000E+00"}) {
            const std::string text = formatFloat(pattern, v, '.');
            try {
                (void)parseFloat(text);
            } catch (const EConvertError&) {
                finding("formatFloat(\"" + std::string(pattern) + "\", " + shortest + ") = '" + text +
                        "' does not read back");
            }
        }
    }
    try {
        const int n = parseInt(field);
        check(parseInt(std::to_string(n)) == n, "parseInt does not read its own text back");
        check(parseIntDefault(field, n == 7 ? 8 : 7) == n, "parseIntDefault disagrees with parseInt");
    } catch (const EConvertError&) {
        check(parseIntDefault(field, 12345) == 12345, "parseIntDefault accepts what parseInt refuses");
    }
}

void checkRecord(const std::string& line, std::string_view sep) {
    const std::vector<std::string> fields = splitFields(line, sep);
    check(fields.size() == countOf(line, sep) + 1, "splitFields field count");
    for (std::size_t k = 0; k < fields.size(); ++k) {
        check(utf8Characters(fields[k]) <= kMaxFieldLength, "splitFields keeps a field longer than 30 characters");
        const std::string whole = extractField(line, sep, static_cast<int>(k + 1));
        check(whole.starts_with(fields[k]), "extractField and splitFields disagree on field " + std::to_string(k + 1));
        if (k < 8) checkNumber(whole);
    }
    check(extractField(line, sep, static_cast<int>(fields.size() + 1)).empty(), "a field past the last one");
    try {
        parseFloatField(line, sep, 2, "F.txt", 6);
    } catch (const EConvertError& e) {
        const TDiagnostic& d = e.diagnostic();
        check(d.code() == Code::FieldNotANumber && d.value("file") == "F.txt" && d.value("line") == "7" &&
                  d.value("field") == "2",
              "parseFloatField does not name the place");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::filesystem::path file = freshScratchFolder() / "A.txt";
    writeFile(file, bytes);

    const std::string body = bytes.starts_with("\xEF\xBB\xBF") ? bytes.substr(3) : bytes;
    const std::string utf8 = cp1251ToUtf8(body);
    check(isValidUtf8(utf8), "cp1251ToUtf8 gives invalid UTF-8");
    std::string expected = body;
    for (char& c : expected) {
        if (c == '\x98') c = '?';  // the code page's one unassigned byte
    }
    check(utf8ToCp1251(utf8) == expected, "Windows-1251 does not survive a trip through UTF-8");
    (void)utf8ToCp1251(bytes);  // anything, valid UTF-8 or not

    const std::vector<std::string> lines = readTextLines(file);
    check(lines == splitLines(utf8), "readTextLines differs from splitLines of the decoded text");
    const std::vector<std::string> mixed = readTextLines(file, TextEncoding::Utf8OrWindows1251);
    check(mixed == (isValidUtf8(body) ? splitLines(body) : lines), "readTextLines of a hand-edited file");

    for (std::size_t i = 0; i < lines.size() && i < 40; ++i) {
        const std::string& line = lines[i];
        check(line.find('\n') == std::string::npos, "a line keeps its end");
        checkRecord(line, "|");
        if (i < 4) checkRecord(line, ",");
        const std::string_view head = firstCharacters(line, 20);
        check(line.starts_with(head) && utf8Characters(head) <= 20, "firstCharacters");
    }
    return 0;
}
