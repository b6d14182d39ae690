#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "edit/editdialogs.h"
#include "model/briscodoc.h"

// A fan's characteristic curve, entered point by point in the fan dialogs,
// and the fan curve file that the outside curve display program reads.
namespace orvex {

// The state of "make new fans" or "change fan data" apart from the widgets:
// the count n, the airflow step Δq, up to 30 pressures and the point c shown.
// The window program writes the fields as typed into the three public
// members before each action and shows them (and label()) again after it.
class FanCurveEntry {
public:
    enum class Field { FlowStep, Count, Pressure };  // focus states 0, 1, 2
    // Stay: the dialog stays open. Accept: it closes with OK (take result()).
    // Refused: the count is out of range; show countMessage(), stay open.
    enum class Step { Stay, Accept, Refused };

    // "make new fans": n = 0, Δq = 0, all pressures 0; counts outside 1..30 are refused.
    static FanCurveEntry forNewFan();
    // "change fan data": the fan's curve; a count above 30 is taken as 30 (the
    // most a fan holds), one below 0 as 0.
    static FanCurveEntry forFan(const FanCurve& curve);

    float flowStepField = 0;  // "airflow unit (*)"
    int countField = 0;       // "number of datas (max : 30)"
    float pressureField = 0;  // the pressure of point c

    const std::string& label() const { return mLabel; }
    int current() const { return mCurrent; }
    int focusState() const { return int(mFocus); }

    // The buttons. next() on the last point closes like OK.
    Step next();
    Step back();
    Step ok();
    // The count field lost the focus: its value is taken.
    Step countLeft();
    void focusGained(Field field) { mFocus = field; }
    // The Enter key: moves the focus on (set in `focus`) or acts as "next".
    Step enter(std::optional<Field>& focus);

    // n, Δq and p[0..n-1]; the points beyond n are 0.
    FanCurve result() const;

    static const std::string& countMessage();

private:
    explicit FanCurveEntry(bool checkCount) : mCheckCount(checkCount) {}
    bool takeFields();
    void showPoint();

    bool mCheckCount;
    int mCount = 0;
    float mFlowStep = 0;
    std::array<float, kMaxFanPoints> mPressure{};
    int mCurrent = 0;
    Field mFocus = Field::FlowStep;
    std::string mLabel = "Pressure(*) at 0 air flow";
};

// The text of the fan curve file: three heading lines, then per fan a
// comment line, its two node numbers and one line per characteristic point.
std::string fanCurveText(const CBriscoDoc& doc);
// Writes base name + "fan" (in the case of the network file's extension);
// false (with that path + ":write ?") when it cannot be written.
bool writeFanCurveFile(CBriscoDoc& doc);

// The curve display program's argument: the fan curve file's path with its
// blanks written as "*" (at most 50; text from a 51st blank on is dropped).
std::string curveDisplayArgument(const std::string& baseName, const std::string& extension = "fan");
std::string curveDisplayArgument(const CBriscoDoc& doc);

// Finds and starts outside programs, such as the fan curve viewer.
class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;
    // The program `name` beside this program, in `folder` or on the path;
    // an empty text when there is none.
    virtual std::string find(const std::string& name, const std::string& folder) = 0;
    // Starts it on its own with these arguments; nothing waits for it.
    // False when it could not be started.
    virtual bool start(const std::string& program, const std::vector<std::string>& arguments) = 0;
};

// The viewer's option that marks where a fan ran on its curve. Its value is
// "inlet-outlet,airflow,pressure", the fan named by its node numbers as the
// viewer names it, the airflow in the user flow unit and the pressure in the
// display unit, the units of the fan curve file.
inline const std::string kOperatingPointOption = "--operating-point";
// The option and its value for every fan of the fan curve file that has a
// curve to run on: its airflow and the curve's pressure there; fans without
// a curve have no point.
std::vector<std::string> operatingPointArguments(const CBriscoDoc& doc);

// "Fan character display": writes the fan curve file beside the network
// and starts the fan curve viewer on it, with the fans' operating points
// when withOperatingPoints (the document holds the results of a run of the
// network as it stands). A network without a name has no place for the
// file; a viewer that is not found or does not start is reported.
void fanCharacterDisplay(CBriscoDoc& doc, ProgramStarter& programs, bool withOperatingPoints = false);
inline const std::string kCurveDisplayProgram = "vistrel";

}  // namespace orvex
