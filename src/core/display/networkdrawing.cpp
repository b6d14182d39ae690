// Drawing the plan: node circles, roads through their bending points with
// symbols, fans, node numbers and the chosen values on, under and beside
// roads and nodes, all text in the stroke font so that labels follow their
// roads and scale with the plan. One routine serves the window, the page
// preview, the printer and image files.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "display/planview.h"

namespace orvex {

namespace {

constexpr float kHalfPi = 1.570795f;
constexpr int kLabelChars = 99;

std::string fixed(float value, int digits)
{
    char text[128];
    std::snprintf(text, sizeof text, "%.*f", std::clamp(digits, 0, 7), double(value));
    return text;
}

}  // namespace

std::string roadLabel(int kind, float v, float sigma, bool fixedRoad, float firstEnd,
                      float secondEnd, int digits, bool bracket, const std::string& name)
{
    std::string text;
    // A kind outside the list (a profile can hold any number) has no label.
    if (kind < 0 || kind >= kRoadKinds)
        return "";
    switch (kind) {
    case 0:
        return "";
    case 12:
        text = name;
        break;
    case 1:
    case 2:
    case 4:
        text = sigma * v < 0 ? fixed(std::fabs(v), digits) + "-)" : "(-" + fixed(std::fabs(v), digits);
        if ((kind == 1 || kind == 2) && v == 0 && fixedRoad)
            text = "#0#";
        break;
    case 15: case 16: case 17: case 18: case 19:
        text = sigma > 0 ? fixed(secondEnd, digits) + "#" + fixed(firstEnd, digits)
                         : fixed(firstEnd, digits) + "#" + fixed(secondEnd, digits);
        break;
    default:
        if (!std::isfinite(v))
            return "";  // no value: no cross-section, no fire run
        text = fixed(std::fabs(v), digits);
        break;
    }
    if (bracket)
        text = "[" + text + "]";
    if (text.size() > kLabelChars)
        text.resize(kLabelChars);
    return text;
}

// --- positions and primitives ----------------------------------------------------

DevicePoint PlanView::at(float x, float y) const
{
    DevicePoint p = geo.drawingPosition(x, y);
    if (mWindow) {
        p.x -= float(geo.scrollX);
        p.y -= float(geo.scrollY);
    }
    return p;
}

void PlanView::circleAt(Canvas& canvas, float x, float y, float radius)
{
    const DevicePoint c = at(x, y);
    const float d = radius * geo.scale;
    canvas.circle(c.x - d, c.y - d, c.x + d, c.y + d);
}

void PlanView::lineWorld(Canvas& canvas, float x0, float y0, float x1, float y1)
{
    const DevicePoint a = at(x0, y0), b = at(x1, y1);
    canvas.moveTo(a.x, a.y);
    canvas.lineTo(b.x, b.y);
}

std::string PlanView::nodeNumberText(int i) const
{
    return std::to_string(std::abs(data.nodeNumber[i]));
}

// --- stroke text -------------------------------------------------------------

void PlanView::drawGlyph(Canvas& canvas, unsigned char code, float ox, float oy, float cosA,
                         float sinA)
{
    StrokeFont::Point points[128];
    const int n = font.glyphPoints(code, points, 128);
    const float k = 0.0075f * geo.charSize;
    for (int p = 0; p < n; ++p) {
        const float x = float(points[p].x), y = float(points[p].y);
        const DevicePoint d = at(ox + k * (x * cosA - y * sinA), oy + k * (x * sinA + y * cosA));
        if (points[p].pen == 0)
            canvas.moveTo(d.x, d.y);
        else
            canvas.lineTo(d.x, d.y);
    }
}

void PlanView::drawTextFrom(Canvas& canvas, const std::string& text, float px, float py,
                            float cosA, float sinA)
{
    const float advance = 0.55f * geo.charSize;
    for (std::size_t i = 0; i < text.size(); ++i)
        drawGlyph(canvas, static_cast<unsigned char>(text[i]), px + float(i) * advance * cosA,
                  py + float(i) * advance * sinA, cosA, sinA);
}

void PlanView::drawTextCentred(Canvas& canvas, const std::string& text, float mx, float my,
                               float cosA, float sinA)
{
    if (text.empty())
        return;
    const float c = geo.charSize;
    const float half = (float(text.size() - 1) * 0.55f * c + 0.4f * c) / 2;
    drawTextFrom(canvas, text, mx - half * cosA, my - half * sinA, cosA, sinA);
}

// --- the whole plan ----------------------------------------------------------

void PlanView::drawColourLegends(Canvas& canvas, float left, float bottom, Colour text, Colour back, float unit)
{
    fitToBackground(data.roadScale, back);
    fitToBackground(data.nodeScale, back);
    if (settings.look.roadColourKind > 0)
        bottom -= drawColourLegend(canvas, data.roadScale, "Roads: " + data.roadColourTitle, left, bottom, text,
                                   back, unit) + 6 * unit;
    if (settings.look.nodeColourKind > 0)
        drawColourLegend(canvas, data.nodeScale, "Nodes: " + data.nodeColourTitle, left, bottom, text, back, unit);
}

DevicePoint PlanView::drawTitleBlock(Canvas& canvas, float right, float bottom, const std::string& date,
                                     Colour text, Colour back, float unit)
{
    if (!settings.look.titleBlock)
        return {right, bottom};
    std::vector<std::string> lines = {data.heading.empty() ? std::string("Untitled network") : data.heading,
                                      data.fileName + "   " + date};
    lines.insert(lines.end(), data.shown.begin(), data.shown.end());
    const float pad = 6 * unit, line = canvas.textHeight();
    float width = 0;
    for (const std::string& l : lines)
        width = std::max(width, canvas.textWidth(l));
    const float left = right - width - 2 * pad, top = bottom - float(lines.size()) * line - 3 * pad;
    const DevicePoint box[4] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
    canvas.fillPolygon(box, 4, back, text);
    canvas.setPen(PenStyle::Solid, 1, text);
    canvas.moveTo(left, top + pad + line + pad / 2);  // the heading above a rule
    canvas.lineTo(right, top + pad + line + pad / 2);
    float y = top + pad;
    for (std::size_t i = 0; i < lines.size(); ++i, y += line)
        canvas.text(left + pad, y + (i > 0 ? pad : 0), lines[i], text);
    return {left, top};
}

void PlanView::paint(Canvas& canvas)
{
    const ColourSlots& c = settings.colours;
    const float x0 = float(geo.scrollX), y0 = float(geo.scrollY);
    const float x1 = x0 + float(geo.clientWidth), y1 = y0 + float(geo.clientHeight);
    const DevicePoint area[4] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    canvas.fillPolygon(area, 4, c.back, c.back);
    if (geo.pagePreview) {
        canvas.fillPolygon(page.corners, 4, rgb(255, 255, 255), rgb(0, 0, 0));
        if (networkLoaded) {
            if (settings.previewKind == 0) {
                canvas.setInvert(true);
                drawNetwork(canvas, false);
                canvas.setInvert(false);
            } else {
                drawNetwork(canvas, true);
            }
        }
    } else if (networkLoaded) {
        drawNetwork(canvas, true);
        if (!geo.drawAll)
            drawColourLegends(canvas, x0 + 10, y1 - 10, c.onnode, c.back);
    }
}

void PlanView::drawNodeCircles(Canvas& canvas, int i)
{
    const float r = geo.nodeRadius;
    if (i <= data.surfaceCount)
        circleAt(canvas, data.nodeX[i], data.nodeY[i], 1.15f * r);
    circleAt(canvas, data.nodeX[i], data.nodeY[i], r);
}

void PlanView::drawNetwork(Canvas& canvas, bool labels)
{
    if (labels && !page.printing)
        mOnlineKindInForce = settings.onlineKind;
    geo.boundScale();
    const ColourSlots& c = settings.colours;
    mLook = true;
    // Paper and the preview's page are white whatever the screen's background.
    const Colour ground = page.printing || geo.pagePreview ? rgb(255, 255, 255) : c.back;
    fitToBackground(data.roadScale, ground);
    fitToBackground(data.nodeScale, ground);

    const bool nodeColours = settings.look.nodeColourKind != 0;
    canvas.setPen(PenStyle::Solid, 1, c.node);
    for (int i = 1; i <= data.nodeCount; ++i) {
        if (!geo.visible(data.nodeX[i], data.nodeY[i]))
            continue;
        if (nodeColours) {
            Colour colour = kNoValueColour;
            colourOf(data.nodeScale, data.nodeColourValue[i], colour);
            canvas.setPen(PenStyle::Solid, 2, colour);
        }
        drawNodeCircles(canvas, i);
    }

    const RoadPens pens{c.road, c.online, c.underline, labels, false};
    std::vector<Arrow> arrows;
    mArrows = &arrows;
    if (labels && settings.look.screenLabels) {
        drawScreenSizedLabels(canvas, pens);
    } else {
        for (int j = 1; j <= data.roadCount + data.fixedCount; ++j)
            drawRoad(canvas, j, pens);
        mArrows = nullptr;
        drawArrows(canvas, arrows);
        if (labels)
            drawNodeLabels(canvas, true, true);
    }
    mArrows = nullptr;

    canvas.setPen(PenStyle::Solid, 1, c.node);
    for (int f = 1; f <= data.fanCount; ++f) {
        const int a = data.nodeIndex(data.fanFirst[f]), b = data.nodeIndex(data.fanSecond[f]);
        if (a && b && (geo.visible(data.nodeX[a], data.nodeY[a]) || geo.visible(data.nodeX[b], data.nodeY[b])))
            drawFan(canvas, f);
    }
    mLook = false;
}

// The node numbers, and the values of the node kind shown: a number alone
// in the node, or the value in brackets above the number.
void PlanView::drawNodeLabels(Canvas& canvas, bool numbers, bool values)
{
    const int k = settings.nodeKind;
    if (k < 1 || k >= kNodeKinds)
        return;
    const ColourSlots& c = settings.colours;
    const float r = geo.nodeRadius, ch = geo.charSize;
    for (int i = 1; i <= data.nodeCount; ++i) {
        const float x = data.nodeX[i], y = data.nodeY[i];
        if (!geo.visible(x, y))
            continue;
        if (k == 1) {
            if (numbers) {
                canvas.setPen(PenStyle::Solid, 1, c.onnode);
                const std::string number = nodeNumberText(i);
                // A screen-sized number wider than its circle stands beside it.
                const float half = (float(number.size() - 1) * 0.55f + 0.4f) * ch / 2;
                const float shift = mPlaces && half > r ? r + half + 0.2f * ch : 0.0f;
                drawLabel(canvas, number, x + shift, y - 0.35f * ch, 1, 0);
            }
            continue;
        }
        if (values && std::isfinite(data.nodeValue[i])) {  // no value: no hazard, no run
            canvas.setPen(PenStyle::Solid, 1, c.nodedata);
            drawLabel(canvas, "[" + fixed(data.nodeValue[i], settings.nodeDigits) + "]", x, y - 0.875f * r, 1, 0);
        }
        if (numbers) {
            canvas.setPen(PenStyle::Solid, 1, c.onnode);
            drawLabel(canvas, nodeNumberText(i), x, y + r - 0.35f * ch, 1, 0);
        }
    }
}

Colour PlanView::roadPen(Canvas& canvas, int j, Colour colour)
{
    int width = 1;
    if (mLook) {
        const PlanLook& look = settings.look;
        // A fit's residuals colour the measured roads only, drawn wider; the
        // others keep the plan's own colour.
        const bool residual = look.roadColourKind == kResidualKind;
        if (look.roadColourKind > 0 && !(residual && !std::isfinite(data.colourValue[j])))
            colourOf(data.roadScale, data.colourValue[j], colour);
        if (look.widthByFlow && data.largestFlow > 0)
            width = 1 + int(std::lround(5.0f * std::fabs(data.flowValue[j]) / data.largestFlow));
        // A way out stands out from the roads off it.
        if (look.roadColourKind == kEscapeRouteKind && std::isfinite(data.colourValue[j]))
            width = std::max(width, 4);
        if (residual && std::isfinite(data.colourValue[j]))
            width = std::max(width, 3);
    }
    canvas.setPen(j > data.roadCount ? PenStyle::Dotted : PenStyle::Solid, width, colour);
    return colour;
}

// An arrow of a fixed size in pixels on the road's longest piece, pointing
// the way the air goes, halfway between the piece's middle (where its
// labels are) and its downstream end.
void PlanView::drawArrow(Canvas& canvas, int j, Colour colour, float theta, float midX, float midY, float piece)
{
    const float kLength = 11.0f * pixelUnit(), kHalfWidth = 4.5f * pixelUnit();
    const float sense = data.flowValue[j] < 0 ? -1.0f : 1.0f;
    const DevicePoint c = at(midX + sense * piece / 4 * std::cos(theta), midY + sense * piece / 4 * std::sin(theta));
    const float dx = sense * std::cos(theta), dy = -sense * std::sin(theta);  // device y points down
    const float bx = c.x - dx * kLength / 2, by = c.y - dy * kLength / 2;
    const Arrow arrow{{{c.x + dx * kLength / 2, c.y + dy * kLength / 2},
                       {bx - dy * kHalfWidth, by + dx * kHalfWidth},
                       {bx + dy * kHalfWidth, by - dx * kHalfWidth}},
                      colour};
    if (mArrows)
        mArrows->push_back(arrow);
    else
        canvas.fillPolygon(arrow.points, 3, colour, colour);
}

// The arrows gathered while the roads were drawn, on top of every road, one
// colour after another so that a canvas changes its brush once a colour.
void PlanView::drawArrows(Canvas& canvas, std::vector<Arrow>& arrows)
{
    std::stable_sort(arrows.begin(), arrows.end(), [](const Arrow& a, const Arrow& b) { return a.colour < b.colour; });
    std::vector<DevicePoint> points;
    for (std::size_t i = 0; i < arrows.size(); ++i) {
        points.insert(points.end(), arrows[i].points, arrows[i].points + 3);
        if (i + 1 == arrows.size() || arrows[i + 1].colour != arrows[i].colour) {
            canvas.fillTriangles(points.data(), int(points.size() / 3), arrows[i].colour);
            points.clear();
        }
    }
}

void PlanView::drawRoad(Canvas& canvas, int j, const RoadPens& pens)
{
    const int a = data.nodeIndex(data.roadFirst[j]), b = data.nodeIndex(data.roadSecond[j]);
    if (!a || !b)
        return;
    // The road's points: first node, bending points, second node.
    const int s = data.roadBend[j];
    const int n = s >= 1 && s < kMaxBendSlots ? std::clamp(data.bends[s].mark, 0, kMaxBendSlots - 1 - s) : 0;
    const auto px = [&](int k) { return k == 0 ? data.nodeX[a] : k == n + 1 ? data.nodeX[b] : data.bends[s + k].x; };
    const auto py = [&](int k) { return k == 0 ? data.nodeY[a] : k == n + 1 ? data.nodeY[b] : data.bends[s + k].y; };
    const auto markOf = [&](int k) { return k >= 1 && k <= n ? data.bends[s + k].mark : 0; };

    if (!mWindow) {
        bool any = false;
        for (int k = 0; k <= n + 1 && !any; ++k)
            any = geo.visible(px(k), py(k));
        if (!any)
            return;
    }
    const Colour colour = roadPen(canvas, j, pens.road);

    const float r = geo.nodeRadius;
    float best = 0, bestTheta = 0, midX = 0, midY = 0;
    bool haveLongest = false;
    for (int k = 1; k <= n + 1; ++k) {
        if (k <= n && markOf(k) == -1)
            continue;
        const float dx = px(k) - px(k - 1), dy = py(k) - py(k - 1);
        const float theta = dx == 0 && dy == 0 ? 0.0f : std::atan2(dy, dx);
        float sx = px(k - 1), sy = py(k - 1), ex = px(k), ey = py(k);
        if (k == 1) {
            sx += r * std::cos(theta);
            sy += r * std::sin(theta);
        }
        if (k == n + 1) {
            ex += r * std::cos(theta + kPi);
            ey += r * std::sin(theta + kPi);
        }
        lineWorld(canvas, sx, sy, ex, ey);
        const int mark = markOf(k);
        if (k <= n && mark >= 2 && mark <= 127)
            drawGlyph(canvas, static_cast<unsigned char>(128 + mark), ex, ey, std::cos(theta), std::sin(theta));
        const float length = (sx - ex) * (sx - ex) + (sy - ey) * (sy - ey);
        if (length > best) {
            best = length;
            bestTheta = theta;
            midX = (sx + ex) / 2;
            midY = (sy + ey) / 2;
            haveLongest = true;
        }
    }
    if (mLook && settings.look.arrows && haveLongest && data.flowValue[j] != 0)
        drawArrow(canvas, j, colour, bestTheta, midX, midY, std::sqrt(best));
    if (!pens.labels || !haveLongest)
        return;
    if (mDeferred) {
        mDeferred->push_back({j, bestTheta, midX, midY});
        return;
    }
    drawRoadLabels(canvas, j, pens, bestTheta, midX, midY);
}

void PlanView::drawRoadLabels(Canvas& canvas, int j, const RoadPens& pens, float theta, float midX, float midY)
{
    const bool fixedRoad = j > data.roadCount;
    bool turned = false;
    if (roundHalfAway(theta) >= 2) {
        theta -= kPi;
        turned = true;
    } else if (theta < -kHalfPi) {
        theta += kPi;
        turned = true;
    }
    const float sigma = turned ? 1.0f : -1.0f;
    const float cosA = std::cos(theta), sinA = std::sin(theta);
    const std::string name = pens.nameText ? "ROADWAYNAME" : data.roadName[j].str();
    const std::array<float, 4>& ends = data.endValues[j];
    if (mOnlineKindInForce != 0) {
        canvas.setPen(PenStyle::Solid, 1, pens.online);
        drawLabel(canvas,
                        roadLabel(mOnlineKindInForce, data.onlineValue[j], sigma, fixedRoad, ends[0],
                                  ends[2], settings.onlineDigits, settings.onlineBracket, name),
                        midX, midY, cosA, sinA);
    }
    if (settings.underlineKind != 0) {
        canvas.setPen(PenStyle::Solid, 1, pens.underline);
        const float c = geo.charSize;
        drawLabel(canvas,
                        roadLabel(settings.underlineKind, data.underlineValue[j], sigma, fixedRoad,
                                  ends[1], ends[3], settings.underlineDigits,
                                  settings.underlineBracket, name),
                        midX - c * std::cos(theta + kHalfPi), midY - c * std::sin(theta + kHalfPi),
                        cosA, sinA);
    }
}

// The fan symbol: a ring with a hub at the inlet end and a duct to the outlet.
void PlanView::drawFan(Canvas& canvas, int f)
{
    const int a = data.nodeIndex(data.fanFirst[f]), b = data.nodeIndex(data.fanSecond[f]);
    if (!a || !b)
        return;
    const float r = geo.nodeRadius;
    const float ax = data.nodeX[a], ay = data.nodeY[a];
    const float dx0 = data.nodeX[b] - ax, dy0 = data.nodeY[b] - ay;
    const float theta = std::atan2(dy0, dx0);
    const float dx = std::cos(theta), dy = std::sin(theta);
    const float nx = std::cos(theta + kHalfPi), ny = std::sin(theta + kHalfPi);
    const float length = std::sqrt(dx0 * dx0 + dy0 * dy0) - 3 * r;
    const float cx = ax + 2 * r * dx, cy = ay + 2 * r * dy;
    circleAt(canvas, cx, cy, r);
    circleAt(canvas, cx, cy, r / 2);
    const float p1x = cx + r * nx, p1y = cy + r * ny;
    const float p2x = p1x + length * dx, p2y = p1y + length * dy;
    const float p3x = p2x - 2 * r * nx, p3y = p2y - 2 * r * ny;
    const DevicePoint q1 = at(p1x, p1y), q2 = at(p2x, p2y), q3 = at(p3x, p3y);
    const DevicePoint q4 = at(ax + 3 * r * dx, ay + 3 * r * dy);
    canvas.moveTo(q1.x, q1.y);
    canvas.lineTo(q2.x, q2.y);
    canvas.lineTo(q3.x, q3.y);
    canvas.lineTo(q4.x, q4.y);
}

}  // namespace orvex
