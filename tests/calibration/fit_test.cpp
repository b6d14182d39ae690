// The fit: its derivatives against whole runs, known resistances recovered
// from a simulated survey with uncertainties that match the scatter of
// repeated surveys, what a survey cannot determine, gross errors, and the
// inputs it cannot use.
#include <cmath>
#include <random>

#include "analysis/quantities.h"
#include "analysis/solver.h"
#include "calibration/fitwork.h"
#include "fire/support.h"

namespace orvex::test {
namespace {

// Two shafts joined by four levels, a main fan on the upcast: 12 roads.
// With a flow step of 1500 the mine asks more of the fan than its curve
// gives: the fan is held at its last point.
struct Ladder : FireNet {
    explicit Ladder(float fanStep = 3000) : FireNet({1, 2}, {11, 12, 13, 14, 21, 22, 23, 24, 30})
    {
        for (const auto& [a, b, r] : std::vector<std::tuple<int, int, float>>{
                 {1, 11, 0.02f}, {11, 12, 0.03f}, {12, 13, 0.03f}, {13, 14, 0.04f}, {11, 21, 0.3f}, {12, 22, 0.25f},
                 {13, 23, 0.2f}, {14, 24, 0.15f}, {24, 23, 0.04f}, {23, 22, 0.03f}, {22, 21, 0.03f}, {21, 30, 0.02f}})
            road(a, b, r);
        fan(30, 2, fanStep, {3000, 2900, 2600, 2000, 1200});
        build(11);
    }
};

// Solves as the fit does: by the Newton method, tightly.
bool solve(CBriscoDoc& doc)
{
    QuietAnalysisDialog dialog;
    doc.solverMethod = SolverMethod::Newton;
    UpdateRoadDensities(doc);
    return SolveNetwork(doc, dialog, 1e-3f, 1, 1, 1) == 1;
}

// The airflow and the pressure drop of every road of doc, solved with its
// resistances times factors, with normal noise of sd share of each value
// (none for share 0... the deviation stays share of the value).
Survey simulate(const FireNet& net, const std::vector<double>& factors, double share, std::mt19937& random)
{
    RecordingReporter quiet;
    CBriscoDoc doc(*net.doc, quiet);
    for (int k = 1; k <= doc.roadCount; ++k)
        doc.roads[size_t(k)].resistance *= float(factors[size_t(k - 1)]);
    QuietAnalysisDialog dialog;
    EXPECT_EQ(runAnalysis(doc, dialog, true).result, 1);
    EXPECT_TRUE(solve(doc));
    Survey survey;
    survey.name = "survey.csv";
    std::normal_distribution<double> noise(0, 1);
    for (int k = 1; k <= doc.roadCount; ++k) {
        const Road& road = doc.roads[size_t(k)];
        float flow = 0;
        roadValue(doc, k, 1, flow);
        for (const auto& [kind, value] : {std::pair{MeasurementKind::Airflow, double(flow)},
                                          std::pair{MeasurementKind::PressureDrop, double(roadPressureDrop(doc, k))}}) {
            const double sd = share * std::fabs(value);
            survey.measurements.push_back({kind, road.first, road.second, value + sd * noise(random), sd, "",
                                           int(survey.measurements.size()) + 2});
        }
    }
    return survey;
}

FitTerms weakPriors(const std::string& text = "roads")
{
    FitTerms terms;
    std::string error;
    EXPECT_TRUE(parseFitTerms(text, terms, error)) << error;
    terms.priorPercent = 1000;
    return terms;
}

// Forward and adjoint derivatives agree, and match central differences of
// whole runs within share (the rounding of the floats the network holds
// and, in a deep mine, the fan curves' kinks).
void expectDerivativesOfWholeRuns(CBriscoDoc& doc, double share)
{
    Survey survey;
    survey.name = "survey.csv";
    for (int k = 1; k <= doc.roadCount; k += 3) {
        const Road& road = doc.roads[size_t(k)];
        survey.measurements.push_back({MeasurementKind::Airflow, road.second, road.first, 0, 1, "", 0});
        survey.measurements.push_back({MeasurementKind::PressureDrop, road.first, road.second, 0, 1, "", 0});
    }
    const Fan& fan = doc.fans[1];
    survey.measurements.push_back({MeasurementKind::FanPressure, fan.inlet, fan.outlet, 0, 1, "", 0});
    survey.measurements.push_back({MeasurementKind::PressureDrop, doc.nodes[size_t(doc.surfaceCount + 1)].number,
                                   doc.nodes[size_t(doc.nodeCount)].number, 0, 1, "", 0});
    const Road& r2 = doc.roads[2];
    const Road& r5 = doc.roads[5];
    const std::string terms = "group:" + std::to_string(r2.first) + "-" + std::to_string(r2.second) + "," +
                              std::to_string(r5.first) + "-" + std::to_string(r5.second) + ";roads;fans";
    const FitProblem problem = setUpProblem(doc, survey, weakPriors(terms));
    ASSERT_TRUE(problem.warnings.empty()) << problem.warnings.front();
    QuietAnalysisDialog dialog;
    ASSERT_EQ(runAnalysis(doc, dialog, true).result, 1);
    ASSERT_TRUE(solve(doc));
    NetworkSensitivity sensitivity(doc);
    ASSERT_TRUE(sensitivity.ok()) << sensitivity.failure();
    const auto forward = derivatives(doc, sensitivity, problem, SensitivityMode::Forward);
    const auto adjoint = derivatives(doc, sensitivity, problem, SensitivityMode::Adjoint);

    const size_t n = problem.parameters.size();
    for (size_t j : {size_t(0), size_t(1), size_t(7), n - 1}) {  // the group, roads, the fan's offset
        // A hundredth of the resistance, half a pressure unit of the curve:
        // well above the rounding of the floats the network holds.
        const double h = problem.parameters[j].kind == UnknownKind::FanOffset ? 0.5 : 1e-2;
        std::vector<double> x(n, 0.0), values[2];
        for (int side = 0; side < 2; ++side) {
            x[j] = side ? -h : h;
            setParameters(doc, problem, x);
            ASSERT_TRUE(solve(doc));
            for (const BoundMeasurement& m : problem.measurements)
                values[side].push_back(modelValue(doc, m));
        }
        for (size_t i = 0; i < problem.measurements.size(); ++i) {
            const double scale = std::fabs(forward[i][j]) + 1e-3 * std::fabs(modelValue(doc, problem.measurements[i]));
            EXPECT_NEAR(adjoint[i][j], forward[i][j], 1e-9 * scale) << i << " " << j;
            EXPECT_NEAR((values[0][i] - values[1][i]) / (2 * h), forward[i][j], share * scale + 1e-3)
                << problem.parameters[j].name << ", measurement " << i;
        }
    }
}

TEST(Fit, DerivativesFromTheFactorisationAreThoseOfWholeRuns)
{
    Ladder level, held(1500);
    expectDerivativesOfWholeRuns(*level.doc, 0.005);
    expectDerivativesOfWholeRuns(*held.doc, 0.005);
    SampleNetwork deep;
    ASSERT_TRUE(deep.opened);
    expectDerivativesOfWholeRuns(*deep.doc, 0.05);
}

TEST(Fit, RecoversKnownResistancesWithUncertaintiesThatMatchTheScatter)
{
    Ladder net;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> spread(0.6, 1.6);
    std::vector<double> factors;
    for (int k = 1; k <= net.doc->roadCount; ++k)
        factors.push_back(spread(random));

    constexpr int kSurveys = 16;
    const size_t n = size_t(net.doc->roadCount);
    std::vector<double> sum(n, 0.0), squares(n, 0.0), reported(n, 0.0);
    int within2 = 0;
    for (int s = 0; s < kSurveys; ++s) {
        const CalibrationResult r = calibrate(*net.doc, simulate(net, factors, 0.02, random), weakPriors());
        ASSERT_TRUE(r.usable()) << r.error;
        ASSERT_EQ(r.unknowns.size(), n);
        EXPECT_TRUE(r.undetermined.empty());
        for (size_t j = 0; j < n; ++j) {
            const FitUnknown& u = r.unknowns[j];
            const double truth = u.start * factors[j];
            EXPECT_TRUE(u.determined) << u.name;
            EXPECT_LT(std::fabs(u.fitted - truth), 4 * u.uncertainty) << u.name;
            within2 += std::fabs(u.fitted - truth) <= 2 * u.uncertainty;
            const double logFactor = std::log(u.fitted / u.start);
            sum[j] += logFactor;
            squares[j] += logFactor * logFactor;
            reported[j] += u.uncertainty / u.fitted / kSurveys;
        }
        EXPECT_LT(r.costAfter, r.costBefore);
    }
    EXPECT_GE(within2, int(0.85 * kSurveys * n));
    double ratio = 0;  // the scatter over the surveys against the uncertainty reported
    for (size_t j = 0; j < n; ++j) {
        const double mean = sum[j] / kSurveys;
        ratio += std::sqrt((squares[j] / kSurveys - mean * mean) * kSurveys / (kSurveys - 1)) / reported[j] / n;
    }
    EXPECT_GT(ratio, 0.7);
    EXPECT_LT(ratio, 1.3);
}

TEST(Fit, AGrossErrorStandsOutAndAppliedFitChangesOnlyTheFittedValues)
{
    Ladder net;
    std::mt19937 random(11);
    std::vector<double> factors(12, 1.0);
    factors[5] = factors[6] = factors[7] = 1.3;  // the fitted roads
    Survey survey = simulate(net, factors, 0.02, random);
    Measurement& gross = survey.measurements[10];  // the airflow of road 6
    gross.value += 12 * gross.sd;
    Measurement against = survey.measurements[0];  // road 1 measured against its direction
    std::swap(against.from, against.to);
    against.value = -against.value;
    survey.measurements.push_back(against);
    const CalibrationResult r = calibrate(*net.doc, survey, weakPriors("roads:12-22;group:13-23,14-24;fans"));
    ASSERT_TRUE(r.usable()) << r.error;
    EXPECT_NEAR(r.measurements.back().before, -r.measurements[0].before, 1e-9);
    size_t worst = 0;
    for (size_t i = 0; i < r.measurements.size(); ++i)
        if (std::fabs(r.measurements[i].normalisedAfter) > std::fabs(r.measurements[worst].normalisedAfter))
            worst = i;
    EXPECT_EQ(worst, 10u);
    EXPECT_TRUE(r.measurements[10].flagged);
    for (size_t i : {13, 15}) {  // the pressure drops of roads the fit changed: far out only before it
        EXPECT_GT(r.measurements[i].normalisedBefore, 5);
        EXPECT_FALSE(r.measurements[i].flagged);
    }
    EXPECT_NEAR(roadNormalisedResidual(*net.doc, r, 6), r.measurements[10].normalisedAfter, 1e-12);

    const std::string before = snapshot(*net.doc);
    RecordingReporter quiet;
    CBriscoDoc applied(*net.doc, quiet);
    applyCalibration(applied, r);
    EXPECT_EQ(snapshot(*net.doc), before) << "the fit works on a copy";
    EXPECT_FLOAT_EQ(applied.roads[6].resistance, float(r.unknowns[1].fitted));  // groups come first
    for (int k : {7, 8})  // the group's factor on each of its roads
        EXPECT_FLOAT_EQ(applied.roads[size_t(k)].resistance,
                        float(net.doc->roads[size_t(k)].resistance * r.unknowns[0].fitted));
    EXPECT_FLOAT_EQ(applied.fans[1].curve[3], float(2600 + r.unknowns[2].fitted));
    EXPECT_EQ(applied.roads[5].resistance, net.doc->roads[5].resistance);

    CalibrationResult unfinished = r;
    unfinished.converged = false;
    CBriscoDoc kept(*net.doc, quiet);
    applyCalibration(kept, unfinished);
    EXPECT_EQ(snapshot(kept), before) << "a fit that did not converge is not applied";
}

TEST(Fit, RoadsInSeriesWithOneAirflowAreNotDeterminedSeparately)
{
    FireNet net({1, 2}, {10, 20, 30});
    net.road(1, 10, 1), net.road(10, 20, 2), net.road(20, 30, 1);
    net.fan(30, 2, 600, {1500, 1400, 1000, 400});
    net.build(10);
    Survey survey;
    survey.name = "survey.csv";
    survey.measurements.push_back({MeasurementKind::Airflow, 1, 10, 900, 20, "", 2});
    const CalibrationResult r = calibrate(*net.doc, survey, defaultFitTerms());
    ASSERT_TRUE(r.usable()) << r.error;
    // The priors share the change out: at the least cost each road's change
    // (as a logarithm, all priors alike) goes with its share of the loss,
    // its fitted resistance.
    const double share = std::log(r.unknowns[0].fitted / r.unknowns[0].start) / r.unknowns[0].fitted;
    for (const FitUnknown& u : r.unknowns) {
        EXPECT_GT(u.fitted, u.start) << u.name;
        EXPECT_FALSE(u.atBound) << u.name;
        EXPECT_NEAR(std::log(u.fitted / u.start) / u.fitted, share, 0.02 * share) << u.name;
    }
    FitTerms near = defaultFitTerms();
    near.highFactor = 1.01;
    for (const FitUnknown& u : calibrate(*net.doc, survey, near).unknowns) {
        EXPECT_LE(u.fitted, 1.01 * u.start * (1 + 1e-9)) << u.name;
        EXPECT_TRUE(u.atBound) << u.name;
    }
    EXPECT_EQ(r.warnings, (std::vector<std::string>{
                              "The fit has 3 unknowns and 1 measurements: the priors keep it defined, and the survey "
                              "can determine at most 1 combinations of the unknowns."}));
    EXPECT_EQ(r.undetermined, (std::vector<std::vector<int>>{{0, 1, 2}}));
    for (const FitUnknown& u : r.unknowns)
        EXPECT_FALSE(u.determined) << u.name;
    EXPECT_EQ(r.degreesOfFreedom, 0);
    EXPECT_GT(std::fabs(r.measurements[0].normalisedBefore), 2);
    EXPECT_LT(std::fabs(r.measurements[0].normalisedAfter), 0.5);
}

TEST(Fit, InputItCannotUseIsNamedAndNothingIsApplied)
{
    Ladder net;
    std::mt19937 random(3);
    Survey survey = simulate(net, std::vector<double>(12, 1.0), 0.01, random);
    survey.measurements.push_back({MeasurementKind::Airflow, 11, 24, 10, 1, "", 40});
    survey.measurements.push_back({MeasurementKind::PressureDrop, 11, 77, 10, 1, "", 41});
    survey.measurements.push_back({MeasurementKind::FanPressure, 2, 30, 10, 1, "", 42});
    const CalibrationResult named = calibrate(*net.doc, survey, weakPriors("roads:11-12,11-12,14-21"));
    ASSERT_TRUE(named.usable()) << named.error;
    EXPECT_EQ(named.warnings,
              (std::vector<std::string>{"The road 11-12 is named twice in what to fit: it is fitted once.",
                                        "No normal road joins nodes 14 and 21: it is not fitted.",
                                        "survey.csv, line 40: no road joins nodes 11 and 24; the measurement is left out.",
                                        "survey.csv, line 41: there is no node 77; the measurement is left out.",
                                        "survey.csv, line 42: no fan runs from node 2 to node 30; the measurement is "
                                        "left out."}));
    EXPECT_EQ(named.measurements.size(), 24u);

    EXPECT_EQ(calibrate(*net.doc, survey, weakPriors("roads:5-6")).error,
              "Nothing to fit: no road or fan of the network is named.");
    std::atomic<bool> stop{true};
    const CalibrationResult stopped = calibrate(*net.doc, survey, weakPriors(), &stop);
    EXPECT_TRUE(stopped.stopped);
    EXPECT_FALSE(stopped.usable());
    const std::string before = snapshot(*net.doc);
    applyCalibration(*net.doc, stopped);
    EXPECT_EQ(snapshot(*net.doc), before);

    net.at(5).resistance = 0;  // refused by the check before a run
    EXPECT_EQ(calibrate(*net.doc, survey, weakPriors()).error.rfind(
                  "The network does not solve by the Newton method at its starting values", 0),
              0u);
}

}  // namespace
}  // namespace orvex::test
