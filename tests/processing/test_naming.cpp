#include <gtest/gtest.h>

#include <fstream>

#include "TempDir.h"
#include "astro/uExceptions.h"
#include "processing/uNaming.h"

namespace orbis {
namespace {

void touch(const std::filesystem::path& p) { std::ofstream(p) << "x"; }

TEST(Naming, NightClipAndEventNamesOfAnEvent) {
    const TDateTime t = encodeDateTime({2023, 12, 14, 21, 30, 45, 120});
    EXPECT_EQ(nightDirectory("/srv/station", t), "/srv/station/20231214");
    EXPECT_EQ(nightDirectory("/srv/station/", t), "/srv/station/20231214");
    EXPECT_EQ(eventClipPath("/srv/station/20231214", t), "/srv/station/20231214/213045_120.avi");
    EXPECT_EQ(clipName(encodeDateTime({2023, 12, 15, 0, 0, 5, 7})), "000005_007");

    const std::string event = eventDirectoryForClip("/srv/station/20231214", "213045_120.avi");
    EXPECT_EQ(event, "/srv/station/20231214/213045_120");
    EXPECT_EQ(eventDirectoryForClip("/n", "213045_120.part.avi"), "/n/213045_120");  // up to the first "."
    const std::string stem = workFileStem("/srv/station/20231214", event);
    EXPECT_EQ(stem, "/srv/station/20231214/213045_120/M213045_120");
    EXPECT_EQ(stem + std::string(workSuffix::kProcessedBitmap), event + "/M213045_120P.bmp");
    EXPECT_EQ(stem + std::string(workSuffix::kAstrometry), event + "/M213045_120A.txt");
    EXPECT_EQ(trackFileName(event), event + "/MeteorTrack.txt");
    // An event directory outside the night directory still yields its own name.
    EXPECT_EQ(workFileStem("/elsewhere", "/a/b/213045_120/"), "/a/b/213045_120/M213045_120");
}

TEST(Naming, FrameFilesAreFAndThreeDigitsOnly) {
    EXPECT_EQ(frameFileName("/e", 1), "/e/F001.bmp");
    EXPECT_EQ(frameFileName("/e", 999), "/e/F999.bmp");
    EXPECT_EQ(frameFileName("/e", 1000), "/e/F1000.bmp");
    EXPECT_TRUE(isFrameFileName("F001.bmp"));
    EXPECT_TRUE(isFrameFileName("F999.bmp"));
    EXPECT_FALSE(isFrameFileName("F1000.bmp"));
    EXPECT_FALSE(isFrameFileName("f001.bmp"));
    EXPECT_FALSE(isFrameFileName("F01.bmp"));
}

TEST(Naming, DerivedWorkFilesCutTheirTails) {
    EXPECT_EQ(starListOfBitmap("/e/M213045_120P.bmp"), "/e/M213045_120P.txt");
    EXPECT_EQ(siblingWorkFile("/e/M213045_120P.txt", workSuffix::kIdentifiedStars), "/e/M213045_120S.txt");
    EXPECT_EQ(siblingWorkFile("/e/M213045_120R.bmp", workSuffix::kAstrometry), "/e/M213045_120A.txt");
    EXPECT_EQ(siblingWorkFile("ab", "S.txt"), "S.txt");  // never cuts before the start
}

TEST(TimeFromFileName, ReadsNightAndEventNamesAndAppliesTheTimeZone) {
    const std::string path = "/station/20231214/213045_120/M213045_120P.txt";
    const DateTimeParts local = decodeDateTime(timeFromFileName(path, 0));
    EXPECT_EQ(local.year, 2023);
    EXPECT_EQ(local.month, 12);
    EXPECT_EQ(local.day, 14);
    EXPECT_EQ(local.hour, 21);
    EXPECT_EQ(local.minute, 30);
    EXPECT_EQ(local.second, 45);
    EXPECT_EQ(local.millisecond, 120);
    // UT = local - timeZone; three hours east of Greenwich crosses no date here,
    // a local time after midnight goes back to the previous UT day.
    const DateTimeParts ut = decodeDateTime(timeFromFileName("20240101/013000_000/M013000_000A.txt", 3));
    EXPECT_EQ(ut.year, 2023);
    EXPECT_EQ(ut.month, 12);
    EXPECT_EQ(ut.day, 31);
    EXPECT_EQ(ut.hour, 22);
    EXPECT_EQ(ut.minute, 30);
}

TEST(TimeFromFileName, AClipsNameGivesItsStartOrNothing) {
    EXPECT_EQ(*clipStartTime("/x/20231214/213045_120.avi"), encodeDateTime({2023, 12, 14, 21, 30, 45, 120}));
    for (const char* other : {"/x/20231214/sky.avi", "/x/night/213045_120.avi", "/x/20231232/213045_120.avi",
                              "/x/20231214/21304-_120.avi"})
        EXPECT_FALSE(clipStartTime(other).has_value()) << other;
}

TEST(TimeFromFileName, BadNamesRaiseConversionErrors) {
    EXPECT_THROW(timeFromFileName("short/M1P.txt", 0), EConvertError);
    EXPECT_THROW(timeFromFileName("/x/2023121a/213045_120/M213045_120P.txt", 0), EConvertError);
    EXPECT_THROW(timeFromFileName("/x/20230230/213045_120/M213045_120P.txt", 0), EConvertError);  // 30 February
    EXPECT_THROW(timeFromFileName("/x/20231214/253045_120/M253045_120P.txt", 0), EConvertError);
    EXPECT_THROW(timeFromFileName("/x/20231214/21-045_120/M21-045_120P.txt", 0), EConvertError);
    EXPECT_THROW(timeFromFileName("/x/2023 214/213045_120/M213045_120P.txt", 0), EConvertError);  // no blank
    EXPECT_THROW(timeFromFileName("/x/20231214/+13045_120/M+13045_120P.txt", 0), EConvertError);  // no sign
}

TEST(TimeFromFileName, ReadsBackTheTimeTheNamesWereMadeFrom) {
    // The fixed tail it drops is exactly what workFileStem and a tagged
    // work-file suffix add after the event directory's name.
    const TDateTime t = encodeDateTime({2024, 8, 12, 23, 59, 58, 987});
    const std::string night = nightDirectory("/srv/station", t);
    const std::string event = eventDirectoryForClip(night, eventClipPath(night, t));
    for (std::string_view suffix : {workSuffix::kProcessedStars, workSuffix::kAstrometry, workSuffix::kResultBitmap}) {
        const std::string path = workFileStem(night, event) + std::string(suffix);
        EXPECT_NEAR(timeFromFileName(path, 0), t, 0.5 / 86400000.0) << path;
        EXPECT_NEAR(timeFromFileName(path, -5), t + 5 / 24.0, 0.5 / 86400000.0) << path;
    }
}

TEST(Naming, RelativeSettingsLiveInTheProgramDirectory) {
    EXPECT_EQ(resolveInProgramDirectory("/opt/orb", "catalog"), "/opt/orb/catalog");
    EXPECT_EQ(resolveInProgramDirectory("/opt/orb", "/data/cat"), "/data/cat");
    EXPECT_FALSE(executableDirectory().empty());
    EXPECT_TRUE(std::filesystem::is_directory(executableDirectory()));
}

TEST(Masks, WildcardsInEitherCase) {
    EXPECT_TRUE(matchesMask("213045_120.avi", "*.avi"));
    EXPECT_TRUE(matchesMask("213045_120.AVI", "*.avi"));
    EXPECT_FALSE(matchesMask("213045_120.avi.txt", "*.avi"));
    EXPECT_TRUE(matchesMask("noext", "*.*"));
    EXPECT_TRUE(matchesMask("F001.bmp", "F???.bmp"));
    EXPECT_FALSE(matchesMask("F1000.bmp", "F???.bmp"));
    EXPECT_TRUE(matchesMask("abcabd", "*ab?"));
    EXPECT_FALSE(matchesMask("abc", "a*d"));
}

TEST(ListDirectory, BareSortedNamesOfOneKind) {
    test::TempDir dir;
    for (const char* f : {"b.avi", "A.avi", "c.AVI", "notes.txt", "Ёлка.avi", "ель.avi", "Жук.avi"}) touch(dir / f);
    for (const char* d : {"20231215", "20231214", "x.avi"}) std::filesystem::create_directory(dir / d);

    const auto clips = listDirectory(dir.str(), "*.avi", ListKind::Files);
    ASSERT_EQ(clips.size(), 6u);
    EXPECT_EQ(clips[0], "A.avi");
    EXPECT_EQ(clips[1], "b.avi");
    EXPECT_EQ(clips[2], "c.AVI");
    // Cyrillic names after Latin ones, compared without case.
    const auto firstCyrillic = std::find(clips.begin(), clips.end(), "ель.avi");
    const auto zhuk = std::find(clips.begin(), clips.end(), "Жук.avi");
    EXPECT_LT(firstCyrillic, zhuk);

    EXPECT_EQ(listDirectory(dir.str(), "*.*", ListKind::Directories),
              (std::vector<std::string>{"20231214", "20231215", "x.avi"}));
    EXPECT_TRUE(listDirectory(dir.str() + "/missing", "*.*", ListKind::Files).empty());
}

TEST(ListDirectory, NamesEqualButForCaseKeepAFixedOrder) {
    std::vector<std::string> a = {"b", "B", "a", "A"};
    std::vector<std::string> b = {"A", "a", "B", "b"};
    sortNames(a);
    sortNames(b);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a[0].front() == 'a' || a[0].front() == 'A', true);
    EXPECT_TRUE(a[2] == "B" || a[2] == "b");
}

TEST(EnsureDirectory, CreatesParentsAndReportsFailure) {
    test::TempDir dir;
    const std::string night = (dir / "a" / "20231214").string();
    ensureDirectory(night);
    EXPECT_TRUE(std::filesystem::is_directory(night));
    ensureDirectory(night);  // already there
    touch(dir / "file");
    EXPECT_THROW(ensureDirectory((dir / "file" / "sub").string()), EInOutError);
    EXPECT_THROW(ensureDirectory((dir / "file").string()), EInOutError);
}

}  // namespace
}  // namespace orbis
