// What the display, parameters and title dialogs accept and hand back.
#include <gtest/gtest.h>

#include <functional>

#include "edit/dialogforms.h"
#include "support.h"

namespace orvex::test {
namespace {

using Field = DisplayTaken::Field;

// The fields as a dialog reads them when the person typed nothing.
DisplayFields untouched(const DisplayChoice& given)
{
    DisplayFields f;
    f.figureSize = given.figureSize, f.charSize = given.charSize, f.nodeRadius = given.nodeRadius;
    f.angle = given.angle;
    f.figureSizeShown = f.charSizeShown = f.nodeRadiusShown = true;
    return f;
}

TEST(DisplayForm, RefusesTheFirstFieldOutOfRangeOrNotANumber)
{
    const struct {
        const char* what;
        std::function<void(DisplayFields&)> type;
        Field refused;
    } rows[] = {
        {"figure size below 0.01", [](DisplayFields& f) { f.figureSize = 0.0099; }, Field::FigureSize},
        {"figure size and character size", [](DisplayFields& f) { f.figureSize.reset(), f.charSize = 51; },
         Field::FigureSize},
        {"character size 50", [](DisplayFields& f) { f.charSize = 50; }, Field::None},
        {"character size above 50", [](DisplayFields& f) { f.charSize = 50.01; }, Field::CharSize},
        {"character size below 0", [](DisplayFields& f) { f.charSize = -0.5; }, Field::CharSize},
        {"angle not whole", [](DisplayFields& f) { f.angle.reset(); }, Field::Angle},
        {"node radius", [](DisplayFields& f) { f.nodeRadius.reset(); }, Field::NodeRadius},
        {"colour limit not a number", [](DisplayFields& f) { f.automaticLimits = false, f.colourHigh = 2; },
         Field::ColourLow},
        {"colour limits equal", [](DisplayFields& f) { f.automaticLimits = false, f.colourLow = f.colourHigh = 2; },
         Field::ColourHigh},
        {"colour limits reversed", [](DisplayFields& f) { f.automaticLimits = false, f.colourLow = 3, f.colourHigh = 2; },
         Field::ColourHigh},
        {"automatic colours", [](DisplayFields& f) { f.colourLow = 3; }, Field::None},
    };
    DisplayChoice given;
    given.figureSize = 0.65f, given.charSize = 10, given.nodeRadius = 8;
    for (const auto& row : rows) {
        DisplayFields f = untouched(given);
        f.figureSizeShown = f.charSizeShown = false;
        row.type(f);
        const DisplayTaken taken = takeDisplayFields(given, f);
        EXPECT_EQ(taken.refused, row.refused) << row.what;
        EXPECT_EQ(taken.message.empty(), row.refused == Field::None) << row.what;
    }
    DisplayFields bad = untouched(given);
    bad.figureSize = 11;
    EXPECT_EQ(takeDisplayFields(given, bad).message, kBadFigureSize);
}

// A field left as shown hands back the value it came from; a list showing
// no entry keeps its kind; everything else comes from the fields.
TEST(DisplayForm, HandsBackTheFieldsAndKeepsWhatWasNotTouched)
{
    DisplayChoice given;
    given.figureSize = figureSizeOf(1.2345678f), given.charSize = 12.34567f, given.nodeRadius = 3.333333f;
    given.settings.onlineKind = 25, given.settings.underlineKind = 3, given.settings.nodeKind = 11;
    given.settings.print.road = rgb(9, 9, 9);
    DisplayFields f = untouched(given);
    f.figureSize = 0.8025, f.charSize = 12.3457, f.nodeRadius = 3.3333;  // the texts shown
    f.onlineKind = -1, f.underlineKind = 0, f.nodeKind = 4;
    f.onlineDigits = 7, f.underlineDigits = 3, f.nodeDigits = 1;
    f.onlineBracket = true;
    f.colours.road = rgb(1, 2, 3);
    f.angle = 405;
    given.settings.look.nodeColourKind = 4;
    f.roadColourEntry = 9, f.nodeColourEntry = -1;  // velocity; none shown
    f.automaticLimits = false, f.colourLow = -1, f.colourHigh = 2.5;
    f.arrows = true, f.labelPixels = 99;
    DisplayChoice c = takeDisplayFields(given, f).choice;
    const PlanLook& look = c.settings.look;
    EXPECT_EQ(std::vector<double>({double(look.roadColourKind), double(look.nodeColourKind), look.limits.low,
                                   look.limits.high, double(look.arrows), double(look.labelPixels)}),
              std::vector<double>({20, 4, -1, 2.5, 1, kLargestLabelPixels}));
    EXPECT_EQ(std::vector<float>({c.figureSize, c.charSize, c.nodeRadius}),
              std::vector<float>({given.figureSize, given.charSize, given.nodeRadius}));
    EXPECT_EQ(std::vector<int>({c.angle, c.settings.onlineKind, c.settings.underlineKind, c.settings.nodeKind,
                                c.settings.onlineDigits, c.settings.underlineDigits, c.settings.nodeDigits}),
              std::vector<int>({405, 25, 0, 4, 7, 3, 1}));
    EXPECT_TRUE(c.settings.onlineBracket && !c.settings.underlineBracket);
    EXPECT_EQ(std::pair(c.settings.colours.road, c.settings.print.road), std::pair(rgb(1, 2, 3), rgb(9, 9, 9)));

    f.figureSizeShown = f.charSizeShown = f.nodeRadiusShown = false;  // typed over
    c = takeDisplayFields(given, f).choice;
    EXPECT_EQ(std::vector<float>({c.figureSize, c.charSize, c.nodeRadius}),
              std::vector<float>({0.8025f, 12.3457f, 3.3333f}));
    // A size outside the range, shown rounded into it, is taken as shown.
    given.figureSize = 0.00999f;
    f = untouched(given);
    f.figureSize = 0.01;
    EXPECT_EQ(takeDisplayFields(given, f).choice.figureSize, 0.01f);
}

// --- "parameters" -----------------------------------------------------------------

TEST(ParametersForm, RangesOfTheSolverFields)
{
    for (const auto& [iterations, accepted] : {std::pair{-1, false}, {0, true}, {9999, true}, {10000, false}})
        EXPECT_EQ(iterationsAcceptable(iterations), accepted) << iterations;
    for (const auto& [error, accepted] :
         {std::pair{-0.1f, false}, {0.0f, true}, {50000.0f, true}, {50000.1f, false}})
        EXPECT_EQ(solverErrorAcceptable(error), accepted) << error;
}

// Each value goes to its place; the document counts as changed only when a
// value saved with the network changed.
TEST(ParametersForm, StoresEachValueAndMarksTheNetworkForItsOwnOnly)
{
    const struct {
        const char* what;
        std::function<void(ParameterValues&)> change;
        bool saved;
    } rows[] = {
        {"nothing", [](ParameterValues&) {}, false},
        {"front display step", [](ParameterValues& v) { v.frontDisplayStep = 0.25f; }, true},
        {"fire node", [](ParameterValues& v) { v.fireNode = 41; }, true},
        {"fire temperature", [](ParameterValues& v) { v.fireTemperature = 800; }, true},
        {"fire time step", [](ParameterValues& v) { v.fireTimeStep = 0.5f; }, true},
        {"finish time", [](ParameterValues& v) { v.finishTime = 0; }, true},
        {"gas limit", [](ParameterValues& v) { v.gasLimit = 0.0005f; }, true},
        {"surface temperature", [](ParameterValues& v) { v.surfaceTemperature = -2.5f; }, true},
        {"solver settings", [](ParameterValues& v) {
             v.maxIteration = 20, v.solverError = 5, v.relaxation = 1.5f, v.method = SolverMethod::Newton;
         }, false},
    };
    for (const auto& row : rows) {
        EditBench b;
        b.doc->modified = false;
        b.doc->fire.finishTime = 30;
        ParameterValues v = parametersOf(*b.doc);
        row.change(v);
        EXPECT_EQ(storeParameters(*b.doc, v), row.saved) << row.what;
        EXPECT_EQ(b.doc->modified, row.saved) << row.what;
        const ParameterValues stored = parametersOf(*b.doc);
        EXPECT_EQ(std::vector<float>({stored.frontDisplayStep, float(stored.fireNode), stored.fireTemperature,
                                      stored.fireTimeStep, stored.finishTime, stored.gasLimit,
                                      float(stored.maxIteration), stored.surfaceTemperature, stored.solverError,
                                      stored.relaxation, float(stored.method)}),
                  std::vector<float>({v.frontDisplayStep, float(v.fireNode), v.fireTemperature, v.fireTimeStep,
                                      v.finishTime, v.gasLimit, float(v.maxIteration), v.surfaceTemperature,
                                      v.solverError, v.relaxation, float(v.method)}))
            << row.what;
    }
}

// Letters as the person sees them: a Chinese letter, or one beyond the
// basic plane, is one.
TEST(TitleForm, EightyLettersAreTooMany)
{
    const std::string han = "\xE5\x9D\x91", beyond = "\xF0\xA0\x80\x8B";
    const auto times = [](const std::string& s, int n) {
        std::string all;
        for (int i = 0; i < n; ++i)
            all += s;
        return all;
    };
    for (const auto& [letter, bytes] : {std::pair{std::string("a"), 1}, {han, 3}, {beyond, 4}}) {
        EXPECT_FALSE(titleTooLong(times(letter, 79))) << bytes;
        EXPECT_TRUE(titleTooLong(times(letter, 80))) << bytes;
    }
}

}  // namespace
}  // namespace orvex::test
