// The fit: Levenberg–Marquardt with bounds on the solved network, its
// derivatives from the Newton method's factorisation, then what the survey
// determines from the information it carries against the priors'.
#include <algorithm>
#include <cmath>

#include <Eigen/Dense>

#include "analysis/analysisdialog.h"
#include "analysis/solver.h"
#include "calibration/fitwork.h"
#include "model/itemlist.h"
#include "run/rundriver.h"

namespace orvex {

namespace {

// The solves within the fit are this much tighter than the installation's
// target accuracy, so that their rounding stays far below the changes the
// fit weighs.
constexpr float kSolveTightening = 1e-3f;
// Converged: a step lowered the cost by less than this share, or moved no
// parameter by more than this share of its prior.
constexpr double kCostShare = 1e-9;
constexpr double kStepShare = 1e-7;
// The damping beyond which no step lowers the cost any more: the minimum,
// to the solver's rounding.
constexpr double kDampingLimit = 1e8;
// The survey determines an unknown when its uncertainty after the fit is at
// most this share of its prior's; unknowns it reaches but does not
// determine, correlated beyond kCorrelated, form a set of which only a
// combination is determined.
constexpr double kDeterminedShare = 0.5;
constexpr double kCorrelated = 0.2;

// One state of the fit: the parameters, the modelled values and, once
// accepted, the scaled derivatives (rows by measurement, / sd).
struct State {
    std::vector<double> x;
    std::vector<double> model;
    double cost = 0;       // measurements' part
    double priorCost = 0;  // priors' part
    Eigen::MatrixXd A;
    double total() const { return cost + priorCost; }
};

class Fit {
public:
    Fit(const CBriscoDoc& doc, const Survey& survey, const FitTerms& terms, const std::atomic<bool>* stop)
        : mReporter(), mDoc(doc, mReporter), mProblem(setUpProblem(doc, survey, terms)),
          mIterationLimit(terms.iterationLimit), mStop(stop)
    {
    }

    CalibrationResult run();

private:
    bool solveAt(const std::vector<double>& x, State& s);
    bool derivatives(State& s);
    Eigen::VectorXd step(const State& s, double damping) const;
    void report(const State& start, const State& end, CalibrationResult& r);
    void judge(const State& end, CalibrationResult& r);

