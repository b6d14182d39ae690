#include "display/colourscale.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace orvex {

namespace {

// Evenly spaced anchors of each map, interpolated linearly between.
constexpr std::array<Colour, 9> kSequential = {
    rgb(0x44, 0x01, 0x54), rgb(0x47, 0x2d, 0x7b), rgb(0x3b, 0x52, 0x8b),
    rgb(0x2c, 0x72, 0x8e), rgb(0x21, 0x91, 0x8c), rgb(0x28, 0xae, 0x80),
    rgb(0x5e, 0xc9, 0x62), rgb(0xad, 0xdc, 0x30), rgb(0xfd, 0xe7, 0x25)};
constexpr std::array<Colour, 5> kDiverging = {
    rgb(0x3b, 0x4c, 0xc0), rgb(0x8d, 0xb0, 0xfe), rgb(0xdd, 0xdd, 0xdd),
    rgb(0xf4, 0x9a, 0x7b), rgb(0xb4, 0x04, 0x26)};

// The maps in 128 steps: finer than the eye tells apart on a line, and
// roads of one colour can be drawn together.
constexpr double kSteps = 128;

template <std::size_t N>
Colour along(const std::array<Colour, N>& anchors, double t)
{
    if (!(t > 0))
        return anchors.front();
    if (t >= 1)
        return anchors.back();
    t = std::round(t * kSteps) / kSteps;
    const double at = t * double(N - 1);
    const std::size_t i = std::size_t(at);
    const double f = at - double(i);
    const Colour a = anchors[i], b = anchors[i + 1];
    const auto mix = [f](int x, int y) { return int(std::lround(x + (y - x) * f)); };
    return rgb(mix(redOf(a), redOf(b)), mix(greenOf(a), greenOf(b)), mix(blueOf(a), blueOf(b)));
}

std::string number(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value == 0 ? 0.0 : value);
    return text;
}

}  // namespace

Colour sequentialColour(double t) { return along(kSequential, t); }
Colour divergingColour(double t) { return along(kDiverging, t); }

bool colourLimitsUsable(double low, double high, std::string& why)
{
    if (!std::isfinite(low) || !std::isfinite(high)) {
        why = "The colour limits must be numbers";
        return false;
    }
    if (!(low < high)) {
        why = "The upper colour limit must be above the lower (" + number(low, 3) + " to " +
              number(high, 3) + ")";
        return false;
    }
    return true;
}

void fitToBackground(ColourScale& scale, Colour background)
{
    const int lightness = 2 * redOf(background) + 5 * greenOf(background) + blueOf(background);
    const bool dark = lightness < 4 * 255;
    scale.from = dark ? 0.3 : 0.0;
    scale.to = dark ? 1.0 : 0.85;
}

ColourScale colourScaleFor(const std::vector<float>& values, const ColourLimits& limits)
{
    ColourScale scale;
    bool any = false;
    double lowest = 0, highest = 0;
    for (const float v : values) {
        if (!std::isfinite(v))
            continue;
        lowest = any ? std::min(lowest, double(v)) : v;
        highest = any ? std::max(highest, double(v)) : v;
        any = true;
    }
    std::string why;
    if (!limits.automatic && colourLimitsUsable(limits.low, limits.high, why)) {
        scale.low = limits.low;
        scale.high = limits.high;
        scale.empty = false;
        if (!any)
            scale.note = "no value to colour by";
    } else {
        if (!limits.automatic)
            scale.note = why + ": the values' own are used";
        if (!any) {
            scale.note = "no value to colour by";
            return scale;
        }
        scale.low = lowest;
        scale.high = highest;
        scale.empty = false;
    }
    scale.diverging = scale.low < 0 && scale.high > 0;
    return scale;
}

bool colourOf(const ColourScale& scale, double value, Colour& colour)
{
    colour = kNoValueColour;
    if (scale.empty || !std::isfinite(value))
        return false;
    if (!scale.states.empty()) {
        const long i = std::lround(value - scale.low);
        if (i < 0 || i >= long(scale.states.size()))
            return false;
        colour = scale.states[std::size_t(i)].second;
        return true;
    }
    if (scale.diverging) {
        const double reach = std::max(-scale.low, scale.high);
        colour = divergingColour(0.5 + std::clamp(value, scale.low, scale.high) / (2 * reach));
        return true;
    }
    const double span = scale.high - scale.low;
    const double t = span > 0 ? std::clamp((value - scale.low) / span, 0.0, 1.0) : 0.5;
    colour = sequentialColour(scale.from + (scale.to - scale.from) * t);
    return true;
}

std::vector<double> niceTicks(double low, double high, int most)
{
    std::vector<double> ticks;
    if (!std::isfinite(low) || !std::isfinite(high) || most < 1)
        return ticks;
    if (!(high > low)) {
        ticks.push_back(low);
        return ticks;
    }
    const double span = high - low;
    double step = std::pow(10.0, std::floor(std::log10(span)) - 1);
    for (int tries = 0; tries < 12; ++tries) {
        for (const double m : {1.0, 2.0, 5.0}) {
            const double s = step * m;
            const double first = std::ceil(low / s - 1e-9) * s;
            const int count = int(std::floor((high - first) / s + 1e-9)) + 1;
            if (count <= most) {
                for (int i = 0; i < count; ++i)
                    ticks.push_back(first + s * i);
                return ticks;
            }
        }
        step *= 10;
    }
    return ticks;
}

std::string tickText(double value, double step)
{
    int decimals = 0;
    if (step > 0 && step < 1)
        decimals = std::min(6, int(std::ceil(-std::log10(step) - 1e-9)));
    return number(value, decimals);
}

