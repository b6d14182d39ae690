#pragma once

// The physical constants of the model, each once, with its unit. Pressures
// are kgf/m² (mm of water column), so the specific weight of air in kgf/m³
// equals its density in kg/m³. Values are those the results have always been
// computed with (3.14159, not the exact π), so stored results reproduce.
namespace orvex {

// Air and water.
inline constexpr double kAirGasConstant = 29.27;        // kgf·m/(kg·K): γ = P / (R·T), P in kgf/m²
inline constexpr double kCelsiusZero = 273.15;          // K at 0 °C
inline constexpr float kAirDensity = 1.20459f;          // kg/m³, standard air; the road law's reference
inline constexpr float kWaterDensity = 1000.0f;         // kg/m³
inline constexpr float kAirSpecificHeat = 0.24f;        // kcal/(kg·°C)
inline constexpr float kHeatCapacityHour = 864.0f;      // kcal/°C per (kg/s): 3600 s/h × 0.24
inline constexpr float kStandardAirPerMinute = 0.0200765f;  // kg/s per m³/min of standard air: 1.20459 / 60
inline constexpr float kPi = 3.14159f;
inline constexpr double kPascalPerKgfM2 = 9.80665;     // Pa in 1 kgf/m² (1 mm of water column)

// The standard atmosphere at elevation z (m): P = 10336 × (1 − 2.257e-5 z)^5.256 kgf/m².
inline constexpr double kSeaLevelPressure = 10336.0;    // kgf/m²
inline constexpr double kAtmosphereLapse = 2.257e-05;   // 1/m
inline constexpr double kAtmosphereExponent = 5.256;

// The solver's accuracy: a `solverError` of 1 is a mean node imbalance of
// 0.02 m³/s of standard air (0.02 ρ), and its first error threshold is 200
// times that per unit of `thresholdFactor` (4 ρ).
inline constexpr float kTargetImbalancePerError = 0.0240918f;  // kg/s: 0.02 × 1.20459
inline constexpr float kThresholdPerError = 4.81836f;          // kg/s: 4 × 1.20459

// Water pipes. Hazen-Williams h = 10.676 L Q^1.852 / (C^1.852 D^4.87) (h m,
// L and D m, Q m³/s); a local loss h = ζ v² / 2g = ζ × 0.082711 Q² / D⁴.
// The solver linearises the pipe law with the exponents 0.54 and 0.852.
inline constexpr double kHazenWilliamsFactor = 10.676;
inline constexpr double kHazenWilliamsFlowExponent = 1.852;
inline constexpr double kHazenWilliamsDiameterExponent = 4.87;
inline constexpr double kLocalLossFactor = 0.082711;    // 8 / (π² g), s²/m
inline constexpr float kPipeHeadExponent = 0.54f;
inline constexpr float kPipeFlowExponent = 0.852f;

}  // namespace orvex
