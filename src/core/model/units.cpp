#include "units.h"

#include <type_traits>

#include "fileio.h"
#include "textscanner.h"

namespace orvex {

namespace {

// The first three lines are read with a 98-character line buffer, every later
// skip with a 44-character one; a longer line is consumed in several skips,
// so the file's descriptive lines are kept short.
constexpr std::size_t kHeadSkip = 98;
constexpr std::size_t kSkip = 44;

template <int N>
bool readLabel(RecordReader& reader, FixedText<N>& label, const char* what)
{
    std::string word;
    if (!reader.readWord(word, what))
        return false;
    label = word;  // longer labels keep their first N characters
    return true;
}

}  // namespace

int readUnitsFile(const std::string& programFolder, UnitsSettings& settings, Reporter& reporter)
{
    const std::string path = programFolder + kUnitsFileName;
    std::error_code error;
    std::optional<TextScanner> scanner = TextScanner::open(path, error);
    if (!scanner) {
        reporter.message(withReason("Tenbrook read ? : " + kUnitsFileName, error), kDocumentCaption,
                         MessageKind::Error);
        return 0;
    }
    RecordReader r(*scanner, path);
    UnitsSettings& s = settings;

    skipLines(*scanner, 3, kHeadSkip);
    skipLines(*scanner, 1, kSkip);
    r.readFloat(s.flowUnitFactor, "the flow unit factor") &&
        readLabel(r, s.flowUnitName, "the flow unit label");
    const auto step = [&](auto& field, const char* what) {
        if (r.failed())
            return;
        skipLines(*scanner, 2, kSkip);
        if constexpr (std::is_same_v<std::decay_t<decltype(field)>, int>)
            r.readInt(field, what);
        else
            r.readFloat(field, what);
    };
    step(s.pressureUnitFactor, "the pressure unit factor");
    if (!r.failed())
        readLabel(r, s.pressureUnitName, "the pressure unit label");
    step(s.resistanceUnitFactor, "the resistance unit factor");
    if (!r.failed())
        readLabel(r, s.resistanceUnitName, "the resistance unit label");
    step(s.solverError, "the solver error");
    step(s.epsFactor, "the eps factor");
    step(s.thresholdFactor, "the threshold factor");
    step(s.pressureBound, "the pressure bound");
    step(s.relaxation, "the relaxation factor");
    step(s.shiftFactor, "the shift factor");
    step(s.innerSweeps, "the number of inner sweeps");
    step(s.displayData, "the display data switch");
    step(s.maxIteration, "the maximum iteration");

    if (r.failed()) {
        reporter.message(r.error(), kDocumentCaption, MessageKind::Error);
        return 0;
    }
    return 1;
}

}  // namespace orvex
