// Open, pending open, save and close sequences, and saves that cannot complete.
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

#include "model/filecase.h"
#include "model/networkio.h"
#include "model/profile.h"
#include "support/support.h"

namespace orvex::test {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

const Names kOpenOrder = {"net.vad", "net.sdt", "net.mcd", "net.nrd", "net.jpd", "net.apd", "net.pkd"};

// tests/data/small.* of these extensions in the work folder as base.*.
void placeSmall(const Installation& inst, std::initializer_list<const char*> exts = {"vad", "sdt", "mcd", "nrd",
                "jpd", "apd", "pkd"}, const std::string& base = "net.")
{
    for (const char* ext : exts)
        fs::copy_file(kSmallBase + ext, inst.work(base + ext));
}

// The open of the network the program was started with.
bool openPending(Installation& inst, MemoryProfile& profile, const std::string& path)
{
    inst.app.pendingFile = path;
    inst.app.pending = true;
    return openPendingNetwork(*inst.doc, profile);
}

class Sequences : public ::testing::Test {
protected:
    void SetUp() override
    {
        placeSmall(inst);
        doc.setFileObserver(&files);
    }
    Installation inst;
    CBriscoDoc& doc = *inst.doc;
    RecordingFileObserver files;
    MemoryProfile profile;
};

TEST_F(Sequences, OpenAndPendingOpenReadTheNetworkThenItsCompanionsInOrder)
{
    EXPECT_FALSE(openPendingNetwork(doc, profile));  // nothing pending
    EXPECT_EQ(doc.nodeCount, 3);
    EXPECT_TRUE(openPending(inst, profile, inst.work("net.vad")));
    EXPECT_FALSE(inst.app.pending);
    EXPECT_EQ(files.reads, kOpenOrder);
    EXPECT_EQ(inst.reporter.messages.size(), 1u) << "every reader's text in one box";

    files.reads.clear();
    inst.reporter.clear();
    EXPECT_EQ(openNetwork(doc, inst.work("net.vad")), 1);
    EXPECT_EQ(files.reads, kOpenOrder);
    EXPECT_EQ(doc.baseName, inst.work("net."));
    EXPECT_EQ(doc.windowTitle, " Test mine\n");
    // mcd: sensor data replace the fixed flows; nrd: road 1-12 does not
    // exist. The open shows both in one box.
    ASSERT_EQ(inst.reporter.messages.size(), 1u) << inst.reporter.all();
    EXPECT_EQ(inst.reporter.messages[0].rfind("== Flow Sensor Data Active ! ==\n\n", 0), 0u);
    EXPECT_EQ(inst.reporter.kinds[0], MessageKind::Warning);
    EXPECT_NE(inst.reporter.messages[0].find("1-12"), std::string::npos);
    EXPECT_EQ(std::make_tuple(doc.roads[4].resistance, doc.roads[5].resistance, doc.roads[7].resistance),
              std::make_tuple(110.0f, 210.5f, 1.0f));
    // nrd: names and alternative resistances of normal roads only (2-10 is
    // fixed-flow); the name is the first word.
    EXPECT_EQ(std::make_tuple(doc.roads[1].name.str(), doc.roads[3].name.str(), doc.roads[3].altResistance),
              std::make_tuple("Intake_drift", "Return_ramp", 0.75f));
    EXPECT_EQ(std::make_tuple(doc.roads[4].name.str(), doc.roads[4].altResistance), std::make_tuple("", 0.0f));
    EXPECT_EQ(doc.altResistanceRoads, 2);  // 10-11 has none
    // pkd; a fan's pressure is its outlet's minus its inlet's (node 6 - node 12), in the display unit.
    ASSERT_GT(doc.app().units.pressureUnitFactor, 0.0f);
    EXPECT_EQ(doc.fans[1].pressure, float((10299.25 - 10370.75) / double(doc.app().units.pressureUnitFactor)));
}

TEST(PendingOpen, MissingParametersOrNodeLocationsResetToTheDefaultNetwork)
{
    const struct {
        const char* name;
        const char* remove;  // file of the network that is missing
        bool defaultParameters;
        const char* message;  // part of a message, after the work folder
    } cases[] = {
        {"node locations", "net.jpd", true, "net.jpd>:read ?"},
        {"parameters found nowhere", "net.sdt", false, "net.sdt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Installation inst(ProgramFiles{true, c.defaultParameters});
        CBriscoDoc& doc = *inst.doc;
        ASSERT_EQ(openNetwork(doc, kSmallBase + "vad"), 1);  // a window that showed a network before
        placeSmall(inst, {"vad", "sdt", "jpd"});
        fs::remove(inst.work(c.remove));
        MemoryProfile profile;
        profile.writeString(kRecentFileSection, kRecentFileEntry, inst.work("net.vad"));
        inst.reporter.clear();
        struct : FileObserver {
            void fileAccessed(const std::string& path, FileAccess, bool) override { paths.push_back(path); }
            std::vector<std::string> paths;
        } files;
        doc.setFileObserver(&files);

        EXPECT_FALSE(openPending(inst, profile, inst.work("net.vad")));
        doc.setFileObserver(nullptr);
        // The reset takes the default parameters from the installation, never
        // from a file of that name in the current folder.
        for (const std::string& path : files.paths)
            EXPECT_NE(path, "ztna.sdt");
        EXPECT_TRUE(inst.reporter.contains(inst.work(c.message))) << inst.reporter.all();
        EXPECT_EQ(std::make_tuple(doc.title, doc.nodeCount, doc.bendUsed), std::make_tuple(" Default network\n", 3, 0));
        EXPECT_EQ(doc.windowTitle, "");  // a fresh window's, not the refused network's
        for (int k = 1; k < kMaxRoads; ++k)
            ASSERT_EQ(doc.roads[k].bendStart, 0) << k;
        for (int s = 1; s < kMaxBendSlots; ++s)
            ASSERT_EQ(doc.bends[s].mark, 0) << s;
        EXPECT_TRUE(doc.baseName.empty());
        EXPECT_FALSE(inst.app.pending);
        EXPECT_FALSE(profile.contains(kRecentFileSection, kRecentFileEntry));
    }
}

// Every file of the network beside the refused network file, byte for byte.
std::string filesOf(const Installation& inst, const std::string& base)
{
    std::string all;
    for (const char* ext : {"vad", "sdt", "mcd", "nrd", "jpd", "apd", "pkd"}) {
        const std::string path = inst.work(base + ext);
        all += std::string("== ") + ext + "\n" + (fs::is_regular_file(path) ? readFile(path) : "(none)");
    }
    return all;
}

TEST(RefusedOpen, LeavesTheDocumentAsItWasAndSaveNeverWritesOverTheRefusedFiles)
{
    enum class Open { Direct, DirectAfterSaveAs, Pending };
    const struct {
        const char* name;
        const char *from, *to;  // change to small.vad; none: no file, or a folder for `to` ""
        const char* message;
    } cases[] = {
        {"road naming an unknown node", "11 12 0.25", "11 13 0.25", "names node 13"},
        {"network file missing", nullptr, nullptr, "net.vad:read ?\nnot found"},
        {"folder named like the network file", nullptr, "", "net.vad:read ?\nis a folder"},
    };
    for (const Open open : {Open::Direct, Open::DirectAfterSaveAs, Open::Pending})
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + ", open " + std::to_string(int(open)));
            Installation inst;
            CBriscoDoc& doc = *inst.doc;
            MemoryProfile profile;
            placeSmall(inst);
            const std::string vad = inst.work("net.vad");
            fs::remove(vad);
            if (c.from) {
                writeFile(vad, replaced(readFile(kSmallBase + "vad"), c.from, c.to));
            } else if (c.to) {
                fs::create_directory(vad);
            }
            const std::string own = open == Open::DirectAfterSaveAs ? inst.work("own.") : "";
            if (!own.empty()) {
                ASSERT_EQ(saveNetworkAs(doc, own + "vad", profile), 1);
            }
            const std::string userFiles = filesOf(inst, "net.");
            const std::string before = snapshot(doc);
            inst.reporter.clear();

            if (open == Open::Pending) {
                EXPECT_FALSE(openPending(inst, profile, vad));
                EXPECT_EQ(std::make_tuple(doc.title, doc.nodeCount), std::make_tuple(" Default network\n", 3));
            } else {
                EXPECT_EQ(openNetwork(doc, vad), 0);
                EXPECT_EQ(snapshot(doc), before);  // nothing of net.* came in
                EXPECT_EQ(doc.windowTitle, "");
            }
            EXPECT_TRUE(inst.reporter.contains(c.message)) << inst.reporter.all();
            EXPECT_EQ(doc.baseName, own);

            // Save: a window without a base name asks where to save (here the
            // person cancels); one with its own base name saves there.
            bool asked = false;
            const int saved = saveCommand(doc, profile, [&asked] {
                asked = true;
                return std::optional<std::string>();
            });
            EXPECT_EQ(std::make_tuple(saved, asked), std::make_tuple(own.empty() ? 0 : 1, own.empty()));
            EXPECT_EQ(filesOf(inst, "net."), userFiles);
        }
}

