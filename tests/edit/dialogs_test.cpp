// The counts a new fan takes, the fan curve file and the zoom rectangle.
#include <gtest/gtest.h>

#include "edit/fancurve.h"
#include "edit/viewnavigation.h"
#include "support.h"

namespace orvex::test {
namespace {

using Step = FanCurveEntry::Step;

// Entry point by point, Enter, back and next, a lower count and a count
// above 30 for a changed fan are driven through the fan dialog
// (tests/gui/fandialogs_test.cpp); here the counts a new fan refuses.
TEST(FanCurveEntry, ANewFanTakesCountsFrom1To30Only)
{
    FanCurveEntry e = FanCurveEntry::forNewFan();
    for (const int count : {0, 31}) {
        e.countField = count;
        EXPECT_EQ(e.next(), Step::Refused) << count;
    }
    e.countField = 1;
    EXPECT_EQ(e.next(), Step::Accept);
    // The label numbers the points from 1.
    FanCurveEntry three = FanCurveEntry::forNewFan();
    three.countField = 3, three.flowStepField = 100;
    EXPECT_EQ(three.next(), Step::Stay);
    EXPECT_EQ(three.label(), "Pressure(*) at 100 air flow (2/3)");
}

TEST(FanCurveFile, ExactBytesForTwoFansAndForNone)
{
    EditBench b;
    for (int n : {3, 12, 7, 8})
        b.node(n, n, 0);
    b.fan(3, 12, 2.5f, {120.5f, 100, 60.25f});
    b.fan(7, 8, 10, {50});
    TempFolder folder;
    b.doc->baseName = folder.file("my mine.");
    ASSERT_TRUE(writeFanCurveFile(*b.doc));
    const std::string bytes = readFile(folder.file("my mine.fan"));
    // "[コメント]" in half-width katakana, "コメント" in full-width, in Shift-JIS.
    const std::string heading = "[\xBA\xD2\xDD\xC4]fan", comment = "* \x83\x52\x83\x81\x83\x93\x83\x67\n";
    const std::string headings = heading + "1\n" + heading + "2\n" + heading + "3\n";
    EXPECT_EQ(bytes, headings + comment + " 3  12 \n    0.00000  120.50\n    2.50000  100.00\n" +
                               "    5.00000   60.25\n" + comment + " 7  8 \n    0.00000   50.00\n");
    b.ops().deleteFan(1);
    b.ops().deleteFan(1);
    EXPECT_EQ(fanCurveText(*b.doc), headings);
}

// The node, road and insert forms are driven through their dialogs
// (tests/gui/editdialogs_test.cpp). The zoom rectangle takes the window's
// proportions: 200 wide is 160 high, upward.
TEST(ZoomRectangle, TakesTheWindowsProportions)
{
    EXPECT_EQ(zoomRectangle(100, 300, 300, 250, 1000, 800).y1, 140);
    EXPECT_EQ(zoomRectangle(100, 300, 300, 350, 0, 800).y1, 300) << "a window without width";
}

}  // namespace
}  // namespace orvex::test
