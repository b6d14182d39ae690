// Open, pending open, save and close sequences, and saves that cannot complete.
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

#include "model/networkio.h"
#include "model/profile.h"
#include "testsupport.h"

namespace orvex::test {
namespace {

namespace fs = std::filesystem;

using Names = std::vector<std::string>;

class NetworkIoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* ext : {"vad", "sdt", "mcd", "nrd", "jpd", "apd", "pkd"})
            fs::copy_file(dataPath(std::string("small.") + ext), inst.work(std::string("net.") + ext));
        doc.setFileObserver(&files);
        profile.writeString(kRecentFileSection, kRecentFileEntry, "/old/net.vad");
    }
    void pend(const std::string& path)
    {
        inst.app.pendingFile = path;
        inst.app.pending = true;
    }
    void expectDefaultNetwork()
    {
        EXPECT_EQ(doc.title, " Default network\n");
        EXPECT_EQ(doc.nodeCount, 3);
        EXPECT_EQ(doc.bendUsed, 0);
        EXPECT_TRUE(doc.baseName.empty());
        EXPECT_FALSE(inst.app.pending);
        EXPECT_FALSE(profile.contains(kRecentFileSection, kRecentFileEntry));
    }

    Installation inst;
    CBriscoDoc& doc = *inst.doc;
    RecordingFileObserver files;
    MemoryProfile profile;
};

const Names kOpenOrder = {"net.vad", "net.sdt", "net.mcd", "net.nrd", "net.jpd", "net.apd", "net.pkd"};

TEST_F(NetworkIoTest, OpenReadsTheNetworkThenItsCompanionsInOrder)
{
    EXPECT_EQ(openNetwork(doc, inst.work("net.vad")), 1);
    EXPECT_EQ(files.names(FileAccess::Read), kOpenOrder);
    EXPECT_EQ(doc.baseName, inst.work("net."));
    EXPECT_EQ(doc.windowTitle, " Test mine\n");
    EXPECT_EQ(doc.nodes[10].x, 200.0f);  // positions are read after the adjacency exists
    EXPECT_EQ(doc.roads[2].massFlow, 25.5f);
}

TEST_F(NetworkIoTest, PendingOpenReadsInTheSameOrderAndClearsThePendingFlag)
{
    pend(inst.work("net.vad"));
    EXPECT_TRUE(openPendingNetwork(doc, profile));
    EXPECT_EQ(files.names(FileAccess::Read), kOpenOrder);
    EXPECT_FALSE(inst.app.pending);
    EXPECT_EQ(doc.nodeCount, 10);

    auto fresh = inst.newDocument();
    EXPECT_FALSE(openPendingNetwork(*fresh, profile));  // nothing pending: default network stays
    EXPECT_EQ(fresh->nodeCount, 3);
}

TEST_F(NetworkIoTest, PendingOpenWithoutNodeLocationsResetsToTheDefaultNetwork)
{
    fs::remove(inst.work("net.jpd"));
    pend(inst.work("net.vad"));
    EXPECT_FALSE(openPendingNetwork(doc, profile));
    EXPECT_TRUE(inst.reporter.contains("<" + inst.work("net.jpd") + ">:read ?")) << inst.reporter.all();
    expectDefaultNetwork();
}

TEST_F(NetworkIoTest, PendingOpenWithParametersFoundNowhereResets)
{
    ProgramFiles noParameters;
    noParameters.withDefaultParameters = false;
    Installation bare(noParameters);
    fs::copy_file(dataPath("small.vad"), bare.work("net.vad"));
    bare.app.pendingFile = bare.work("net.vad");
    bare.app.pending = true;
    profile.writeString(kRecentFileSection, kRecentFileEntry, bare.work("net.vad"));
    EXPECT_FALSE(openPendingNetwork(*bare.doc, profile));
    EXPECT_EQ(bare.reporter.messages.at(0).text, bare.work("net.sdt"));
    EXPECT_EQ(bare.doc->nodeCount, 3);
    EXPECT_FALSE(bare.app.pending);
    EXPECT_FALSE(profile.contains(kRecentFileSection, kRecentFileEntry));
}

TEST_F(NetworkIoTest, PendingOpenOfAMissingNetworkResets)
{
    pend(inst.work("gone.vad"));
    EXPECT_FALSE(openPendingNetwork(doc, profile));
    EXPECT_EQ(inst.reporter.messages.at(0).text, inst.work("gone.vad") + ":read ?");
    expectDefaultNetwork();
}

TEST_F(NetworkIoTest, SaveWritesNetworkResultsPositionsBendsAndClearsModified)
{
    openNetwork(doc, inst.work("net.vad"));
    files.entries.clear();
    doc.modified = true;
    EXPECT_EQ(saveNetwork(doc, inst.work("saved.")), 1);
    EXPECT_EQ(files.names(FileAccess::Write), (Names{"saved.vad", "saved.pkd", "saved.jpd", "saved.apd"}));
    EXPECT_TRUE(files.names(FileAccess::Read).empty());
    EXPECT_FALSE(doc.modified);
    EXPECT_EQ(doc.baseName, inst.work("saved."));
}

