// The settings files and sample networks that ship with the program read
// without a message and are written back exactly as they stand.
#include <gtest/gtest.h>

#include <algorithm>

#include "model/networkio.h"
#include "model/units.h"
#include "support/support.h"

namespace orvex::test {
namespace {

namespace fs = std::filesystem;

TEST(ShippedFiles, ReadQuietlyAndWriteBackUnchanged)
{
    const std::string source = ORVEX_SOURCE_DIR;
    AppContext app;
    RecordingReporter reporter;
    ASSERT_EQ(readUnitsFile(source, app.units, reporter), 1);
    EXPECT_NEAR(app.units.flowUnitFactor, 1.0 / 60, 1e-6);  // m3/min
    app.programFolder = source;
    TempFolder out;

    // The default network and parameters, read when a document is made.
    CBriscoDoc settings(app, reporter);
    ASSERT_EQ(settings.readNetworkFile(source + "/sdt/ztkihon.sdt", false), 1);  // with its resistances
    ASSERT_EQ(settings.writeNetworkFile(out.file("ztkihon.sdt")), 1);
    ASSERT_EQ(settings.writeParameterFile(out.file("ztna.")), 1);
    for (const char* name : {"ztkihon.sdt", "ztna.sdt"})
        EXPECT_EQ(readFile(out.file(name)), readFile(source + "/sdt/" + name)) << name;

    // Every sample network, opened and saved as the program does.
    std::vector<fs::path> networks;
    for (const auto& entry : fs::directory_iterator(source + "/data"))
        if (entry.path().extension() == ".vad")
            networks.push_back(entry.path());
    ASSERT_FALSE(networks.empty());
    std::sort(networks.begin(), networks.end());
    for (const fs::path& vad : networks) {
        SCOPED_TRACE(vad.string());
        CBriscoDoc doc(app, reporter);
        ASSERT_EQ(openNetwork(doc, vad.string()), 1);
        const std::string base = out.file(vad.stem().string() + ".");
        ASSERT_EQ(saveNetwork(doc, base), 1);
        ASSERT_EQ(doc.writeParameterFile(base), 1);
        const std::string shipped = vad.string().substr(0, vad.string().size() - 3);
        for (const char* ext : {"vad", "sdt", "jpd", "apd", "pkd"})
            if (fs::exists(shipped + ext)) {
                EXPECT_EQ(readFile(base + ext), readFile(shipped + ext)) << ext;
            }
    }
    // Nothing but the notice that flow sensor data are in use.
    reporter.messages.erase(std::remove(reporter.messages.begin(), reporter.messages.end(),
                                        "== Flow Sensor Data Active ! =="), reporter.messages.end());
    EXPECT_EQ(reporter.all(), "");
}

}  // namespace
}  // namespace orvex::test
