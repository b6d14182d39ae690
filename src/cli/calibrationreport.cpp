#include "calibrationreport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ostream>

#include "display/quantitynames.h"
#include "model/textcodec.h"
#include "reportparts.h"
#include "scenario/scenario.h"

namespace orvex::cli {

namespace {

struct Labels {
    std::string flow, pressure, resistance;
};

Labels labelsOf(const CBriscoDoc& doc)
{
    const Units u = unitsOf(doc);
    return {u.flow, u.pressure, textAsUtf8(doc.app().units.resistanceUnitName.view())};
}

// A resistance in the resistance unit, a group's factor without one, a
// fan's offset in the pressure unit.
std::string unitOf(const FitUnknown& u, const Labels& l)
{
    switch (u.kind) {
    case UnknownKind::Resistance: return l.resistance;
    case UnknownKind::GroupFactor: return "";
    case UnknownKind::FanOffset: return l.pressure;
    }
    return "";
}

std::string unitOf(const Measurement& m, const Labels& l)
{
    return m.kind == MeasurementKind::Airflow ? l.flow : l.pressure;
}

const char* kindWord(UnknownKind kind)
{
    switch (kind) {
    case UnknownKind::Resistance: return "resistance";
    case UnknownKind::GroupFactor: return "group";
    case UnknownKind::FanOffset: return "fan";
    }
    return "";
}

// The roads (A-B) or the fan an unknown stands for.
std::vector<std::string> elementsOf(const FitUnknown& u, const CBriscoDoc& doc)
{
    std::vector<std::string> list;
    for (const int i : u.items) {
        if (u.kind == UnknownKind::FanOffset)
            list.push_back(nodePairText(doc.fans[std::size_t(i)].inlet, doc.fans[std::size_t(i)].outlet));
        else
            list.push_back(nodePairText(doc.roads[std::size_t(i)].first, doc.roads[std::size_t(i)].second));
    }
    return list;
}

// The undetermined set the unknown i belongs to (numbered from 1), or 0.
int setOf(const CalibrationResult& r, int i)
{
    for (std::size_t s = 0; s < r.undetermined.size(); ++s)
        if (std::find(r.undetermined[s].begin(), r.undetermined[s].end(), i) != r.undetermined[s].end())
            return int(s) + 1;
    return 0;
}

// Determined or not, at a bound, and the set of which only a combination
// is determined.
std::string stateText(const FitUnknown& u, int set)
{
    std::string text = u.determined ? "determined" : "not determined";
    if (set)
        text += " (set " + std::to_string(set) + ")";
    return u.atBound ? "at bound, " + text : text;
}

std::string fitText(const CalibrationReport& r)
{
    return r.fit.empty() ? "roads" : r.fit;
}

// --- JSON ---------------------------------------------------------------------

json unknownJson(const FitUnknown& u, int set, const CBriscoDoc& doc, const Labels& l)
{
    return {{"kind", kindWord(u.kind)},       {"name", u.name},
            {"elements", elementsOf(u, doc)}, {"unit", unitOf(u, l)},
            {"start", u.start},               {"fitted", u.fitted},
            {"uncertainty", u.uncertainty},   {"prior", u.prior},
            {"atBound", u.atBound},           {"determined", u.determined},
            {"undeterminedSet", set ? json(set) : json(nullptr)}};
}

json measurementJson(const MeasurementFit& f, const Labels& l)
{
    const Measurement& m = f.measurement;
    return {{"kind", measurementKindWord(m.kind)},
            {"from", m.from},
            {"to", m.to},
            {"note", m.note},
            {"line", m.line},
            {"unit", unitOf(m, l)},
            {"measured", m.value},
            {"sd", m.sd},
            {"before", f.before},
            {"after", f.after},
            {"residualBefore", f.residualBefore},
            {"residualAfter", f.residualAfter},
            {"normalisedBefore", f.normalisedBefore},
            {"normalisedAfter", f.normalisedAfter},
            {"flagged", f.flagged}};
}

void printJson(std::ostream& out, const CalibrationReport& r)
{
    const CalibrationResult& c = r.result;
    const Labels l = labelsOf(*r.doc);
    json root;
    root["network"] = r.network;
    root["title"] = networkHeading(*r.doc);
    root["survey"] = r.survey;
    root["fit"] = fitText(r);
    root["prior"] = r.terms.priorPercent;
    root["bounds"] = {r.terms.lowFactor, r.terms.highFactor};
    root["units"] = {{"flow", l.flow}, {"pressure", l.pressure}, {"resistance", l.resistance}};
    root["converged"] = c.converged;
    root["stopped"] = c.stopped;
    root["iterations"] = c.iterations;
    root["costBefore"] = c.costBefore;
    root["costAfter"] = c.costAfter;
    root["degreesOfFreedom"] = c.degreesOfFreedom;
    root["written"] = r.written.empty() ? json(nullptr) : json(r.written);
    json warnings = json::array();
    for (const std::string& w : r.warnings)
        warnings.push_back(textAsUtf8(w));
    root["warnings"] = std::move(warnings);
    json unknowns = json::array(), sets = json::array(), measurements = json::array();
    for (std::size_t i = 0; i < c.unknowns.size(); ++i)
        unknowns.push_back(unknownJson(c.unknowns[i], setOf(c, int(i)), *r.doc, l));
    for (const std::vector<int>& set : c.undetermined) {
        json names = json::array();
        for (const int i : set)
            names.push_back(c.unknowns[std::size_t(i)].name);
        sets.push_back(std::move(names));
    }
    for (const MeasurementFit& f : c.measurements)
        measurements.push_back(measurementJson(f, l));
    root["unknowns"] = std::move(unknowns);
    root["undetermined"] = std::move(sets);
    root["measurements"] = std::move(measurements);
    out << root.dump(2, ' ', false, json::error_handler_t::replace) << "\n";
}

// --- CSV ----------------------------------------------------------------------

// Three tables, a blank line between them: the fit, its unknowns, its
// measurements.
void printCsv(std::ostream& out, const CalibrationReport& r)
{
    const CalibrationResult& c = r.result;
    const Labels l = labelsOf(*r.doc);
    out << "network,survey,fit,converged,stopped,iterations,costBefore,costAfter,degreesOfFreedom,warnings,written\n"
        << csvField(r.network) << "," << csvField(r.survey) << "," << csvField(fitText(r)) << "," << c.converged
        << "," << c.stopped << "," << c.iterations << "," << format("%.4f", c.costBefore) << ","
        << format("%.4f", c.costAfter) << "," << c.degreesOfFreedom << "," << r.warnings.size() << ","
        << csvField(r.written) << "\n";
    out << "\nkind,name,elements,unit,start,fitted,uncertainty,prior,atBound,determined,undeterminedSet\n";
    for (std::size_t i = 0; i < c.unknowns.size(); ++i) {
        const FitUnknown& u = c.unknowns[i];
        std::string elements;
        for (const std::string& e : elementsOf(u, *r.doc))
            elements += (elements.empty() ? "" : " ") + e;
        const int set = setOf(c, int(i));
        out << kindWord(u.kind) << "," << csvField(u.name) << "," << elements << "," << csvField(unitOf(u, l)) << ","
            << format("%.6g", u.start) << "," << format("%.6g", u.fitted) << "," << format("%.6g", u.uncertainty)
            << "," << format("%.6g", u.prior) << "," << u.atBound << "," << u.determined << ","
            << (set ? std::to_string(set) : "") << "\n";
    }
    out << "\nkind,from,to,note,line,unit,measured,sd,before,after,residualBefore,residualAfter,"
           "normalisedBefore,normalisedAfter,flagged\n";
    for (const MeasurementFit& f : c.measurements) {
        const Measurement& m = f.measurement;
        out << measurementKindWord(m.kind) << "," << m.from << "," << m.to << "," << csvField(m.note) << ","
            << m.line << "," << csvField(unitOf(m, l)) << "," << format("%.4f", m.value) << ","
            << format("%.4f", m.sd) << "," << format("%.4f", f.before) << "," << format("%.4f", f.after) << ","
            << format("%.4f", f.residualBefore) << "," << format("%.4f", f.residualAfter) << ","
            << format("%.3f", f.normalisedBefore) << "," << format("%.3f", f.normalisedAfter) << ","
            << f.flagged << "\n";
    }
}

// --- text ---------------------------------------------------------------------

void printHeader(std::ostream& out, const CalibrationReport& r)
{
    const CalibrationResult& c = r.result;
    out << networkHeading(*r.doc) << "\n"
        << "Calibration of " << r.network << " to " << r.survey << "\n"
        << "Fit: " << fitText(r) << " (" << c.unknowns.size() << " unknowns; prior " << r.terms.priorPercent
        << " %, bounds " << r.terms.lowFactor << " to " << r.terms.highFactor << " times the start)\n";
    const char* how = c.stopped ? "Stopped" : c.converged ? "Converged" : "Did not converge";
    out << how << " after " << c.iterations << (c.iterations == 1 ? " iteration" : " iterations") << "; cost "
        << format("%.2f", c.costBefore) << " -> " << format("%.2f", c.costAfter) << " from "
        << c.measurements.size() << " measurements, " << c.degreesOfFreedom << " degrees of freedom\n";
    out << (r.written.empty() ? std::string("Nothing written") : "Fitted network written to " + r.written) << "\n";
    if (!r.warnings.empty()) {
        out << "\nWarnings\n";
        for (const std::string& w : r.warnings)
            out << "  " << w << "\n";
    }
}

void printUnknowns(std::ostream& out, const CalibrationReport& r, const Labels& l)
{
    const CalibrationResult& c = r.result;
    std::size_t width = 7;  // the longest name, within reason
    for (const FitUnknown& u : c.unknowns)
        width = std::max(width, std::min<std::size_t>(u.name.size(), 40));
    char line[400];
    out << "\nUnknowns\n";
    std::snprintf(line, sizeof line, "%s %12s %12s %12s  %-8s %s\n", padded("Unknown", width).c_str(), "Start",
                  "Fitted", "+/-", "Unit", "State");
    out << line;
    for (std::size_t i = 0; i < c.unknowns.size(); ++i) {
        const FitUnknown& u = c.unknowns[i];
        std::snprintf(line, sizeof line, "%s %12.5g %12.5g %12.3g  %s %s\n", padded(u.name, width).c_str(), u.start,
                      u.fitted, u.uncertainty, padded(unitOf(u, l), 8).c_str(), stateText(u, setOf(c, int(i))).c_str());
        out << line;
    }
    for (std::size_t s = 0; s < c.undetermined.size(); ++s) {
        std::string names;
        for (const int i : c.undetermined[s])
            names += (names.empty() ? "" : ", ") + c.unknowns[std::size_t(i)].name;
        out << "Set " << s + 1 << ", only their combination is determined: " << names << "\n";
    }
}

void printMeasurements(std::ostream& out, const CalibrationReport& r, const Labels& l)
{
    const CalibrationResult& c = r.result;
    std::size_t width = 4;
    for (const MeasurementFit& f : c.measurements)
        width = std::max(width, std::min<std::size_t>(f.measurement.note.size(), 30));
    char line[480];
    out << "\nMeasurements (normalised: measured minus modelled, in standard deviations; ! beyond "
        << format("%.0f", kFlagNormalised) << ")\n";
    std::snprintf(line, sizeof line, "%-13s %6s %6s %s %10s %9s %10s %10s %7s %8s   %s\n", "Kind", "From", "To",
                  padded("Note", width).c_str(), "Measured", "SD", "Before", "After", "Norm b", "Norm a", "Unit");
    out << line;
    for (const MeasurementFit& f : c.measurements) {
        const Measurement& m = f.measurement;
        std::snprintf(line, sizeof line, "%-13s %6d %6d %s %10.2f %9.2f %10.2f %10.2f %7.2f %8.2f %s %s\n",
                      measurementKindWord(m.kind), m.from, m.to, padded(m.note, width).c_str(), m.value, m.sd,
                      f.before, f.after, f.normalisedBefore, f.normalisedAfter, f.flagged ? "!" : " ",
                      unitOf(m, l).c_str());
        out << line;
    }
}

}  // namespace

void printCalibration(std::ostream& out, const CalibrationReport& report, Format format)
{
    if (format == Format::Json)
        return printJson(out, report);
    if (format == Format::Csv)
        return printCsv(out, report);
    const Labels l = labelsOf(*report.doc);
    printHeader(out, report);
    printUnknowns(out, report, l);
    printMeasurements(out, report, l);
}

}  // namespace orvex::cli
