// Open, pending open, save and close sequences, and saves that cannot complete.
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

#include "model/networkio.h"
#include "model/profile.h"
#include "testsupport.h"

namespace orvex::test {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

const Names kOpenOrder = {"net.vad", "net.sdt", "net.mcd", "net.nrd", "net.jpd", "net.apd", "net.pkd"};

class Sequences : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* ext : {"vad", "sdt", "mcd", "nrd", "jpd", "apd", "pkd"})
            fs::copy_file(kSmallBase + ext, inst.work(std::string("net.") + ext));
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
    inst.app.pendingFile = inst.work("net.vad");
    inst.app.pending = true;
    EXPECT_TRUE(openPendingNetwork(doc, profile));
    EXPECT_FALSE(inst.app.pending);
    EXPECT_EQ(files.reads, kOpenOrder);

    files.reads.clear();
    inst.reporter.clear();
    EXPECT_EQ(openNetwork(doc, inst.work("net.vad")), 1);
    EXPECT_EQ(files.reads, kOpenOrder);
    EXPECT_EQ(doc.baseName, inst.work("net."));
    EXPECT_EQ(doc.windowTitle, " Test mine\n");
    // mcd: sensor data replace the fixed flows; nrd: road 1-12 does not exist.
    ASSERT_EQ(inst.reporter.messages.size(), 2u) << inst.reporter.all();
    EXPECT_EQ(inst.reporter.messages[0], "== Flow Sensor Data Active ! ==");
    EXPECT_EQ(inst.reporter.kinds[0], MessageKind::Information);
    EXPECT_NE(inst.reporter.messages[1].find("1-12"), std::string::npos);
    EXPECT_EQ(std::make_tuple(doc.roads[4].resistance, doc.roads[5].resistance, doc.roads[7].resistance),
              std::make_tuple(110.0f, 210.5f, 1.0f));
    // nrd: names and alternative resistances of normal roads only (2-10 is
    // fixed-flow); the name is the first word.
    EXPECT_EQ(std::make_tuple(doc.roads[1].name.str(), doc.roads[3].name.str(), doc.roads[3].altResistance),
              std::make_tuple("Intake_drift", "Return_ramp", 0.75f));
    EXPECT_EQ(std::make_tuple(doc.roads[4].name.str(), doc.roads[4].altResistance), std::make_tuple("", 0.0f));
    EXPECT_EQ(doc.altResistanceRoads, 3);
    // pkd; a fan's pressure is its outlet's minus its inlet's (node 6 - node 12).
    EXPECT_EQ(doc.fans[1].pressure, float(10299.25 - 10370.75));
}

TEST(PendingOpen, MissingNetworkParametersOrNodeLocationsResetToTheDefaultNetwork)
{
    const struct {
        const char* name;
        const char* remove;  // file of the network that is missing
        bool defaultParameters;
        const char* message;  // part of a message, after the work folder
    } cases[] = {
        {"node locations", "net.jpd", true, "net.jpd>:read ?"},
        {"network", "net.vad", true, "net.vad:read ?"},
        {"parameters found nowhere", "net.sdt", false, "net.sdt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Installation inst(ProgramFiles{true, c.defaultParameters});
        CBriscoDoc& doc = *inst.doc;
        ASSERT_EQ(openNetwork(doc, kSmallBase + "vad"), 1);  // a window that showed a network before
        for (const char* ext : {"vad", "sdt", "jpd"})
            fs::copy_file(kSmallBase + ext, inst.work(std::string("net.") + ext));
        fs::remove(inst.work(c.remove));
        MemoryProfile profile;
        profile.writeString(kRecentFileSection, kRecentFileEntry, inst.work("net.vad"));
        inst.app.pendingFile = inst.work("net.vad");
        inst.app.pending = true;
        inst.reporter.clear();
        struct : FileObserver {
            void fileAccessed(const std::string& path, FileAccess, bool) override { paths.push_back(path); }
            std::vector<std::string> paths;
        } files;
        doc.setFileObserver(&files);

        EXPECT_FALSE(openPendingNetwork(doc, profile));
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
        const char *from, *to;  // change to small.vad; "" for `to` cuts the file there
        const char* message;
    } cases[] = {
        {"road naming an unknown node", "11 12 0.25", "11 13 0.25", "names node 13"},
        {"file ending before any count", "7\n1 100", "", "the number of surface nodes"},
        {"network file missing", nullptr, nullptr, "net.vad:read ?\nnot found"},
        {"folder named like the network file", nullptr, "", "net.vad:read ?\nis a folder"},
    };
    for (const Open open : {Open::Direct, Open::DirectAfterSaveAs, Open::Pending})
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + ", open " + std::to_string(int(open)));
            Installation inst;
            CBriscoDoc& doc = *inst.doc;
            MemoryProfile profile;
            for (const char* ext : {"vad", "sdt", "mcd", "nrd", "jpd", "apd", "pkd"})
                fs::copy_file(kSmallBase + ext, inst.work(std::string("net.") + ext));
            const std::string vad = inst.work("net.vad");
            fs::remove(vad);
            if (c.from) {
                const std::string text = readFile(kSmallBase + "vad");
                const std::size_t at = text.find(c.from);
                ASSERT_NE(at, std::string::npos);
                writeFile(vad, *c.to ? replaced(text, c.from, c.to) : text.substr(0, at));
            } else if (c.to) {
                fs::create_directory(vad);
            }
            const std::string own = open == Open::DirectAfterSaveAs ? inst.work("own.") : "";
            if (!own.empty()) {
                ASSERT_EQ(saveNetworkAs(doc, own + "vad", profile), 1);
            }
            const std::string userFiles = filesOf(inst, "net.");
            const std::string before = snapshot(doc, inst.work("before"));
            inst.reporter.clear();

            if (open == Open::Pending) {
                inst.app.pendingFile = vad;
                inst.app.pending = true;
                EXPECT_FALSE(openPendingNetwork(doc, profile));
                EXPECT_EQ(std::make_tuple(doc.title, doc.nodeCount), std::make_tuple(" Default network\n", 3));
            } else {
                EXPECT_EQ(openNetwork(doc, vad), 0);
                EXPECT_EQ(snapshot(doc, inst.work("after")), before);  // nothing of net.* came in
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
