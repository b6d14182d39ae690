#pragma once

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "display/planview.h"
#include "model/appcontext.h"
#include "model/networkio.h"
#include "model/profile.h"
#include "model/units.h"
#include "support/canvas.h"
#include "support/support.h"

namespace orvex::test {

inline constexpr Colour kBack = rgb(0, 0, 128), kRoad = rgb(200, 200, 200), kOnline = rgb(0, 255, 0),
                        kUnderline = rgb(255, 255, 0), kNode = rgb(255, 0, 255), kOnNode = rgb(0, 255, 255),
                        kStrong = rgb(255, 0, 0), kNodeData = rgb(255, 128, 0);

// A view with the test font and the colours above at scale 1, world (0, 0)
// at device (500, 500), so world (x, y) at device (500 + x, 500 − y); client
// area 1000 × 1000, node radius 8, character size 10; its network is filled
// by hand with the functions below (surface nodes and normal roads first).
inline std::unique_ptr<PlanView> makeView()
{
    std::string font = "decoding font: glyph n draws n strokes\nG 2 0 0 0 10 20 1\n";
    for (std::size_t n = 1; n <= kTestFontChars.size() + 6; ++n) {
        const std::size_t m = n + 1 - kTestFontChars.size();  // the symbols after the characters
        font += (n <= kTestFontChars.size() ? std::string(1, kTestFontChars[n - 1]) : "! " + std::to_string(m)) + " " +
                std::to_string(n + 1) + "  0 0 0";
        for (std::size_t k = 1; k <= n; ++k)
            font += "  " + std::to_string(k) + " 0 1";
        font += "\n";
    }
    auto view = std::make_unique<PlanView>();
    RecordingReporter reporter;
    EXPECT_TRUE(view->font.parse(font, "test font", reporter)) << reporter.all();
    view->settings.colours = ColourSlots{kBack, kRoad, kOnline, kUnderline, kNode, kOnNode, kStrong, kNodeData};
    view->geo.originX = view->geo.originY = 500;
    view->geo.clientWidth = view->geo.clientHeight = 1000;
    view->networkLoaded = true;
    return view;
}

inline void addNode(PlanView& view, int number, float x, float y, bool surface = false)
{
    PlanData& d = view.data;
    const std::size_t i = std::size_t(++d.nodeCount);
    d.nodeNumber[i] = number, d.nodeX[i] = x, d.nodeY[i] = y;
    d.indexOfNumber[std::size_t(number)] = int(i);
    d.surfaceCount += surface;
}

struct Bend {
    float x, y;
    int mark;
};
inline void addRoad(PlanView& view, int a, int b, float online = 0, std::vector<Bend> bends = {}, bool fixedFlow = false)
{
    PlanData& d = view.data;
    const std::size_t j = std::size_t(d.roadCount + d.fixedCount + 1);
    (fixedFlow ? d.fixedCount : d.roadCount)++;
    d.roadFirst[j] = a, d.roadSecond[j] = b, d.onlineValue[j] = online;
    d.roadBend[j] = bends.empty() ? 0 : d.bendUsed + 1;
    if (!bends.empty())
        d.bends[std::size_t(++d.bendUsed)] = BendSlot{int(bends.size()), 0, 0};
    for (const Bend& p : bends)
        d.bends[std::size_t(++d.bendUsed)] = BendSlot{p.mark, p.x, p.y};
}

inline void addFan(PlanView& view, int a, int b)
{
    const std::size_t f = std::size_t(++view.data.fanCount);
    view.data.fanFirst[f] = a, view.data.fanSecond[f] = b;
}

// The same text with every number within `tolerance` of the expected one.
inline ::testing::AssertionResult nearly(const std::string& actual, const std::string& expected, double tolerance = 1.0)
{
    const char *a = actual.c_str(), *e = expected.c_str();
    while (*a != 0 && *e != 0) {
        char *aEnd = nullptr, *eEnd = nullptr;
        const double u = std::strtod(a, &aEnd), v = std::strtod(e, &eEnd);
        if (aEnd == a || eEnd == e) {  // no number here: the characters must agree
            if (*a++ != *e++)
                break;
        } else if (std::fabs(u - v) > tolerance) {
            break;
        } else {
            a = aEnd, e = eEnd;
        }
    }
    if (*a == 0 && *e == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << actual << "\" is not near \"" << expected << "\"";
}

}  // namespace orvex::test
