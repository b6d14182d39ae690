#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "display/canvas.h"
#include "display/planview.h"
#include "model/appcontext.h"
#include "model/briscodoc.h"
#include "model/reporter.h"

namespace orvex::displaytest {

// Records every message box; questions are answered No (nothing here asks).
class RecordingReporter : public Reporter {
public:
    struct Entry {
        std::string text, caption;
        MessageKind kind;
    };
    void message(const std::string& text, const std::string& caption, MessageKind kind) override
    {
        messages.push_back({text, caption, kind});
    }
    Answer ask(const std::string& text, const std::string&, bool) override
    {
        questions.push_back(text);
        return Answer::No;
    }
    std::string all() const;
    std::vector<std::string> texts() const;

    std::vector<Entry> messages;
    std::vector<std::string> questions;
};

// Every call a drawing makes, in order, with the pen in force at the time.
struct Op {
    enum Kind { Move, Line, Circle, Fill, Pen, Invert, Text };
    Kind kind = Move;
    float x = 0, y = 0;    // Move, Line: the point; Circle: left, top; Text: the client point
    float x2 = 0, y2 = 0;  // Line: the point it starts from; Circle: right, bottom
    Colour colour = 0;     // the pen's colour (Fill: the brush)
    Colour outline = 0;    // Fill: the outline's colour
    PenStyle style = PenStyle::Solid;
    int width = 1;
    bool invert = false;
    std::vector<DevicePoint> polygon;
    std::string text;
};

struct Segment {
    float x0, y0, x1, y1;
    Colour colour;
    PenStyle style;
    bool invert;
};

struct CircleCall {
    float cx, cy, radius;  // from the bounding box
    Colour colour;
    bool invert;
};

// One text drawn in the test font (see testFont()): its characters and the
// device position of every glyph's origin.
struct DrawnText {
    std::string text;
    std::vector<DevicePoint> origins;
    Colour colour = 0;
};

class RecordingCanvas : public Canvas {
public:
    void fillPolygon(const DevicePoint* points, int count, Colour brush, Colour pen) override;
    void setPen(PenStyle style, int width, Colour colour) override;
    void setInvert(bool on) override;
    void moveTo(float x, float y) override;
    void lineTo(float x, float y) override;
    void circle(float left, float top, float right, float bottom) override;
    void text(float x, float y, const std::string& text, Colour colour) override;

    std::vector<Segment> lines() const;
    std::vector<Segment> lines(Colour colour) const;
    std::vector<CircleCall> circles() const;
    std::vector<CircleCall> circles(Colour colour) const;
    // Texts drawn in this pen colour with the test font; a new text begins
    // with every pen selection.
    std::vector<DrawnText> texts(Colour colour) const;
    // Glyphs of the test font drawn in this colour with the given stroke count.
    std::vector<DevicePoint> glyphOrigins(Colour colour, int strokes) const;
    // Every coordinate passed is a finite number.
    bool allFinite() const;
    void clear() { ops.clear(); }

    std::vector<Op> ops;

private:
    Colour mColour = 0;
    PenStyle mStyle = PenStyle::Solid;
    int mWidth = 1;
    bool mInvert = false;
};

// A font made for decoding: glyph n (1-based in kTestFontChars, then the
// symbols 128+2..128+7 as 28..33) moves to its origin (0, 0) and draws n
// strokes along x, so that the recorded calls tell which character was drawn
// and where its origin lies.
inline const std::string kTestFontChars = "0123456789-.()[]#ROADWYNME_";
std::string testFontText();
StrokeFont testFont();
// The characters of kTestFontChars and the symbols, by stroke count.
char testFontChar(int strokes);

// Distinct colours for the tests' drawings.
inline constexpr Colour kBack = rgb(0, 0, 128);
inline constexpr Colour kRoad = rgb(200, 200, 200);
inline constexpr Colour kOnline = rgb(0, 255, 0);
inline constexpr Colour kUnderline = rgb(255, 255, 0);
inline constexpr Colour kNode = rgb(255, 0, 255);
inline constexpr Colour kOnNode = rgb(0, 255, 255);
inline constexpr Colour kStrong = rgb(255, 0, 0);
inline constexpr Colour kNodeData = rgb(255, 128, 0);

// A view with the test font and colours, scale 1, the world origin at device
// (500, 500) and a client area of 1000 × 1000: world x and y from -500 to
// 500 are visible. Its network is built with the calls below.
std::unique_ptr<PlanView> makeView();

struct BendPoint {
    float x, y;
    int mark;
};

// Fills the view's copy of a network by hand.
class PlanBuilder {
public:
    explicit PlanBuilder(PlanView& view) : mView(view) {}
    // Surface nodes must be added before underground ones.
    int surface(int number, float x, float y);
    int underground(int number, float x, float y);
    // Normal roads must be added before fixed-flow roads. Returns the road index.
    int road(int first, int second, float online = 0, std::initializer_list<BendPoint> bends = {});
    int fixedRoad(int first, int second, float online = 0, std::initializer_list<BendPoint> bends = {});
    int fan(int first, int second);

private:
    int node(int number, float x, float y);
    int addRoad(int first, int second, float online, std::initializer_list<BendPoint> bends);
    PlanView& mView;
};

// Device position of a world point under a view's geometry, computed here
// from the transform's definition (cut toward zero).
DevicePoint expectedDevice(const PlanView& view, double x, double y);

// A document whose network is the installation's default one, for filling by
// hand (the program folder is the source tree).
struct DocFixture {
    DocFixture();
    AppContext app;
    RecordingReporter reporter;
    std::unique_ptr<CBriscoDoc> doc;
};

// The sample mine opened as a new window opens it (units read first); false
// with the messages when it could not be opened.
::testing::AssertionResult openSampleMine(DocFixture& fixture);

inline const std::string kSourceDir = ORVEX_SOURCE_DIR;

}  // namespace orvex::displaytest
