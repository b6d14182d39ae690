// The stroke font: records, capacities and bad input, the files in the
// program folder, the shipped font, and the text layout that draws with it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include <unistd.h>

#include "display/strokefont.h"
#include "support.h"

namespace orvex::displaytest {
namespace {

namespace fs = std::filesystem;

// "x y pen, ..." of a character's glyph.
std::string pointsOf(const StrokeFont& font, unsigned char code)
{
    StrokeFont::Point p[200];
    std::string out;
    for (int k = 0, n = font.glyphPoints(code, p, 200); k < n; ++k)
        out += (k ? ", " : "") + std::to_string(p[k].x) + " " + std::to_string(p[k].y) + " " + std::to_string(p[k].pen);
    return out;
}

std::string record(char name, int points)  // every point at (0, 0), drawing
{
    std::string out = std::string(1, name) + " " + std::to_string(points);
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
    // The first line is skipped even when it looks like a record; records run
    // across lines; a later record replaces a character's glyph but not its room.
    ASSERT_TRUE(parse("A 1 0 0 0\nB 3  0 0 0  10 -20 1\n 30 127 5\n! 5 2 -128 0 0 127 0 1\n! 127 1 0 0 0\n"
                      "C 1 5 5 0\nC 2 0 0 0 9 9 1\n"))
        << reporter.all();
    EXPECT_FALSE(font.hasGlyph('A'));
    EXPECT_EQ(pointsOf(font, 'B'), "0 0 0, 10 -20 1, 30 127 5");
    EXPECT_EQ(pointsOf(font, 128 + 5), "-128 0 0, 127 0 1");
    EXPECT_EQ(pointsOf(font, 255), "0 0 0");
    EXPECT_EQ(pointsOf(font, 'C'), "0 0 0, 9 9 1");
    EXPECT_EQ(font.glyphCount(), 5);
    EXPECT_EQ(font.bytesUsed(), 4 + 3 + 2 + 2 + 3);  // points + 1 per glyph
}

TEST_F(FontText, CapacitiesOf291GlyphsAndFewerThan1000Bytes)
{
    std::string glyphs = "291 glyphs\n", bytes = "9 × 111 = 999 bytes\n";
    for (int g = 0; g < 291; ++g)
        glyphs += record('A', 0);
    for (int g = 0; g < 9; ++g)
        bytes += record(char('a' + g), 110);
    for (const auto& [full, count, used, last] : {std::tuple{glyphs, 291, 291, 'A'}, {bytes, 9, 999, 'i'}}) {
        ASSERT_TRUE(parse(full)) << reporter.all();
        EXPECT_EQ(std::pair(font.glyphCount(), font.bytesUsed()), std::pair(count, used));
        // One glyph (of one byte) more does not fit; what came before stays.
        EXPECT_FALSE(parse(full + record('Z', 0)));
        EXPECT_EQ(std::pair(font.glyphCount(), font.bytesUsed()), std::pair(count, used));
        EXPECT_FALSE(font.hasGlyph('Z'));
        EXPECT_TRUE(font.hasGlyph(last));
        ASSERT_EQ(reporter.messages.size(), 1u);
        EXPECT_EQ(reporter.messages[0].caption, "Tenbrook for Windows");
        EXPECT_NE(reporter.messages[0].text.find("/x/sdt/gslft.sdt"), std::string::npos) << reporter.all();
        reporter.messages.clear();
    }
}

TEST_F(FontText, DamageIsReportedWithItsLineAndKeepsTheGlyphsBefore)
{
    const std::pair<const char*, int> rows[] = {
        {"A 1 128 0 0", 3},   {"A 1 0 -129 0", 3},  {"A 1 0 0 200", 3},  // outside -128..127
        {"A 128", 3},         {"A -1", 3},                               // stroke counts
        {"! 128 1 0 0 0", 3}, {"! -1 1 0 0 0", 3},  {"! x 1 0 0 0", 3},  // symbol numbers
        {"A 2 0 0 0 5", 4},   {"A two 0 0 0", 3},   {"AB 1 0 0 0", 3},  {"A 1 0 0.5 0", 3},
    };
    for (const auto& [bad, line] : rows) {
        reporter.messages.clear();
        EXPECT_FALSE(parse(std::string("x\nB 1 0 0 0\n") + bad + "\n")) << bad;
        ASSERT_EQ(reporter.messages.size(), 1u) << bad;
        const std::string where = "/x/sdt/gslft.sdt: line " + std::to_string(line) + ":";
        EXPECT_EQ(reporter.messages[0].text.substr(0, where.size()), where) << reporter.all();
        EXPECT_TRUE(font.hasGlyph('B') && !font.hasGlyph('A')) << bad;
        EXPECT_EQ(font.glyphCount(), 1) << "every parse starts from an empty font";
    }
}

TEST(FontFiles, MissingOrDamaged)
{
    const fs::path folder = fs::temp_directory_path() / ("orvex-font-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder / "sdt");
    RecordingReporter reporter;
    auto view = makeView();
    view->font = StrokeFont{};
    view->font.load(folder.string(), reporter);
    EXPECT_EQ(reporter.all(), "[Tenbrook for Windows] /sdt/gslgr.sdt : read ?\n"
                              "[Tenbrook for Windows] /sdt/gslft.sdt : read ?\n");
    EXPECT_EQ(reporter.messages.at(1).kind, MessageKind::Error);
    addNode(*view, 12, 0, 0);  // the network still draws, without text
    addNode(*view, 13, 200, 0);
    addRoad(*view, 12, 13, 55.0f);
    RecordingCanvas canvas;
    view->paint(canvas);
    EXPECT_EQ(canvas.count(Op::Circle), 2);
    EXPECT_EQ(canvas.count(Op::Line), 1);
    canvas.ops.clear();
    view->drawTextCentred(canvas, "123", 0, 0, 1, 0);
    EXPECT_TRUE(canvas.ops.empty());

    // A damaged glyph file keeps what came before the damage.
    fs::copy_file(kSourceDir + "/sdt/gslgr.sdt", folder / "sdt/gslgr.sdt");
    std::ofstream(folder / "sdt/gslft.sdt") << "font\n1 2 0 0 0 0 100 1\n2 3 0 0 0 300 0 1 0 100 1\n3 1 0 0 0\n";
    reporter.messages.clear();
    StrokeFont font;
    font.load(folder.string(), reporter);
    fs::remove_all(folder);
    ASSERT_EQ(reporter.messages.size(), 1u) << reporter.all();
    EXPECT_NE(reporter.messages[0].text.find("gslft.sdt: line 3"), std::string::npos) << reporter.all();
    EXPECT_TRUE(font.hasGlyph('1') && !font.hasGlyph('2') && !font.hasGlyph('3'));
}

TEST(ShippedFont, FitsAndHasAGlyphForEveryCharacterOfTheSamplesLabels)
{
    StrokeFont font;
    RecordingReporter reporter;
    font.load(kSourceDir, reporter);
    EXPECT_TRUE(reporter.messages.empty()) << reporter.all();
    EXPECT_LE(font.glyphCount(), kMaxGlyphs);
    EXPECT_LT(font.bytesUsed(), kGlyphAreaBytes);
    std::string needed = "0123456789-.()[]#*ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SampleMine mine;
    ASSERT_TRUE(mine.opened) << mine.reporter.all();
    int named = 0;
    for (int k = 1; k <= mine.doc->totalRoads(); ++k) {
        needed += mine.doc->roads[std::size_t(k)].name.str();
        named += !mine.doc->roads[std::size_t(k)].name.empty();
    }
    ASSERT_GT(named, 10) << "the sample's road names were read";
    for (const unsigned char c : std::set<unsigned char>(needed.begin(), needed.end()))
        EXPECT_EQ(font.hasGlyph(c), c != ' ') << "'" << c << "': the blank draws nothing, all else has a glyph";

    // Every glyph begins with a move (else it draws a line from the previous
    // glyph) and stays in its box: 0.4 c wide is 53 units, the advance 73.
    StrokeFont::Point p[200];
    for (int code = 33; code < 256; ++code) {
        const int n = font.glyphPoints(static_cast<unsigned char>(code), p, 200);
        EXPECT_TRUE(n >= 2 || code < 128 + 2 || code > 128 + 7) << "symbol " << code - 128;
        for (int k = 0; k < n; ++k) {
            EXPECT_TRUE(k > 0 || p[k].pen == 0) << "glyph " << code << " starts with a stroke";
            EXPECT_TRUE(code >= 128 || (p[k].x >= 0 && p[k].x <= 54 && p[k].y >= -30 && p[k].y <= 110)) << char(code);
        }
    }
}

// --- text layout -----------------------------------------------------------------

TEST(TextLayout, TheGlyphPointExampleAndTextLengths)
{
    // Point (10, 20) of "G" at origin (0, 0), c = 10, θ = 90°: 0.075 × (10 cos θ − 20 sin θ,
    // 10 sin θ + 20 cos θ) = (−1.5, 0.75); at scale 100 from device (5000, 5000).
    auto view = makeView();
    view->geo.scale = 100;
    view->geo.originX = view->geo.originY = 5000;
    const auto stroke = [&](float ox, float oy, float cosA, float sinA) {
        RecordingCanvas canvas;
        view->drawGlyph(canvas, 'G', ox, oy, cosA, sinA);
        return canvas.lines();
    };
    EXPECT_TRUE(nearly(stroke(0, 0, 0, 1), "5000 5000 4850 4925"));
    view->geo.charSize = 20;  // θ = 0, c = 20, from (3, 4): (3 + 1.5, 4 + 3)
    EXPECT_TRUE(nearly(stroke(3, 4, 1, 0), "5300 4600 5450 4300"));

    // n characters are (n − 1) × 0.55 c + 0.4 c long; c = 10, scale 4. Centred on
    // (20, 10): "123" (15 long) begins at x = 12.5, "7" upward (4 long) at y = 8.
    view = makeView();
    view->geo.scale = 4;
    struct Row {
        const char* text;
        bool centred;
        float cosA, sinA;
        std::vector<float> xs;  // world x of each glyph drawn
        float y;                // world y of the first
    };
    const Row rows[] = {
        {"123", true, 1, 0, {12.5f, 18, 23.5f}, 10},
        {"7", true, 0, 1, {20}, 8},
        {"45", false, 1, 0, {20, 25.5f}, 10},
        {"4 5", false, 1, 0, {20, 31}, 10},  // a character without a glyph takes its room
    };
    for (const Row& r : rows) {
        RecordingCanvas canvas;
        canvas.setPen(PenStyle::Solid, 1, kOnline);
        if (r.centred)
            view->drawTextCentred(canvas, r.text, 20, 10, r.cosA, r.sinA);
        else
            view->drawTextFrom(canvas, r.text, 20, 10, r.cosA, r.sinA);
        const std::vector<DrawnText> texts = canvas.texts(kOnline);
        ASSERT_EQ(texts.size(), 1u) << r.text;
        ASSERT_EQ(texts[0].origins.size(), r.xs.size()) << r.text;
        for (std::size_t i = 0; i < r.xs.size(); ++i)
            EXPECT_NEAR(texts[0].origins[i].x, 500 + 4 * r.xs[i], 1.0) << r.text << " glyph " << i;
        EXPECT_NEAR(texts[0].origins[0].y, 500 - 4 * r.y, 1.0) << r.text;
    }
}

}  // namespace
}  // namespace orvex::displaytest
