#pragma once
// Text and number helpers through which every work file, catalog and report
// is read and written: the pipe-record readers, the tolerant number parser,
// number formatting, the decimal separator of the user's locale, the
// Windows-1251 text files the station exchanges with its peers, and a few
// small integer helpers.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "astro/uDateTime.h"

namespace orbis {

// ---------------------------------------------------------------------------
// Format settings

// The user's number conventions. One object for the whole program: filled
// from the locale (LC_NUMERIC) once at program start, set directly by tests.
struct FormatSettings {
    char decimalSeparator = '.';
};

// The program's format settings.
FormatSettings& formatSettings();

// Fills formatSettings() from the user's locale (LC_NUMERIC of the
// environment). A locale whose separator is not a single byte keeps ".".
void loadFormatSettingsFromLocale();

// ---------------------------------------------------------------------------
// Numbers

// Reads a real number. Text that holds a "." anywhere is read with "." as
// decimal separator, any other text with the locale's separator. Blanks
// around the number are allowed. Anything else, the empty text included,
// raises EConvertError.
double parseFloat(std::string_view text);

// Reads a decimal integer (optional sign, digits, blanks around). Raises
// EConvertError on anything else or on overflow of 32 bits.
int parseInt(std::string_view text);
// As parseInt, but returns fallback instead of raising.
int parseIntDefault(std::string_view text, int fallback);

// Shortest text that reads back to exactly the same double, with "." as
// decimal separator: the form numbers take in work files.
std::string floatToText(double value);

// Formats a number by a picture pattern in the manner of the system's
// reports and INI file: "0.0000", "0.00", "0.000", "##0", "0.0%",
// "0.00000000E+00". '0' is a digit that is always shown, '#' one shown only
// when significant, '.' the decimal separator, "E+"/"E-" start an exponent,
// '%' is a literal sign written after the number (the value is not scaled:
// a scale of 1.5 is shown as formatFloat("0.0%", 1.5 * 100)). Rounding is
// half away from zero on the value's 15-significant-digit decimal form; a
// value that rounds to zero has no sign.
std::string formatFloat(std::string_view pattern, double value, char decimalSeparator);
// The same with the separator of formatSettings().
std::string formatFloat(std::string_view pattern, double value);

// a divided by b, truncated toward zero. b = 0 raises EZeroDivide.
int intDiv(int a, int b);
// a - b * intDiv(a, b).
int intMod(int a, int b);

// ---------------------------------------------------------------------------
// Pipe records

// Field k (from 1) of a record whose fields are separated by sep (which may
// be longer than one character). A missing field is the empty text.
std::string extractField(std::string_view record, std::string_view sep, int k);

// All fields of a record; each cut to its first 30 characters. The count is
// the number of separators plus one.
std::vector<std::string> splitFields(std::string_view record, std::string_view sep);

// Longest field splitFields keeps.
inline constexpr std::size_t kMaxFieldLength = 30;

// The first n characters of a UTF-8 text (never cuts a character in two).
std::string_view firstCharacters(std::string_view text, std::size_t n);

// Field k of a record as a number (parseFloat). A field that is not a number
// raises EConvertError naming the file, the line (lineIndex counts from 0)
// and the field, so the observer can find it.
double parseFloatField(std::string_view record, std::string_view sep, int k, const std::string& fileName,
                       std::size_t lineIndex);

// ---------------------------------------------------------------------------
// Windows-1251 text

// Converts UTF-8 to Windows-1251. A character the code page lacks, or a
// byte that is not valid UTF-8, becomes "?".
std::string utf8ToCp1251(std::string_view utf8);
// Converts Windows-1251 to UTF-8. The one unassigned byte 0x98 becomes "?".
std::string cp1251ToUtf8(std::string_view cp1251);
// True when the bytes are well-formed UTF-8.
bool isValidUtf8(std::string_view bytes);

enum class TextEncoding {
    Windows1251,          // the station's files
    Utf8OrWindows1251,    // hand-edited files: UTF-8 when the bytes are valid UTF-8
};

// Reads a whole file as bytes. Raises EInOutError when it cannot be read.
std::string readFileBytes(const std::filesystem::path& path);

// Reads a text file into UTF-8 lines. Lines may end in CR LF or LF; a last
// line without an end is kept, a final empty line is not added. A UTF-8 byte
// order mark is dropped. Raises EInOutError when the file cannot be read.
std::vector<std::string> readTextLines(const std::filesystem::path& path,
                                       TextEncoding encoding = TextEncoding::Windows1251);

// Splits decoded text into lines as readTextLines does.
std::vector<std::string> splitLines(std::string_view text);

// Writes UTF-8 lines as a Windows-1251 file, every line ended by CR LF.
// The file is replaced whole or not at all (see writeFileAtomically).
void writeTextLines(const std::filesystem::path& path, std::span<const std::string> lines);

// Replaces the file with the given bytes: writes a temporary file beside it,
// flushes it to disk and renames it over the target, so a failure (full disk,
// power cut) leaves either the old file or the new one, never a truncated
// one. Raises EInOutError with the path and the reason on failure.
void writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);

}  // namespace orbis
