// The plan view's state changes: copying the model, extents and origin,
// fitting, zooming, turning and taking over display settings.
#include "display/planview.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "analysis/quantities.h"
#include "checks/checks.h"
#include "display/quantitynames.h"

namespace orvex {

int PlanData::nodeIndex(int number) const
{
    if (!isValidNodeNumber(number))
        return 0;
    const int i = indexOfNumber[number];
    return i >= 1 && i <= nodeCount && nodeNumber[i] == number ? i : 0;
}

void PlanView::update(CBriscoDoc& doc)
{
    data.analysisRunning = doc.analysisRunning != 0;
    if (data.analysisRunning) {
        data.statusLine = doc.statusLine;
        return;
    }
    const int k = settings.nodeKind;
    if (settings.look.nodeColourKind != k)
        copyNodeColours(doc);
    if (k == 3)
        computeRelativePressures(doc);
    else if (k == 4)
        walkPressureLoss(doc);

    copyNodes(doc, k);
    if (settings.look.nodeColourKind == k)
        copyNodeColours(doc);
    const NetworkCounts c = doc.counts();
    data.surfaceCount = c.surface;
    data.nodeCount = c.nodes;
    data.roadCount = c.roads;
    data.fixedCount = c.fixedRoads;
    data.bendUsed = c.bendSlots;
    data.fanCount = c.fans;
    copyRoads(doc);
    copyRoadLook(doc);
    copyTitle(doc);
}

void PlanView::copyTitle(CBriscoDoc& doc)
{
    data.heading = networkHeading(doc);
    // The network file's name without its folder; a new network has none yet.
    const std::string base = doc.baseName.substr(doc.baseName.find_last_of('/') + 1);
    data.fileName = base.empty() ? std::string() : base + doc.networkExtension;
    const UnitLabels units = unitLabelsOf(doc);
    data.shown.clear();
    const auto add = [this](const std::string& where, const std::string& quantity) {
        if (!quantity.empty())
            data.shown.push_back(where + quantity);
    };
    add("Above roads: ", roadQuantity(settings.onlineKind, units));
    add("Below roads: ", roadQuantity(settings.underlineKind, units));
    add("Nodes: ", settings.nodeKind == 1 ? std::string() : nodeQuantity(settings.nodeKind, units));
    add("Roads coloured by ", roadQuantity(settings.look.roadColourKind, units));
    add("Nodes coloured by ", nodeQuantity(settings.look.nodeColourKind, units));
}

namespace {

// Each road's colour value from a list by road index; NaN past its end.
std::vector<float> takeColourValues(PlanData& data, int total, const std::vector<float>& byRoad)
{
    std::vector<float> values;
    for (int j = 1; j <= total; ++j)
        values.push_back(data.colourValue[j] = std::size_t(j) < byRoad.size()
                                                   ? byRoad[std::size_t(j)]
                                                   : std::numeric_limits<float>::quiet_NaN());
    return values;
}

}  // namespace

void PlanView::copyRoadLook(CBriscoDoc& doc)
{
    const int total = data.roadCount + data.fixedCount;
    data.largestFlow = 0;
    for (int j = 1; j <= total; ++j) {
        float flow = 0;
        roadValue(doc, j, 1, flow);
        data.flowValue[j] = flow;
        data.largestFlow = std::max(data.largestFlow, std::fabs(flow));
    }
    const int kind = settings.look.roadColourKind;
    if (kind == kCheckStateKind) {  // -1 below a limit, 0 within, +1 above: blue, grey, red
        std::vector<float> values;
        for (int j = 1; j <= total; ++j)
            values.push_back(data.colourValue[j] = roadCheckState(doc, j));
        data.roadScale = colourScaleFor(values, ColourLimits{false, -1, 1});
        data.roadScale.states = {{"below a limit", rgb(0x3b, 0x9c, 0xff)},
                                 {"within", rgb(0x5e, 0xc9, 0x62)},
                                 {"above a limit", rgb(0xff, 0x40, 0x40)}};
        data.roadColourTitle = roadQuantity(kind, unitLabelsOf(doc));
        return;
    }
    if (kind == kFlowChangeKind) {
        copyFlowChange(doc, total);
        return;
    }
    if (kind == kResidualKind) {
        const std::vector<float> values = takeColourValues(data, total, residualWork(doc).residual);
        // Even about 0, so that grey means the model matches the measurement.
        data.roadScale = colourScaleFor(values, ColourLimits{false, -kResidualScaleEnd, kResidualScaleEnd});
        data.roadColourTitle = roadQuantity(kind, unitLabelsOf(doc));
        return;
    }
    if (kind == kEscapeRouteKind) {
        const EscapeWork& work = escapeWork(doc);
        const std::vector<float> values = takeColourValues(data, total, work.roadMinute);
        data.roadScale = colourScaleFor(values, ColourLimits{});
        data.roadColourTitle = roadQuantity(kind, unitLabelsOf(doc)) + " " + work.from;
        return;
    }
    if (kind <= 0 || kind >= kRoadKinds) {
        data.roadScale = ColourScale{};
        data.roadColourTitle.clear();
        return;
    }
    std::vector<float> values(std::size_t(total), std::numeric_limits<float>::quiet_NaN());
    for (int j = 1; j <= total; ++j) {
        float v = std::numeric_limits<float>::quiet_NaN();
        if (roadValue(doc, j, kind, v) && isDirectedRoadKind(kind))
            v = std::fabs(v);
        data.colourValue[j] = values[std::size_t(j - 1)] = v;
    }
    data.roadScale = colourScaleFor(values, settings.look.limits);
    data.roadColourTitle = roadQuantity(kind, unitLabelsOf(doc));
}

FlowChangeWork& flowChangeWork(CBriscoDoc& doc)
{
    return doc.layerWork().get<FlowChangeWork>();
}

EscapeWork& escapeWork(CBriscoDoc& doc)
{
    return doc.layerWork().get<EscapeWork>();
}

ResidualWork& residualWork(CBriscoDoc& doc)
{
    return doc.layerWork().get<ResidualWork>();
}

// The scale is even about 0, so that grey means unchanged.
void PlanView::copyFlowChange(CBriscoDoc& doc, int total)
{
    const FlowChangeWork& work = flowChangeWork(doc);
    std::vector<float> values;
    float largest = 0;
    for (int j = 1; j <= total; ++j) {
        const float v = std::size_t(j) < work.change.size() ? work.change[std::size_t(j)]
                                                            : std::numeric_limits<float>::quiet_NaN();
        values.push_back(data.colourValue[j] = v);
        if (std::isfinite(v))
            largest = std::max(largest, std::fabs(v));
    }
    data.roadScale = colourScaleFor(values, largest > 0 ? ColourLimits{false, -largest, largest} : ColourLimits{});
    data.roadColourTitle = roadQuantity(kFlowChangeKind, unitLabelsOf(doc)) +
                           (work.against.empty() ? std::string() : " " + work.against);
}

// Nodes are coloured by their elevation, pressure, pressure loss, gas
// temperature or hazard, with the scale the values make.
void PlanView::copyNodeColours(CBriscoDoc& doc)
{
    const int kind = settings.look.nodeColourKind;
    if (kind == kEscapeMarginKind) {
        const std::vector<float>& state = escapeWork(doc).nodeState;
        std::vector<float> values;
        for (int i = 1; i <= doc.nodeCount && i < kMaxNodes; ++i)
            values.push_back(data.nodeColourValue[i] = std::size_t(i) < state.size()
                                                           ? state[std::size_t(i)]
                                                           : std::numeric_limits<float>::quiet_NaN());
        data.nodeScale = colourScaleFor(values, ColourLimits{false, 0, 2});
        data.nodeScale.states = {{"no safe way out", rgb(0xff, 0x40, 0x40)},
                                 {"less than 5 min to spare", rgb(0xff, 0xb0, 0x20)},
                                 {"5 min or more to spare", rgb(0x5e, 0xc9, 0x62)}};
        data.nodeColourTitle = nodeQuantity(kind, unitLabelsOf(doc));
        return;
    }
    if (kind < 2 || kind > kNodeHazardKind) {
        data.nodeScale = ColourScale{};
        data.nodeColourTitle.clear();
        return;
    }
    if (kind == 3)
        computeRelativePressures(doc);
    else if (kind == 4)
        walkPressureLoss(doc);
    std::vector<float> values;
    for (int i = 1; i <= doc.nodeCount && i < kMaxNodes; ++i) {
        float v = std::numeric_limits<float>::quiet_NaN();
        nodeValue(doc, i, kind, v);
        data.nodeColourValue[i] = v;
        values.push_back(v);
    }
    data.nodeScale = colourScaleFor(values, ColourLimits{});
    data.nodeColourTitle = nodeQuantity(kind, unitLabelsOf(doc));
}

// Each walk over the records has a cursor of its own and starts at record 1,
// so that the view's index of a record is the document's.
void PlanView::copyNodes(CBriscoDoc& doc, int kind)
{
    int number = 0;
    float value = 0;
    RecordCursor nodeValues;
    for (int i = 1; nextNodeValue(doc, nodeValues, kind, number, value); ++i) {
        data.nodeNumber[i] = number;
        data.nodeValue[i] = value;
        if (isValidNodeNumber(number))
            data.indexOfNumber[number] = i;
    }
    float x = 0, y = 0;
    RecordCursor positions;
    for (int i = 1; doc.nextNodePosition(positions, x, y); ++i) {
        data.nodeX[i] = x;
        data.nodeY[i] = y;
    }
}

void PlanView::copyRoads(CBriscoDoc& doc)
{
    float x = 0, y = 0, value = 0;
    int a = 0, b = 0, s = 0;
    RecordCursor roads;
    for (int j = 1; doc.nextRoad(roads, a, b, s); ++j) {
        data.roadFirst[j] = a;
        data.roadSecond[j] = b;
        data.roadBend[j] = s;
    }
    RecordCursor bends;
    for (int j = 1; doc.nextBendSlot(bends, x, y, s); ++j)
        data.bends[j] = BendSlot{s, x, y};
    RecordCursor fans;
    for (int f = 1; doc.nextFan(fans, a, b); ++f) {
        data.fanFirst[f] = a;
        data.fanSecond[f] = b;
    }
    // A kind without a value leaves the view's value of that road as it was.
    const auto copyRoadValues = [&doc, &value](int kind, std::array<float, kMaxRoads>& into) {
        RecordCursor values;
        for (int j = 1;; ++j) {
            value = j < kMaxRoads ? into[j] : 0.0f;
            if (!nextRoadValue(doc, values, kind, value))
                break;
            into[j] = value;
        }
    };
    copyRoadValues(settings.onlineKind, data.onlineValue);
    copyRoadValues(settings.underlineKind, data.underlineValue);
    std::string name;
    RecordCursor names;
    for (int j = 1; doc.nextRoadName(names, name); ++j)
        data.roadName[j] = name;
    // The model hands out its external values slot by slot (on-line first
    // end, on-line second end, under-line first end, under-line second end);
    // the view keeps them end by end: on-line and under-line of the first
    // end, then of the second.
    float ends[4];
    RecordCursor externals;
    for (int j = 1; doc.nextExternalValues(externals, ends); ++j)
        data.endValues[j] = {ends[0], ends[2], ends[1], ends[3]};
}

float PlanView::pixelUnit() const
{
    if (page.printing)
        return page.dotsPerPixel;
    if (!geo.pagePreview || page.pageWidth <= 0)
        return 1;
    const int shown = pageOnScreen(geo.clientWidth, geo.clientHeight, page.pageWidth, page.pageHeight,
                                   page.orientation).width;
    return page.dotsPerPixel * float(shown) / float(page.pageWidth);
}

// --- geometry ----------------------------------------------------------------

void PlanView::recomputeExtents(bool setScrollSizes)
{
    ViewGeometry& g = geo;
    g.minX = g.maxX = g.minY = g.maxY = 0;
    for (int i = 1; i <= data.nodeCount; ++i) {
        g.minX = std::min(g.minX, data.nodeX[i]);
        g.maxX = std::max(g.maxX, data.nodeX[i]);
        g.minY = std::min(g.minY, data.nodeY[i]);
        g.maxY = std::max(g.maxY, data.nodeY[i]);
    }
    const float margin = g.nodeRadius * g.scale * 4.0f;
    g.scrollWidth = int(std::fabs(std::trunc(g.minX * g.scale)) +
                        std::fabs(std::trunc(g.maxX * g.scale)) + margin);
    g.scrollHeight = int(std::fabs(std::trunc(g.minY * g.scale)) +
                         std::fabs(std::trunc(g.maxY * g.scale)) + margin);
    if (setScrollSizes)
        g.scrollSizesChanged = true;
    recomputeOrigin();
}

void PlanView::recomputeOrigin()
{
    ViewGeometry& g = geo;
    g.originX = std::trunc((std::fabs(std::trunc(g.minX)) + 2 * g.nodeRadius) * g.scale);
    g.originY = std::trunc((g.maxY + 2 * g.nodeRadius) * g.scale);
}

void PlanView::fitToWindow()
{
    if (geo.pagePreview) {
        pageLayout();
        return;
    }
    recomputeExtents(true);
    // A plan of no extent (every node at one point) keeps its scale.
    if (geo.scrollWidth > 0 && geo.scrollHeight > 0) {
        const float kx = float(geo.clientWidth) / (float(geo.scrollWidth) / geo.scale);
        const float ky = float(geo.clientHeight) / (float(geo.scrollHeight) / geo.scale);
        geo.scale = kx < ky ? kx : ky;
    }
    recomputeExtents(true);
}

void PlanView::zoomIn()
{
    if (geo.pagePreview) {
        geo.scale *= 1.1111112f;
        page.pageScale = geo.scale;
        recomputeOrigin();
        return;
    }
    geo.scale = std::min(geo.scale * 2, kMaxScale);
    recomputeExtents(true);
}

void PlanView::zoomOut()
{
    if (geo.pagePreview) {
        geo.scale *= 0.9f;
        page.pageScale = geo.scale;
        recomputeOrigin();
        return;
    }
    geo.scale = std::max(geo.scale / 2, kMinScale);
    recomputeExtents(true);
}

bool PlanView::zoomToRectangle(int x0, int y0, int x1, int y1, Reporter& reporter,
                               int& newScrollX, int& newScrollY)
{
    if (geo.pagePreview || y1 == y0)
        return false;
    if (x0 > x1)
        std::swap(x0, x1);
    if (y0 > y1)
        std::swap(y0, y1);
    if (x1 == x0)
        return false;
    if (roundHalfAway(geo.scale * 0.65f) == 10) {
        reporter.message("This is a maximum !!", kViewCaption, MessageKind::Information);
        return false;
    }
    const float s0 = geo.scale;
    const int k = geo.clientWidth / std::abs(x0 - x1);
    geo.scale = float(k) * geo.scale;
    if (geo.scale > 15.384615384615383)
        geo.scale = 15.384615f;
    // A rectangle wider than the window would give a scale of 0; the
    // smallest scale is taken at once instead of at the next paint.
    if (geo.scale < kMinScale)
        geo.scale = kMinScale;
    recomputeExtents(true);
    newScrollX = int((geo.scrollX + x0) * geo.scale / s0);
    newScrollY = int((geo.scrollY + y0) * geo.scale / s0);
    return true;
}

// A right turn is clockwise on the screen: the display angle grows by 45
// and the plan turns by -45 degrees about the world origin.
void PlanView::turn(CBriscoDoc& doc, int displayDegrees)
{
    if (geo.pagePreview)
        return;
    geo.displayAngle = ((geo.displayAngle + displayDegrees) % 360 + 360) % 360;
    doc.rotatePlan(-displayDegrees);
    update(doc);
    recomputeExtents(true);
}

void PlanView::rightTurn(CBriscoDoc& doc)
{
    turn(doc, 45);
}

void PlanView::leftTurn(CBriscoDoc& doc)
{
    turn(doc, -45);
}

void PlanView::setAngle(CBriscoDoc& doc, int angle)
{
    if (angle == geo.displayAngle)
        return;
    int a = angle % 360;
    if (a < 0)
        a += 360;
    doc.rotatePlan(geo.displayAngle - a);
    geo.displayAngle = a;
    update(doc);
}

bool PlanView::applyDisplaySettings(CBriscoDoc& doc, const DisplaySettings& chosen,
                                    float figureSize, float charSize, float nodeRadius, int angle,
                                    Reporter& reporter)
{
    if (!figureSizeAcceptable(figureSize)) {
        reporter.message(kBadFigureSize, kViewCaption, MessageKind::Error);
        return false;
    }
    geo.charSize = charSize;
    geo.scale = float(figureSize * kScalePerFigureSize);
    geo.nodeRadius = nodeRadius;
    const int previewKind = settings.previewKind;
    const PrintColours print = settings.print;
    settings = chosen;
    settings.previewKind = previewKind;
    settings.print = print;
    setAngle(doc, angle);
    recomputeExtents(true);

    const int k = settings.nodeKind;
    if (k >= 7 && k <= 10)
        doc.readExternalNodeValues(k - 6);
    if (settings.onlineKind >= 16 && settings.onlineKind <= 19)
        doc.readExternalRoadValues(settings.onlineKind - 15, 0);
    if (settings.underlineKind >= 16 && settings.underlineKind <= 19)
        doc.readExternalRoadValues(settings.underlineKind - 15, 1);
    update(doc);  // node kinds 3 and 4 are computed by the update
    return true;
}

}  // namespace orvex