// Every file of a network named NET.VAD is found in the case it exists in,
// whatever the case of the name it was opened by, and is written in the
// case of the network file's extension.
TEST(FileCase, ANetworkWithUpperCaseExtensionsIsReadAndWrittenInItsOwnCase)
{
    const struct {
        const char* opened;  // the name the open is given
        bool pending;
    } cases[] = {{"NET.VAD", false}, {"net.vad", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.opened);
        Installation inst;
        CBriscoDoc& doc = *inst.doc;
        const Names upper = {"NET.VAD", "NET.SDT", "NET.MCD", "NET.NRD", "NET.JPD", "NET.APD", "NET.PKD"};
        for (std::size_t i = 0; i < upper.size(); ++i)
            fs::copy_file(kSmallBase + kOpenOrder[i].substr(4), inst.work(upper[i]));
        // The exact name goes first: a lower-case file beside it is not read.
        writeFile(inst.work("NET.jpd"), "1 999 999\n");
        RecordingFileObserver files;
        doc.setFileObserver(&files);
        MemoryProfile profile;
        ASSERT_TRUE(c.pending ? openPending(inst, profile, inst.work(c.opened))
                              : openNetwork(doc, inst.work(c.opened)) == 1) << inst.reporter.all();
        EXPECT_EQ(files.reads, upper);
        EXPECT_EQ(doc.baseName, inst.work("NET."));
        EXPECT_EQ(std::make_tuple(doc.roads[1].name.str(), doc.roads[4].resistance, doc.fire.fireNode, doc.bendUsed),
                  std::make_tuple("Intake_drift", 110.0f, 10, 8));
        EXPECT_NE(doc.nodes[1].x, 999.0f);

        EXPECT_EQ(saveNetwork(doc, doc.baseName), 1);
        networkWindowDestroyed(doc, doc.baseName, profile);
        EXPECT_EQ(files.writes, (Names{"NET.VAD", "NET.PKD", "NET.JPD", "NET.APD", "NET.SDT"}));
        EXPECT_EQ(profile.readString(kRecentFileSection, kRecentFileEntry, ""), inst.work("NET.VAD"));
        files.writes.clear();
        EXPECT_EQ(saveNetworkAs(doc, inst.work("Copy.Vad"), profile), 1);
        EXPECT_EQ(files.writes, (Names{"Copy.Vad", "Copy.Pkd", "Copy.Jpd", "Copy.Apd"}));
        // The files it does not write are taken along, named in the new case.
        for (const char* ext : {"SDT", "MCD", "NRD"})
            EXPECT_EQ(readFile(inst.work(std::string("Copy.") + ext[0] + char(ext[1] + 32) + char(ext[2] + 32))),
                      readFile(inst.work(std::string("NET.") + ext)));
        doc.setFileObserver(nullptr);
    }
}

