#pragma once

#include <array>
#include <string>
#include <vector>

#include "display/canvas.h"
#include "display/colourscale.h"
#include "display/displaysettings.h"
#include "display/strokefont.h"
#include "display/viewgeometry.h"
#include "model/briscodoc.h"

// The plan of one network window, without the window: the view's own copy of
// what it draws, its geometry, its display settings and its font, with the
// drawing of the whole network and of single elements. The window program's
// network view owns one; the batch tool draws plan images with one.
namespace orvex {

// The change of each road's airflow against a base run, kept with the
// document while its view is coloured by it (kFlowChangeKind).
struct FlowChangeWork : LayerWork {
    std::vector<float> change;  // flow unit, by road index 1.. (slot 0 unused); NaN: not compared
    std::string against;        // the legend's words after the quantity: "against mine.vad"
};
FlowChangeWork& flowChangeWork(CBriscoDoc& doc);

// A way out and every node's escape margin, kept with the document while its
// view shows them (kEscapeRouteKind, kEscapeMarginKind).
struct EscapeWork : LayerWork {
    std::vector<float> roadMinute;  // by road index 1..: the minute the walker leaves it; NaN off the way
    // By node index 1..: 0 no safe way out, 1 less than kTightMargin minutes
    // to spare, 2 more; NaN: not searched (surface nodes).
    std::vector<float> nodeState;
    static constexpr double kTightMargin = 5;
    std::string from;               // the legend's words after the quantity: "from node 205"
};
EscapeWork& escapeWork(CBriscoDoc& doc);

// Each road's normalised residual after a calibration fit, kept with the
// document while its view is coloured by it (kResidualKind).
struct ResidualWork : LayerWork {
    std::vector<float> residual;  // by road index 1.. (slot 0 unused); NaN: not measured
};
ResidualWork& residualWork(CBriscoDoc& doc);

// What the view copies from the document on every update.
struct PlanData {
    int nodeCount = 0, surfaceCount = 0;
    std::array<int, kMaxNodes> nodeNumber{};
    std::array<float, kMaxNodes> nodeX{}, nodeY{};
    std::array<float, kMaxNodes> nodeValue{};
    std::array<int, kMaxNodeNumbers> indexOfNumber{};
    int roadCount = 0, fixedCount = 0;
    std::array<int, kMaxRoads> roadFirst{}, roadSecond{}, roadBend{};
    std::array<BendSlot, kMaxBendSlots> bends{};
    int bendUsed = 0;
    int fanCount = 0;
    std::array<int, kMaxFans> fanFirst{}, fanSecond{};
    std::array<float, kMaxRoads> onlineValue{}, underlineValue{};
    std::array<std::array<float, 4>, kMaxRoads> endValues{};
    std::array<FixedText<kRoadNameChars>, kMaxRoads> roadName{};
    bool analysisRunning = false;
    std::string statusLine;
    // The look: each road's airflow (kind 1), the values roads and nodes
    // are coloured by (NaN: no value) with their scales and legend titles.
    std::array<float, kMaxRoads> flowValue{}, colourValue{};
    std::array<float, kMaxNodes> nodeColourValue{};
    float largestFlow = 0;
    ColourScale roadScale, nodeScale;
    std::string roadColourTitle, nodeColourTitle;
    // What a printed page or an exported plan says of itself.
    std::string heading, fileName;
    std::vector<std::string> shown;  // the quantities written on the plan, with their units

