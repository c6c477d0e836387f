#include <gtest/gtest.h>

#include <random>

#include "DiagnosticTesting.h"
#include "astro/uDateTime.h"
#include "astro/uExceptions.h"

namespace orbis {
namespace {

TEST(DateTime, CountsDaysFrom18991230) {
    EXPECT_EQ(encodeDateTime({1899, 12, 30, 0, 0, 0, 0}), 0.0);
    EXPECT_EQ(encodeDateTime({1900, 1, 1, 0, 0, 0, 0}), 2.0);
    EXPECT_EQ(encodeDateTime({2000, 1, 1, 12, 0, 0, 0}), 36526.5);
    EXPECT_EQ(test::raised<EConvertError>([] { encodeDateTime({2023, 2, 29, 0, 0, 0, 0}); }),
              TDiagnostic(Code::DateTimeInvalid).with("date", "2023-02-29 00:00:00.000"));
    EXPECT_NO_THROW(encodeDateTime({2024, 2, 29, 0, 0, 0, 0}));
    EXPECT_THROW(encodeDateTime({2023, 13, 1, 0, 0, 0, 0}), EConvertError);
    EXPECT_THROW(encodeDateTime({2023, 1, 1, 24, 0, 0, 0}), EConvertError);
}

TEST(DateTime, DecodeInvertsEncodeToTheMillisecond) {
    std::mt19937 rng(3);
    for (int i = 0; i < 5000; ++i) {
        DateTimeParts p{static_cast<int>(rng() % 200) + 1900, static_cast<int>(rng() % 12) + 1,
                        static_cast<int>(rng() % 28) + 1, static_cast<int>(rng() % 24),
                        static_cast<int>(rng() % 60), static_cast<int>(rng() % 60),
                        static_cast<int>(rng() % 1000)};
        const DateTimeParts q = decodeDateTime(encodeDateTime(p));
        ASSERT_EQ(q.year, p.year);
        ASSERT_EQ(q.month, p.month);
        ASSERT_EQ(q.day, p.day);
        ASSERT_EQ(q.hour, p.hour);
        ASSERT_EQ(q.minute, p.minute);
        ASSERT_EQ(q.second, p.second);
        ASSERT_EQ(q.millisecond, p.millisecond);
    }
}

TEST(DateTime, FormatsTheStationsNames) {
    const TDateTime t = encodeDateTime({2023, 12, 14, 21, 30, 45, 120});
    EXPECT_EQ(formatDateTime("yyyymmdd", t), "20231214");
    EXPECT_EQ(formatDateTime("hhnnss_zzz", t), "213045_120");
    EXPECT_EQ(formatDateTime("dd.mm.yyyy hh:nn", encodeDateTime({2024, 1, 2, 3, 4, 5, 6})), "02.01.2024 03:04");
    const TDateTime now = nowLocal();
    EXPECT_GT(now, encodeDateTime({2020, 1, 1, 0, 0, 0, 0}));
}

}  // namespace
}  // namespace orbis
