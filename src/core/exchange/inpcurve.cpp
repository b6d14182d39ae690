// The units of an EPANET file, its pump curves as ORVEX's evenly spaced
// points, and roughness of the other head-loss laws as Hazen-Williams C.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <functional>

#include "inpunits.h"

namespace orvex::exchange {

namespace {

constexpr double kFoot = 0.3048;              // m
constexpr double kInch = 0.0254;              // m
constexpr double kCubicFoot = kFoot * kFoot * kFoot;  // m³
constexpr double kUsGallon = 3.785411784e-3;  // m³
constexpr double kDay = 86400;                // s

const InpUnits kUnits[] = {
    {"LPS", 1e-3, 1, 1e-3},
    {"LPM", 1e-3 / 60, 1, 1e-3},
    {"MLD", 1e3 / kDay, 1, 1e-3},
    {"CMH", 1.0 / 3600, 1, 1e-3},
    {"CMD", 1.0 / kDay, 1, 1e-3},
    {"CMS", 1, 1, 1e-3},
    {"CFS", kCubicFoot, kFoot, kInch},
    {"GPM", kUsGallon / 60, kFoot, kInch},
    {"MGD", 1e6 * kUsGallon / kDay, kFoot, kInch},
    {"IMGD", 1e6 * 4.54609e-3 / kDay, kFoot, kInch},
    {"AFD", 1233.48183754752 / kDay, kFoot, kInch},
};

constexpr double kGravity = 9.80665;        // m/s²
constexpr double kWaterViscosity = 1.0e-6;  // m²/s, water at 20 °C
constexpr double kReferenceVelocity = 1;    // m/s

// Head lost per metre of pipe at 1 m/s, as Hazen-Williams C would give it.
double hazenWilliamsOfLoss(double lossPerMetre, double d)
{
    const double q = kPi * d * d / 4 * kReferenceVelocity;
    return std::pow(kHazenWilliamsFactor * std::pow(q, kHazenWilliamsFlowExponent) /
                        (lossPerMetre * std::pow(d, kHazenWilliamsDiameterExponent)),
                    1 / kHazenWilliamsFlowExponent);
}

bool risesStrictly(const std::vector<double>& values)
{
    return std::adjacent_find(values.begin(), values.end(), std::greater_equal<double>()) == values.end();
}

// Linear interpolation between the points, the first and last lines
// extended.
double lineHead(const std::vector<double>& q, const std::vector<double>& h, double flow)
{
    if (q.size() == 1)
        return h[0];
    std::size_t j = 1;
    while (j + 1 < q.size() && q[j] < flow)
        ++j;
    return h[j - 1] + (h[j] - h[j - 1]) * (flow - q[j - 1]) / (q[j] - q[j - 1]);
}

bool evenlyFromZero(const std::vector<double>& q, int most)
{
    if (q.size() < 2 || int(q.size()) > most || q[0] != 0 || q[1] <= 0)
        return false;
    for (std::size_t j = 2; j < q.size(); ++j)
        if (std::fabs(q[j] - double(j) * q[1]) > 1e-4 * q[1])
            return false;
    return true;
}

}  // namespace

std::string upperText(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

const InpUnits* findInpUnits(const std::string& name)
{
    const std::string upper = upperText(name);
    for (const InpUnits& u : kUnits)
        if (upper == u.name)
            return &u;
    return nullptr;
}

std::string inpUnitNames()
{
    std::string names;
    for (const InpUnits& u : kUnits)
        names += (names.empty() ? "" : ", ") + std::string(u.name);
    return names;
}

const InpUnits& litresPerSecond() { return kUnits[0]; }

std::string samplePumpCurve(const std::vector<double>& flows, const std::vector<double>& heads, int most,
                            SampledCurve& sampled)
{
    if (flows.empty())
        return "it has no points";
    if (!risesStrictly(flows) || flows[0] < 0)
        return "its flows do not rise from point to point";
    sampled = SampledCurve{};
    if (evenlyFromZero(flows, most)) {
        sampled.step = flows[1];
        sampled.heads = heads;
        return {};
    }
    std::function<double(double)> head;
    double end = flows.back();
    const bool design = flows.size() == 1;
    if (design || (flows.size() == 3 && flows[0] == 0)) {
        // h = h0 - b q^c through (0, h0), (q1, h1), (q2, h2).
        const double h0 = design ? 1.33334 * heads[0] : heads[0];
        const double q1 = design ? flows[0] : flows[1], h1 = design ? heads[0] : heads[1];
        const double q2 = design ? 2 * flows[0] : flows[2], h2 = design ? 0 : heads[2];
        if (!(h0 > h1 && h1 > h2 && q1 > 0))
            return "its heads do not fall from point to point";
        const double c = std::log((h0 - h2) / (h0 - h1)) / std::log(q2 / q1);
        if (!(c > 0 && c <= 20))
            return "no power curve passes through its points";
        const double b = (h0 - h1) / std::pow(q1, c);
        head = [=](double q) { return h0 - b * std::pow(q, c); };
        end = h0 > 0 ? std::pow(h0 / b, 1 / c) : q2;
    } else {
        head = [&](double q) { return lineHead(flows, heads, q); };
    }
    sampled.resampled = true;
    sampled.step = end / (most - 1);
    for (int j = 0; j < most; ++j)
        sampled.heads.push_back(head(j * sampled.step));
    return {};
}

double hazenWilliamsOfRoughness(double roughness, double d)
{
    // Swamee-Jain's friction factor at 1 m/s.
    const double reynolds = kReferenceVelocity * d / kWaterViscosity;
    const double f = 0.25 / std::pow(std::log10(roughness / (3.7 * d) + 5.74 / std::pow(reynolds, 0.9)), 2);
    return hazenWilliamsOfLoss(f / d * kReferenceVelocity * kReferenceVelocity / (2 * kGravity), d);
}

double hazenWilliamsOfManning(double n, double d)
{
    return hazenWilliamsOfLoss(n * n * kReferenceVelocity * kReferenceVelocity / std::pow(d / 4, 4.0 / 3), d);
}

}  // namespace orvex::exchange
