// The display settings: the "DISPLAY" profile keys, read and written, with
// bad values; and the Display setting dialog's OK as a core step.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "display/displaysettings.h"
#include "display/planview.h"
#include "model/networkio.h"
#include "model/profile.h"
#include "support.h"

namespace orvex::displaytest {
namespace {

namespace fs = std::filesystem;

std::string entry(MemoryProfile& profile, const std::string& key)
{
    return profile.readString(kDisplaySection, key, "<missing>");
}

TEST(DisplayProfile, ScaleAndCharacterSizeAreKeptInThousandths)
{
    MemoryProfile profile;
    DisplaySettings settings;
    ViewGeometry geometry;
    geometry.scale = 1.0f;
    geometry.charSize = 12.5f;
    writeDisplaySettings(profile, settings, geometry);
    EXPECT_EQ(entry(profile, "factor"), "650");
    EXPECT_EQ(entry(profile, "font"), "12500");
    geometry.scale = 0.5f;
    geometry.charSize = 10.0f;
    writeDisplaySettings(profile, settings, geometry);
    EXPECT_EQ(entry(profile, "factor"), "325");
    EXPECT_EQ(entry(profile, "font"), "10000");
    // Cut toward zero: 0.7 × 650 = 454.99...
    geometry.scale = 0.7f - 1e-6f;
    writeDisplaySettings(profile, settings, geometry);
    EXPECT_EQ(entry(profile, "factor"), "454");

    profile.writeString(kDisplaySection, "factor", "650");
    profile.writeString(kDisplaySection, "font", "12500");
    ViewGeometry read;
    read.scale = 3.0f;
    readDisplaySettings(profile, settings, read);
    EXPECT_FLOAT_EQ(read.scale, 1.0f);
    EXPECT_FLOAT_EQ(read.charSize, 12.5f);
    profile.writeString(kDisplaySection, "factor", "10000");
    readDisplaySettings(profile, settings, read);
    EXPECT_FLOAT_EQ(read.scale, kMaxScale);
}

TEST(DisplayProfile, EverySettingGoesRoundTheProfile)
{
    MemoryProfile profile;
    DisplaySettings written;
    written.onlineKind = 16;
    written.underlineKind = 12;
    written.nodeKind = 4;
    written.colours = ColourSlots{rgb(1, 2, 3), rgb(4, 5, 6), rgb(7, 8, 9), rgb(10, 11, 12),
                                  rgb(13, 14, 15), rgb(16, 17, 18), rgb(19, 20, 21), rgb(22, 23, 24)};
    written.print = PrintColours{rgb(31, 0, 0), rgb(0, 32, 0), rgb(0, 0, 33), rgb(34, 0, 34),
                                 rgb(35, 35, 0), rgb(0, 36, 36)};
    written.previewKind = 0;
    ViewGeometry geometry;
    geometry.scale = 2.0f;
    geometry.charSize = 7.25f;
    writeDisplaySettings(profile, written, geometry);
    // Colours as 0x00BBGGRR whole numbers.
    EXPECT_EQ(profile.readInt(kDisplaySection, "back", -1), 1 + (2 << 8) + (3 << 16));
    EXPECT_EQ(profile.readInt(kDisplaySection, "print_preview_num", -1), 0);

    DisplaySettings read;
    ViewGeometry readGeometry;
    readDisplaySettings(profile, read, readGeometry);
    EXPECT_EQ(read.onlineKind, 16);
    EXPECT_EQ(read.underlineKind, 12);
    EXPECT_EQ(read.nodeKind, 4);
    const auto colours = [](const ColourSlots& c) {
        return std::vector<Colour>{c.back, c.road, c.online, c.underline, c.node, c.onnode, c.strong, c.nodedata};
    };
    const auto prints = [](const PrintColours& p) {
        return std::vector<Colour>{p.node, p.road, p.online, p.underline, p.onnode, p.nodedata};
    };
    EXPECT_EQ(colours(read.colours), colours(written.colours));
    EXPECT_EQ(prints(read.print), prints(written.print));
    EXPECT_EQ(read.previewKind, 0);
    EXPECT_FLOAT_EQ(readGeometry.scale, 2.0f);
    EXPECT_FLOAT_EQ(readGeometry.charSize, 7.25f);
}

TEST(DisplayProfile, MissingKeysKeepTheCurrentValues)
{
    MemoryProfile profile;
    DisplaySettings settings;
    settings.onlineKind = 4;
    settings.colours.road = rgb(9, 9, 9);
    settings.previewKind = 0;
    ViewGeometry geometry;
    geometry.scale = 0.25f;
    geometry.charSize = 6.0f;
    readDisplaySettings(profile, settings, geometry);
    EXPECT_EQ(settings.onlineKind, 4);
    EXPECT_EQ(settings.colours.road, rgb(9, 9, 9));
    EXPECT_EQ(settings.previewKind, 1) << "the preview kind is 1 when not kept";
    EXPECT_EQ(geometry.scale, 0.25f);
    EXPECT_EQ(geometry.charSize, 6.0f);
    // The initial values before any profile: navy background, white roads and nodes.
    const DisplaySettings initial;
    EXPECT_EQ(initial.colours.back, Colour(8388608));
    EXPECT_EQ(initial.colours.road, Colour(16777215));
    EXPECT_EQ(initial.colours.online, Colour(65280));
    EXPECT_EQ(initial.colours.underline, Colour(65535));
    EXPECT_EQ(initial.colours.strong, Colour(255));
    EXPECT_EQ(initial.print.road, Colour(0));
    EXPECT_EQ(initial.print.online, Colour(65280));
    EXPECT_EQ(initial.onlineKind, 1);
    EXPECT_EQ(initial.underlineKind, 0);
    EXPECT_EQ(initial.nodeKind, 1);

    // An empty "factor" or "font" leaves the setting as it is.
    profile.writeString(kDisplaySection, "factor", "");
    profile.writeString(kDisplaySection, "font", "");
    readDisplaySettings(profile, settings, geometry);
    EXPECT_EQ(geometry.scale, 0.25f);
    EXPECT_EQ(geometry.charSize, 6.0f);
}

TEST(DisplayProfile, NonNumericFactorAndFontGiveZeroAndThePaintRaisesTheScale)
{
    MemoryProfile profile;
    profile.writeString(kDisplaySection, "factor", "big");
    profile.writeString(kDisplaySection, "font", "large");
    auto view = makeView();
    PlanBuilder(*view).underground(1, 0, 0);
    readDisplaySettings(profile, view->settings, view->geo);
    EXPECT_EQ(view->geo.scale, 0.0f);
    EXPECT_EQ(view->geo.charSize, 0.0f);

    RecordingCanvas canvas;
    view->paint(canvas);
    EXPECT_EQ(view->geo.scale, kMinScale);
    EXPECT_TRUE(canvas.allFinite());
    ASSERT_EQ(canvas.circles(kNode).size(), 1u);
    EXPECT_NEAR(canvas.circles(kNode)[0].radius, 8 * kMinScale, 1e-5);
}

TEST(DisplayProfile, KindsOutOfRangeAreReadAsTheyAreAndDrawNothing)
{
    MemoryProfile profile;
    profile.writeInt(kDisplaySection, "onlinevalue", 25);
    profile.writeInt(kDisplaySection, "underlinevalue", -1);
    profile.writeInt(kDisplaySection, "nodevalue", 11);
    auto view = makeView();
    readDisplaySettings(profile, view->settings, view->geo);
    EXPECT_EQ(view->settings.onlineKind, 25);
    EXPECT_EQ(view->settings.underlineKind, -1);
    EXPECT_EQ(view->settings.nodeKind, 11);

    DocFixture fixture;
    ASSERT_TRUE(openSampleMine(fixture));
    view->update(*fixture.doc);
    view->geo.clientWidth = 1600;
    view->geo.clientHeight = 1000;
    view->fitToWindow();
    RecordingCanvas canvas;
    view->paint(canvas);
    EXPECT_EQ(canvas.lines(kRoad).size() > 60, true) << "the roads are drawn";
    EXPECT_TRUE(canvas.texts(kOnline).empty());
    EXPECT_TRUE(canvas.texts(kUnderline).empty());
    EXPECT_TRUE(canvas.texts(kNodeData).empty());
    EXPECT_TRUE(canvas.texts(kOnNode).empty());
}

TEST(DisplayProfile, FigureSizeCheck)
{
    EXPECT_TRUE(figureSizeAcceptable(0.01f));
    EXPECT_TRUE(figureSizeAcceptable(10.00f));
    EXPECT_TRUE(figureSizeAcceptable(0.65f));
    EXPECT_FALSE(figureSizeAcceptable(0.0099f));
    EXPECT_FALSE(figureSizeAcceptable(10.01f));
    EXPECT_FALSE(figureSizeAcceptable(-1.0f));
    EXPECT_FALSE(figureSizeAcceptable(std::nanf("")));
    EXPECT_FLOAT_EQ(figureSizeOf(1.0f), 0.65f);
    EXPECT_NEAR(figureSizeOf(kMaxScale), 10.0, 1e-5);
    EXPECT_NEAR(figureSizeOf(kMinScale), 0.01, 1e-7);
}

// --- the dialog's OK ---------------------------------------------------------------

class ApplySettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(openSampleMine(fixture));
        view = makeView();
        view->geo.clientWidth = 1600;
        view->geo.clientHeight = 1000;
        view->update(doc());
        view->fitToWindow();
        chosen = view->settings;
    }
    CBriscoDoc& doc() { return *fixture.doc; }
    bool apply(float figureSize, float charSize = 12, float radius = 6, int angle = 0)
    {
        return view->applyDisplaySettings(doc(), chosen, figureSize, charSize, radius, angle, reporter);
    }

