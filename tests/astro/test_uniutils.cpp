#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "DiagnosticTesting.h"
#include "SeparatorScope.h"
#include "TempDir.h"
#include "astro/uExceptions.h"
#include "astro/uUniUtils.h"

namespace orbis {
namespace {

using test::SeparatorScope;

TEST(ParseFloat, PointIsAlwaysReadLocaleSeparatorOnlyWithoutPoint) {
    {
        SeparatorScope comma(',');
        EXPECT_DOUBLE_EQ(parseFloat("52.43"), 52.43);
        EXPECT_DOUBLE_EQ(parseFloat("52,43"), 52.43);
        EXPECT_DOUBLE_EQ(parseFloat("5"), 5.0);
        EXPECT_THROW(parseFloat("1,234.5"), EConvertError);  // a point makes "," a stray character
    }
    {
        SeparatorScope point('.');
        EXPECT_DOUBLE_EQ(parseFloat("5"), 5.0);
        EXPECT_THROW(parseFloat("5,5"), EConvertError);
    }
}

TEST(ParseFloat, AcceptsSignsExponentsAndBlanksRejectsEverythingElse) {
    SeparatorScope point('.');
    EXPECT_DOUBLE_EQ(parseFloat("-1.23000000E-04"), -1.23e-4);
    EXPECT_DOUBLE_EQ(parseFloat("+7e2"), 700.0);
    EXPECT_DOUBLE_EQ(parseFloat(".5"), 0.5);
    EXPECT_DOUBLE_EQ(parseFloat("3."), 3.0);
    EXPECT_DOUBLE_EQ(parseFloat("  101.287083 "), 101.287083);
    for (const char* bad : {"", " ", "-", ".", "abc", "1e", "1e+", "0x10", "inf", "nan", "1.2.3", "12a", "1e999",
                            "--1", "1 2"}) {
        EXPECT_THROW(parseFloat(bad), EConvertError) << '"' << bad << '"';
    }
}

TEST(ParseInt, StrictDecimalWithinThirtyTwoBits) {
    EXPECT_EQ(parseInt("480"), 480);
    EXPECT_EQ(parseInt(" -12 "), -12);
    EXPECT_EQ(parseInt("-2147483648"), -2147483648LL);
    EXPECT_THROW(parseInt("2147483648"), EConvertError);
    EXPECT_THROW(parseInt("abc"), EConvertError);
    EXPECT_THROW(parseInt("1.5"), EConvertError);
    EXPECT_EQ(parseIntDefault("yes", 7), 7);
}

TEST(FloatToText, ShortestRoundTripWithPoint) {
    SeparatorScope comma(',');
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-300, 300);
    for (int i = 0; i < 2000; ++i) {
        const double v = std::ldexp(mantissa(rng), exponent(rng));
        const std::string text = floatToText(v);
        EXPECT_EQ(text.find(','), std::string::npos);
        EXPECT_EQ(parseFloat(text), v) << text;
    }
    EXPECT_EQ(floatToText(52.43), "52.43");
    EXPECT_EQ(floatToText(-3.0), "-3");
}

TEST(FormatFloat, PatternsOfTheStation) {
    EXPECT_EQ(formatFloat("0.0000", 52.43, '.'), "52.4300");
    EXPECT_EQ(formatFloat("0.0000", 52.43, ','), "52,4300");
    EXPECT_EQ(formatFloat("0.00", 3.0, '.'), "3.00");
    EXPECT_EQ(formatFloat("0.00", -90.0, '.'), "-90.00");
    EXPECT_EQ(formatFloat("0.000", 0.0005, '.'), "0.001");  // half away from zero
    EXPECT_EQ(formatFloat("0.00", 2.675, '.'), "2.68");     // on the 15-digit decimal form
    EXPECT_EQ(formatFloat("0.00", 9.999, '.'), "10.00");
    EXPECT_EQ(formatFloat("0.00", -0.001, '.'), "0.00");     // no "-0.00"
    EXPECT_EQ(formatFloat("0.00000000E+00", 1.0, '.'), "1.00000000E+00");
    EXPECT_EQ(formatFloat("0.00000000E+00", -0.000123, '.'), "-1.23000000E-04");
    EXPECT_EQ(formatFloat("0.00000000E+00", 0.0, '.'), "0.00000000E+00");
    EXPECT_EQ(formatFloat("0.00000000E+00", 9.9999999996, '.'), "1.00000000E+01");
    EXPECT_EQ(formatFloat("0.00000000E+00", 1.5e-120, ','), "1,50000000E-120");
    EXPECT_EQ(formatFloat("0.0%", 0.1234 * 100, '.'), "12.3%");  // the sign only: the caller scales
    EXPECT_EQ(formatFloat("##0", 7.5, '.'), "8");
    EXPECT_EQ(formatFloat("##0", 0.2, '.'), "0");
    EXPECT_EQ(formatFloat("##0", 1234.4, '.'), "1234");
    EXPECT_EQ(formatFloat("0.0000", 1e-7, '.'), "0.0000");
    EXPECT_EQ(formatFloat("0.0", 0.05, '.'), "0.1");    // carry out of nothing
    EXPECT_EQ(formatFloat("0.00", 0.0096, '.'), "0.01");
    EXPECT_EQ(formatFloat("##0", 0.5, '.'), "1");
    EXPECT_EQ(formatFloat("0.0000", 123456789012.0, '.'), "123456789012.0000");
}

TEST(FormatFloat, ReadsBackToThePatternsPrecision) {
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> value(-1000.0, 1000.0);
    for (int i = 0; i < 1000; ++i) {
        const double v = value(rng);
        EXPECT_NEAR(parseFloat(formatFloat("0.0000", v, '.')), v, 0.5e-4 + 1e-12);
        const double e = parseFloat(formatFloat("0.00000000E+00", v, '.'));
        EXPECT_NEAR(e, v, std::fabs(v) * 0.5e-8 + 1e-300);
    }
}

TEST(FormatFloat, NumbersNextToTheLargestDoubleStillReadBack) {
    // Rounded up to 15 digits, the largest double would be 1.79769313486232e308,
    // which no double holds: the settings file would not load after a save.
    const double largest = std::numeric_limits<double>::max();
    EXPECT_EQ(formatFloat("0.00000000E+00", largest, '.'), "1.79769313E+308");
    EXPECT_EQ(formatFloat("0.0E+00", -largest, '.'), "-1.7E+308");
    const std::string fixed = formatFloat("0.000", largest, '.');
    EXPECT_EQ(fixed.substr(0, 16), "1797693134862310");
    for (const char* pattern : {"0.000", "##0", "0.0E+00", "0.00000000E+00"}) {
        for (double v : {largest, -largest, 1.7976931348623e308, 1.79769313486231e308}) {
            const double back = parseFloat(formatFloat(pattern, v, '.'));
            EXPECT_NEAR(back / v, 1.0, 0.06) << pattern << " " << v;
        }
    }
    EXPECT_EQ(formatFloat("0.00000000E+00", 1.5e308, '.'), "1.50000000E+308");  // far enough: rounded as ever
}

TEST(IntDivMod, TruncateTowardZero) {
    EXPECT_EQ(intDiv(-7, 2), -3);
    EXPECT_EQ(intMod(-7, 2), -1);
    EXPECT_EQ(intDiv(7, -2), -3);
    EXPECT_EQ(intMod(7, -2), 1);
    EXPECT_EQ(intDiv(6, 3), 2);
    EXPECT_EQ(intMod(6, 3), 0);
    EXPECT_EQ(test::raised<EZeroDivide>([] { intDiv(1, 0); }).code(), Code::IntegerDivisionByZero);
    EXPECT_EQ(test::raised<EIntOverflow>([] { intDiv(-2147483647 - 1, -1); }),
              TDiagnostic(Code::IntegerDivisionOverflow).with("dividend", -2147483647 - 1).with("divisor", -1));
}

// Conversion errors carry the text that did not convert and, read from a
// file, the place: the observer has to find the line.
TEST(ConversionErrors, CarryTheTextAndThePlace) {
    EXPECT_EQ(test::raised<EConvertError>([] { parseFloat("12,5x"); }),
              TDiagnostic(Code::NotAFloat).with("text", "12,5x"));
    EXPECT_EQ(test::raised<EConvertError>([] { parseInt(" 7 7"); }), TDiagnostic(Code::NotAnInteger).with("text", " 7 7"));
    EXPECT_EQ(test::raised<EConvertError>([] { parseFloatField("1|2|x3", "|", 3, "/n/S.txt", 11); }),
              TDiagnostic(Code::FieldNotANumber).with("file", "/n/S.txt").with("line", 12).with("field", 3).with("text", "x3"));
    // A field past the record's end is empty, and empty is no number.
    EXPECT_EQ(test::raised<EConvertError>([] { parseFloatField("1|2", "|", 5, "a.txt", 0); }).value("text"), "");
}

TEST(ExtractField, FieldsNumberedFromOneMissingOnesEmpty) {
    EXPECT_EQ(extractField("12.5|33.1|4", "|", 1), "12.5");
    EXPECT_EQ(extractField("12.5|33.1|4", "|", 3), "4");
    EXPECT_EQ(extractField("12.5|33.1|4", "|", 4), "");
    EXPECT_EQ(extractField("12.5|33.1|4", "|", 9), "");
    EXPECT_EQ(extractField("a||c", "|", 2), "");
    EXPECT_EQ(extractField("whole", "|", 1), "whole");
    EXPECT_EQ(extractField("whole", "|", 2), "");
    EXPECT_EQ(extractField("a<>b<>c", "<>", 2), "b");
    EXPECT_EQ(extractField("a|b|", "|", 3), "");
    EXPECT_EQ(extractField("", "|", 1), "");
}

TEST(SplitFields, CountIsSeparatorsPlusOneFieldsCutAtThirty) {
    EXPECT_EQ(splitFields("", "|"), std::vector<std::string>{""});
    EXPECT_EQ(splitFields("a|", "|"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(splitFields("a||c", "|"), (std::vector<std::string>{"a", "", "c"}));
    const std::string longField(31, 'x');
    EXPECT_EQ(splitFields(longField + "|y", "|")[0], std::string(30, 'x'));
    // Thirty characters, not thirty bytes: a Cyrillic name is not cut in two.
    std::string cyrillic;
    for (int i = 0; i < 31; ++i) cyrillic += "Ж";
    const auto f = splitFields(cyrillic, "|");
    EXPECT_EQ(f[0].size(), 60u);
}

TEST(SplitFields, AgreesWithExtractFieldOnRadiantLines) {
    const std::string line =
        "1,6,April Lyrids,LYR,49,23.8,40.4,32.32,271.0,34.0,0.71,-0.32,18,2.1,IMO2026,MDC:Jenniskens,04-14,04-30,04-22";
    const auto fields = splitFields(line, ",");
    ASSERT_EQ(fields.size(), 19u);
    for (std::size_t k = 0; k < fields.size(); ++k) {
        EXPECT_EQ(fields[k], extractField(line, ",", static_cast<int>(k + 1)));
    }
}

TEST(Cp1251, RoundTripsRussianAndReplacesWhatTheCodePageLacks) {
    const std::string russian = "Ошибка при записи AVI файла!!";
    const std::string bytes = utf8ToCp1251(russian);
    EXPECT_EQ(bytes.size(), std::strlen("Ошибка при записи AVI файла!!") - 20);  // 20 Cyrillic letters, 2 bytes each in UTF-8
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xCE);                    // "О"
    EXPECT_EQ(cp1251ToUtf8(bytes), russian);
    EXPECT_EQ(utf8ToCp1251("a\xE4\xB8\xAD" "b"), "a?b");  // a Chinese character
    EXPECT_EQ(utf8ToCp1251("a\xFF" "b"), "a?b");          // not UTF-8 at all
    EXPECT_EQ(cp1251ToUtf8("a\x98" "b"), "a?b");          // the unassigned byte
    std::string all;
    for (int c = 0; c < 256; ++c) {
        if (c != 0x98) all += static_cast<char>(c);
    }
    EXPECT_EQ(utf8ToCp1251(cp1251ToUtf8(all)), all);
}

TEST(Utf8Validation, RejectsMalformedSequences) {
    EXPECT_TRUE(isValidUtf8("plain"));
    EXPECT_TRUE(isValidUtf8("Северное"));
    EXPECT_FALSE(isValidUtf8(utf8ToCp1251("Северное")));
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));          // overlong "/"
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80"));  // beyond U+10FFFF
    EXPECT_FALSE(isValidUtf8("\xE2\x82"));          // cut short
}

