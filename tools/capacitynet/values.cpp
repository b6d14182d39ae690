// The values of every normal road: length, cross-section, rock conductivity,
// air temperature and resistance.
#include <algorithm>

#include "capacitynet/mine.h"

namespace orvex::gennet {

namespace {

double planLength(const std::vector<std::pair<double, double>>& path)
{
    double total = 0;
    for (std::size_t p = 1; p < path.size(); ++p)
        total += std::hypot(path[p].first - path[p - 1].first, path[p].second - path[p - 1].second);
    return total;
}

}  // namespace

// Resistances follow Atkinson's law R = k·L·perimeter/A³ and lie within
// 0.001..0.3 Ns²/m⁸; stoppings, regulators, booster bulkheads and the fan
// houses' leakage get resistances of their own.
// Kept whole: one case for each kind of road, in one pass over the roads.
void assignValues(Mine& mine, Random& random)
{
    for (GenRoad& road : mine.roads) {
        if (road.kind == Kind::FixedFlow)
            continue;
        const GenNode& a = mine.nodes[std::size_t(road.a)];
        const GenNode& b = mine.nodes[std::size_t(road.b)];
        const double dz = std::abs(a.z - b.z);
        const double zMid = (a.z + b.z) / 2;
        const double depth = std::max(0.0, kCollarElevation - zMid);

        std::vector<std::pair<double, double>> path{{a.x, a.y}};
        for (const auto& point : bendPoints(a, b, road))
            path.push_back(point);
        path.push_back({b.x, b.y});
        const double plan = planLength(path);

        double length = 0, area = 0, friction = 0, temperature = 0;
        bool circular = false;
        const double levelAir = kSurfaceTemperature + kTemperatureGradient * depth + 2.5 * road.side;
        switch (road.kind) {
        case Kind::Drift:
            length = std::hypot(plan, dz), area = random.uniform(16, 22), friction = random.uniform(0.010, 0.014);
            temperature = levelAir;
            break;
        case Kind::Crosscut:
            length = std::hypot(plan, dz), area = random.uniform(12, 18), friction = random.uniform(0.010, 0.014);
            temperature = levelAir;
            break;
        case Kind::StationAccess:
        case Kind::RampAccess:
            length = std::hypot(plan, dz), area = random.uniform(18, 24), friction = random.uniform(0.010, 0.013);
            temperature = levelAir;
            break;
        case Kind::Raise:
            length = std::hypot(dz, (mine.layout.rows - 1) * kRowSpacing), area = random.uniform(6, 10);
            friction = random.uniform(0.014, 0.018);
            temperature = levelAir + 1.0;
            break;
        case Kind::IntakeShaft:
            length = dz, area = 31.17, friction = 0.025, circular = true;
            temperature = kSurfaceTemperature + 0.01 * depth;  // autocompression
            break;
        case Kind::RampSegment:
            length = 7.0 * dz, area = random.uniform(20, 25), friction = random.uniform(0.010, 0.013);
            temperature = kSurfaceTemperature + 0.015 * depth;
            break;
        case Kind::Conveyor:
            length = 4.0 * dz, area = random.uniform(14, 18), friction = 0.016;
            temperature = kSurfaceTemperature + 0.012 * depth;
            break;
        case Kind::EscapeRaise:
            length = 1.05 * dz, area = random.uniform(4, 6), friction = 0.030;
            temperature = kSurfaceTemperature + 0.01 * depth;
            break;
        case Kind::FreshAirRaise:
            length = 1.05 * dz, area = random.uniform(7, 12), friction = 0.012, circular = true;
            temperature = kSurfaceTemperature + 0.01 * depth;
            break;
        case Kind::ReturnShaft:
            length = dz, area = random.uniform(20, 28), friction = 0.020, circular = true;
            temperature = kSurfaceTemperature + kTemperatureGradient * (depth + kLevelInterval) + 3.0;
            break;
        case Kind::CollarLeak:
            length = random.uniform(6, 12), area = random.uniform(1.5, 3.0), friction = 0.0;
            temperature = kSurfaceTemperature + 0.5;
            break;
        case Kind::FixedFlow: break;
        }
        road.length = rounded(std::max(length, 1.0), 10);
        road.area = rounded(area, 100);
        road.temperature = rounded(temperature, 10);
        road.conductivity = rounded(random.uniform(1.8, 2.6), 100);
        const double perimeter = (circular ? 3.545 : 4.16) * std::sqrt(road.area);
        double resistance = friction * road.length * perimeter / (road.area * road.area * road.area);
        switch (road.device) {
        case Device::Stopping: resistance = random.uniform(0.1, kMaxResistance); break;
        case Device::Regulator: resistance = random.uniform(0.02, 0.1); break;
        case Device::Bulkhead: resistance = random.uniform(0.25, kMaxResistance); break;
        case Device::None: break;
        }
        if (road.kind == Kind::CollarLeak)
            resistance = random.uniform(0.2, kMaxResistance);
        road.resistance = rounded(std::clamp(resistance, kMinResistance, kMaxResistance), 1e7);
    }
}

}  // namespace orvex::gennet