    DocFixture fixture;
    std::unique_ptr<PlanView> view;
    DisplaySettings chosen;
    RecordingReporter reporter;
};

TEST_F(ApplySettings, FigureSizesOutsideTheRangeAreRefusedAndNothingIsTaken)
{
    const float scale = view->geo.scale;
    chosen.onlineKind = 9;
    for (const float figure : {0.0099f, 10.01f, 0.0f}) {
        SCOPED_TRACE(figure);
        reporter.messages.clear();
        EXPECT_FALSE(apply(figure));
        ASSERT_EQ(reporter.messages.size(), 1u);
        EXPECT_EQ(reporter.messages[0].text, "Bad figure size(0.01 - 10.00)");
        EXPECT_EQ(reporter.messages[0].caption, "Tenbrook for Windows");
        EXPECT_EQ(view->geo.scale, scale);
        EXPECT_EQ(view->geo.charSize, 10.0f);
        EXPECT_EQ(view->geo.nodeRadius, 8.0f);
        EXPECT_EQ(view->settings.onlineKind, 1);
    }
}

TEST_F(ApplySettings, TheBoundsAreAcceptedAndTakenOver)
{
    EXPECT_TRUE(apply(0.01f));
    EXPECT_NEAR(view->geo.scale, kMinScale, 1e-8);
    EXPECT_TRUE(apply(10.0f));
    EXPECT_NEAR(view->geo.scale, kMaxScale, 1e-5);

    chosen.onlineKind = 9;
    chosen.underlineKind = 12;
    chosen.nodeKind = 2;
    chosen.onlineDigits = 1;
    chosen.underlineBracket = true;
    chosen.colours.road = rgb(1, 2, 3);
    chosen.previewKind = 0;                // not the dialog's to set
    chosen.print.road = rgb(200, 0, 0);    // nor this
    view->geo.scrollSizesChanged = false;
    EXPECT_TRUE(apply(0.65f, 12.5f, 5.0f));
    EXPECT_TRUE(reporter.messages.empty()) << reporter.all();
    EXPECT_FLOAT_EQ(view->geo.scale, 1.0f);
    EXPECT_EQ(view->geo.charSize, 12.5f);
    EXPECT_EQ(view->geo.nodeRadius, 5.0f);
    EXPECT_EQ(view->settings.onlineKind, 9);
    EXPECT_EQ(view->settings.underlineKind, 12);
    EXPECT_EQ(view->settings.nodeKind, 2);
    EXPECT_TRUE(view->settings.underlineBracket);
    EXPECT_EQ(view->settings.colours.road, rgb(1, 2, 3));
    EXPECT_EQ(view->settings.previewKind, 1);
    EXPECT_EQ(view->settings.print.road, rgb(0, 0, 0));
    EXPECT_TRUE(view->geo.scrollSizesChanged);
    // Extents and scroll sizes for the new scale and radius (0.65 as a float
    // gives a scale just below 1).
    EXPECT_EQ(view->geo.minX, -430.0f);
    EXPECT_EQ(view->geo.originX, std::trunc((430 + 2 * 5.0f) * view->geo.scale));
    EXPECT_EQ(view->geo.scrollWidth,
              int(std::trunc(430 * view->geo.scale) + std::trunc(view->geo.maxX * view->geo.scale) +
                  20 * view->geo.scale));
    // The values of the chosen kinds were copied: lengths on the lines,
    // elevations on the nodes.
    for (int k = 1; k <= doc().totalRoads(); ++k)
        EXPECT_EQ(view->data.onlineValue[std::size_t(k)], doc().roads[std::size_t(k)].length);
    for (int i = 1; i <= doc().nodeCount; ++i)
        EXPECT_EQ(view->data.nodeValue[std::size_t(i)], doc().nodes[std::size_t(i)].elevation);
}