TEST(TextFiles, WrittenAsWindows1251WithCrLfReadWithEitherLineEnd) {
    test::TempDir dir;
    const auto file = dir / "M213045_120A.txt";
    const std::vector<std::string> lines = {"START|1|2", "Звезда|3.5", ""};
    writeTextLines(file, lines);
    const std::string bytes = readFileBytes(file);
    EXPECT_EQ(bytes, utf8ToCp1251("START|1|2\r\nЗвезда|3.5\r\n\r\n"));
    EXPECT_EQ(readTextLines(file), lines);

    writeFileAtomically(file, "a\nb\r\nc");
    EXPECT_EQ(readTextLines(file), (std::vector<std::string>{"a", "b", "c"}));
    writeFileAtomically(file, "\xEF\xBB\xBF" "x=Ж\n");
    EXPECT_EQ(readTextLines(file, TextEncoding::Utf8OrWindows1251), std::vector<std::string>{"x=Ж"});
    EXPECT_EQ(test::raised<EInOutError>([&] { readTextLines(dir / "missing.txt"); }).value("file"),
              (dir / "missing.txt").string());
}

TEST(TextFiles, ReadWholeWhateverTheSizeTheSystemTells) {
    test::TempDir dir;
    // Bytes of every value, beyond any stream buffer, and no bytes at all.
    std::string big(3'000'001, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 7919) % 256);
    writeFileAtomically(dir / "big.bin", big);
    EXPECT_EQ(readFileBytes(dir / "big.bin"), big);
    writeFileAtomically(dir / "empty.bin", "");
    EXPECT_EQ(readFileBytes(dir / "empty.bin"), "");
    // A file the system sizes 0 however much it holds.
    EXPECT_NE(readFileBytes("/proc/self/status").find("Name:"), std::string::npos);
}

