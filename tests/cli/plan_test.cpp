// Plan images as they are pasted into a report: title line, the plan
// centred in the room left between title and legend, fan labels, legend.
// The pixels are classified by the colours the plan draws with.
#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include "display/displaysettings.h"
#include "support.h"

namespace orvex::clitest {
namespace {

const ColourSlots kScreen;  // the colours the batch tool draws with

// True when the pixel lies on the blend from the background to the colour,
// at least a third of the way (lines are drawn anti-aliased).
bool ofColour(QRgb pixel, Colour colour, Colour back)
{
    const double b[3] = {double(redOf(back)), double(greenOf(back)), double(blueOf(back))};
    const double d[3] = {redOf(colour) - b[0], greenOf(colour) - b[1], blueOf(colour) - b[2]};
    const double p[3] = {qRed(pixel) - b[0], qGreen(pixel) - b[1], qBlue(pixel) - b[2]};
    const double dd = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
    const double a = (p[0] * d[0] + p[1] * d[1] + p[2] * d[2]) / dd;
    double residual = 0;
    for (int i = 0; i < 3; ++i)
        residual += (p[i] - a * d[i]) * (p[i] - a * d[i]);
    return a > 0.33 && std::sqrt(residual) < 40;
}

struct Rows {
    int top, bottom;  // inclusive
};

class Picture {
public:
    Picture(const std::string& path, Colour back) : image(QString::fromStdString(path)), mBack(back) {}

    QImage image;

    bool drawn(int x, int y) const
    {
        const QRgb p = image.pixel(x, y);
        return std::abs(qRed(p) - redOf(mBack)) + std::abs(qGreen(p) - greenOf(mBack)) +
                   std::abs(qBlue(p) - blueOf(mBack)) > 60;
    }
    // Runs of rows with something drawn, split at 6 or more empty rows.
    std::vector<Rows> clusters() const
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
            if (empty >= 6 || runs.empty())
                runs.push_back({y, y});
            runs.back().bottom = y;
            empty = 0;
        }
        return runs;
    }
    // The first and last column with something drawn in the rows.
    std::pair<int, int> columns(const Rows& rows) const
    {
        int left = image.width(), right = -1;
        for (int y = rows.top; y <= rows.bottom; ++y)
            for (int x = 0; x < image.width(); ++x)
                if (drawn(x, y))
                    left = std::min(left, x), right = std::max(right, x);
        return {left, right};
    }
    int count(const Rows& rows, Colour colour) const
    {
        int n = 0;
        for (int y = rows.top; y <= rows.bottom; ++y)
            for (int x = 0; x < image.width(); ++x)
                n += ofColour(image.pixel(x, y), colour, mBack);
        return n;
    }
    // Groups of pixels of the colour in the rows: cells of 24 pixels that
    // hold some, joined where they touch.
    int groups(const Rows& rows, Colour colour) const
    {
        constexpr int kCell = 24;
        std::set<std::pair<int, int>> cells;
        for (int y = rows.top; y <= rows.bottom; ++y)
            for (int x = 0; x < image.width(); ++x)
                if (ofColour(image.pixel(x, y), colour, mBack))
                    cells.insert({x / kCell, y / kCell});
        int n = 0;
        while (!cells.empty()) {
            ++n;
            std::vector<std::pair<int, int>> todo{*cells.begin()};
            cells.erase(cells.begin());
            while (!todo.empty()) {
                const auto [cx, cy] = todo.back();
                todo.pop_back();
                for (int dx = -1; dx <= 1; ++dx)
                    for (int dy = -1; dy <= 1; ++dy)
                        if (cells.erase({cx + dx, cy + dy}))
                            todo.push_back({cx + dx, cy + dy});
            }
        }
        return n;
    }

private:
    Colour mBack;
};

// The parts of a plan image: the title (first rows drawn), the plan (the
// tallest run of rows) and the legend (every row after it).
struct Parts {
    Rows title{0, 0}, plan{0, 0}, legend{0, 0};
    bool found = false;
};

Parts partsOf(const Picture& picture)
{
    const std::vector<Rows> runs = picture.clusters();
    Parts parts;
    if (runs.size() < 3)
        return parts;
    std::size_t tallest = 0;
    for (std::size_t i = 1; i < runs.size(); ++i)
        if (runs[i].bottom - runs[i].top > runs[tallest].bottom - runs[tallest].top)
            tallest = i;
    if (tallest == 0 || tallest + 1 == runs.size())
        return parts;
    parts.title = {runs.front().top, runs[tallest - 1].bottom};
    parts.plan = runs[tallest];
    parts.legend = {runs[tallest + 1].top, runs.back().bottom};
    parts.found = true;
    return parts;
}

