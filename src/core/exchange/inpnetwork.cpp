// The sections of an EPANET input file as a water network: options, nodes,
// links, pump curves and the plan, then node numbers and the draft.
#include <algorithm>

#include "inpread.h"
#include "model/textcodec.h"

namespace orvex::exchange {

namespace {

const char* const kReadSections[] = {"TITLE", "OPTIONS", "JUNCTIONS", "RESERVOIRS",  "TANKS",   "PIPES",
                                     "PUMPS", "VALVES",  "CURVES",    "COORDINATES", "VERTICES"};

}  // namespace

bool isReadSection(const std::string& name)
{
    return std::find(std::begin(kReadSections), std::end(kReadSections), name) != std::end(kReadSections);
}

InpReader::InpReader(const std::string& path, const UnitsSettings& units, InpSections sections)
    : mSource{path}, mUnits(units), mSections(std::move(sections))
{
    readOptions();
    for (const char* section : {"RESERVOIRS", "TANKS", "JUNCTIONS"})
        readNodes(section);
    readPipes();
    readValves();
    readPumps();
    readPlan();
    listOtherSections();
    checkRoom();
    numberNodes();
    build();
}

const std::vector<InpRecord>& InpReader::records(const char* section) { return mSections.byName[section].records; }

void InpReader::note(const std::string& what, int count) { mNotRepresented[what] += count; }

void InpReader::readOptions()
{
    mFile = findInpUnits("GPM");
    for (const InpRecord& r : records("OPTIONS")) {
        const std::string key = upperText(r.fields[0].text);
        if (key == "UNITS") {
            const std::string& name = mSource.word(r, 1, "the flow units");
            mFile = findInpUnits(name);
            if (!mFile)
                throw InpRefusal{mSource.at(r, 1) + quoted(name) + " is not a flow unit; one of " + inpUnitNames() +
                                 " was expected"};
        } else if (key == "HEADLOSS") {
            mHeadloss = upperText(mSource.word(r, 1, "the head-loss formula"));
            if (mHeadloss != "H-W" && mHeadloss != "D-W" && mHeadloss != "C-M")
                throw InpRefusal{mSource.at(r, 1) + quoted(r.fields[1].text) +
                                 " is not a head-loss formula; H-W, D-W or C-M was expected"};
        } else {
            // The option's name: its words before the value ("DEMAND MULTIPLIER").
            std::string name = key;
            for (std::size_t f = 1; f + 1 < r.fields.size(); ++f)
                name += " " + upperText(r.fields[f].text);
            note("[OPTIONS] " + name + ", not used");
        }
    }
    if (mHeadloss != "H-W")
        note("[OPTIONS] Headloss " + mHeadloss +
             ": roughness turned into the Hazen-Williams C of the same loss at 1 m/s");
    for (const InpRecord& r : records("TITLE"))
        if (mTitle.empty())
            mTitle = r.comment;
}

void InpReader::readNodes(const char* section)
{
    const std::string name(section);
    for (const InpRecord& r : records(section)) {
        NodeItem node;
        node.id = r.fields[0].text;
        node.surface = name != "JUNCTIONS";
        const std::string of = " of node " + node.id;
        double elevation = mSource.number(r, 1, (node.surface && name != "TANKS" ? "the head" : "the elevation") + of);
        if (name == "TANKS") {
            elevation += mSource.number(r, 2, "the initial level" + of);
            note("[TANKS] tanks, held as free surfaces at their initial level");
        } else if (name == "JUNCTIONS" && r.fields.size() > 2 && mSource.number(r, 2, "the demand" + of) != 0) {
            note("[JUNCTIONS] demands, not represented");
        }
        if (name != "TANKS" && r.fields.size() > (node.surface ? 2u : 3u))
            note("[" + name + "] patterns, not represented");
        node.elevation = metres(elevation, *mFile);
        if (!mNodeIndex.emplace(node.id, int(mNodes.size())).second)
            throw InpRefusal{mSource.at(r, 0) + "node " + node.id + " is given a second time"};
        mNodes.push_back(node);
    }
}

int InpReader::nodeOf(const InpRecord& record, std::size_t field, const std::string& link) const
{
    const std::string& id =
        mSource.word(record, field, std::string(field == 1 ? "the first" : "the second") + " node of " + link);
    const auto found = mNodeIndex.find(id);
    if (found == mNodeIndex.end())
        throw InpRefusal{mSource.at(record, field) + link + " names node " + id +
                         ", which is no junction, reservoir or tank of the file"};
    return found->second;
}

InpReader::LinkItem& InpReader::addLink(const InpRecord& r, const char* kind)
{
    LinkItem link;
    link.id = r.fields[0].text;
    link.record = &r;
    const std::string what = std::string(kind) + " " + link.id;
    link.from = nodeOf(r, 1, what);
    link.to = nodeOf(r, 2, what);
    if (link.from == link.to)
        throw InpRefusal{mSource.at(r, 2) + what + " joins node " + mNodes[std::size_t(link.from)].id + " to itself"};
    if (!mLinkIndex.emplace(link.id, int(mLinks.size())).second)
        throw InpRefusal{mSource.at(r, 0) + "link " + link.id + " is given a second time"};
    link.values.temperature = kInpWaterTemperature;
    mLinks.push_back(link);
    return mLinks.back();
}

void InpReader::readPipes()
{
    for (const InpRecord& r : records("PIPES")) {
        LinkItem& pipe = addLink(r, "pipe");
        const std::string of = " of pipe " + pipe.id;
        const double length = mSource.positive(r, 3, "the length" + of);
        const double d = mSource.positive(r, 4, "the diameter" + of);
        // A smooth pipe has no Darcy-Weisbach roughness; any other needs one.
        double c = mHeadloss == "D-W" ? mSource.number(r, 5, "the roughness" + of)
                                      : mSource.positive(r, 5, "the roughness" + of);
        if (c < 0)
            throw InpRefusal{mSource.at(r, 5) + "the roughness" + of + " is below 0"};
        const double minor = r.fields.size() > 6 ? mSource.number(r, 6, "the minor loss" + of) : 0;
        const std::string status = r.fields.size() > 7 ? upperText(r.fields[7].text) : "OPEN";
        if (minor < 0)
            throw InpRefusal{mSource.at(r, 6) + "the minor loss" + of + " is below 0"};
        if (status != "OPEN" && status != "CLOSED" && status != "CV")
            throw InpRefusal{mSource.at(r, 7) + quoted(r.fields[7].text) +
                             " is not a pipe status; OPEN, CLOSED or CV was expected"};
        pipe.values.area = diameterMetres(d, *mFile);
        pipe.values.length = metres(length, *mFile);
        if (mHeadloss == "D-W")
            c = hazenWilliamsOfRoughness(c * 1e-3 * mFile->length, pipe.values.area);
        else if (mHeadloss == "C-M")
            c = hazenWilliamsOfManning(c, pipe.values.area);
        pipe.values.conductivity = float(c);
        pipe.minorLoss = float(minor);
        if (status == "CLOSED") {
            pipe.kind = LinkKind::FixedFlow;
            note("[PIPES] closed pipes, held as fixed-flow pipes of flow 0");
        } else if (status == "CV") {
            note("[PIPES] check valves (CV), held as open pipes");
        }
        if (pipe.minorLoss > 0 && pipe.kind == LinkKind::Pipe)
            note("[PIPES] minor losses, held as local-loss elements after an added node");
    }
}

void InpReader::readValves()
{
    for (const InpRecord& r : records("VALVES")) {
        LinkItem& valve = addLink(r, "valve");
        const std::string of = " of valve " + valve.id;
        const double d = mSource.positive(r, 3, "the diameter" + of);
        const std::string type = upperText(mSource.word(r, 4, "the type" + of));
        valve.values.area = diameterMetres(d, *mFile);
        if (type == "TCV") {
            valve.kind = LinkKind::LocalLoss;
            valve.values.conductivity = float(std::max(mSource.number(r, 5, "the setting" + of), 0.0));
        } else if (type == "FCV") {
            valve.kind = LinkKind::FixedFlow;
            valve.values.resistance = userFlow(mSource.number(r, 5, "the setting" + of), *mFile, mUnits);
            note("[VALVES] flow control valves (FCV), held as fixed-flow pipes at their setting");
        } else if (type == "PRV" || type == "PSV" || type == "PBV" || type == "GPV") {
            valve.kind = LinkKind::LeftOut;
            note("[VALVES] " + type + " valves, left out (their nodes are not joined)");
        } else {
            throw InpRefusal{mSource.at(r, 4) + quoted(r.fields[4].text) +
                             " is not a valve type; PRV, PSV, PBV, FCV, TCV or GPV was expected"};
        }
    }
}

void InpReader::readPumps()
{
    for (const InpRecord& r : records("PUMPS")) {
        LinkItem& pump = addLink(r, "pump");
        pump.kind = LinkKind::Pump;
        const std::string heading = r.comment.empty() ? "Fan: pump " + pump.id : r.comment;
        pump.heading = heading.substr(0, characterCut(heading, kHeadingChars - 2)) + "\n";
        for (std::size_t f = 3; f < r.fields.size(); f += 2) {
            const std::string key = upperText(r.fields[f].text);
            if (key == "HEAD")
                pump.curve = mSource.word(r, f + 1, "the curve of pump " + pump.id);
            else if (key == "SPEED")
                pump.speed = mSource.positive(r, f + 1, "the speed of pump " + pump.id);
            else if (key == "POWER" || key == "PATTERN")
                note("[PUMPS] " + key + " settings, not represented");
            else
                throw InpRefusal{mSource.at(r, f) + quoted(r.fields[f].text) +
                                 " is not a pump property; HEAD, POWER, SPEED or PATTERN was expected"};
        }
        if (pump.curve.empty())
            throw InpRefusal{mSource.at(r.line, 0) + "pump " + pump.id +
                             " has no HEAD curve; a pump of ORVEX runs on its head curve"};
        if (pump.speed != 1)
            note("[PUMPS] speeds other than 1, applied to the head curve");
    }
    for (const InpRecord& r : records("CURVES"))
        mCurves[r.fields[0].text].push_back(&r);
}

void InpReader::readPlan()
{
    for (const InpRecord& r : records("COORDINATES")) {
        const auto found = mNodeIndex.find(r.fields[0].text);
        if (found == mNodeIndex.end())
            throw InpRefusal{mSource.at(r, 0) + "[COORDINATES] names node " + r.fields[0].text +
                             ", which is no junction, reservoir or tank of the file"};
        NodeItem& node = mNodes[std::size_t(found->second)];
        node.x = float(mSource.number(r, 1, "the x of node " + node.id));
        node.y = float(mSource.number(r, 2, "the y of node " + node.id));
        node.placed = true;
    }
    for (const NodeItem& node : mNodes)
        if (!node.placed)
            note("[COORDINATES] nodes without a position, placed at 0, 0");
    for (const InpRecord& r : records("VERTICES")) {
        const auto found = mLinkIndex.find(r.fields[0].text);
        if (found == mLinkIndex.end())
            throw InpRefusal{mSource.at(r, 0) + "[VERTICES] names link " + r.fields[0].text +
                             ", which is no pipe, pump or valve of the file"};
        LinkItem& link = mLinks[std::size_t(found->second)];
        const std::string of = " of a bending point of " + link.id;
        const BendSlot point{0, float(mSource.number(r, 1, "the x" + of)), float(mSource.number(r, 2, "the y" + of))};
        if (link.kind == LinkKind::Pump || link.kind == LinkKind::LeftOut)
            note("[VERTICES] bending points of pumps and left-out valves, not represented");
        else
            link.bends.push_back(point);
    }
}

void InpReader::listOtherSections()
{
    for (const auto& [name, section] : mSections.byName)
        if (!isReadSection(name) && section.lines > 0)
            note("[" + name + "] lines, not represented", section.lines);
}

}  // namespace orvex::exchange
