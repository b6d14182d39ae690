#include "display/quantitynames.h"

#include <algorithm>
#include <cctype>

#include "model/textcodec.h"

namespace orvex {

namespace {

std::string withUnit(const std::string& name, const std::string& unit)
{
    return unit.empty() ? name : name + " (" + unit + ")";
}

}  // namespace

UnitLabels unitLabelsOf(const CBriscoDoc& doc)
{
    const UnitsSettings& units = doc.app().units;
    return {textAsUtf8(units.flowUnitName.view()), textAsUtf8(units.pressureUnitName.view()),
            textAsUtf8(units.resistanceUnitName.view()), doc.isWater(),
            doc.isWater() ? "flow" : "airflow"};
}

std::string networkHeading(const CBriscoDoc& doc)
{
    // Decoded first: a GBK character may hold the byte of "]".
    std::string heading = textAsUtf8(doc.headings[1].view());
    heading.erase(0, heading.find(']') + 1);  // npos + 1 is 0: no bracket, nothing erased
    const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!heading.empty() && blank(heading.back()))
        heading.pop_back();
    heading.erase(heading.begin(), std::find_if_not(heading.begin(), heading.end(), blank));
    return heading;
}

bool isDirectedRoadKind(int kind) { return kind == 1 || kind == 2 || kind == 4 || kind == 20; }

std::string roadQuantity(int kind, const UnitLabels& u)
{
    switch (kind) {
    case 1: return withUnit(u.flowWord + " at standard density", u.flow);
    case 2: return withUnit(u.flowWord + " at the road's own density", u.flow);
    case 3: return "direction (1 forward, 2 reverse)";
    case 4: return withUnit("pressure loss", u.pressure);
    case 5: return withUnit("resistance", u.resistance) + ", fixed-flow roads their set " + u.flowWord;
    case 6: return withUnit("alternative resistance", u.resistance);
    case 7: return "temperature (C)";
    case 8: return u.water ? "pipe diameter (m)" : "cross-section (m2)";
    case 9: return "length (m)";
    case 10: return u.water ? "Hazen-Williams or loss coefficient" : "rock heat conductivity (kcal/m h C)";
    case 11: return "gas concentration (not computed)";
    case 12: return "road name";
    case 13: return "minute the air became untenable (min)";
    case 14: return "mean air temperature (C)";
    case 15: return "gas temperature at each end, first#second";
    case 16: return "dry-bulb temperature at each end, first#second";
    case 17: return "wet-bulb temperature at each end, first#second";
    case 18: return "relative humidity at each end, first#second";
    case 19: return "enthalpy at each end, first#second";
    case 20: return u.water ? "water velocity (m/s)" : "air velocity (m/s)";
    case 21: return "time fire gas first arrived (min)";
    case 22: return "highest fire gas (%)";
    case 23: return "highest air temperature (C)";
    case 24: return "design checks of the last run";
    case 25: return withUnit(u.flowWord + " change", u.flow);
    case 26: return "minute the walker leaves the road (min)";
    case 27: return "normalised residual (measured − modelled) / sd";
    default: return "";
    }
}

std::string nodeQuantity(int kind, const UnitLabels& u)
{
    switch (kind) {
    case 1: return "node number";
    case 2: return "elevation (m)";
    case 3: return withUnit("pressure above the lowest surface node", u.pressure);
    case 4: return withUnit("pressure loss from the surface", u.pressure);
    case 5: return "gas temperature (C)";
    case 6: return "first minute a road here became untenable (min)";
    case 7: return "dry-bulb temperature";
    case 8: return "wet-bulb temperature";
    case 9: return "relative humidity";
    case 10: return "enthalpy";
    case 12: return "escape margin (min)";
    default: return "";
    }
}

}  // namespace orvex
