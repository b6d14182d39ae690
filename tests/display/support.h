#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "display/planview.h"
#include "model/appcontext.h"

namespace orvex::displaytest {

struct RecordingReporter : Reporter {  // nothing here asks a question
    struct Entry {
        std::string text, caption;
        MessageKind kind;
    };
    void message(const std::string& text, const std::string& caption, MessageKind kind) override
    {
        messages.push_back({text, caption, kind});
    }
    Answer ask(const std::string&, const std::string&, bool) override { return Answer::No; }
    std::string all() const;  // "[caption] text\n" each
    std::vector<Entry> messages;
};

// Every canvas call in order, with the pen and the inverting mode in force.
struct Op {
    enum Kind { Move, Line, Circle, Fill, Pen, Invert } kind = Move;
    float x = 0, y = 0, x2 = 0, y2 = 0;  // Line: from (x2, y2) to (x, y); Circle: its box
    Colour colour = 0, outline = 0;      // the pen's (Fill: the brush) and a polygon's outline
    PenStyle style = PenStyle::Solid;
    bool invert = false;
    std::vector<DevicePoint> polygon;
};
struct DrawnText {  // a text in the test font: its characters and each glyph's origin
    std::string text;
    std::vector<DevicePoint> origins;
};
inline constexpr Colour kAny = 0xFFFFFFFFu;  // no rgb() colour is this

class RecordingCanvas : public Canvas {
public:
    void fillPolygon(const DevicePoint* points, int count, Colour brush, Colour pen) override;
    void setPen(PenStyle style, int, Colour colour) override;
    void setInvert(bool on) override;
    void moveTo(float x, float y) override;
    void lineTo(float x, float y) override;
    void circle(float left, float top, float right, float bottom) override;
    void text(float, float, const std::string&, Colour) override {}

    // "x0 y0 x1 y1, ..." of the lines and "cx cy r, ..." of the circles of a colour, in order.
    std::string lines(Colour colour = kAny) const;
    std::string circles(Colour colour = kAny) const;
    int count(Op::Kind kind, Colour colour = kAny) const;
    // The texts drawn in the test font in a colour (each pen selection starts one), and them joined by "|".
    std::vector<DrawnText> texts(Colour colour) const;
    std::string labels(Colour colour) const;
    bool allFinite() const;
    std::vector<Op> ops;

private:
    Op& add(Op::Kind kind, float x, float y);
    Op mPen;
};

// The test font: the glyph of kTestFontChars[n - 1] (and of symbol m, as
// n = 26 + m) moves to its origin and draws n strokes along x; "G" is (0, 0) → (10, 20).
inline const std::string kTestFontChars = "0123456789-.()[]#ROADWYNME_";

inline constexpr Colour kBack = rgb(0, 0, 128), kRoad = rgb(200, 200, 200), kOnline = rgb(0, 255, 0),
                        kUnderline = rgb(255, 255, 0), kNode = rgb(255, 0, 255), kOnNode = rgb(0, 255, 255),
                        kStrong = rgb(255, 0, 0), kNodeData = rgb(255, 128, 0);

// A view with the test font and the colours above at scale 1, world (0, 0)
// at device (500, 500), client area 1000 × 1000, node radius 8, character
// size 10; its network is filled by hand (surface nodes and normal roads first).
std::unique_ptr<PlanView> makeView();
struct Bend {
    float x, y;
    int mark;
};
void addNode(PlanView& view, int number, float x, float y, bool surface = false);
void addRoad(PlanView& view, int a, int b, float online = 0, std::vector<Bend> bends = {}, bool fixedFlow = false);
void addFan(PlanView& view, int a, int b);

// A world point's device point by the transform's definition (cut toward zero).
DevicePoint expectedDevice(const PlanView& view, double x, double y);
std::string str(DevicePoint p);  // "x y"
// The same text with every number within `tolerance` of the expected one.
::testing::AssertionResult nearly(const std::string& actual, const std::string& expected, double tolerance = 1.0);

inline const std::string kSourceDir = ORVEX_SOURCE_DIR;

// A network opened as a new window opens it (units first), the sample mine
// unless told otherwise; `opened` is false, with the messages, when it failed.
struct SampleMine {
    explicit SampleMine(const std::string& file = kSourceDir + "/data/mine.vad");
    AppContext app;
    RecordingReporter reporter;
    std::unique_ptr<CBriscoDoc> doc;
    bool opened = false;
};

}  // namespace orvex::displaytest
