// The command line's argument reader.

#include <gtest/gtest.h>

#include "app/cli/uCliArgs.h"

namespace orbis {
namespace {

CliArgs parse(std::vector<std::string> args) { return parseCliArgs(args, {"--station", "--ra"}, {"--help"}); }

TEST(CliArgs, ValuesFlagsAndWordsInAnyOrder) {
    const CliArgs a = parse({"night", "--station=/srv/st", "--ra", "-10.5", "-h", "--", "--odd name"});
    EXPECT_EQ(a.value("--station"), "/srv/st");
    EXPECT_EQ(a.value("--ra"), "-10.5");  // a negative number is a value, not an option
    EXPECT_TRUE(a.has("--help"));
    EXPECT_EQ(a.positional, (std::vector<std::string>{"night", "--odd name"}));
}

TEST(CliArgs, MistakesAreRefusedNotGuessed) {
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"--station"},
                                                {"--station", "--help"},  // the value was forgotten
                                                {"--station", "a", "--station", "b"},
                                                {"--station=a", "--station", "b"},
                                                {"--stations", "a"},
                                                {"--help=yes"}}) {
        EXPECT_THROW(parse(bad), CliUsageError) << bad.front();
    }
}

}  // namespace
}  // namespace orbis