TEST(TextFiles, FailedWriteLeavesTheOldFileAndNoLitter) {
    test::TempDir dir;
    const auto file = dir / "keep.txt";
    writeFileAtomically(file, "old");
    // A directory in the way of the rename: the write must fail cleanly.
    const auto blocked = dir / "blocked";
    std::filesystem::create_directory(blocked);
    std::filesystem::create_directory(blocked / "inner");
    const TDiagnostic renamed = test::raised<EInOutError>([&] { writeFileAtomically(blocked, "new"); });
    EXPECT_EQ(renamed.code(), Code::FileNotWritten);
    EXPECT_EQ(renamed.value("file"), blocked.string());
    EXPECT_EQ(renamed.value("step"), "rename");
    EXPECT_FALSE(renamed.value("reason").empty());
    EXPECT_EQ(test::raised<EInOutError>([&] { writeFileAtomically(dir / "no-such-dir" / "x.txt", "new"); }).value("step"),
              "create");
    EXPECT_EQ(readFileBytes(file), "old");
    int entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 2);  // keep.txt and blocked, no temporary files
}

TEST(FormatSettings, LocaleLoadingKeepsASingleByteSeparator) {
    SeparatorScope restore('.');
    loadFormatSettingsFromLocale();
    const char sep = formatSettings().decimalSeparator;
    EXPECT_TRUE(sep == '.' || sep == ',') << sep;
}

}  // namespace
}  // namespace orbis
