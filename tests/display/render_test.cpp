// Drawing through QPainter: the canvas itself, plans whose later parts lie on
// top of the earlier ones as a person sees them, and a plan image that cannot be written.
#include <gtest/gtest.h>

#include <functional>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "view/qpaintercanvas.h"
#include "planimage.h"
#include "support.h"

namespace orvex::test {
namespace {

constexpr Colour kNavy = rgb(0, 0, 128), kRed = rgb(255, 0, 0), kGreen = rgb(0, 255, 0), kWhite = rgb(255, 255, 255);

bool isColour(const QImage& image, int x, int y, Colour c)
{
    return image.pixel(x, y) == qRgb(redOf(c), greenOf(c), blueOf(c));
}

// Every pixel that `last` paints on an empty picture has the same colour when
// `before` was drawn first on the same canvas: what comes last lies on top.
// Returns how many pixels were painted and how many of them were kept.
std::pair<int, int> onTop(int width, int height, const std::function<void(Canvas&)>& before,
                          const std::function<void(Canvas&)>& last)
{
    QImage alone(width, height, QImage::Format_RGB32), drawn(width, height, QImage::Format_RGB32);
    for (QImage* image : {&alone, &drawn}) {
        image->fill(QColor(0, 0, 128));
        QPainter painter(image);
        QPainterCanvas canvas(painter, false);
        if (image == &drawn)
            before(canvas);
        last(canvas);
    }
    int painted = 0, kept = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (alone.pixel(x, y) != qRgb(0, 0, 128))
                ++painted, kept += drawn.pixel(x, y) == alone.pixel(x, y);
    return {painted, kept};
}

void line(Canvas& c, Colour colour, float x0, float y0, float x1, float y1)
{
    c.setPen(PenStyle::Solid, 1, colour);
    c.moveTo(x0, y0);
    c.lineTo(x1, y1);
}

// A pen is as wide as asked, at least one pixel: the lines down at x = 95
// and x = 98 cover three columns and one.
TEST(PainterCanvas, DotsHollowCirclesAndEachLineInItsPen)
{
    QImage image(100, 40, QImage::Format_RGB32);
    image.fill(QColor(0, 0, 128));
    {
        QPainter painter(&image);
        QPainterCanvas canvas(painter, false);
        canvas.setPen(PenStyle::Dotted, 1, kWhite);
        canvas.moveTo(0, 5);
        canvas.lineTo(100, 5);
        line(canvas, kRed, 10, 20, 50, 20);
        canvas.lineTo(50, 35);  // on from the line's end, in the same pen
        line(canvas, kGreen, 60, 20, 90, 20);
        canvas.circle(70, 10, 90, 30);
        for (const auto& [width, x] : {std::pair{3, 95}, {0, 98}}) {
            canvas.setPen(PenStyle::Solid, width, kRed);
            canvas.moveTo(float(x), 10);
            canvas.lineTo(float(x), 40);
        }
    }
    int dots = 0, wide = 0;
    for (int x = 5; x < 95; ++x)
        dots += isColour(image, x, 5, kWhite);
    for (int x = 92; x < 100; ++x)
        wide += isColour(image, x, 30, kRed);
    EXPECT_TRUE(dots > 15 && dots < 60) << dots;
    EXPECT_EQ(wide, 3 + 1);
    EXPECT_TRUE(isColour(image, 30, 20, kRed) && isColour(image, 50, 30, kRed) && isColour(image, 65, 20, kGreen));
    EXPECT_TRUE(isColour(image, 80, 15, kNavy)) << "circles are hollow";
}

TEST(PainterCanvas, InvertingInvertsWhatIsBelowAndTwiceRestoresIt)
{
    // The navy under the inverted strokes becomes 255 − (0, 0, 128); a red
    // line gathered just before inverting starts stays red.
    QImage image(120, 100, QImage::Format_RGB32), expected(120, 100, QImage::Format_RGB32);
    for (QImage* picture : {&image, &expected}) {
        picture->fill(QColor(0, 0, 128));
        QPainter painter(picture);
        QPainterCanvas canvas(painter, false);
        line(canvas, kRed, 0, 80, 110, 80);
    }
    for (int pass = 1; pass <= 2; ++pass) {
        {
            QPainter painter(&image);
            QPainterCanvas canvas(painter, false);
            if (pass == 1)
                line(canvas, kRed, 0, 80, 110, 80);
            canvas.setInvert(true);
            canvas.setPen(PenStyle::Solid, 1, rgb(200, 10, 10));
            canvas.moveTo(0, 40);
            canvas.lineTo(110, 40);
            canvas.circle(20, 20, 60, 60);
            canvas.setInvert(false);
        }
        EXPECT_TRUE(pass == 2 || isColour(image, 70, 40, rgb(255, 255, 127)));
        EXPECT_TRUE(isColour(image, 70, 80, kRed)) << pass;
    }
    EXPECT_TRUE(image == expected);
}

TEST(PainterCanvas, TheLastCallLiesOnTop)
{
    const auto ring = [](Canvas& c, Colour colour) {
        c.setPen(PenStyle::Solid, 1, colour);
        c.circle(20, 10, 40, 30);
    };
    const DevicePoint square[4] = {{10, 10}, {50, 10}, {50, 30}, {10, 30}};
    struct Row {
        const char* what;
        std::function<void(Canvas&)> before, last;
    };
    const Row rows[] = {
        {"red, green, then red again", [&](Canvas& c) { line(c, kRed, 5, 20, 55, 20), line(c, kGreen, 5, 20, 55, 20); },
         [&](Canvas& c) { line(c, kRed, 5, 20, 55, 20); }},
        {"a ring after the road through it", [&](Canvas& c) { line(c, kWhite, 30, 0, 30, 40); },
         [&](Canvas& c) { ring(c, kGreen); }},
        {"a road after the label of the road before",
         [&](Canvas& c) { line(c, kWhite, 5, 5, 55, 5), line(c, kGreen, 10, 2, 50, 38); },
         [&](Canvas& c) { line(c, kWhite, 5, 35, 55, 35), line(c, kWhite, 30, 0, 30, 40); }},
        {"a polygon after a line", [&](Canvas& c) { line(c, kRed, 0, 20, 60, 20); },
         [&](Canvas& c) { c.fillPolygon(square, 4, kGreen, kWhite); }},
        {"a line after an inverted one",
         [&](Canvas& c) { c.setInvert(true), line(c, kWhite, 5, 20, 55, 20), c.setInvert(false); },
         [&](Canvas& c) { line(c, kRed, 5, 20, 55, 20); }},
    };
    for (const Row& row : rows) {
        const auto [painted, kept] = onTop(60, 40, row.before, row.last);
        EXPECT_GT(painted, 30) << row.what;
        EXPECT_EQ(kept, painted) << row.what << ": pixels of the last call covered by what came before it";
    }
}

// --- plans as a person sees them -------------------------------------------------

TEST(PlanPixels, ARoadEmphasisedAndBackLooksAsBefore)
{
    // The editor shows a road emphasised and then normal again on the window's
    // canvas: afterwards the window looks as if it had only been drawn normally.
    auto view = makeView();
    addNode(*view, 1, -200, -50);
    addNode(*view, 2, 200, 50);
    addRoad(*view, 1, 2, 5.0f, {{0, 100, 2}});
    const auto normal = [&](Canvas& c) { view->drawRoadOnWindow(c, 1, kRoad, kOnline, kUnderline); };
    const auto [painted, kept] = onTop(1000, 1000, [&](Canvas& c) {
        normal(c);
        view->drawRoadOnWindow(c, 1, kStrong, kStrong, kStrong);
    }, normal);
    EXPECT_GT(painted, 300);
    EXPECT_EQ(kept, painted);
}

// The plan images' colours and placement are the batch tool's suite's to
// check (tests/cli/plan_test.cpp); a file that cannot be written says why.
TEST(PlanImages, AFileThatCannotBeWrittenSaysWhy)
{
    SampleNetwork mine;
    ASSERT_TRUE(mine.opened) << mine.reporter.all();
    EXPECT_NE(cli::writePlanImage(*mine.doc, cli::PlanOptions{}, "/nonexistent-folder/plan.png", mine.reporter), "");
}

}  // namespace
}  // namespace orvex::test

// The plan images need a GUI application (fonts, image writers).
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
