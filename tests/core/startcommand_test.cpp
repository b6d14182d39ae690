// The window program's command line, read before the window toolkit starts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/startcommand.h"

namespace orvex::test {
namespace {

TEST(StartCommand, OptionsNamesAndTheToolkitsOwnOptions)
{
    using Action = StartCommand::Action;
    const struct {
        std::vector<std::string> words;
        Action action;
        std::string network;
        bool dde, splash;
        std::string error;
    } cases[] = {
        {{}, Action::Start, "", false, true, ""},
        {{"net.vad", "-h"}, Action::Help, "net.vad", false, true, ""},
        {{"--version", "net.vad"}, Action::Version, "", false, true, ""},
        {{"--no-splash", "net.vad", "other.vad"}, Action::Start, "net.vad", false, false, ""},
        {{"/dde"}, Action::Start, "", true, false, ""},
        {{"\"my mine.vad\""}, Action::Start, "\"my mine.vad\"", false, true, ""},
        {{"--helpme"}, Action::Refuse, "", false, true, "unknown option --helpme"},
        {{"net.vad", "--no-splash=1"}, Action::Refuse, "net.vad", false, true, "unknown option --no-splash=1"},
        {{"--", "--help.vad"}, Action::Start, "--help.vad", false, true, ""},
        {{"-mine.vad"}, Action::Start, "-mine.vad", false, true, ""},
        {{"-platform", "offscreen", "--style", "fusion", "-reverse", "net.vad"}, Action::Start, "net.vad", false, true, ""},
        {{"--stylesheet=a.qss", "net.vad", "-style"}, Action::Start, "net.vad", false, true, ""},
        {{"--reverse=1"}, Action::Refuse, "", false, true, "unknown option --reverse=1"},
    };
    for (const auto& c : cases) {
        std::string line;
        for (const std::string& w : c.words)
            line += w + " ";
        SCOPED_TRACE(line);
        const StartCommand command = parseStartCommand(c.words);
        EXPECT_EQ(command.action, c.action);
        EXPECT_EQ(command.network, c.network);
        EXPECT_EQ(command.dde, c.dde);
        EXPECT_EQ(command.splash, c.splash);
        EXPECT_EQ(command.error, c.error);
    }
}

}  // namespace
}  // namespace orvex::test
