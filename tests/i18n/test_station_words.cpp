#include <gtest/gtest.h>

#include "app/i18n/uCatalogue.h"

namespace orbis {
namespace {

// The window's Russian for the capture, report and station codes is the
// text the window has always shown, its caption included; English words
// the same values.
TEST(StationWords, RussianTextsAndCaptionsAreTheWindowsOwn) {
    const TCatalogue ru(Language::Russian);
    const TDiagnostic written = TDiagnostic(Code::ExportWritten, Severity::Notice).with("file", "/n/20231214/M20231214.txt");
    EXPECT_EQ(ru.text(written), "Отчёт /n/20231214/M20231214.txt сформирован!");
    EXPECT_EQ(ru.caption(written), "Orbisight 2.0");
    EXPECT_EQ(ru.text(TDiagnostic(Code::CodecAddFailed).with("encoder", "x264")), "Не удается добавить кодек компрессии!");
    EXPECT_EQ(ru.caption(TDiagnostic(Code::CodecAddFailed)), "Orbisight");
    const TDiagnostic registration(Code::TimeStampRegistrationFailed);
    EXPECT_EQ(ru.text(registration), "Ошибка регистрации при ORBVideoFilter!");
    EXPECT_EQ(ru.caption(registration), "Ошибка");
    EXPECT_EQ(ru.text(TDiagnostic(Code::TimeStampMissing).with("plugin", "/p/libgstorbvideofilter.so")),
              "Ошибка! Фильтр отсутствует в системе!\n\nПопробуйте выполнить команду \"gst-inspect-1.0 "
              "/p/libgstorbvideofilter.so\"!");
    EXPECT_EQ(ru.text(TDiagnostic(Code::LabelFilesMissing).with("astrometry", "/e/A.txt").with("picture", "/e/R.bmp")),
              "Отсутствуют необходимые файлы /e/A.txt и/или /e/R.bmp для прорисовки звёздных величин.");
    EXPECT_EQ(ru.text(TDiagnostic(Code::ClipSaveFailed).with("file", "/n/a.avi")), "Ошибка при записи AVI файла!!");
    EXPECT_EQ(ru.text(TDiagnostic(Code::StageBinding)), "Привязка координат");
    EXPECT_EQ(ru.text(TDiagnostic(Code::PhotoPosition).with("event", 1).with("events", 2).with("frame", 3).with("frames", 35)),
              "Метеор 1(2), Кадр 3(35)");
    EXPECT_EQ(ru.text(TDiagnostic(Code::TrackPointLabel).with("x", 10).with("y", 20).with("frame", 4)),
              "X = 10 Y = 20   Кадр: 4");
    EXPECT_EQ(ru.caption(TDiagnostic(Code::ReplaceTrackQuestion)), "Предложить трек");
    // A sentence that wraps another problem keeps the whole of it.
    EXPECT_EQ(ru.text(TDiagnostic(Code::TrackLineRepeated).with("file", "/e/MeteorTrack.txt").with("line", 2).with("tag", "START")),
              "Трек метеора не принят (в файле /e/MeteorTrack.txt, строка 2: вторая строка START): отчёт не сформирован.");
}

TEST(StationWords, EnglishSpeaksTheSameValues) {
    const TCatalogue en(Language::English);
    const TDiagnostic written = TDiagnostic(Code::ExportWrittenWithoutEvents, Severity::Warning)
                                    .with("file", "/n/ME20231214.csv")
                                    .with("count", 3);
    EXPECT_EQ(en.text(written), "The report /n/ME20231214.csv has been written without 3 events whose reports are damaged.");
    EXPECT_EQ(en.caption(written), "Orbisight 2.0");
    EXPECT_EQ(en.text(TDiagnostic(Code::StageExtractingFrames)), "Extracting frames");
    // No Cyrillic in any English sentence of these codes.
    for (Code code : allCodes()) {
        const std::string text = en.text(TDiagnostic(code));
        for (std::size_t i = 0; i + 1 < text.size(); ++i) {
            const auto lead = static_cast<unsigned char>(text[i]);
            EXPECT_FALSE(lead == 0xD0 || lead == 0xD1) << codeName(code) << ": " << text;
            if (lead == 0xD0 || lead == 0xD1) break;
        }
    }
}

}  // namespace
}  // namespace orbis
