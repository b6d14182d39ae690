// Saves as a whole: Save As takes every companion file along, a save that
// fails or is cut short at any moment leaves the network's files all old or
// all new and the window's name and profile as they were, and temporaries
// never pile up.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sys/wait.h>
#include <unistd.h>

#include "model/networkio.h"
#include "model/profile.h"
#include "model/savetransaction.h"
#include "support/support.h"

namespace orvex::test {
namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;  // file name -> content

const std::string kMine = std::string(ORVEX_SOURCE_DIR) + "/data/mine.";

// The companion files of data/mine that the program only reads, made up
// where the sample has none.
const Files kReadOnlyCompanions = {
    {"mcd", "flow sensors\n0\n"},
    {"end", "node values\n1\n1 2.5\n"},
    {"erd", "road values\n1  1\n1 101 7.5\n"},
    {"fan", "[fan]fan1\n0 1500\n"},
};

// data/mine with every kind of companion file, as folder/name.*.
void placeMine(const std::string& folder, const std::string& name)
{
    fs::create_directories(folder);
    for (const char* ext : {"vad", "sdt", "nrd", "jpd", "apd"})
        fs::copy_file(kMine + ext, folder + "/" + name + "." + ext, fs::copy_options::overwrite_existing);
    for (const auto& [ext, text] : kReadOnlyCompanions)
        writeFile(folder + "/" + name + "." + ext, text);
}

// Every file below a folder by its path there, with the content of each.
Files filesIn(const std::string& folder)
{
    Files files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = fs::relative(entry.path(), folder).string();
        files[name] = entry.is_directory() ? "(folder)" : readFile(entry.path().string());
    }
    return files;
}

TEST(SaveAs, TakesEveryCompanionFileAlongAndAsksBeforeReplacingOnes)
{
    Installation inst;
    CBriscoDoc& doc = *inst.doc;
    MemoryProfile profile;
    placeMine(inst.work("from"), "mine");
    ASSERT_EQ(openNetwork(doc, inst.work("from/mine.vad")), 1);
    fs::create_directories(inst.work("to"));
    inst.reporter.clear();

    ASSERT_EQ(saveNetworkAs(doc, inst.work("to/copy.vad"), profile), 1) << inst.reporter.all();
    EXPECT_TRUE(inst.reporter.questions.empty());  // nothing of that name was there
    EXPECT_EQ(doc.baseName, inst.work("to/copy."));
    EXPECT_EQ(profile.readString(kDirectorySection, kDataEntry, ""), inst.work("to"));
    // Those the program does not write, byte for byte.
    for (const char* ext : {"sdt", "nrd", "mcd", "end", "erd", "fan"})
        EXPECT_EQ(readFile(inst.work(std::string("to/copy.") + ext)), readFile(inst.work(std::string("from/mine.") + ext)))
            << ext;
    for (const char* ext : {"vad", "jpd", "apd", "pkd"})
        EXPECT_TRUE(fs::exists(inst.work(std::string("to/copy.") + ext))) << ext;

    // Files of the new name that are there already are replaced only when
    // the person agrees; No leaves everything as it was.
    placeMine(inst.work("taken"), "old");
    writeFile(inst.work("taken/other.nrd"), "1 101 0 0 Someone_elses\n");
    writeFile(inst.work("taken/other.jpd"), "1 0 0\n");
    const Files before = filesIn(inst.work("taken"));
    inst.reporter.answers = {Answer::No, Answer::Yes};
    EXPECT_EQ(saveNetworkAs(doc, inst.work("taken/other.vad"), profile), 0);
    ASSERT_EQ(inst.reporter.questions.size(), 1u);
    EXPECT_EQ(inst.reporter.questions[0], inst.work("taken/other.vad") + ": these files of that name are there already:\n" +
                                              inst.work("taken/other.jpd") + "\n" + inst.work("taken/other.nrd") +
                                              "\nReplace them with this network's?");
    EXPECT_EQ(filesIn(inst.work("taken")), before);
    EXPECT_EQ(doc.baseName, inst.work("to/copy."));
    EXPECT_EQ(saveNetworkAs(doc, inst.work("taken/other.vad"), profile), 1);
    EXPECT_EQ(readFile(inst.work("taken/other.nrd")), readFile(kMine + "nrd"));

    // Over a whole network the save dialog has asked: no second question.
    inst.reporter.questions.clear();
    EXPECT_EQ(saveNetworkAs(doc, inst.work("taken/old.vad"), profile), 1);
    EXPECT_TRUE(inst.reporter.questions.empty());
    EXPECT_EQ(readFile(inst.work("taken/old.nrd")), readFile(kMine + "nrd"));
}

