// The command line's progress: a self-rewriting line on a terminal, plain
// lines in a log.

#include <gtest/gtest.h>

#include <sstream>

#include "app/cli/uCliNotifier.h"

namespace orbis {
namespace {

void runSteps(CliNotifier& n) {
    n.status("Выделение звёзд");
    n.status("Выделение звёзд");  // the same caption again
    n.progressShow(8);
    for (int i = 1; i <= 8; ++i) n.progressPosition(i);
    n.progressHide();
    n.message("Orbisight", "Готово", MessageIcon::Warning);
}

TEST(CliNotifier, ALogGetsPlainLinesEachQuarterAndNoControlCharacters) {
    std::ostringstream log;
    CliNotifier n(log, false);
    runSteps(n);
    EXPECT_EQ(log.str(),
              "Выделение звёзд\n"
              "Выделение звёзд 1/8 (12%)\n"
              "Выделение звёзд 2/8 (25%)\n"
              "Выделение звёзд 4/8 (50%)\n"
              "Выделение звёзд 6/8 (75%)\n"
              "Выделение звёзд 8/8 (100%)\n"
              "Orbisight (warning): Готово\n");
    EXPECT_EQ(n.problemsShown(), 1);
}

TEST(CliNotifier, ATerminalLineRewritesItselfAndIsClosedBeforeAMessage) {
    std::ostringstream term;
    CliNotifier n(term, true);
    runSteps(n);
    const std::string out = term.str();
    EXPECT_EQ(out.find('\n'), out.find("\nOrbisight (warning): Готово\n"));  // one line until the message
    EXPECT_NE(out.find("\rВыделение звёзд 8/8 (100%)\x1b[K"), std::string::npos);
    // Not knowing the stream, the notifier takes it for a log.
    std::ostringstream other;
    CliNotifier plain(other);
    plain.status("x");
    EXPECT_EQ(other.str(), "x\n");
}

}  // namespace
}  // namespace orbis
