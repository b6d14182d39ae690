// Plan images as they are pasted into a report: a title line, the plan
// centred in the room between title and legend, fan labels, the legend.
// Pixels are told apart by the colours the plan draws with.
#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include "display/displaysettings.h"
#include "planimage.h"
#include "support.h"

namespace orvex::test {
namespace {

const ColourSlots kScreen;  // the colours the batch tool draws with

struct Rows {
    int top = 0, bottom = -1;  // inclusive
};

// An image with its background; the title is the first run of drawn rows,
// the plan the tallest, the legend every row after it.
struct Picture {
    Picture(const std::string& path, Colour background) : image(QString::fromStdString(path)), back(background)
    {
        std::vector<Rows> runs;
        int empty = 1000;
        for (int y = 0; y < image.height(); ++y) {
            bool any = false;
            for (int x = 0; x < image.width() && !any; ++x)
                any = drawn(x, y);
            if (!any) {
                ++empty;
                continue;
            }
            if (empty >= 6)  // runs are apart by 6 empty rows or more
                runs.push_back({y, y});
            runs.back().bottom = y, empty = 0;
        }
        const auto tallest = std::max_element(runs.begin(), runs.end(), [](const Rows& a, const Rows& b) {
            return a.bottom - a.top < b.bottom - b.top;
        });
        if (runs.size() < 3 || tallest == runs.begin() || tallest + 1 == runs.end())
            return;
        title = {runs.front().top, (tallest - 1)->bottom};
        plan = *tallest;
        legend = {(tallest + 1)->top, runs.back().bottom};
    }
    bool drawn(int x, int y) const
    {
        const QRgb p = image.pixel(x, y);
        return std::abs(qRed(p) - redOf(back)) + std::abs(qGreen(p) - greenOf(back)) +
                   std::abs(qBlue(p) - blueOf(back)) > 60;
    }
    // Pixels on the blend from the background to the colour, at least a
    // third of the way (lines are drawn anti-aliased).
    int count(const Rows& rows, Colour colour) const
    {
        const double d[3] = {double(redOf(colour) - redOf(back)), double(greenOf(colour) - greenOf(back)),
                             double(blueOf(colour) - blueOf(back))};
        int n = 0;
        for (int y = rows.top; y <= rows.bottom; ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb q = image.pixel(x, y);
                const double p[3] = {double(qRed(q) - redOf(back)), double(qGreen(q) - greenOf(back)),
                                     double(qBlue(q) - blueOf(back))};
                const double a = (p[0] * d[0] + p[1] * d[1] + p[2] * d[2]) / (d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
                const double off = std::hypot(p[0] - a * d[0], p[1] - a * d[1], p[2] - a * d[2]);
                n += a > 0.33 && off < 40;
            }
        return n;
    }
    QImage image;
    Colour back;
    Rows title, plan, legend;
};

struct PlanCase {
    const char* network;
    int width, height;
};

void PrintTo(const PlanCase& c, std::ostream* out) { *out << c.network << " " << c.width << "x" << c.height; }

class PlanImage : public ::testing::TestWithParam<PlanCase> {};

// The plan fills the room between title and legend one way and stands in
// its middle both ways; the fans' labels, the heading and the legend are there.
TEST_P(PlanImage, PlanIsCentredWithTitleLegendAndFanLabels)
{
    const PlanCase& c = GetParam();
    TempFolder folder;
    const std::string size = std::to_string(c.width) + "x" + std::to_string(c.height);
    ASSERT_EQ(solve("--plan '" + (folder.file("plan.png")) + "' --size " + size + " " + c.network).status, 0);
    const Picture picture(folder.file("plan.png"), kScreen.back);
    ASSERT_EQ(picture.image.size(), QSize(c.width, c.height));
    ASSERT_GE(picture.legend.bottom, 0) << "a title above the plan and a legend below it";

    int left = c.width, right = 0;
    for (int y = picture.plan.top; y <= picture.plan.bottom; ++y)
        for (int x = 0; x < c.width; ++x)
            if (picture.drawn(x, y))
                left = std::min(left, x), right = std::max(right, x);
    const int rightGap = c.width - 1 - right;
    const int above = picture.plan.top - picture.title.bottom, below = picture.legend.top - picture.plan.bottom;
    EXPECT_NEAR(left, rightGap, 6 + 0.01 * c.width);
    EXPECT_NEAR(above, below, 6 + 0.02 * c.height);
    EXPECT_TRUE(left + rightGap < 0.08 * c.width || above + below < 0.15 * c.height)
        << "gaps " << left << " " << rightGap << " " << above << " " << below;

    EXPECT_GT(picture.count(picture.plan, kScreen.underline), 30) << "fan labels";
    EXPECT_GT(picture.count(picture.title, kScreen.onnode), 100) << "the heading";
    EXPECT_GT(picture.count(picture.legend, kScreen.online), 100) << "the quantity above roads";
    EXPECT_GT(picture.count(picture.legend, kScreen.underline), 100) << "the fans' entry";
}

INSTANTIATE_TEST_SUITE_P(Samples, PlanImage,
                         ::testing::Values(PlanCase{"data/water.vad", 1600, 1000}, PlanCase{"data/mine.vad", 900, 1200},
                                           PlanCase{"data/mine.vad", 2400, 700}));

// PNG or PDF by the extension, replacing an old file whole, in the print
// colours when asked.
TEST(PlanFile, WrittenByItsExtensionInTheColoursAskedFor)
{
    TempFolder folder;
    writeFile(folder.file("plan.pdf"), "old");
    EXPECT_EQ(solve("--plan '" + (folder.file("plan.png")) + "' --print-colours data/mine.vad").status, 0);
    EXPECT_EQ(solve("--plan '" + (folder.file("plan.pdf")) + "' data/mine.vad").status, 0);
    EXPECT_EQ(readFile(folder.file("plan.png")).substr(1, 3), "PNG");
    EXPECT_EQ(readFile(folder.file("plan.pdf")).substr(0, 5), "%PDF-");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 2);

    const Picture printed(folder.file("plan.png"), rgb(255, 255, 255));
    EXPECT_GT(printed.count(printed.title, DisplaySettings().print.onnode), 100) << "black heading on white";
}

// Labels never come out smaller than a share of the image's shorter side,
// nor below what the strokes need; a title too long for its line keeps its
// longest beginning that fits, with "..." after it.
TEST(PlanLayout, LabelsLegibleAndLongTitlesCut)
{
    EXPECT_FLOAT_EQ(cli::legibleLabelSize(400), 9);
    EXPECT_FLOAT_EQ(cli::legibleLabelSize(1000), 12);

    const std::string title = "Ventilation of the north district after the second fan";
    EXPECT_EQ(cli::fittedTitle(title, 10, 1000), title);
    const std::string cut = cli::fittedTitle(title, 10, 150);
    ASSERT_GT(cut.size(), 3u);
    const std::string kept = cut.substr(0, cut.size() - 3);
    EXPECT_EQ(cut, kept + "...");
    EXPECT_EQ(title.rfind(kept, 0), 0u);
    EXPECT_EQ(cli::fittedTitle(cut, 10, 150), cut) << "it fits";
    const std::string longer = title.substr(0, kept.size() + 1) + "...";
    EXPECT_NE(cli::fittedTitle(longer, 10, 150), longer) << "one character more would not";
}

}  // namespace
}  // namespace orvex::test