// A question asked while messages are gathered comes after them: the person
// reads what went before it first.
TEST(OpenMessages, AQuestionShowsWhatWasGatheredFirst)
{
    struct Ordered : RecordingReporter {
        std::vector<std::string> order;
        void message(const std::string& text, const std::string& caption, MessageKind kind) override
        {
            order.push_back(text), RecordingReporter::message(text, caption, kind);
        }
        Answer ask(const std::string& text, const std::string& caption, bool withCancel) override
        {
            order.push_back(text);
            return RecordingReporter::ask(text, caption, withCancel);
        }
    } shown;
    {
        GatheringReporter gathering(shown);
        gathering.message("one", kDocumentCaption, MessageKind::Information);
        gathering.message("two", kViewCaption, MessageKind::Error);
        shown.answers = {Answer::No};
        EXPECT_EQ(gathering.ask("Go on?", kViewCaption, false), Answer::No);
        gathering.message("three", kDocumentCaption, MessageKind::Warning);
    }
    EXPECT_EQ(shown.order, (std::vector<std::string>{"one\n\ntwo", "Go on?", "three"}));
    EXPECT_EQ(shown.kinds, (std::vector<MessageKind>{MessageKind::Error, MessageKind::Warning}));
    EXPECT_EQ(shown.captions[0], kDocumentCaption);
}

