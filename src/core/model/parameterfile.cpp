// The parameter file (sdt) beside a network file: the fire, evacuation and
// display parameters, read from the network's folder or, failing that, from
// the installation's.
#include <algorithm>

#include "briscodoc.h"
#include "fileio.h"
#include "textscanner.h"

namespace orvex {

namespace {

constexpr std::size_t kParameterLine = 79;  // the parameter file's line buffer

// Why the parameter file served from neither place: the reason for the file
// beside the network, then, when the installation's file is another one,
// that file with its reason.
std::string parameterReasons(const std::string& own, const std::error_code& ownError,
                             const std::string& installed, const std::error_code& installedError)
{
    std::string text = failureReason(ownError);
    if (installed != own)
        text += "; " + installed + ": " + failureReason(installedError);
    return text;
}

// The two evacuation lists keep at most 99 entries; surplus entries are
// read and dropped so the rest of the file stays aligned. Each reader hands
// back the count the file gives; nothing is read after a failure.
bool readListCount(RecordReader& r, int& count, const char* what)
{
    if (!r.readInt(count, what))
        return false;
    if (count < 0)
        return r.fail(std::string(what) + " is negative");
    return true;
}

int readDestinations(RecordReader& r, TextScanner& scanner, FireParameters& f)
{
    int destinations = 0;
    if (r.failed())
        return destinations;
    skipLines(scanner, 2, kParameterLine);
    if (!readListCount(r, destinations, "the number of evacuation destinations"))
        return destinations;
    for (int e = 1; e <= destinations; ++e) {
        int node = 0;
        float hazard = 0;
        const std::string what = "evacuation destination " + std::to_string(e);
        if (!r.readInt(node, "the node of " + what) || !r.readFloat(hazard, "the hazard level of " + what))
            break;
        if (e < kMaxEvacuation) {
            f.destinationNode[e] = node;
            f.destinationHazard[e] = hazard;
            f.destinationCount = e;
        }
    }
    return destinations;
}

int readUnusableRoads(RecordReader& r, TextScanner& scanner, FireParameters& f, const CBriscoDoc& doc)
{
    int unusable = 0;
    if (r.failed())
        return unusable;
    skipLines(scanner, 2, kParameterLine);
    if (!readListCount(r, unusable, "the number of not-useable roads"))
        return unusable;
    for (int e = 1; e <= unusable; ++e) {
        int a = 0, b = 0;
        const std::string what = "not-useable road " + std::to_string(e);
        if (!r.readInt(a, "the first node of " + what) || !r.readInt(b, "the second node of " + what))
            break;
        if (e < kMaxEvacuation) {
            f.unusableRoad[e] = doc.findRoad(a, b);
            f.unusableCount = e;
        }
    }
    return unusable;
}

}  // namespace

// --- parameter file --------------------------------------------------------

// Kept whole: it reads the file record by record, in the file's order, and
// every check needs what was read before it.
int CBriscoDoc::readParameterFile(const std::string& base)
{
    fire = FireParameters{};
    parameterRead = ParameterFileRead{};
    const std::string own = existingCompanion(base, "sdt");
    const std::string installed = programFile("/sdt/ztna.sdt");
    std::string path = own;
    std::error_code ownError, installedError;
    std::optional<TextScanner> scanner = openForReading(path, ownError);
    if (!scanner && installed != own) {
        path = installed;
        scanner = openForReading(path, installedError);
    }
    if (!scanner) {
        report(own + "\n" + parameterReasons(own, ownError, installed, installedError));
        return -1;
    }
    if (ownError && !isMissing(ownError))
        report(withReason(own + ":read ?", ownError) + "\nThe parameters of " + installed +
                   " are used instead.",
               MessageKind::Warning);

    RecordReader r(*scanner, path);
    FireParameters& f = fire;
    float dropped = 0;
    bool finishRead = false;  // without firetime an analysis never runs the fire
    skipLines(*scanner, 1, kParameterLine);
    if (r.readFloat(f.kval, "kval") && r.readFloat(f.frontDisplayStep, "ftime_fi") &&
        r.readFloat(dropped, "the third number after kval")) {
        skipLines(*scanner, 2, kParameterLine);
        if (r.readInt(f.fireNode, "firenode") && r.readFloat(f.fireTemperature, "firetemp") &&
            r.readFloat(f.fireTimeStep, "ftime_ai") &&
            (finishRead = r.readFloat(f.finishTime, "firetime")) &&
            r.readFloat(f.gasLimit, "fc_lim")) {
            skipLines(*scanner, 2, kParameterLine);
            r.readFloat(f.gasEsc, "gas_esc") && r.readFloat(f.tmfEsc, "tmf_esc") &&
                r.readFloat(f.ftfEsc, "ftf_esc") && r.readFloat(f.gsfEsc, "gsf_esc") &&
                r.readFloat(f.tpfEsc, "tpf_esc") && r.readFloat(f.spdEsc, "spd_esc");
        }
    }

    const int destinations = readDestinations(r, *scanner, f);
    const int unusable = readUnusableRoads(r, *scanner, f, *this);
    if (r.failed() && !finishRead)
        report(r.error() + "\nThe fire simulation is skipped: the finish time (firetime) was "
                           "not read and stays 0, so an analysis computes the airflow only. "
                           "The values from there on keep their defaults.");
    else if (r.failed())
        report(r.error() + "\nThe values from there on keep their defaults.");
    else if (destinations >= kMaxEvacuation || unusable >= kMaxEvacuation)
        report(path + ": an evacuation list holds more than 99 entries; the first 99 are kept",
               MessageKind::Warning);

    // What the document does not hold of the file: writing it back would lose it.
    std::string notRead;
    const auto surplus = [&notRead](int count, const char* what) {
        if (count >= kMaxEvacuation)
            notRead += std::string(what) + " " + std::to_string(kMaxEvacuation) + " to " +
                       std::to_string(count) + "\n";
    };
    surplus(destinations, "evacuation destinations");
    surplus(unusable, "not-useable roads");
    if (r.failed())
        notRead += "everything from where the reading stopped: " + r.error() + "\n";
    parameterRead = ParameterFileRead{path, notRead, parameterText()};
    return 1;
}

std::string CBriscoDoc::parameterText() const
{
    const FireParameters& f = fire;
    std::string out;
    out += "kval, ftime_fi, dummy\n";
    appendf(out, "%7.2f %6.2f %5.1f\n", double(f.kval), double(f.frontDisplayStep), 0.0);
    out += "firenode, firetemp, ftime_ai, firetime, fc_lim\n";
    appendf(out, "%4d %5.1f %5.1f %5.1f %7.4f\n", f.fireNode, double(f.fireTemperature),
            double(f.fireTimeStep), double(f.finishTime), double(f.gasLimit));
    out += "gas_esc, tmf_esc, ftf_esc, gsf_esc, tpf_esc, spd_esc\n";
    appendf(out, "%5.1f %5.1f %5.1f %5.1f %5.1f %5.1f \n", double(f.gasEsc), double(f.tmfEsc),
            double(f.ftfEsc), double(f.gsfEsc), double(f.tpfEsc), double(f.spdEsc));
    out += "Evacuation destination / Number / Node hazard_level(s)\n";
    appendf(out, "%4d \n", f.destinationCount);
    for (int e = 1; e <= f.destinationCount; ++e)
        appendf(out, "%4d %5.0f\n", f.destinationNode[e], double(f.destinationHazard[e]));
    out += "Not Useable roadway    / Number / Node1 Node2 \n";
    appendf(out, "%4d \n", f.unusableCount);
    for (int e = 1; e <= f.unusableCount; ++e) {
        const int k = f.unusableRoad[e];
        const bool known = k >= 1 && k <= totalRoads();
        std::string entry;
        appendf(entry, "%4d %4d", known ? roads[k].first : 0, known ? roads[k].second : 0);
        // The entries follow one another on one line; a four-digit node
        // number fills its field, so it gets a blank to stay readable.
        if (e > 1 && entry[0] != ' ')
            out += ' ';
        out += entry;
    }
    return out;
}

int CBriscoDoc::writeParameterFile(const std::string& base)
{
    // Only beside the network: the installation's parameter file holds the
    // defaults of every new network and is never written in its place.
    const std::string out = parameterText();
    const std::string own = companionPath(base, "sdt");
    std::error_code error;
    const bool ok = writeFileSafely(own, out, error);
    note(own, FileAccess::Write, ok);
    if (!ok) {
        report(withReason(own + ":write ?", error) +
               "\nThe fire and evacuation parameters of this network could not be saved.");
        return 0;
    }
    return 1;
}

}  // namespace orvex
