// The window's calibration: what a choice fits, the survey's summary, the
// element each row marks, Accept as one step only for a converged fit of
// the network as it stands, and the plan's residual colours for a while,
// never in the profile.
#include <cmath>

#include "control/calibration.h"
#include "support.h"
#include "viewbench.h"

namespace orvex::test {
namespace {

const std::string kSurvey = std::string(ORVEX_TEST_DATA_DIR) + "/small-survey.csv";

TEST(CalibrationChoice, WhatEachChoiceFits)
{
    const auto choice = [](FitWhat what, std::string text, bool fans = false, double prior = 50) {
        FitChoice c;
        c.what = what;
        (what == FitWhat::Groups ? c.prefixes : c.written) = std::move(text);
        c.fanOffsets = fans;
        c.priorPercent = prior;
        return c;
    };
    const struct {
        FitChoice choice;
        const char* error;  // a word of the message, "" when it fits
        bool allRoads, allFans;
        std::size_t prefixes, roads;
    } cases[] = {
        {choice(FitWhat::AllRoads, ""), "", true, false, 0, 0},
        {choice(FitWhat::Groups, " MAIN, DEV ;X", true, 20), "", false, true, 3, 0},
        {choice(FitWhat::Groups, " , "), "prefixes", false, false, 0, 0},
        {choice(FitWhat::Written, "roads:1-10,10-11"), "", false, false, 0, 2},
        {choice(FitWhat::Written, "", true), "", false, true, 0, 0},
        {choice(FitWhat::Written, ""), "Write", false, false, 0, 0},
        {choice(FitWhat::Written, "pipes"), "pipes", false, false, 0, 0},
        {choice(FitWhat::AllRoads, "", false, 0), "prior", false, false, 0, 0},
    };
    for (const auto& c : cases) {
        FitTerms terms;
        std::string error;
        const bool fits = fitTermsOf(c.choice, terms, error);
        SCOPED_TRACE(c.choice.prefixes + c.choice.written);
        EXPECT_EQ(fits, *c.error == 0) << error;
        if (!fits) {
            EXPECT_NE(error.find(c.error), std::string::npos) << error;
            continue;
        }
        EXPECT_EQ(std::make_tuple(terms.allRoads, terms.allFans, terms.prefixes.size(), terms.roads.size()),
                  std::make_tuple(c.allRoads, c.allFans, c.prefixes, c.roads));
        EXPECT_EQ(terms.priorPercent, c.choice.priorPercent);
    }
}

// A fit as the library reports one: every survey line used, road 1-10's
// resistance fitted.
CalibrationResult fitOf(const Survey& survey, bool converged)
{
    CalibrationResult r;
    r.converged = converged;
    for (const Measurement& m : survey.measurements)
        r.measurements.push_back({m, m.value, m.value, 0, 0, 0, 0, false});
    r.measurements[0].normalisedAfter = 1.5;
    r.measurements[1].normalisedAfter = 4, r.measurements[1].flagged = true;
    FitUnknown u;
    u.name = "road 1-10";
    u.items = {1};
    u.start = 0.015625, u.fitted = 0.03;
    r.unknowns = {u};
    return r;
}

TEST(CalibrationSession, RowsMarkTheirElementsAndAcceptIsOneStep)
{
    SampleNetwork net(std::string(ORVEX_TEST_DATA_DIR) + "/small.vad");
    ASSERT_TRUE(net.opened);
    CBriscoDoc& doc = *net.doc;
    CalibrationSession s;
    std::string error;
    EXPECT_FALSE(s.loadSurvey(kSurvey + ".missing", error));
    EXPECT_NE(error.find("small-survey.csv.missing"), std::string::npos) << error;
    EXPECT_FALSE(s.fitEnabled());
    ASSERT_TRUE(s.loadSurvey(kSurvey, error)) << error;
    EXPECT_EQ(s.surveySummary(), "small-survey.csv: 3 measurements (1 line left out)");
    ASSERT_EQ(s.surveyMessages().size(), 1u);
    EXPECT_NE(s.surveyMessages()[0].text.find("line 7"), std::string::npos) << s.surveyMessages()[0].text;

    RecordingViewWindow shell;
    s.started(doc);
    EXPECT_TRUE(s.stopEnabled() && !s.fitEnabled() && !s.acceptEnabled(doc));
    s.finished(fitOf(s.survey(), false));
    EXPECT_FALSE(s.acceptEnabled(doc));
    EXPECT_FALSE(s.accept(doc, shell, error));
    EXPECT_NE(s.resultMessages()[0].text.find("nothing applied"), std::string::npos);

    s.started(doc);
    s.finished(fitOf(s.survey(), true));
    const int n10 = doc.nodeIndex(10), n12 = doc.nodeIndex(12);
    const struct { CalibrationTarget target, expected; } rows[] = {
        {s.measurementTarget(0, doc), {MarkKind::Road, 1, 0}},
        {s.measurementTarget(1, doc), {MarkKind::NodePair, n10, n12}},
        {s.measurementTarget(2, doc), {MarkKind::Fan, 1, 0}},
        {s.measurementTarget(3, doc), {}},
        {s.unknownTarget(0, doc), {MarkKind::Road, 1, 0}},
    };
    for (const auto& r : rows)
        EXPECT_EQ(std::make_tuple(r.target.kind, r.target.element, r.target.other),
                  std::make_tuple(r.expected.kind, r.expected.element, r.expected.other));
    const std::vector<float> residual = s.residualByRoad(doc);
    EXPECT_EQ(residual.at(1), 1.5f);
    EXPECT_TRUE(std::isnan(residual.at(2)) && std::isnan(residual.at(3)));
    EXPECT_EQ(s.measurementTable(doc.app().units).rows.at(1).back().text, "beyond 3 sd");

    // An edit since the fit: neither applied nor coloured.
    doc.roads[2].resistance *= 2;
    EXPECT_TRUE(s.networkChanged(doc) && !s.acceptEnabled(doc));
    EXPECT_FALSE(s.accept(doc, shell, error));
    EXPECT_NE(error.find("fit again"), std::string::npos);
    EXPECT_TRUE(std::isnan(s.residualByRoad(doc).at(1)));
    doc.roads[2].resistance /= 2;

    ASSERT_TRUE(s.acceptEnabled(doc));
    doc.modified = false;
    ASSERT_TRUE(s.accept(doc, shell, error)) << error;
    EXPECT_FLOAT_EQ(doc.roads[1].resistance, 0.03f);
    EXPECT_TRUE(doc.modified);
    EXPECT_EQ(std::count(shell.calls.begin(), shell.calls.end(), "changed Calibrate"), 1);
    EXPECT_FALSE(s.acceptEnabled(doc));  // once
    EXPECT_EQ(s.residualByRoad(doc).at(1), 1.5f);  // the accepted network is the fit's
}

TEST(CalibrationPlan, ResidualColoursForAWhileAndNeverReachTheProfile)
{
    ViewBench b;
    b.node(1, 0, 0, NodeKind::Surface);
    b.node(2, 100, 0);
    b.road(1, 2);
    b.view->settings.look.roadColourKind = 3;
    b.control.showResiduals({NAN, 2.0f});
    b.control.showResiduals({NAN, 2.0f});  // twice keeps the person's kind
    EXPECT_EQ(b.view->settings.look.roadColourKind, kResidualKind);
    EXPECT_EQ(b.view->data.roadColourTitle, "normalised residual (measured \u2212 modelled) / sd");
    EXPECT_EQ(std::make_pair(b.view->data.roadScale.low, b.view->data.roadScale.high), std::make_pair(-3.0, 3.0));
    b.control.clearResiduals();
    EXPECT_EQ(b.view->settings.look.roadColourKind, 3);
    b.control.showResiduals({NAN, 2.0f});
    b.control.closing();
    DisplaySettings stored;
    ViewGeometry geometry;
    readDisplaySettings(b.profile, stored, geometry);
    EXPECT_EQ(stored.look.roadColourKind, 3);
}

}  // namespace
}  // namespace orvex::test
