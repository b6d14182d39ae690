// The stroke font: its records, its capacities, its bad input, the shipped
// font file, and the text layout that draws with it.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

#include <unistd.h>

#include "display/planview.h"
#include "display/strokefont.h"
#include "support.h"

namespace orvex::displaytest {
namespace {

namespace fs = std::filesystem;

std::vector<StrokeFont::Point> pointsOf(const StrokeFont& font, unsigned char code)
{
    StrokeFont::Point buffer[200];
    const int n = font.glyphPoints(code, buffer, 200);
    return std::vector<StrokeFont::Point>(buffer, buffer + n);
}

// A record of `points` strokes, every point at (0, 0) drawing.
std::string record(const std::string& name, int points)
{
    std::string out = name + " " + std::to_string(points);
    for (int p = 0; p < points; ++p)
        out += " 0 0 1";
    return out + "\n";
}

class FontText : public ::testing::Test {
protected:
    bool parse(const std::string& text) { return font.parse(text, "/x/sdt/gslft.sdt", reporter); }
    StrokeFont font;
    RecordingReporter reporter;
};

TEST_F(FontText, RecordsDefineCharactersAndSymbols)
{
    // The first line is skipped even when it looks like a record; records
    // run across lines freely.
    ASSERT_TRUE(parse("A 1 0 0 0\n"
                      "B 3  0 0 0  10 -20 1\n 30 127 5\n"
                      "! 5 2 -128 0 0 127 0 1\n"
                      "! 127 1 0 0 0\n"))
        << reporter.all();
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_FALSE(font.hasGlyph('A'));
    EXPECT_TRUE(font.hasGlyph('B'));
    EXPECT_TRUE(font.hasGlyph(128 + 5));
    EXPECT_TRUE(font.hasGlyph(255));
    EXPECT_FALSE(font.hasGlyph(' '));
    EXPECT_EQ(font.glyphCount(), 3);
    EXPECT_EQ(font.bytesUsed(), 4 + 3 + 2);  // s + 1 bytes per glyph

    const std::vector<StrokeFont::Point> b = pointsOf(font, 'B');
    ASSERT_EQ(b.size(), 3u);
    EXPECT_EQ(b[1].x, 10);
    EXPECT_EQ(b[1].y, -20);
    EXPECT_NE(b[1].pen, 0);
    EXPECT_EQ(b[2].x, 30);
    EXPECT_EQ(b[2].y, 127);
    EXPECT_EQ(b[0].pen, 0);
    const std::vector<StrokeFont::Point> symbol = pointsOf(font, 128 + 5);
    ASSERT_EQ(symbol.size(), 2u);
    EXPECT_EQ(symbol[0].x, -128);
    EXPECT_EQ(symbol[1].x, 127);
}

TEST_F(FontText, ALaterRecordReplacesTheCharacter)
{
    ASSERT_TRUE(parse("font\nA 1 0 0 0\nB 1 5 5 0\nA 2 0 0 0 9 9 1\n"));
    EXPECT_EQ(pointsOf(font, 'A').size(), 2u);
    EXPECT_EQ(pointsOf(font, 'B').size(), 1u);
    EXPECT_EQ(pointsOf(font, 'B')[0].x, 5);
    EXPECT_EQ(font.glyphCount(), 3) << "the replaced glyph still takes its room";
}

TEST_F(FontText, CapacityOfGlyphs)
{
    std::string text = "291 glyphs fit\n";
    for (int g = 0; g < 291; ++g)
        text += record("A", 0);
    ASSERT_TRUE(parse(text)) << reporter.all();
    EXPECT_EQ(font.glyphCount(), 291);

    text += record("B", 0);
    EXPECT_FALSE(parse(text));
    EXPECT_EQ(font.glyphCount(), 291);
    EXPECT_FALSE(font.hasGlyph('B'));
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0].caption, kViewCaption);
    EXPECT_NE(reporter.messages[0].text.find("/x/sdt/gslft.sdt"), std::string::npos) << reporter.all();
}

TEST_F(FontText, CapacityOfTheDataAreas)
{
    // Nine glyphs of 110 points take 9 × 111 = 999 bytes: fewer than 1000.
    std::string text = "999 bytes\n";
    for (int g = 0; g < 9; ++g)
        text += record(std::string(1, char('a' + g)), 110);
    ASSERT_TRUE(parse(text)) << reporter.all();
    EXPECT_EQ(font.bytesUsed(), 999);
    EXPECT_TRUE(font.hasGlyph('i'));

    // One byte more does not fit; what came before stays.
    EXPECT_FALSE(parse(text + record("Z", 0)));
    EXPECT_EQ(font.bytesUsed(), 999);
    EXPECT_TRUE(font.hasGlyph('i'));
    EXPECT_FALSE(font.hasGlyph('Z'));
    EXPECT_EQ(reporter.messages.size(), 1u);
}