    int nodeIndex(int number) const;  // 0 when no node carries it
};

// The page preview and printing values.
struct PageState {
    int pageWidth = 2880, pageHeight = 3969;  // printable size, printer pixels
    int orientation = 1;                      // 1 portrait, otherwise landscape
    DevicePoint corners[4] = {};              // page on the screen, scroll included
    int lastDragX = 0, lastDragY = 0;
    int savedOffsetX = 0, savedOffsetY = 0;   // drag offset in world units while preview is off
    float screenScale = 1.0f;
    float pageScale = 0.0f;                   // 0: not chosen yet
    ColourSlots keptColours;
    bool printing = false;
    bool dragging = false;                    // the plan is being moved on the page
    float dotsPerPixel = 3.75f;               // printer dots per screen pixel (360 dpi)
    int dragStartX = 0, dragStartY = 0;       // press point less the last drag
};

// The page on the screen for a client size: width, height and top-left corner.
struct PageRect {
    int width = 0, height = 0, left = 0, top = 0;
};
PageRect pageOnScreen(int clientWidth, int clientHeight, int pageWidth, int pageHeight,
                      int orientation);

// The label text of a road value (at most 99 characters).
std::string roadLabel(int kind, float value, float sigma, bool fixedRoad, float firstEnd,
                      float secondEnd, int digits, bool bracket, const std::string& name);

class PlanView {
public:
    ViewGeometry geo;
    DisplaySettings settings;
    PlanData data;
    StrokeFont font;
    PageState page;
    bool networkLoaded = false;

    // Copies the model into the view (the document's views are updated).
    void update(CBriscoDoc& doc);

    // --- geometry ---
    void recomputeExtents(bool setScrollSizes);
    void recomputeOrigin();
    void fitToWindow();
    void zoomIn();
    void zoomOut();
    // The mouse rectangle zoom. Returns false (and says so) at the largest
    // figure size; otherwise sets scale and extents and gives the scroll
    // position that brings the rectangle's corner to the window's corner.
    bool zoomToRectangle(int x0, int y0, int x1, int y1, Reporter& reporter, int& newScrollX,
                         int& newScrollY);
    void rightTurn(CBriscoDoc& doc);
    void leftTurn(CBriscoDoc& doc);
    void setAngle(CBriscoDoc& doc, int angle);

    // --- display settings ---
    // The Display setting dialog's OK: false with the figure-size message
    // when the figure size is out of range (nothing taken over).
    bool applyDisplaySettings(CBriscoDoc& doc, const DisplaySettings& chosen, float figureSize,
                              float charSize, float nodeRadius, int angle, Reporter& reporter);

    // --- drawing ---
    void paint(Canvas& canvas);
    void drawNetwork(Canvas& canvas, bool labels);
    // Single elements straight onto the window (positions minus the scroll
    // position). A colour of 0 draws inverted where the editor asks for it.
    void drawRoadOnWindow(Canvas& canvas, int road, Colour roadColour, Colour onlineColour,
                          Colour underlineColour);
    // A road as the whole plan draws it, its colour, width and arrow included.
    void drawRoadNormalOnWindow(Canvas& canvas, int road);
    void drawNodeOnWindow(Canvas& canvas, int index, Colour colour);
    void drawFanOnWindow(Canvas& canvas, int fan, Colour colour);
    void drawCircleAtWorld(Canvas& canvas, float x, float y, float radius, Colour colour);
    void drawCircleAtClient(Canvas& canvas, float x, float y, float radius, Colour colour);
    void drawLineOnWindow(Canvas& canvas, float x0, float y0, float x1, float y1, Colour colour);
    void drawFireFront(Canvas& canvas, int road, float distance, float fraction, int direction);
    // The colour legends of roads and nodes, stacked upward from a
    // bottom-left corner, device pixels (unit pixels to the screen's one);
    // nothing when no colour is on.
    void drawColourLegends(Canvas& canvas, float left, float bottom, Colour text, Colour back, float unit = 1);
    // The title block of a page or an exported plan: heading, file, date and
    // the quantities shown, framed, its bottom-right corner given; nothing
    // when the look has it off.
    // Returns the block's top-left corner (the corner given when it is off).
    DevicePoint drawTitleBlock(Canvas& canvas, float right, float bottom, const std::string& date, Colour text,
                               Colour back, float unit = 1);

    // --- text in the stroke font, world units ---
    void drawGlyph(Canvas& canvas, unsigned char code, float ox, float oy, float cosA, float sinA);
    void drawTextCentred(Canvas& canvas, const std::string& text, float mx, float my, float cosA,
                         float sinA);
    void drawTextFrom(Canvas& canvas, const std::string& text, float px, float py, float cosA,
                      float sinA);