struct PlanCase {
    const char* network;
    int width, height;
    int fans;
};

class PlanImage : public ::testing::TestWithParam<PlanCase> {
protected:
    void SetUp() override
    {
        const PlanCase& c = GetParam();
        const SolveRun run = solve("--plan '" + mFile + "' --size " + std::to_string(c.width) + "x" +
                                   std::to_string(c.height) + " " + c.network);
        ASSERT_EQ(run.status, 0) << run.err;
    }
    TempFolder mFolder{"plan"};
    std::string mFile = mFolder / "plan.png";
};

// The plan fills the room between title and legend in one direction and
// stands in its middle in both.
TEST_P(PlanImage, PlanIsCentredBetweenTitleAndLegend)
{
    const PlanCase& c = GetParam();
    const Picture picture(mFile, kScreen.back);
    ASSERT_EQ(picture.image.size(), QSize(c.width, c.height));
    const Parts parts = partsOf(picture);
    ASSERT_TRUE(parts.found) << "a title above the plan and a legend below it";

    const auto [left, right] = picture.columns(parts.plan);
    const int leftGap = left, rightGap = c.width - 1 - right;
    const int above = parts.plan.top - parts.title.bottom, below = parts.legend.top - parts.plan.bottom;
    EXPECT_NEAR(leftGap, rightGap, 6 + 0.01 * c.width);
    EXPECT_NEAR(above, below, 6 + 0.02 * c.height);
    EXPECT_TRUE(leftGap + rightGap < 0.08 * c.width || above + below < 0.15 * c.height)
        << "gaps " << leftGap << " " << rightGap << " " << above << " " << below;
}

// Each fan's airflow and pressure beside it, in the colour the legend gives them.
TEST_P(PlanImage, FanLabelsAndLegendAreDrawn)
{
    const PlanCase& c = GetParam();
    const Picture picture(mFile, kScreen.back);
    const Parts parts = partsOf(picture);
    ASSERT_TRUE(parts.found);
    EXPECT_EQ(picture.groups(parts.plan, kScreen.underline), c.fans);
    EXPECT_GT(picture.count(parts.title, kScreen.onnode), 100) << "the heading";
    EXPECT_GT(picture.count(parts.legend, kScreen.online), 100) << "the quantity above roads";
    EXPECT_GT(picture.count(parts.legend, kScreen.underline), 100) << "the fans' entry";
}

INSTANTIATE_TEST_SUITE_P(Samples, PlanImage,
                         ::testing::Values(PlanCase{"data/mine.vad", 1600, 1000, 2},
                                           PlanCase{"data/water.vad", 1600, 1000, 1},
                                           PlanCase{"data/mine.vad", 900, 1200, 2},
                                           PlanCase{"data/mine.vad", 2400, 700, 2}),
                         [](const ::testing::TestParamInfo<PlanCase>& info) {
                             return testName(fs::path(info.param.network).stem().string() + " " +
                                             std::to_string(info.param.width) + "x" +
                                             std::to_string(info.param.height));
                         });

// PNG or PDF by the extension; a new image replaces an old one whole, and
// one that cannot be written is refused with exit 2.
TEST(PlanFile, WrittenByItsExtensionOrRefused)
{
    TempFolder folder("planfile");
    writeFile(folder / "plan.pdf", "old");
    EXPECT_EQ(solve("--plan '" + (folder / "plan.png") + "' --print-colours data/mine.vad").status, 0);
    EXPECT_EQ(solve("--plan '" + (folder / "plan.pdf") + "' data/mine.vad").status, 0);
    EXPECT_EQ(readFile(folder / "plan.png").substr(1, 3), "PNG");
    EXPECT_EQ(readFile(folder / "plan.pdf").substr(0, 5), "%PDF-");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 2);

    const Picture printed(folder / "plan.png", rgb(255, 255, 255));
    const Parts parts = partsOf(printed);
    ASSERT_TRUE(parts.found);
    EXPECT_GT(printed.count(parts.title, DisplaySettings().print.onnode), 100) << "black heading on white";

    const SolveRun run = solve("--plan '" + (folder / "missing/plan.png") + "' data/mine.vad");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find(folder / "missing/plan.png"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace orvex::clitest