TEST_F(FontText, RefusesValuesOutsideSignedBytes)
{
    const std::vector<std::string> bad = {
        "x\nA 1 128 0 0\n",     // x
        "x\nA 1 0 -129 0\n",    // y
        "x\nA 1 0 0 200\n",     // pen
        "x\nA 128\n",           // stroke count above 127
        "x\nA -1\n",            // negative stroke count
        "x\n! 128 1 0 0 0\n",   // symbol number beyond 127
        "x\n! -1 1 0 0 0\n",
    };
    for (const std::string& text : bad) {
        SCOPED_TRACE(text);
        reporter.messages.clear();
        EXPECT_FALSE(parse("x\nB 1 0 0 0\n" + text.substr(2)));
        EXPECT_EQ(reporter.messages.size(), 1u);
        EXPECT_TRUE(font.hasGlyph('B')) << "the glyphs before the damage are kept";
        EXPECT_FALSE(font.hasGlyph('A'));
        EXPECT_EQ(font.glyphCount(), 1);
    }
}

TEST_F(FontText, DamagedTextIsReportedWithItsLine)
{
    struct Case {
        std::string text;
        int line;
    };
    const std::vector<Case> bad = {
        {"x\nB 1 0 0 0\nA 2 0 0 0 5\n", 4},      // ends inside a record
        {"x\nB 1 0 0 0\nA two 0 0 0\n", 3},      // not a number
        {"x\nB 1 0 0 0\nAB 1 0 0 0\n", 3},       // neither one character nor "!"
        {"x\nB 1 0 0 0\nA 1 0 0.5 0\n", 3},      // not a whole number
        {"x\nB 1 0 0 0\n! x 1 0 0 0\n", 3},
    };
    for (const Case& c : bad) {
        SCOPED_TRACE(c.text);
        reporter.messages.clear();
        EXPECT_FALSE(parse(c.text));
        ASSERT_EQ(reporter.messages.size(), 1u);
        const std::string where = "/x/sdt/gslft.sdt: line " + std::to_string(c.line) + ":";
        EXPECT_EQ(reporter.messages[0].text.substr(0, where.size()), where) << reporter.all();
        EXPECT_TRUE(font.hasGlyph('B'));
        EXPECT_FALSE(font.hasGlyph('A'));
    }
}

TEST_F(FontText, ParsingAgainStartsFromAnEmptyFont)
{
    ASSERT_TRUE(parse("x\nA 1 0 0 0\n"));
    ASSERT_TRUE(parse("x\nB 1 0 0 0\n"));
    EXPECT_FALSE(font.hasGlyph('A'));
    EXPECT_EQ(font.glyphCount(), 1);
}

// --- loading from the program folder ---------------------------------------------

class FontFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("orvex-font-" + std::to_string(::getpid()) + "-" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder / "sdt");
    }
    void TearDown() override { fs::remove_all(folder); }
    void write(const std::string& name, const std::string& text)
    {
        std::ofstream(folder / "sdt" / name) << text;
    }
    void copyShipped(const std::string& name)
    {
        fs::copy_file(kSourceDir + "/sdt/" + name, folder / "sdt" / name);
    }
    fs::path folder;
    RecordingReporter reporter;
};

TEST_F(FontFiles, MissingFilesAreReportedAndTextDrawsNothing)
{
    auto view = makeView();
    view->font = StrokeFont{};
    view->font.load(folder.string(), reporter);
    ASSERT_EQ(reporter.messages.size(), 2u);
    EXPECT_EQ(reporter.messages[0].text, "/sdt/gslgr.sdt : read ?");
    EXPECT_EQ(reporter.messages[1].text, "/sdt/gslft.sdt : read ?");
    for (const auto& m : reporter.messages) {
        EXPECT_EQ(m.caption, "Tenbrook for Windows");
        EXPECT_EQ(m.kind, MessageKind::Error);
    }
    EXPECT_EQ(view->font.glyphCount(), 0);

    // A network still draws: circles and lines, but no text strokes.
    PlanBuilder build(*view);
    build.underground(12, 0, 0);
    build.underground(13, 200, 0);
    build.road(12, 13, 55.0f);
    RecordingCanvas canvas;
    view->paint(canvas);
    EXPECT_EQ(canvas.circles(kNode).size(), 2u);
    EXPECT_EQ(canvas.lines(kRoad).size(), 1u);
    EXPECT_TRUE(canvas.lines(kOnline).empty());
    EXPECT_TRUE(canvas.lines(kOnNode).empty());
    canvas.clear();
    view->drawTextCentred(canvas, "123", 0, 0, 1, 0);
    EXPECT_TRUE(canvas.ops.empty());
}