    // Device pixels per screen pixel of what has a fixed size on the screen
    // (screen-sized labels, arrows): more on a printer, fewer on the page
    // preview's shrunken page.
    float pixelUnit() const;

    // --- page preview and printing ---
    void pageLayout();
    void enterPagePreview();
    void leavePagePreview();
    // Starts a printout on a page of the given resolution: sets everything for
    // drawing the page and returns the print scale; finishPrint() puts the
    // preview back.
    float beginPrint(int printerWidth, int printerHeight);
    void finishPrint();
    // Moving the plan on the page with the mouse, client coordinates. The
    // plan keeps its place on the page in world units when the drag ends.
    void beginPageDrag(int x, int y);
    void pageDragTo(int x, int y);
    void endPageDrag(int x, int y);

private:
    struct RoadPens {
        Colour road, online, underline;
        bool labels;
        bool nameText;  // window drawing shows "ROADWAYNAME" for names
    };
    DevicePoint at(float x, float y) const;
    void copyNodes(CBriscoDoc& doc, int kind);  // numbers, values of this kind, positions
    void copyRoads(CBriscoDoc& doc);            // ends, bending points, fans, values, names
    void copyRoadLook(CBriscoDoc& doc);         // flows and colour values of the roads
    void copyFlowChange(CBriscoDoc& doc, int total);
    void copyNodeColours(CBriscoDoc& doc);      // before the node values: it may compute others
    void copyTitle(CBriscoDoc& doc);            // heading, file and the quantities shown
    void turn(CBriscoDoc& doc, int displayDegrees);
    void drawRoad(Canvas& canvas, int j, const RoadPens& pens);
    // The values above and below road j along its longest piece, at angle
    // theta through its middle, turned so that they never read upside down.
    void drawRoadLabels(Canvas& canvas, int j, const RoadPens& pens, float theta, float midX, float midY);
    void drawArrow(Canvas& canvas, int j, Colour colour, float theta, float midX, float midY, float piece);
    struct Arrow {
        DevicePoint points[3];
        Colour colour;
    };
    std::vector<Arrow>* mArrows = nullptr;  // gathered while the whole plan is drawn
    void drawArrows(Canvas& canvas, std::vector<Arrow>& arrows);
    // Selects the road's pen: the road colour or its value's, wider with
    // more air while the whole plan is drawn; gives the colour.
    Colour roadPen(Canvas& canvas, int j, Colour colour);
    // A label centred on a point, unless a screen-sized label lies there.
    void drawLabel(Canvas& canvas, const std::string& text, float mx, float my, float cosA, float sinA);
    void drawNodeLabels(Canvas& canvas, bool numbers, bool values);
    void drawFan(Canvas& canvas, int f);
    void drawNodeCircles(Canvas& canvas, int i);
    void circleAt(Canvas& canvas, float x, float y, float radius);
    void lineWorld(Canvas& canvas, float x0, float y0, float x1, float y1);
    std::string nodeNumberText(int i) const;

    bool mWindow = false;  // drawing straight onto the window: subtract the scroll position
    bool mLook = false;    // drawing the whole plan: colours, widths and arrows apply
    // Labels at a fixed screen size: each takes its place on the plan or,
    // where one drawn before lies, is left out.
    struct LabelPlaces;
    LabelPlaces* mPlaces = nullptr;
    bool placeLabel(float centreX, float centreY, float halfWidth, float halfHeight, float cosA, float sinA);
    struct DeferredLabels { int road; float theta, midX, midY; };
    std::vector<DeferredLabels>* mDeferred = nullptr;
    void drawScreenSizedLabels(Canvas& canvas, const RoadPens& pens);
    int mOnlineKindInForce = 1;
    struct PrintKeep {  // what printing puts back when it ends
        int pageDragX, pageDragY, pageCornerX, pageCornerY, savedX, savedY;
        float pageScale, scale;
    } mPrintKeep{};
    struct ScaleKeep {
        float scale, pageScale, minX, maxX, minY, maxY, originX, originY;
    } mPrintScaleKeep{};
};

}  // namespace orvex