TEST_F(ApplySettings, AnAngleTurnsThePlanByTheDifference)
{
    const int i = doc().nodeIndex(102);  // at (120, 0)
    EXPECT_TRUE(apply(0.65f, 10, 8, 405));
    EXPECT_EQ(view->geo.displayAngle, 45);
    EXPECT_NEAR(doc().nodes[std::size_t(i)].x, 84.853, 0.01);
    EXPECT_NEAR(doc().nodes[std::size_t(i)].y, -84.853, 0.01);
    EXPECT_EQ(view->data.nodeY[std::size_t(i)], doc().nodes[std::size_t(i)].y);
    // The same angle again turns nothing.
    EXPECT_TRUE(apply(0.65f, 10, 8, 45));
    EXPECT_NEAR(doc().nodes[std::size_t(i)].y, -84.853, 0.01);
}

TEST_F(ApplySettings, NodePressuresAreComputedForTheirKind)
{
    // Kind 3: every pressure relative to the lowest surface pressure; the
    // model computes it when the kind is chosen.
    for (int i = 1; i <= doc().nodeCount; ++i)
        doc().nodes[std::size_t(i)].displayValue = -12345;
    chosen.nodeKind = 3;
    EXPECT_TRUE(apply(0.65f));
    double lowest = doc().nodes[1].pressure;
    for (int i = 1; i <= doc().surfaceCount; ++i)
        lowest = std::min(lowest, doc().nodes[std::size_t(i)].pressure);
    bool someNonZero = false;
    for (int i = 1; i <= doc().nodeCount; ++i) {
        const double expected =
            (doc().nodes[std::size_t(i)].pressure - lowest) / fixture.app.units.pressureUnitFactor;
        EXPECT_NEAR(view->data.nodeValue[std::size_t(i)], expected, 1e-4 * std::max(1.0, std::fabs(expected)));
        someNonZero = someNonZero || std::fabs(expected) > 1;
    }
    EXPECT_TRUE(someNonZero);
}