TEST_F(FontFiles, OnlyTheGlyphFileIsNeededForText)
{
    copyShipped("gslft.sdt");
    StrokeFont font;
    font.load(folder.string(), reporter);
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0].text, "/sdt/gslgr.sdt : read ?");
    EXPECT_TRUE(font.hasGlyph('7'));
}

TEST_F(FontFiles, DamagedGlyphFileKeepsWhatWasReadBeforeTheDamage)
{
    copyShipped("gslgr.sdt");
    write("gslft.sdt", "font\n1 2 0 0 0 0 100 1\n2 3 0 0 0 300 0 1 0 100 1\n3 1 0 0 0\n");
    StrokeFont font;
    font.load(folder.string(), reporter);
    ASSERT_EQ(reporter.messages.size(), 1u) << reporter.all();
    EXPECT_NE(reporter.messages[0].text.find("gslft.sdt: line 3"), std::string::npos) << reporter.all();
    EXPECT_TRUE(font.hasGlyph('1'));
    EXPECT_FALSE(font.hasGlyph('2'));
    EXPECT_FALSE(font.hasGlyph('3'));
}

// --- the shipped font ------------------------------------------------------------

class ShippedFont : public ::testing::Test {
protected:
    void SetUp() override { font.load(kSourceDir, reporter); }
    StrokeFont font;
    RecordingReporter reporter;
};

TEST_F(ShippedFont, LoadsQuietlyWithinTheCapacities)
{
    EXPECT_TRUE(reporter.messages.empty()) << reporter.all();
    EXPECT_GT(font.glyphCount(), 0);
    EXPECT_LE(font.glyphCount(), kMaxGlyphs);
    EXPECT_LT(font.bytesUsed(), kGlyphAreaBytes);
}

TEST_F(ShippedFont, EveryCharacterOfTheSampleMinesLabelsHasAGlyph)
{
    std::set<unsigned char> needed;
    for (const char c : std::string("0123456789-.()[]#*"))
        needed.insert(static_cast<unsigned char>(c));
    for (char c = 'A'; c <= 'Z'; ++c)
        needed.insert(static_cast<unsigned char>(c));
    for (char c = 'a'; c <= 'z'; ++c)
        needed.insert(static_cast<unsigned char>(c));

    DocFixture fixture;
    ASSERT_TRUE(openSampleMine(fixture));
    const CBriscoDoc& doc = *fixture.doc;
    int named = 0;
    for (int k = 1; k <= doc.totalRoads(); ++k) {
        for (const char c : doc.roads[std::size_t(k)].name.view())
            if (c != ' ')
                needed.insert(static_cast<unsigned char>(c));
        named += !doc.roads[std::size_t(k)].name.empty();
    }
    ASSERT_GT(named, 10) << "the sample's road names were read";
    for (const unsigned char c : needed)
        EXPECT_TRUE(font.hasGlyph(c)) << "no glyph for '" << c << "'";
    EXPECT_FALSE(font.hasGlyph(' ')) << "the blank draws nothing";

    for (int m = 2; m <= 7; ++m) {
        EXPECT_TRUE(font.hasGlyph(static_cast<unsigned char>(128 + m))) << "symbol " << m;
        EXPECT_GE(pointsOf(font, static_cast<unsigned char>(128 + m)).size(), 2u) << "symbol " << m;
    }
}

TEST_F(ShippedFont, GlyphsStartWithAMoveAndStayInsideTheirBox)
{
    // A glyph is 0.4 c wide: 53 font units at 0.0075 c per unit. A stroke
    // beyond that runs into the next character (the advance is 73 units); a
    // glyph that begins with a stroke draws a line from where the previous
    // glyph ended.
    for (int code = 33; code < 127; ++code) {
        if (!font.hasGlyph(static_cast<unsigned char>(code)))
            continue;
        const std::vector<StrokeFont::Point> points = pointsOf(font, static_cast<unsigned char>(code));
        ASSERT_FALSE(points.empty()) << char(code);
        EXPECT_EQ(points[0].pen, 0) << "'" << char(code) << "' starts with a stroke";
        for (const StrokeFont::Point& p : points) {
            EXPECT_GE(p.x, 0) << char(code);
            EXPECT_LE(p.x, 54) << char(code);
            EXPECT_GE(p.y, -30) << char(code);
            EXPECT_LE(p.y, 110) << char(code);
        }
    }
    for (int m = 2; m <= 7; ++m)
        EXPECT_EQ(pointsOf(font, static_cast<unsigned char>(128 + m))[0].pen, 0) << "symbol " << m;
}

