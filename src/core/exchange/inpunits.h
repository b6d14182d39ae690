#pragma once

#include <string>
#include <vector>

#include "model/physics.h"
#include "model/units.h"

// The units of an EPANET input file and the conversions of its values into
// ORVEX's, shared by the reader and the writer so that what is written reads
// back as the same single-precision value.
namespace orvex::exchange {

// The text in capitals, as the file's keywords are compared.
std::string upperText(std::string text);

struct InpUnits {
    const char* name;  // the [OPTIONS] Units keyword
    double flow;       // m³/s in one file flow unit
    double length;     // m in one unit of length, elevation and head
    double diameter;   // m in one unit of pipe diameter
};

// LPS, LPM, MLD, CMH, CMD, CMS (lengths in m, diameters in mm) and CFS, GPM,
// MGD, IMGD, AFD (feet and inches); nullptr for another name. Case does not
// matter.
const InpUnits* findInpUnits(const std::string& name);
// The names, for messages: "LPS, LPM, ...".
std::string inpUnitNames();
// Litres per second, as the writer writes.
const InpUnits& litresPerSecond();

// File values in ORVEX's: flows in the units file's flow unit, heads as
// pressures in its pressure unit (a metre of water is 1000 kgf/m²).
inline float userFlow(double flow, const InpUnits& u, const UnitsSettings& s)
{
    return float(flow * u.flow / double(s.flowUnitFactor));
}
inline float userPressure(double head, const InpUnits& u, const UnitsSettings& s)
{
    return float(head * u.length * double(kWaterDensity) / double(s.pressureUnitFactor));
}
inline float metres(double value, const InpUnits& u) { return float(value * u.length); }
inline float diameterMetres(double value, const InpUnits& u) { return float(value * u.diameter); }

// A pump's head curve at evenly spaced flows from 0, in the file's units:
// the head at 0, step, 2·step, ...
struct SampledCurve {
    double step = 0;
    std::vector<double> heads;
    bool resampled = false;  // false: the file's points were evenly spaced from 0 and are kept
};

// The curve EPANET makes of a pump's points (one design point: the power
// function through 1.33 times its head at 0 and no head at twice its flow;
// three points from flow 0: the power function through them; otherwise the
// lines between the points), at most `most` points from flow 0 to where the
// curve ends. Empty when the curve is made, else what is wrong with it.
std::string samplePumpCurve(const std::vector<double>& flows, const std::vector<double>& heads, int most,
                            SampledCurve& sampled);

// The Hazen-Williams C that loses the same head as a pipe of diameter d (m)
// with this Darcy-Weisbach roughness (m) or Manning n at 1 m/s.
double hazenWilliamsOfRoughness(double roughness, double d);
double hazenWilliamsOfManning(double n, double d);

}  // namespace orvex::exchange