// The sample mine copied with a file of external road values.
TEST(ApplySettingsExternal, TwoEndedKindsReadTheirColumnsAndShowBothEnds)
{
    const fs::path folder = fs::temp_directory_path() / ("orvex-erd-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const char* ext : {"vad", "sdt", "nrd", "jpd", "apd"})
        fs::copy_file(kSourceDir + "/data/mine." + ext, folder / (std::string("mine.") + ext));

    DocFixture fixture;
    fixture.app.pendingFile = (folder / "mine.vad").string();
    fixture.app.pending = true;
    MemoryProfile profile;
    ASSERT_TRUE(openPendingNetwork(*fixture.doc, profile)) << fixture.reporter.all();
    CBriscoDoc& doc = *fixture.doc;
    {
        // Two columns of two values per normal road: column 1 (k + 10, k + 20),
        // column 2 (k + 30, k + 40).
        std::ofstream erd(folder / "mine.erd");
        erd << "external road values\n2  2\n";
        for (int k = 1; k <= doc.roadCount; ++k)
            erd << doc.roads[std::size_t(k)].first << " " << doc.roads[std::size_t(k)].second << "  "
                << k + 10 << " " << k + 20 << "  " << k + 30 << " " << k + 40 << "\n";
    }
    fixture.reporter.messages.clear();

    auto view = makeView();
    view->geo.clientWidth = 1600;
    view->geo.clientHeight = 1000;
    view->update(doc);
    view->fitToWindow();
    DisplaySettings chosen = view->settings;
    chosen.onlineKind = 16;     // DBT*: column 1 into the on-line slot
    chosen.underlineKind = 17;  // WBT*: column 2 into the under-line slot
    chosen.nodeKind = 0;
    RecordingReporter reporter;
    ASSERT_TRUE(view->applyDisplaySettings(doc, chosen, 0.65f, 10, 8, 0, reporter));
    EXPECT_TRUE(fixture.reporter.messages.empty()) << fixture.reporter.all();

    // Road 1 (node 1 to 101) reads from its first node: not turned.
    RecordingCanvas canvas;
    view->paint(canvas);
    canvas.clear();
    view->drawRoadOnWindow(canvas, 1, kRoad, kOnline, kUnderline);
    EXPECT_EQ(canvas.texts(kOnline).at(0).text, "11#21");
    EXPECT_EQ(canvas.texts(kUnderline).at(0).text, "31#41");

    // Road 4 (node 10 at (1200, 220) to 140 at (1150, 90)) points down and
    // to the left: turned, the second end's value first.
    ASSERT_EQ(doc.roads[4].first, 10);
    canvas.clear();
    view->drawRoadOnWindow(canvas, 4, kRoad, kOnline, kUnderline);
    EXPECT_EQ(canvas.texts(kOnline).at(0).text, "24#14");
    EXPECT_EQ(canvas.texts(kUnderline).at(0).text, "44#34");
    fs::remove_all(folder);
}

}  // namespace
}  // namespace orvex::displaytest