std::string dateText(std::time_t when)
{
    std::tm local{};
    localtime_r(&when, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return text;
}

namespace {

// The legend's measures for one pixel unit.
struct LegendSizes {
    explicit LegendSizes(float unit)
        : unit(unit), pad(6 * unit), barWidth(240 * unit), barHeight(12 * unit), tick(4 * unit) {}
    float unit, pad, barWidth, barHeight, tick;
};

// The ticks of the bar and their texts: as many as their texts leave room
// for, a character apart; `overhang` is half the widest text.
struct LegendTicks {
    std::vector<double> values;
    std::vector<std::string> texts;
    float overhang = 0;
};

LegendTicks legendTicks(Canvas& canvas, const ColourScale& scale, const LegendSizes& size)
{
    LegendTicks t;
    for (int most = 7; most >= 2 && !scale.empty; --most) {
        t.values = niceTicks(scale.low, scale.high, most);
        const double step = t.values.size() >= 2 ? t.values[1] - t.values[0] : std::fabs(scale.high - scale.low);
        t.texts.clear();
        float widest = 0;
        for (const double v : t.values) {
            t.texts.push_back(tickText(v, step));
            widest = std::max(widest, canvas.textWidth(t.texts.back()));
        }
        t.overhang = widest / 2;
        const float room = (scale.high > scale.low && t.values.size() >= 2)
                               ? size.barWidth * float(step / (scale.high - scale.low)) : size.barWidth;
        if (room >= widest + canvas.textWidth("0"))
            break;
    }
    return t;
}

// A legend of named states: a swatch and a name for each, in a row.
float drawStateLegend(Canvas& canvas, const ColourScale& scale, const std::string& title, float left,
                      float bottom, Colour text, Colour back, const LegendSizes& size)
{
    const float line = canvas.textHeight();
    float width = 2 * size.pad + canvas.textWidth(title);
    float row = 2 * size.pad;
    for (const auto& [name, colour] : scale.states)
        row += size.barHeight + 4 * size.unit + canvas.textWidth(name) + 3 * size.pad;
    width = std::max(width, row);
    const float height = 2 * size.pad + 2 * line + 4 * size.unit;
    const float top = bottom - height;
    const DevicePoint box[4] = {{left, top}, {left + width, top}, {left + width, bottom}, {left, bottom}};
    canvas.fillPolygon(box, 4, back, text);
    canvas.text(left + size.pad, top + size.pad, title, text);
    float x = left + size.pad;
    const float y = top + size.pad + line + 4 * size.unit;
    const float side = size.barHeight;
    for (const auto& [name, colour] : scale.states) {
        const DevicePoint swatch[4] = {{x, y}, {x + side, y}, {x + side, y + side}, {x, y + side}};
        canvas.fillPolygon(swatch, 4, colour, colour);
        x += side + 4 * size.unit;
        canvas.text(x, y, name, text);
        x += canvas.textWidth(name) + 3 * size.pad;
    }
    return height;
}

// The colour bar from barLeft with its top at y, and its ticks under it.
void drawColourBar(Canvas& canvas, const ColourScale& scale, const LegendTicks& ticks, float barLeft, float y,
                   Colour text, const LegendSizes& size)
{
    constexpr int kSegments = 60;
    for (int i = 0; i < kSegments; ++i) {
        const float x0 = barLeft + size.barWidth * float(i) / kSegments;
        const float x1 = barLeft + size.barWidth * float(i + 1) / kSegments;
        Colour c = kNoValueColour;
        colourOf(scale, scale.low + (scale.high - scale.low) * (i + 0.5) / kSegments, c);
        const DevicePoint piece[4] = {{x0, y}, {x1, y}, {x1, y + size.barHeight}, {x0, y + size.barHeight}};
        canvas.fillPolygon(piece, 4, c, c);
    }
    canvas.setPen(PenStyle::Solid, 1, text);
    const double span = scale.high - scale.low;
    const float under = y + size.barHeight;
    for (std::size_t i = 0; i < ticks.values.size(); ++i) {
        const float x = std::round(barLeft + float(span > 0 ? (ticks.values[i] - scale.low) / span * size.barWidth
                                                            : size.barWidth / 2));
        canvas.moveTo(x, under);
        canvas.lineTo(x, under + size.tick);
        canvas.text(x - canvas.textWidth(ticks.texts[i]) / 2, under + size.tick, ticks.texts[i], text);
    }
}

}  // namespace

float drawColourLegend(Canvas& canvas, const ColourScale& scale, const std::string& title,
                       float left, float bottom, Colour text, Colour back, float unit)
{
    const LegendSizes size(unit);
    if (!scale.states.empty())
        return drawStateLegend(canvas, scale, title, left, bottom, text, back, size);
    const float line = canvas.textHeight();
    const LegendTicks ticks = legendTicks(canvas, scale, size);
    const float width = std::max({canvas.textWidth(title), size.barWidth + 2 * ticks.overhang,
                                  canvas.textWidth(scale.note)}) + 2 * size.pad;
    const bool bar = !scale.empty;
    const float height = size.pad + line + (bar ? 4 * unit + size.barHeight + size.tick + line : 0) +
                         (scale.note.empty() ? 0 : line + 2 * unit) + size.pad;
    const float top = bottom - height;
    const DevicePoint box[4] = {{left, top}, {left + width, top}, {left + width, bottom}, {left, bottom}};
    canvas.fillPolygon(box, 4, back, text);
    float y = top + size.pad;
    canvas.text(left + size.pad, y, title, text);
    y += line + 4 * unit;
    if (bar) {
        drawColourBar(canvas, scale, ticks, left + size.pad + ticks.overhang, y, text, size);
        y += size.barHeight + size.tick + line;
    }
    if (!scale.note.empty())
        canvas.text(left + size.pad, y + 2 * unit, scale.note, text);
    return height;
}

}  // namespace orvex
