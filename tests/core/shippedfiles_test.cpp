// The settings files and sample networks that ship with the program read
// without a message and are written back exactly as they stand.
#include <gtest/gtest.h>

#include <algorithm>

#include "model/networkio.h"
#include "model/units.h"
#include "testsupport.h"

namespace orvex::test {
namespace {

namespace fs = std::filesystem;

const std::string kSource = ORVEX_SOURCE_DIR;

// Messages other than the notice that flow sensor data are in use.
std::string complaints(const RecordingReporter& reporter)
{
    std::string out;
    for (const auto& m : reporter.messages)
        if (m.text != "== Flow Sensor Data Active ! ==")
            out += "[" + m.text + "]\n";
    return out;
}

class ShippedFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        app.programFolder = kSource;
        readUnitsFile(kSource, app.units, reporter);
        reporter.clear();
    }
    AppContext app;
    RecordingReporter reporter;
    TempDir out;
};

TEST_F(ShippedFiles, UnitsFileReadsQuietly)
{
    if (!fs::exists(kSource + "/sdt/units.sdt"))
        GTEST_SKIP() << "no units file shipped yet";
    UnitsSettings units;
    EXPECT_EQ(readUnitsFile(kSource, units, reporter), 1);
    EXPECT_EQ(complaints(reporter), "");
    EXPECT_NEAR(units.flowUnitFactor, 1.0 / 60, 1e-6);  // m3/min
    EXPECT_GT(units.pressureUnitFactor, 0.0f);
    EXPECT_GT(units.maxIteration, 0);
}

TEST_F(ShippedFiles, DefaultNetworkAndParametersWriteBackUnchanged)
{
    const std::string network = kSource + "/sdt/ztkihon.sdt";
    const std::string parameters = kSource + "/sdt/ztna.sdt";
    if (!fs::exists(network) || !fs::exists(parameters))
        GTEST_SKIP() << "no default network or parameter file shipped yet";
    auto doc = std::make_unique<CBriscoDoc>(app, reporter);
    EXPECT_EQ(complaints(reporter), "");
    ASSERT_EQ(doc->readNetworkFile(network, false), 1);
    ASSERT_EQ(doc->readParameterFile(kSource + "/sdt/ztna."), 1);
    EXPECT_EQ(complaints(reporter), "");
    ASSERT_EQ(doc->writeNetworkFile(out.file("ztkihon.sdt")), 1);
    ASSERT_EQ(doc->writeParameterFile(out.file("ztna.")), 1);
    EXPECT_EQ(readFile(out.file("ztkihon.sdt")), readFile(network));
    EXPECT_EQ(readFile(out.file("ztna.sdt")), readFile(parameters));
}

TEST_F(ShippedFiles, SampleNetworksOpenQuietlyAndSaveUnchanged)
{
    std::vector<fs::path> networks;
    if (fs::is_directory(kSource + "/data"))
        for (const auto& entry : fs::directory_iterator(kSource + "/data"))
            if (entry.path().extension() == ".vad")
                networks.push_back(entry.path());
    if (networks.empty())
        GTEST_SKIP() << "no sample networks shipped yet";
    std::sort(networks.begin(), networks.end());

    for (const fs::path& vad : networks) {
        SCOPED_TRACE(vad.string());
        auto doc = std::make_unique<CBriscoDoc>(app, reporter);
        reporter.clear();
        ASSERT_EQ(openNetwork(*doc, vad.string()), 1);
        EXPECT_EQ(complaints(reporter), "");

        const std::string base = out.file(vad.stem().string() + ".");
        ASSERT_EQ(saveNetwork(*doc, base), 1);
        ASSERT_EQ(doc->writeParameterFile(base), 1);
        const std::string shipped = vad.string().substr(0, vad.string().size() - 3);
        EXPECT_EQ(readFile(base + "vad"), readFile(shipped + "vad"));
        for (const char* ext : {"sdt", "jpd", "apd", "pkd"})
            if (fs::exists(shipped + ext)) {
                EXPECT_EQ(readFile(base + ext), readFile(shipped + ext)) << ext;
            }
    }
}

}  // namespace
}  // namespace orvex::test