TEST_F(NetworkIoTest, CloseOfAnUnmodifiedNetworkAsksNothing)
{
    bool asked = false;
    EXPECT_EQ(queryClose(doc, [&] { asked = true; return std::optional<std::string>(); }), Answer::Yes);
    EXPECT_FALSE(asked);
    EXPECT_TRUE(inst.reporter.questions.empty());
}

TEST_F(NetworkIoTest, CloseOfAModifiedNetworkFollowsTheAnswer)
{
    openNetwork(doc, inst.work("net.vad"));
    files.entries.clear();
    doc.modified = true;
    const auto choose = [this] { return std::optional<std::string>(inst.work("closed.vad")); };

    inst.reporter.answers = {Answer::No};
    EXPECT_EQ(queryClose(doc, choose), Answer::No);
    EXPECT_EQ(inst.reporter.questions, (Names{kSaveQuestion}));
    EXPECT_TRUE(files.entries.empty());
    EXPECT_FALSE(fs::exists(inst.work("closed.vad")));

    inst.reporter.answers = {Answer::Yes};
    EXPECT_EQ(queryClose(doc, [] { return std::optional<std::string>(); }), Answer::Cancel);
    EXPECT_TRUE(files.entries.empty());

    inst.reporter.answers = {Answer::Cancel};
    EXPECT_EQ(queryClose(doc, choose), Answer::Cancel);

    inst.reporter.answers = {Answer::Yes};
    EXPECT_EQ(queryClose(doc, choose), Answer::Yes);
    EXPECT_EQ(files.names(FileAccess::Write), (Names{"closed.vad", "closed.jpd", "closed.apd"}));
}

TEST_F(NetworkIoTest, DestroyedWindowWritesParametersAndRemembersTheNetwork)
{
    openNetwork(doc, inst.work("net.vad"));
    files.entries.clear();
    networkWindowDestroyed(doc, inst.work("net."), profile);
    EXPECT_EQ(files.names(FileAccess::Write), (Names{"net.sdt"}));
    EXPECT_EQ(profile.readString(kRecentFileSection, kRecentFileEntry, ""), inst.work("net.vad"));

    // Without a base name the parameter file is "sdt" in the current folder.
    const fs::path previous = fs::current_path();
    fs::current_path(inst.dir.path());
    networkWindowDestroyed(doc, "", profile);
    fs::current_path(previous);
    EXPECT_TRUE(fs::exists(inst.dir.file("sdt")));
    EXPECT_FALSE(profile.contains(kRecentFileSection, kRecentFileEntry));
}

TEST_F(NetworkIoTest, WriteToADirectoryOrAMissingFolderIsReported)
{
    fs::create_directory(inst.work("dir.vad"));
    for (const std::string& path : {inst.work("dir.vad"), inst.work("nofolder/net.vad")}) {
        inst.reporter.clear();
        EXPECT_EQ(doc.writeNetworkFile(path), 0);
        EXPECT_EQ(inst.reporter.all(), "[" + path + "  :write ?]\n");
    }
    EXPECT_TRUE(fs::is_directory(inst.work("dir.vad")));
}

TEST_F(NetworkIoTest, FailedSaveKeepsTheModifiedFlag)
{
    openNetwork(doc, inst.work("net.vad"));
    fs::create_directory(inst.work("blocked.vad"));
    doc.modified = true;
    EXPECT_EQ(saveNetwork(doc, inst.work("blocked.")), 0);
    EXPECT_TRUE(doc.modified);
    EXPECT_TRUE(inst.reporter.contains(inst.work("blocked.vad") + "  :write ?"));
}

// Limits the size of files this process may write, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &mOld);
        mOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = mOld;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &mOld);
        std::signal(SIGXFSZ, mOldHandler);
    }

private:
    rlimit mOld{};
    void (*mOldHandler)(int) = nullptr;
};

TEST_F(NetworkIoTest, SaveThatRunsOutOfSpaceLeavesThePreviousFileIntact)
{
    openNetwork(doc, inst.work("net.vad"));
    const std::string before = readFile(inst.work("net.vad"));
    doc.modified = true;
    inst.reporter.clear();
    {
        FileSizeLimit limit(64);
        EXPECT_EQ(saveNetwork(doc, inst.work("net.")), 0);
    }
    EXPECT_EQ(readFile(inst.work("net.vad")), before);
    EXPECT_TRUE(doc.modified);
    EXPECT_TRUE(inst.reporter.contains(inst.work("net.vad") + "  :write ?")) << inst.reporter.all();
    for (const auto& entry : fs::directory_iterator(inst.work("")))
        EXPECT_EQ(entry.path().filename().string().find("orvex-new"), std::string::npos) << entry.path();
}

}  // namespace
}  // namespace orvex::test