// The name a file is found under: the exact one first, then the lowest in
// byte order of those that differ only in case; and what counts as a
// network file's extension.
TEST(FileCase, TheExactNameFirstThenTheLowestOfTheOthers)
{
    Installation inst;
    for (const char* name : {"net.jpd", "NET.JPD", "Net.Apd", "NET.APD", "net.apd.bak"})
        writeFile(inst.work(name), "x\n");
    const struct {
        const char* asked;
        const char* found;
    } cases[] = {
        {"net.jpd", "net.jpd"}, {"NET.JPD", "NET.JPD"}, {"Net.jpd", "NET.JPD"},
        {"net.apd", "NET.APD"}, {"net.pkd", "net.pkd"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(inExistingCase(inst.work(c.asked)), inst.work(c.found)) << c.asked;
    for (const auto& [path, extension] : std::vector<std::pair<std::string, std::string>>{
             {"a/MINE.VAD", "VAD"}, {"a/mine.Vad", "Vad"}, {"a/mine.txt", "vad"}, {"a.b/mine", "vad"}})
        EXPECT_EQ(networkExtensionOf(path), extension) << path;
}

// A parameter file with 500 evacuation destinations keeps 99 of them; one
// with text where a number belongs keeps what came before it. Closing the
// window does not write the part that was read over the whole file.
TEST(ParameterFile, NotReadWholeIsNotReplacedUnlessChangedAndThePersonAgrees)
{
    std::string many = "500\n";
    for (int e = 1; e <= 500; ++e)
        many += std::to_string(e % 2 ? 1 : 6) + " " + std::to_string(e) + "\n";
    const std::string small = readFile(kSmallBase + "sdt");
    const struct {
        const char* name;
        std::string sdt;
        bool change;
        Answer answer;       // to the question, when one is asked
        bool written;
        const char* lost;    // in the question
        int kept;            // destinations
    } cases[] = {
        {"surplus, unchanged", replaced(small, "2\n1 3\n6 2\n", many), false, Answer::Yes, false, "", 99},
        {"surplus, changed, No", replaced(small, "2\n1 3\n6 2\n", many), true, Answer::No, false,
         "evacuation destinations 100 to 500", 99},
        {"surplus, changed, Yes", replaced(small, "2\n1 3\n6 2\n", many), true, Answer::Yes, true,
         "evacuation destinations 100 to 500", 99},
        {"text where a number belongs, changed", replaced(small, "6 2\n", "6 two\n"), true, Answer::No, false,
         "line 10: a number was expected", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Installation inst;
        CBriscoDoc& doc = *inst.doc;
        placeSmall(inst, {"vad", "jpd"});
        const std::string sdt = inst.work("net.sdt");
        writeFile(sdt, c.sdt);
        ASSERT_EQ(openNetwork(doc, inst.work("net.vad")), 1);
        EXPECT_EQ(doc.fire.destinationCount, c.kept);
        if (c.change)
            doc.fire.kval = 7.5f;
        inst.reporter.answers = {c.answer};
        MemoryProfile profile;
        networkWindowDestroyed(doc, doc.baseName, profile);

        EXPECT_EQ(readFile(sdt) != c.sdt, c.written);
        if (c.written) {
            EXPECT_EQ(readFile(sdt).substr(0, 30), "kval, ftime_fi, dummy\n   7.50 ");
        }
        ASSERT_EQ(inst.reporter.questions.size(), *c.lost ? 1u : 0u);
        if (!inst.reporter.questions.empty()) {
            EXPECT_EQ(inst.reporter.questions[0].rfind(sdt + " was not read whole", 0), 0u);
            EXPECT_NE(inst.reporter.questions[0].find(c.lost), std::string::npos) << inst.reporter.questions[0];
        }
        EXPECT_EQ(profile.readString(kRecentFileSection, kRecentFileEntry, ""), inst.work("net.vad"));
    }
}

// Limits the size of files this process may write, as a full disk would.
struct FileSizeLimit {
    rlimit old{};
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old), std::signal(SIGXFSZ, SIG_DFL); }
};

TEST_F(Sequences, SaveWritesFourFilesAndAFailedSaveLeavesThePreviousFileAndTheModifiedFlag)
{
    openNetwork(doc, inst.work("net.vad"));
    files.reads.clear();
    doc.modified = true;
    EXPECT_EQ(saveNetwork(doc, inst.work("saved.")), 1);
    EXPECT_EQ(files.writes, (Names{"saved.vad", "saved.pkd", "saved.jpd", "saved.apd"}));
    EXPECT_TRUE(files.reads.empty());
    EXPECT_FALSE(doc.modified);
    EXPECT_EQ(doc.baseName, inst.work("saved."));

    const std::string before = readFile(inst.work("saved.vad"));
    doc.nodes[1].elevation = 99;
    doc.modified = true;
    {
        FileSizeLimit limit(64);
        EXPECT_EQ(saveNetwork(doc, inst.work("saved.")), 0);
    }
    EXPECT_EQ(readFile(inst.work("saved.vad")), before);
    EXPECT_TRUE(doc.modified);
    EXPECT_TRUE(inst.reporter.contains(inst.work("saved.vad") + "  :write ?\nfile too large")) << inst.reporter.all();
    for (const auto& entry : fs::directory_iterator(inst.work("")))
        EXPECT_EQ(entry.path().filename().string().find(".orvex-"), std::string::npos) << entry.path();
}

TEST_F(Sequences, CloseAsksForAModifiedNetworkOnlyAndDestroyWritesParameters)
{
    const auto choose = [this] { return std::optional<std::string>(inst.work("closed.vad")); };
    EXPECT_EQ(queryClose(doc, choose), Answer::Yes);  // unmodified: nothing asked
    EXPECT_TRUE(inst.reporter.questions.empty());

    doc.modified = true;
    inst.reporter.answers = {Answer::No, Answer::Cancel, Answer::Yes, Answer::Yes, Answer::Yes};
    EXPECT_EQ(queryClose(doc, choose), Answer::No);
    EXPECT_EQ(queryClose(doc, choose), Answer::Cancel);
    EXPECT_EQ(queryClose(doc, [] { return std::optional<std::string>(); }), Answer::Cancel);  // no file chosen
    EXPECT_TRUE(files.writes.empty());
    EXPECT_EQ(inst.reporter.questions, Names(3, kSaveQuestion));
    EXPECT_EQ(inst.reporter.questionCaptions, Names(3, "Tenbrook for Windows"));  // the view asks
    EXPECT_EQ(queryClose(doc, choose), Answer::Yes);
    EXPECT_EQ(files.writes, (Names{"closed.vad", "closed.jpd", "closed.apd"}));
    // A network that could not be written keeps its window.
    EXPECT_EQ(queryClose(doc, [this] { return std::optional<std::string>(inst.work("none/x.vad")); }), Answer::Cancel);

    files.writes.clear();
    networkWindowDestroyed(doc, inst.work("closed."), profile);
    EXPECT_EQ(files.writes, (Names{"closed.sdt"}));
    EXPECT_EQ(profile.readString(kRecentFileSection, kRecentFileEntry, ""), inst.work("closed.vad"));
    // Without a base name: the file "sdt" in the current folder, and no last network.
    const fs::path previous = fs::current_path();
    fs::current_path(inst.work(""));
    networkWindowDestroyed(doc, "", profile);
    fs::current_path(previous);
    EXPECT_TRUE(fs::exists(inst.work("sdt")));
    EXPECT_FALSE(profile.contains(kRecentFileSection, kRecentFileEntry));
}

}  // namespace
}  // namespace orvex::test