TEST(FailedSave, LeavesTheBaseNameTheProfileAndEveryFileAsTheyWere)
{
    const struct {
        const char* name;
        const char* target;      // Save As to this path below the work folder
        const char* obstacle;    // a folder made there first, "" none
        const char* message;     // part of the message
    } cases[] = {
        {"no such folder", "none/q.vad", "", "none/q.vad  :write ?\nits folder does not exist"},
        {"a later file cannot be written", "q.vad", "q.apd", "q.apd\nis a folder\nThe network was not saved"},
        {"a taken-along file cannot be written", "q.vad", "q.nrd", "q.nrd"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Installation inst;
        CBriscoDoc& doc = *inst.doc;
        MemoryProfile profile;
        placeMine(inst.work("own"), "mine");
        ASSERT_EQ(openNetwork(doc, inst.work("own/mine.vad")), 1);
        profile.writeString(kDirectorySection, kDataEntry, inst.work("own"));
        if (*c.obstacle)
            fs::create_directories(inst.work(c.obstacle));
        const Files work = filesIn(inst.work(""));
        doc.nodes[1].x += 10;
        doc.modified = true;
        inst.reporter.clear();
        inst.reporter.answers = {Answer::Yes};

        EXPECT_EQ(saveNetworkAs(doc, inst.work(c.target), profile), 0);
        EXPECT_TRUE(inst.reporter.contains(c.message)) << inst.reporter.all();
        EXPECT_EQ(doc.baseName, inst.work("own/mine."));
        EXPECT_EQ(profile.readString(kDirectorySection, kDataEntry, ""), inst.work("own"));
        EXPECT_TRUE(doc.modified);
        EXPECT_EQ(filesIn(inst.work("")), work);  // no q.vad, no temporaries
        // The close question's save is refused the same way.
        inst.reporter.answers = {Answer::Yes, Answer::Yes};
        EXPECT_EQ(queryClose(doc, [&] { return std::optional<std::string>(inst.work(c.target)); }), Answer::Cancel);
        EXPECT_EQ(doc.baseName, inst.work("own/mine."));

        // Save goes on writing the network's own files.
        EXPECT_EQ(saveCommand(doc, profile, [] { return std::optional<std::string>(); }), 1);
        EXPECT_NE(readFile(inst.work("own/mine.jpd")), readFile(kMine + "jpd"));
    }
}

// Cuts every save short at its k-th step in a child process, for k = 1, 2,
// ... until a save runs through, and opens the network after each: its
// files are all those of before the save or all those of the save, and no
// temporary or journal is left.
TEST(AtomicSave, ASaveCutShortAtAnyStepLeavesAllOldOrAllNewFiles)
{
    Installation inst;
    CBriscoDoc& doc = *inst.doc;
    MemoryProfile profile;
    placeMine(inst.work("from"), "mine");
    ASSERT_EQ(openNetwork(doc, inst.work("from/mine.vad")), 1);
    doc.nodes[2].x += 100;
    const std::string folder = inst.work("net");
    // The journal must name the files whatever their names hold ("%" is its
    // escape). Before the save: another network of that name, with companion files
    // that the save replaces, and a results file only it has.
    const auto placeOld = [&] {
        fs::remove_all(folder);
        fs::create_directories(folder);
        for (const char* ext : {"vad", "sdt", "nrd", "jpd", "apd", "pkd", "mcd"})
            fs::copy_file(kSmallBase + ext, folder + "/n%et." + ext);
    };
    // The save in a child process, which ends at step `cut` (0: never).
    const auto saveIn = [&](int cut) {
        const pid_t child = ::fork();
        if (child == 0) {
            int steps = 0;
            SaveTransaction::setStepHook([&steps, cut] {
                if (++steps == cut)
                    ::_exit(3);
            });
            inst.reporter.answers = {Answer::Yes};
            ::_exit(saveNetworkAs(doc, folder + "/n%et.vad", profile) == 1 ? 0 : 1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };

    placeOld();
    const Files oldFiles = filesIn(folder);
    ASSERT_EQ(saveIn(0), 0);
    const Files newFiles = filesIn(folder);
    ASSERT_NE(newFiles, oldFiles);
    EXPECT_EQ(newFiles.size(), oldFiles.size() + 3);  // end, erd, fan came along

    int cuts = 0, keptOld = 0, finished = 0, told = 0;
    for (int cut = 1;; ++cut) {
        SCOPED_TRACE("cut at step " + std::to_string(cut));
        placeOld();
        const int exit = saveIn(cut);
        if (exit == 0)
            break;
        ASSERT_EQ(exit, 3);
        ++cuts;
        auto reopened = inst.newDocument();
        inst.reporter.clear();
        ASSERT_EQ(openNetwork(*reopened, folder + "/n%et.vad"), 1);
        const Files after = filesIn(folder);
        EXPECT_TRUE(after == oldFiles || after == newFiles);
        keptOld += after == oldFiles;
        finished += after == newFiles;
        told += inst.reporter.contains("was cut short after all its files were written");
    }
    // Ten temporaries, the journal written and in place, ten renames and the
    // journal gone: a cut before the journal stood leaves the old files, one
    // after it the new ones, and the open that finishes a save says so.
    EXPECT_EQ(cuts, 23);
    EXPECT_EQ(keptOld, 11);
    EXPECT_EQ(finished, 12);
    EXPECT_EQ(told, 10);
}

TEST(AtomicSave, StaleTemporariesAreRemovedAndNeverStopASave)
{
    Installation inst;
    CBriscoDoc& doc = *inst.doc;
    placeMine(inst.work(""), "net");
    // A process that has ended.
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string dead = std::to_string(gone), alive = std::to_string(::getpid());
    const std::vector<std::string> stale = {
        "net.vad.orvex-" + dead + "-0123abcd", "net.orvex-save.orvex-" + dead + "-89abcdef",
        "net.jpd.orvex-" + dead + "-00000000"};
    const std::vector<std::string> kept = {
        "net.vad.orvex-" + alive + "-0123abcd",  // a program saving this moment
        "net.x.vad.orvex-" + dead + "-0123abcd", "other.vad.orvex-new3", "net.vad.orvex-new", "net.vad.bak"};
    for (const std::string& name : stale)
        writeFile(inst.work(name), "half");
    for (const std::string& name : kept)
        writeFile(inst.work(name), "keep");
    // The older saves' names, more than they could ever choose from.
    for (int n = 0; n < 120; ++n)
        writeFile(inst.work("net.vad.orvex-new" + std::to_string(n)), "half");

    ASSERT_EQ(openNetwork(doc, inst.work("net.vad")), 1);
    doc.nodes[1].x += 1;
    EXPECT_EQ(saveNetwork(doc, doc.baseName), 1) << inst.reporter.all();
    std::vector<std::string> left;
    for (const auto& [name, text] : filesIn(inst.work("")))
        if (name.find(".orvex-") != std::string::npos || name.find(".bak") != std::string::npos)
            left.push_back(name);
    std::vector<std::string> expected = kept;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(left, expected);
}

}  // namespace
}  // namespace orvex::test