    SilentReporter mReporter;
    CBriscoDoc mDoc;
    FitProblem mProblem;
    int mIterationLimit;
    const std::atomic<bool>* mStop;
    QuietAnalysisDialog mDialog;
};

bool Fit::solveAt(const std::vector<double>& x, State& s)
{
    setParameters(mDoc, mProblem, x);
    mDoc.solverMethod = SolverMethod::Newton;
    UpdateRoadDensities(mDoc);
    const int result = SolveNetwork(mDoc, mDialog, kSolveTightening, 1.0f, 1.0f, 1.0f);
    if (result != 1 || mDoc.solvedBy != SolverMethod::Newton)
        return false;
    s.x = x;
    s.model.clear();
    s.cost = s.priorCost = 0;
    for (const BoundMeasurement& m : mProblem.measurements) {
        s.model.push_back(modelValue(mDoc, m));
        const double z = (m.measurement.value - s.model.back()) / m.measurement.sd;
        s.cost += z * z;
    }
    for (size_t j = 0; j < x.size(); ++j)
        s.priorCost += std::pow(x[j] / mProblem.parameters[j].prior, 2);
    return true;
}

bool Fit::derivatives(State& s)
{
    NetworkSensitivity sensitivity(mDoc);
    if (!sensitivity.ok())
        return false;
    const auto J = orvex::derivatives(mDoc, sensitivity, mProblem);
    const size_t n = mProblem.parameters.size();
    s.A.resize(Eigen::Index(J.size()), Eigen::Index(n));
    for (size_t i = 0; i < J.size(); ++i)
        for (size_t j = 0; j < n; ++j)
            s.A(Eigen::Index(i), Eigen::Index(j)) = J[i][j] / mProblem.measurements[i].measurement.sd;
    return true;
}

// The damped Gauss–Newton step from s, parameters at a bound that the
// gradient pushes beyond it held, the step clamped to the bounds.
Eigen::VectorXd Fit::step(const State& s, double damping) const
{
    const Eigen::Index n = s.A.cols();
    Eigen::VectorXd z(s.A.rows()), prior(n), x(n);
    for (Eigen::Index i = 0; i < z.size(); ++i) {
        const Measurement& m = mProblem.measurements[size_t(i)].measurement;
        z[i] = (m.value - s.model[size_t(i)]) / m.sd;
    }
    for (Eigen::Index j = 0; j < n; ++j) {
        prior[j] = 1 / std::pow(mProblem.parameters[size_t(j)].prior, 2);
        x[j] = s.x[size_t(j)];
    }
    // The model moves by A δ, so the residuals by -A δ.
    const Eigen::VectorXd gradient = -s.A.transpose() * z + prior.cwiseProduct(x);
    Eigen::MatrixXd H = s.A.transpose() * s.A;
    H.diagonal() += prior;
    std::vector<Eigen::Index> free;
    for (Eigen::Index j = 0; j < n; ++j) {
        const FitParameter& p = mProblem.parameters[size_t(j)];
        const bool held = (x[j] <= p.low && gradient[j] > 0) || (x[j] >= p.high && gradient[j] < 0);
        if (!held)
            free.push_back(j);
    }
    const Eigen::Index f = Eigen::Index(free.size());
    Eigen::MatrixXd Hf(f, f);
    Eigen::VectorXd gf(f);
    for (Eigen::Index a = 0; a < f; ++a) {
        gf[a] = gradient[free[size_t(a)]];
        for (Eigen::Index b = 0; b < f; ++b)
            Hf(a, b) = H(free[size_t(a)], free[size_t(b)]);
        Hf(a, a) *= 1 + damping;
    }
    const Eigen::VectorXd df = Hf.ldlt().solve(-gf);
    Eigen::VectorXd delta = Eigen::VectorXd::Zero(n);
    for (Eigen::Index a = 0; a < f; ++a) {
        const FitParameter& p = mProblem.parameters[size_t(free[size_t(a)])];
        const double to = std::clamp(x[free[size_t(a)]] + df[a], p.low, p.high);
        delta[free[size_t(a)]] = to - x[free[size_t(a)]];
    }
    return delta;
}

CalibrationResult Fit::run()
{
    CalibrationResult r;
    r.warnings = mProblem.warnings;
    const size_t n = mProblem.parameters.size(), m = mProblem.measurements.size();
    if (n == 0 || m == 0) {
        r.error = n == 0 ? "Nothing to fit: no road or fan of the network is named."
                         : "No measurement of the survey names a road, fan or node of the network.";
        return r;
    }
    if (n > m)
        r.warnings.push_back("The fit has " + std::to_string(n) + " unknowns and " + std::to_string(m) +
                             " measurements: the priors keep it defined, and the survey can determine at most " +
                             std::to_string(m) + " combinations of the unknowns.");
    const RunOutcome first = runAnalysis(mDoc, mDialog, true);
    State start, now;
    if (!runConverged(first, mDoc) || !solveAt(std::vector<double>(n, 0.0), start) || !derivatives(start)) {
        ItemList why;
        for (const std::string& w : first.warnings)
            why.add(w);
        r.error = "The network does not solve by the Newton method at its starting values" +
                  (why.empty() ? std::string(".") : ": " + why.text());
        return r;
    }
    now = start;
    double damping = 1e-3;
    for (r.iterations = 0; r.iterations < mIterationLimit; ++r.iterations) {
        if (mStop && mStop->load()) {
            r.stopped = true;
            break;
        }
        const Eigen::VectorXd delta = step(now, damping);
        std::vector<double> x = now.x;
        double moved = 0;
        for (size_t j = 0; j < n; ++j) {
            x[j] += delta[Eigen::Index(j)];
            moved = std::max(moved, std::fabs(delta[Eigen::Index(j)]) / mProblem.parameters[j].prior);
        }
        State trial;
        if (moved > 0 && solveAt(x, trial) && trial.total() < now.total() && derivatives(trial)) {
            const double gain = now.total() - trial.total();
            now = std::move(trial);
            damping = std::max(damping / 10, 1e-12);
            if (gain <= kCostShare * now.total() || moved <= kStepShare) {
                r.converged = true;
                break;
            }
        } else if (moved <= kStepShare || (damping *= 10) > kDampingLimit) {
            r.converged = true;  // no step lowers the cost: the minimum, to the solver's rounding
            break;
        }
    }
    // The network back at the state reported, for its modelled values.
    if (!solveAt(now.x, now) || !derivatives(now))
        r.converged = false;
    report(start, now, r);
    return r;
}

void Fit::report(const State& start, const State& end, CalibrationResult& r)
{
    for (size_t i = 0; i < mProblem.measurements.size(); ++i) {
        MeasurementFit f;
        f.measurement = mProblem.measurements[i].measurement;
        f.before = start.model[i];
        f.after = end.model[i];
        f.residualBefore = f.measurement.value - f.before;
        f.residualAfter = f.measurement.value - f.after;
        f.normalisedBefore = f.residualBefore / f.measurement.sd;
        f.normalisedAfter = f.residualAfter / f.measurement.sd;
        f.flagged = std::fabs(f.normalisedAfter) > kFlagNormalised;
        r.measurements.push_back(f);
    }
    r.costBefore = start.cost;
    r.costAfter = end.cost;
    judge(end, r);
}

// The uncertainties from the fit's normal matrix at the end, priors
// included; in the priors' scale the survey's information is M = S AᵀA S,
// the covariance S (M + I)⁻¹ S. An eigenvalue of M above 1 is a combination
// the survey knows better than the priors did.
void Fit::judge(const State& end, CalibrationResult& r)
{
    const Eigen::Index n = end.A.cols();
    Eigen::VectorXd S(n);
    for (Eigen::Index j = 0; j < n; ++j)
        S[j] = mProblem.parameters[size_t(j)].prior;
    const Eigen::MatrixXd M = S.asDiagonal() * (end.A.transpose() * end.A) * S.asDiagonal();
    const Eigen::MatrixXd post = (M + Eigen::MatrixXd::Identity(n, n)).ldlt().solve(Eigen::MatrixXd::Identity(n, n));
    const Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> eigen(M, Eigen::EigenvaluesOnly);
    const int rank = int((eigen.eigenvalues().array() >= 1.0).count());
    r.degreesOfFreedom = int(end.A.rows()) - rank;

    std::vector<int> confounded;  // reached by the survey, but not determined
    for (Eigen::Index j = 0; j < n; ++j) {
        const FitParameter& p = mProblem.parameters[size_t(j)];
        const double x = end.x[size_t(j)], sd = S[j] * std::sqrt(post(j, j));
        FitUnknown u;
        u.kind = p.kind;
        u.name = p.name;
        u.items = p.items;
        const bool fan = p.kind == UnknownKind::FanOffset;
        const double scale = p.kind == UnknownKind::Resistance ? p.start.front() : 1.0;
        u.start = fan ? 0.0 : scale;
        u.fitted = fan ? x : scale * std::exp(x);
        u.uncertainty = fan ? sd : u.fitted * sd;
        u.prior = fan ? p.prior : scale * std::expm1(p.prior);
        const double margin = 1e-9 * (p.high - p.low);
        u.atBound = x <= p.low + margin || x >= p.high - margin;
        u.determined = std::sqrt(post(j, j)) <= kDeterminedShare;
        if (!u.determined && M(j, j) >= 1)
            confounded.push_back(int(j));
        r.unknowns.push_back(u);
    }
    // Sets of confounded unknowns joined by their correlations.
    std::vector<int> group(confounded.size());
    for (size_t a = 0; a < confounded.size(); ++a)
        group[a] = int(a);
    const auto root = [&group](int a) {
        while (group[size_t(a)] != a)
            a = group[size_t(a)] = group[size_t(group[size_t(a)])];
        return a;
    };
    for (size_t a = 0; a < confounded.size(); ++a)
        for (size_t b = a + 1; b < confounded.size(); ++b) {
            const int j = confounded[a], k = confounded[b];
            if (std::fabs(post(j, k)) >= kCorrelated * std::sqrt(post(j, j) * post(k, k)))
                group[size_t(root(int(a)))] = root(int(b));
        }
    for (size_t a = 0; a < confounded.size(); ++a) {
        if (root(int(a)) != int(a))
            continue;
        std::vector<int> set;
        for (size_t b = 0; b < confounded.size(); ++b)
            if (root(int(b)) == int(a))
                set.push_back(confounded[b]);
        if (set.size() > 1)
            r.undetermined.push_back(set);
    }
}

}  // namespace

CalibrationResult calibrate(const CBriscoDoc& doc, const Survey& survey, const FitTerms& terms,
                            const std::atomic<bool>* stop)
{
    return Fit(doc, survey, terms, stop).run();
}

}  // namespace orvex
