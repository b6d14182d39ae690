#pragma once

#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "display/canvas.h"

// Colouring the plan by a quantity: a continuous scale from limits the
// values or the person give, perceptually uniform so that it reads for
// colour-blind eyes and in grey print, and its legend.
namespace orvex {

// The limits the display settings ask for: the values' own, or typed.
struct ColourLimits {
    bool automatic = true;
    double low = 0, high = 1;
};

// The scale a drawing uses. A sequential map runs from low (dark blue
// violet) to high (yellow); where the limits lie on both sides of 0 a
// diverging map runs from blue through grey at 0 to red.
struct ColourScale {
    double low = 0, high = 0;
    bool diverging = false;
    // The part of the sequential map in use: its darkest end is lost on a
    // dark background, its lightest on paper.
    double from = 0, to = 1;
    bool empty = true;    // no value to colour by: everything is drawn grey
    std::string note;     // what the legend says besides the scale, or ""
    // A scale of named states instead of a map: value low + i takes the
    // i-th colour; the legend shows each with its name.
    std::vector<std::pair<std::string, Colour>> states;
};

inline constexpr Colour kNoValueColour = rgb(128, 128, 128);

// Whether typed limits can make a scale; otherwise why not.
bool colourLimitsUsable(double low, double high, std::string& why);

// The scale for these values; NaN and infinite values are left out.
// Unusable typed limits fall back to the values' own, with a note.
ColourScale colourScaleFor(const std::vector<float>& values, const ColourLimits& limits);
// The part of the sequential map that shows on a background.
void fitToBackground(ColourScale& scale, Colour background);

// The colour of a value on the scale, clamped to its ends; false (and the
// grey of no value) for NaN, infinite values and an empty scale.
bool colourOf(const ColourScale& scale, double value, Colour& colour);

// The maps, t from 0 to 1.
Colour sequentialColour(double t);
Colour divergingColour(double t);

// Round tick values inside [low, high]: steps of 1, 2 or 5 times a power of
// ten, at most `most` of them (and at least two where the range allows).
std::vector<double> niceTicks(double low, double high, int most);
// A tick's text with as few decimals as its step needs.
std::string tickText(double value, double step);

// The legend box: the title (quantity and unit), the colour bar with its
// ticks, and the note; its bottom-left corner at (left, bottom), device
// pixels, its sizes `unit` times those on a screen. Returns the box's height.
float drawColourLegend(Canvas& canvas, const ColourScale& scale, const std::string& title,
                       float left, float bottom, Colour text, Colour back, float unit = 1);

// "2026-12-08 14:05", local time.
std::string dateText(std::time_t when);

}  // namespace orvex