// --- text layout -----------------------------------------------------------------

TEST(TextLayout, GlyphPointLandsWhereTheFormulaPutsIt)
{
    // Point (10, 20) at origin (0, 0), c = 10, θ = 90°: 0.075 × (10 cos θ −
    // 20 sin θ, 10 sin θ + 20 cos θ) = (−1.5, 0.75).
    auto view = makeView();
    RecordingReporter reporter;
    ASSERT_TRUE(view->font.parse("glyph\nG 2 0 0 0 10 20 1\n", "test", reporter));
    view->geo.scale = 100.0f;
    view->geo.originX = 5000;
    view->geo.originY = 5000;
    RecordingCanvas canvas;
    view->drawGlyph(canvas, 'G', 0, 0, 0.0f, 1.0f);
    const std::vector<Segment> lines = canvas.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].x0, 5000.0f);
    EXPECT_EQ(lines[0].y0, 5000.0f);
    EXPECT_NEAR(lines[0].x1, 5000 - 150, 1.0);
    EXPECT_NEAR(lines[0].y1, 5000 - 75, 1.0);

    // The same at θ = 0 and c = 20 from (3, 4): (3 + 1.5, 4 + 3).
    canvas.clear();
    view->geo.charSize = 20;
    view->drawGlyph(canvas, 'G', 3, 4, 1.0f, 0.0f);
    ASSERT_EQ(canvas.lines().size(), 1u);
    EXPECT_NEAR(canvas.lines()[0].x1, 5000 + 450, 1.0);
    EXPECT_NEAR(canvas.lines()[0].y1, 5000 - 700, 1.0);
}

TEST(TextLayout, CentredTextBeginsHalfItsLengthBeforeTheCentre)
{
    auto view = makeView();
    view->geo.scale = 4.0f;
    RecordingCanvas canvas;
    canvas.setPen(PenStyle::Solid, 1, kOnline);
    // "123" is 2 × 0.55 c + 0.4 c = 1.5 c long: it begins 0.75 c = 7.5 before
    // the centre, and every glyph is 5.5 further.
    view->drawTextCentred(canvas, "123", 20, 10, 1, 0);
    std::vector<DrawnText> texts = canvas.texts(kOnline);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "123");
    ASSERT_EQ(texts[0].origins.size(), 3u);
    EXPECT_NEAR(texts[0].origins[0].x, 500 + 4 * 12.5f, 1.0);
    EXPECT_NEAR(texts[0].origins[1].x, 500 + 4 * 18.0f, 1.0);
    EXPECT_NEAR(texts[0].origins[2].x, 500 + 4 * 23.5f, 1.0);
    for (const DevicePoint& p : texts[0].origins)
        EXPECT_NEAR(p.y, 500 - 4 * 10.0f, 1.0);

    // One character: 0.4 c long, begins 0.2 c before the centre. Upward (θ = 90°).
    canvas.clear();
    canvas.setPen(PenStyle::Solid, 1, kOnline);
    view->drawTextCentred(canvas, "7", 20, 10, 0, 1);
    texts = canvas.texts(kOnline);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NEAR(texts[0].origins[0].x, 500 + 4 * 20.0f, 1.0);
    EXPECT_NEAR(texts[0].origins[0].y, 500 - 4 * 8.0f, 1.0);

    // From a point: the first glyph's origin is the point.
    canvas.clear();
    canvas.setPen(PenStyle::Solid, 1, kOnline);
    view->drawTextFrom(canvas, "45", 20, 10, 1, 0);
    texts = canvas.texts(kOnline);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "45");
    EXPECT_NEAR(texts[0].origins[0].x, 500 + 4 * 20.0f, 1.0);
    EXPECT_NEAR(texts[0].origins[1].x, 500 + 4 * 25.5f, 1.0);

    // Characters without a glyph take their room and draw nothing.
    canvas.clear();
    canvas.setPen(PenStyle::Solid, 1, kOnline);
    view->drawTextFrom(canvas, "4 5", 20, 10, 1, 0);
    texts = canvas.texts(kOnline);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "45");
    EXPECT_NEAR(texts[0].origins[1].x, 500 + 4 * 31.0f, 1.0);
}

}  // namespace
}  // namespace orvex::displaytest
