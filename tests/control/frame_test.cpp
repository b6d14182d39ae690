// What the main window decides: its commands in each state, the names it is
// handed and dropped, closing every window, and the recent networks.
#include <gtest/gtest.h>

#include <map>

#include "control/frame.h"
#include "control/framerecent.h"

namespace orvex {
namespace {

CommandState stateOf(const FrameState& frame, const std::string& name)
{
    for (const CommandState& c : frameCommandStates(frame))
        if (name == c.name)
            return c;
    ADD_FAILURE() << "no command " << name;
    return {"", false, false};
}

TEST(FrameCommands, EnabledAndCheckedInEachState)
{
    const FrameState none;
    const FrameState empty{true, false, false, false, 1};
    const FrameState loaded{true, false, true, false, 1};
    const FrameState preview{true, true, true, false, 1};
    const FrameState results{true, false, true, true, 2};
    const FrameState compared{true, false, true, false, 1, true};
    const FrameState previewCompared{true, true, true, false, 1, true};
    const FrameState water{true, false, true, false, 1, false, true};
    const FrameState fire{true, false, true, false, 1, false, false, true};
    const struct {
        const char* what;
        FrameState state;
        std::vector<std::string> enabled, disabled, checked;
    } cases[] = {
        {"no window", none, {"open", "importtables", "importdxf", "importinp"},
         {"save", "zoomin", "print", "startprinting", "info", "results", "cascade", "next", "updatetables",
          "exporttables"}, {}},
        {"a window without a network", empty, {"save", "fit", "zoomin", "print", "results", "tile", "updatetables"},
         {"info", "startprinting", "printersetup", "next", "previous", "compare", "scenarios", "calibrate",
          "exporttables", "exportdxf"}, {}},
        {"a network", loaded, {"open", "saveas", "analysis", "info", "exportplan", "compare", "scenarios",
                               "calibrate", "exporttables", "exportdxf"},
         {"startprinting", "clearcompare", "exportinp"}, {}},
        {"a water network", water, {"exporttables", "exportdxf", "exportinp"}, {"escape"}, {}},
        {"after a fire run", fire, {"escape"}, {}, {}},
        {"a comparison shown", compared, {"compare", "scenarios", "clearcompare"}, {}, {}},
        {"a comparison behind the page preview", previewCompared, {}, {"compare", "scenarios", "calibrate", "clearcompare"},
         {"print"}},
        {"page preview", preview,
         {"zoomin", "zoomout", "print", "exportplan", "startprinting", "printersetup", "results"},
         {"open", "save", "saveas", "displaysetting", "fit", "update", "analysis", "parameter", "fancurve",
          "info", "updatetables"},
         {"print"}},
        {"results shown, two windows", results, {"next", "previous", "results"}, {}, {"results"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const std::string& name : c.enabled)
            EXPECT_TRUE(stateOf(c.state, name).enabled) << name;
        for (const std::string& name : c.disabled)
            EXPECT_FALSE(stateOf(c.state, name).enabled) << name;
        for (const CommandState& s : frameCommandStates(c.state)) {
            const bool checked = std::find(c.checked.begin(), c.checked.end(), s.name) != c.checked.end();
            EXPECT_EQ(s.checked, checked) << s.name;
        }
    }
    EXPECT_NE(openCommandText(none), openCommandText(loaded));
    EXPECT_NE(zoomTips(loaded)[0].tip, zoomTips(preview)[0].tip);
}

TEST(FrameNames, QuotedAndDroppedNames)
{
    const std::pair<const char*, const char*> quoted[] = {
        {"\"a b.vad\"", "a b.vad"}, {"x \"a b.vad\" y", "a b.vad"}, {"plain.vad", "plain.vad"},
        {"\"open.vad", "open.vad"}, {"", ""}};
    for (const auto& [given, name] : quoted)
        EXPECT_EQ(unquotedName(given), name) << given;
    const std::pair<const char*, bool> dropped[] = {
        {"/n/mine.vad", true}, {"/n/MINE.VAD", true}, {"/n/mine.Vad", true}, {"/n/notes.txt", false},
        {"/n/mine.vad.txt", false}, {"vad", false}, {".vad", true}};
    for (const auto& [path, network] : dropped)
        EXPECT_EQ(isNetworkFileName(path), network) << path;
}

// Windows that answer from a script and record what was asked and closed.
struct ScriptedWindows : FrameWindows {
    std::vector<std::string> open;
    int active = -1;
    std::map<std::string, Answer> answers;  // No when not given
    std::vector<std::string> asked;

    int windowCount() const override { return int(open.size()); }
    int activeWindow() const override { return active; }
    Answer askClose(int w) override
    {
        asked.push_back(open[std::size_t(w)]);
        const auto a = answers.find(open[std::size_t(w)]);
        return a == answers.end() ? Answer::No : a->second;
    }
    void closeWindow(int w) override
    {
        open.erase(open.begin() + w);
        active = -1;
    }
};

TEST(FrameClosing, ActiveFirstThenInOrderUntilCancel)
{
    const struct {
        int active;
        std::map<std::string, Answer> answers;
        bool closed;
        std::vector<std::string> asked, left;
    } cases[] = {
        {1, {}, true, {"b", "a", "c"}, {}},
        {-1, {{"a", Answer::Yes}}, true, {"a", "b", "c"}, {}},
        {2, {{"a", Answer::Cancel}}, false, {"c", "a"}, {"a", "b"}},
        {0, {{"a", Answer::Cancel}}, false, {"a"}, {"a", "b", "c"}},
    };
    for (const auto& c : cases) {
        ScriptedWindows w;
        w.open = {"a", "b", "c"};
        w.active = c.active;
        w.answers = c.answers;
        EXPECT_EQ(closeAllWindows(w), c.closed);
        EXPECT_EQ(w.asked, c.asked);
        EXPECT_EQ(w.open, c.left);
    }
    ScriptedWindows none;
    EXPECT_TRUE(closeAllWindows(none));
    EXPECT_TRUE(none.asked.empty());
}

using Paths = std::vector<std::string>;

Paths stored(MemoryProfile& profile)
{
    Paths entries;
    for (int i = 1; i <= 5; ++i)
        entries.push_back(profile.readString("Recent File List", "File" + std::to_string(i), "-"));
    return entries;
}

TEST(FrameRecentFiles, NewestFirstFourAtMostKeptInTheProfile)
{
    MemoryProfile profile;
    profile.writeString("Recent File List", "File1", "/n/old.vad");
    profile.writeString("Recent File List", "File3", "/n/third.vad");
    RecentFiles recent(profile);
    recent.read();
    EXPECT_EQ(recent.paths(), Paths({"/n/old.vad", "/n/third.vad"}));

    const struct {
        const char* what;
        const char* path;
        bool note;  // else forget
        bool changed;
        Paths paths;
    } steps[] = {
        {"noted", "/n/a.vad", true, true, {"/n/a.vad", "/n/old.vad", "/n/third.vad"}},
        {"the newest again", "/n/a.vad", true, false, {"/n/a.vad", "/n/old.vad", "/n/third.vad"}},
        {"moved to the front", "/n/third.vad", true, true, {"/n/third.vad", "/n/a.vad", "/n/old.vad"}},
        {"a fourth", "/n/b.vad", true, true, {"/n/b.vad", "/n/third.vad", "/n/a.vad", "/n/old.vad"}},
        {"the oldest goes", "/n/c.vad", true, true, {"/n/c.vad", "/n/b.vad", "/n/third.vad", "/n/a.vad"}},
        {"forgotten", "/n/third.vad", false, true, {"/n/c.vad", "/n/b.vad", "/n/a.vad"}},
        {"not on the list", "/n/x.vad", false, false, {"/n/c.vad", "/n/b.vad", "/n/a.vad"}},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        EXPECT_EQ(s.note ? recent.note(s.path) : recent.forget(s.path), s.changed);
        EXPECT_EQ(recent.paths(), s.paths);
        Paths written = s.paths;
        written.resize(5, "-");
        EXPECT_EQ(stored(profile), written);
    }
    EXPECT_EQ(RecentFiles::entryText(3, "/n/a.vad"), "&4 /n/a.vad");
}

}  // namespace
}  // namespace orvex
