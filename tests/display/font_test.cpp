// The stroke font: records, capacities and bad input, the files in the
// program folder, the shipped font, and the text layout that draws with it.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include <unistd.h>

#include "display/strokefont.h"
#include "support.h"

namespace orvex::test {
namespace {

namespace fs = std::filesystem;

TEST(FontText, RecordsCapacitiesAndDamage)
{
    StrokeFont font;
    RecordingReporter reporter;
    const auto parse = [&](const std::string& text) { return font.parse(text, "/x/sdt/gslft.sdt", reporter); };
    const auto points = [&](unsigned char code) {  // "x y pen, ..." of a character's glyph
        StrokeFont::Point p[200];
        std::string out;
        for (int k = 0, n = font.glyphPoints(code, p, 200); k < n; ++k)
            out += (k ? ", " : "") + std::to_string(p[k].x) + " " + std::to_string(p[k].y) + " " + std::to_string(p[k].pen);
        return out;
    };
    // The first line is skipped even when it looks like a record; records run
    // across lines; a later record replaces a character's glyph.
    ASSERT_TRUE(parse("A 1 0 0 0\nB 3  0 0 0  10 -20 1\n 30 127 5\n! 5 2 -128 0 0 127 0 1\nC 1 5 5 0\nC 2 0 0 0 9 9 1\n"))
        << reporter.all();
    EXPECT_FALSE(font.hasGlyph('A'));
    EXPECT_EQ(points('B') + " / " + points(128 + 5) + " / " + points('C'),
              "0 0 0, 10 -20 1, 30 127 5 / -128 0 0, 127 0 1 / 0 0 0, 9 9 1");

    // At most 291 glyphs and fewer than 1000 bytes (points + 1 per glyph); what came before stays.
    const auto records = [](int count, int points) {  // every point at (0, 0), drawing
        std::string out = "records\n";
        for (int g = 0; g < count; ++g) {
            out += std::string(1, char('a' + g % 26)) + " " + std::to_string(points);
            for (int p = 0; p < points; ++p)
                out += " 0 0 1";
            out += "\n";
        }
        return out;
    };
    for (const auto& [count, points, used] : {std::tuple{291, 0, 291}, {9, 110, 999}}) {
        ASSERT_TRUE(parse(records(count, points))) << reporter.all();
        EXPECT_FALSE(parse(records(count, points) + "Z 0\n"));
        EXPECT_EQ(std::pair(font.glyphCount(), font.bytesUsed()), std::pair(count, used));
        EXPECT_FALSE(font.hasGlyph('Z'));
    }
    // Damage is reported with its line; the glyphs before it stay, every parse starts afresh.
    for (const auto& [bad, line] : {std::pair{"A 1 128 0 0", 3}, {"A 128", 3}, {"! 128 1 0 0 0", 3}, {"A 2 0 0 0 5", 4},
                                    {"AB 1 0 0 0", 3}, {"A 1 0 0.5 0", 3}}) {
        reporter.messages.clear();
        EXPECT_FALSE(parse(std::string("x\nB 1 0 0 0\n") + bad + "\n")) << bad;
        EXPECT_EQ(reporter.all().rfind("[/x/sdt/gslft.sdt: line " + std::to_string(line) + ":", 0), 0u)
            << reporter.all();
        EXPECT_TRUE(reporter.messages.size() == 1 && font.hasGlyph('B') && font.glyphCount() == 1) << bad;
    }
}

TEST(FontFiles, MissingFilesAndTheShippedFont)
{
    TempFolder folder;
    RecordingReporter reporter;
    auto view = makeView();
    view->font = StrokeFont{};
    view->font.load(folder.path().string(), reporter);
    EXPECT_EQ(reporter.all(), "[/sdt/gslgr.sdt : read ?\nnot found]\n[/sdt/gslft.sdt : read ?\nnot found]\n");
    EXPECT_EQ(reporter.captions, Strings(2, kViewCaption));
    addNode(*view, 12, 0, 0);  // the network still draws, without text
    addNode(*view, 13, 200, 0);
    addRoad(*view, 12, 13, 55.0f);
    RecordingCanvas canvas;
    view->paint(canvas);
    EXPECT_EQ(std::pair(canvas.count(Op::Circle), canvas.count(Op::Line)), std::pair(2, 1));

    // The shipped font has a glyph for every character of the sample's labels
    // (the blank draws nothing), and every glyph begins with a move, or it
    // would draw a line from the glyph before.
    StrokeFont font;
    reporter.messages.clear();
    font.load(kSourceDir, reporter);
    EXPECT_EQ(reporter.all(), "");
    std::string needed = "0123456789-.()[]#*ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SampleNetwork mine;
    ASSERT_TRUE(mine.opened) << mine.reporter.all();
    for (int k = 1; k <= mine.doc->totalRoads(); ++k)
        needed += mine.doc->roads[std::size_t(k)].name.str();
    for (const unsigned char c : std::set<unsigned char>(needed.begin(), needed.end()))
        EXPECT_EQ(font.hasGlyph(c), c != ' ') << "'" << c << "'";
    StrokeFont::Point p[200];
    for (int code = 33; code < 256; ++code) {
        const int n = font.glyphPoints(static_cast<unsigned char>(code), p, 200);
        EXPECT_TRUE(n >= 2 || code < 128 + 2 || code > 128 + 7) << "symbol " << code - 128;
        EXPECT_TRUE(n == 0 || p[0].pen == 0) << "glyph " << code << " starts with a stroke";
    }
}

TEST(TextLayout, TheGlyphPointExampleAndTheCharacterSpacing)
{
    // Point (10, 20) of "G" at origin O, with k = 0.0075 c: O + k (10 cos θ − 20 sin θ,
    // 10 sin θ + 20 cos θ). c = 10, θ = 90°, O = (0, 0): (−1.5, 0.75); c = 20,
    // θ = 0, O = (3, 4): (4.5, 7). At scale 100 from device (5000, 5000).
    auto view = makeView();
    view->geo.scale = 100;
    view->geo.originX = view->geo.originY = 5000;
    RecordingCanvas canvas;
    view->drawGlyph(canvas, 'G', 0, 0, 0, 1);
    view->geo.charSize = 20;
    view->drawGlyph(canvas, 'G', 3, 4, 1, 0);
    EXPECT_TRUE(nearly(canvas.lines(), "5000 5000 4850 4925, 5300 4600 5450 4300"));

    // Characters 0.55 c apart, c = 10, at scale 4 from (20, 10); a character
    // without a glyph takes its room. Centred texts are the labels' (RoadLabels, NodeLabels).
    view = makeView();
    view->geo.scale = 4;
    canvas.ops.clear();
    canvas.setPen(PenStyle::Solid, 1, kOnline);
    view->drawTextFrom(canvas, "4 5", 20, 10, 1, 0);
    const std::vector<DrawnText> drawn = canvas.texts(kOnline);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_TRUE(nearly(str(drawn[0].origins.front()) + " " + std::to_string(drawn[0].origins.back().x),
                       str({500 + 4 * 20.0f, 500 - 4 * 10.0f}) + " " + std::to_string(500 + 4 * 31.0f)));
}

}  // namespace
}  // namespace orvex::test
