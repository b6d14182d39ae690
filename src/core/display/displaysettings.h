#pragma once

#include <array>
#include <string>

#include "display/canvas.h"
#include "display/colourscale.h"
#include "display/viewgeometry.h"
#include "model/profile.h"

// The look of the plan, per view: scale, sizes, which quantity is written on,
// under and beside roads and nodes, decimals, brackets and colours. Kept in
// the profile section "DISPLAY".
namespace orvex {

struct ColourSlots {
    Colour back = rgb(0, 0, 128);
    Colour road = rgb(255, 255, 255);
    Colour online = rgb(0, 255, 0);
    Colour underline = rgb(255, 255, 0);
    Colour node = rgb(255, 255, 255);
    Colour onnode = rgb(255, 255, 255);
    Colour strong = rgb(255, 0, 0);
    Colour nodedata = rgb(0, 255, 0);
};

// The six colours of the printed page (background and emphasis keep the
// screen's).
struct PrintColours {
    Colour node = rgb(0, 0, 0);
    Colour road = rgb(0, 0, 0);
    Colour online = rgb(0, 255, 0);
    Colour underline = rgb(0, 255, 0);
    Colour onnode = rgb(0, 0, 0);
    Colour nodedata = rgb(0, 255, 0);
};

// The six drawing colours that a printed page takes from the print colours
// (background and emphasis keep the screen's), and back.
void usePrintColours(ColourSlots& slots, const PrintColours& print);
PrintColours printColoursOf(const ColourSlots& slots);

// Colour, width and arrows of the plan, and labels at a fixed size on the
// screen: choices beyond the plain plan, all off by default.
struct PlanLook {
    int roadColourKind = 0;   // road quantity the roads are coloured by, 0 none
    int nodeColourKind = 0;   // node quantity (2..6) the nodes are coloured by, 0 none
    ColourLimits limits;      // of the road colours
    bool widthByFlow = false; // roads wider the more air they carry
    bool arrows = false;      // an arrow with the air on every road that carries some
    bool screenLabels = false;  // labels of one pixel size at any zoom, none overlapping
    int labelPixels = 12;
    bool titleBlock = true;   // printed pages and exported plans say what they show
};
constexpr int kSmallestLabelPixels = 6, kLargestLabelPixels = 40;
// Roads coloured by the design checks of the last run: below a limit, within, above.
constexpr int kCheckStateKind = 24;
inline const char* const kCheckStateName = "Check state";
// Roads coloured by the change of their airflow against a base run (a
// comparison or a what-if case), on a scale even about 0: more air red,
// less blue. A state of the view while it shows one, never kept in the
// profile.
constexpr int kFlowChangeKind = 25;
// A way out drawn on the plan after a fire run: its roads coloured by the
// minute the walker leaves each, every node by its escape margin. States of
// the view while the Escape routes window shows them, never kept in the
// profile.
constexpr int kEscapeRouteKind = 26;
constexpr int kEscapeMarginKind = 12;
// Roads coloured by the normalised residual of their measurement after a
// calibration fit, (measured - modelled) / sd, on a scale even about 0
// ending at 3 either side; roads not measured are drawn plainly. A state
// of the view while the Calibrate dialog shows a fit, never kept in the
// profile.
constexpr int kResidualKind = 27;
constexpr double kResidualScaleEnd = 3;
// The kinds a plan can be coloured by, in the order the settings list
// them; 0 first: no colours.
constexpr std::array<int, 15> kRoadColourKinds = {0, 1, 2, 4, 5, 7, 8, 9, 14, 20, 21, 22, 23, 13, kCheckStateKind};
constexpr std::array<int, 6> kNodeColourKinds = {0, 2, 3, 4, 5, 6};

// Scale, character size, node radius and display angle live in the view's
// geometry; this record holds the rest.
struct DisplaySettings {
    int onlineKind = 1;     // values above lines, 0..23
    int underlineKind = 0;  // values below lines, 0..23
    int nodeKind = 1;       // values on nodes, 0..10
    int onlineDigits = 0, underlineDigits = 0, nodeDigits = 0;  // 0..7
    bool onlineBracket = false, underlineBracket = false;
    ColourSlots colours;
    PrintColours print;
    int previewKind = 1;    // 1 full page preview, 0 simple
    PlanLook look;
};

constexpr int kRoadKinds = 24;  // 20.. velocity and the fire run's history
constexpr int kNodeKinds = 11;
extern const std::array<const char*, kRoadKinds> kRoadKindNames;         // English entries
extern const std::array<const char*, kRoadKinds> kRoadKindNamesChinese;
extern const std::array<const char*, kNodeKinds> kNodeKindNames;
extern const std::array<const char*, kNodeKinds> kNodeKindNamesChinese;

inline const std::string kDisplaySection = "DISPLAY";

// The page preview's kind (1 full, 0 simple) is one setting of the whole
// program: every view draws with the one value, and the profile keeps it
// from the moment it changes, so that no view closed later puts back a
// value of its own.
struct SharedDisplay {
    bool read = false;  // the profile's value was taken
    int previewKind = 1;
};
int previewKind(SharedDisplay& shared, Profile& profile);
void setPreviewKind(SharedDisplay& shared, Profile& profile, int kind);

// Reads every "DISPLAY" key with the current values as defaults; "factor"
// and "font" go to the geometry's scale and character size. The look's
// keys are written only once they differ from the plain plan or are in the
// profile already; a value out of range reads as the plain plan's.
void readDisplaySettings(Profile& profile, DisplaySettings& settings, ViewGeometry& geometry);
void writeDisplaySettings(Profile& profile, const DisplaySettings& settings,
                          const ViewGeometry& geometry);

// Colour limits as the profile keeps them: "auto", or the two limits.
// Text that does not give two usable limits reads as "auto".
std::string colourLimitsText(const ColourLimits& limits);
ColourLimits colourLimitsFromText(const std::string& text);

// The figure size shown in the Display setting dialog, and its check.
inline float figureSizeOf(float scale) { return scale * 0.65f; }
bool figureSizeAcceptable(float figureSize);
inline const std::string kBadFigureSize = "Bad figure size(0.01 - 10.00)";

}  // namespace orvex
