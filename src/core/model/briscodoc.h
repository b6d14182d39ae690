#pragma once

#include <array>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "appcontext.h"
#include "fixedtext.h"
#include "layerwork.h"
#include "limits.h"
#include "physics.h"
#include "reporter.h"
#include "solvermethod.h"
#include "textscanner.h"

// The document of one network window: the whole network in fixed-capacity
// arrays indexed from 1, the fire and evacuation parameters, the results of
// the last analysis and the look-up structures derived from the roads.
//
// Node indexes 1..surfaceCount are the surface nodes (their pressure is held
// fixed by the solver), the underground nodes follow. Road indexes
// 1..roadCount are normal roads, fixed-flow roads follow. Only normal roads
// are in the adjacency lists.
namespace orvex {

struct Node {
    int number = 0;           // the user's identifier, 0..1499
    float elevation = 0;      // m
    float x = 0, y = 0;       // plan position, world units (m), y up
    double pressure = 0;      // absolute, kgf/m²
    float displayValue = 0;   // value shown beside the node
    int degree = 0;           // normal roads ending here
    int adjacencyStart = 0;   // position before the node's first adjacency entry
};

struct Road {
    int first = 0, second = 0;  // node numbers of the two ends
    float resistance = 0;       // normal road: resistance; fixed-flow road: its airflow (user unit)
    float altResistance = 0;    // used while the airflow runs from second to first node
    float temperature = 0;      // °C
    float area = 0;             // m²; pipe diameter (m) in a water network
    float length = 0;           // m
    float conductivity = 0;     // rock, kcal/(m·h·°C); Hazen-Williams C in a water network
    float initialTemperature = 0;  // °C, taken by load preparation
    FixedText<kRoadNameChars> name;
    int bendStart = 0;          // header slot of the bending points, 0 when straight
    int roadClass = 0;          // 1 forward, 2 reverse airflow (roads with an alternative resistance)
    float massFlow = 0;         // kg/s, + from first to second node
    float density = 0;          // specific weight of the air in the road, kg/m³ (water: ρs)
    float naturalDraught = 0;   // (z_first - z_second) × density, kgf/m²
    float conductance = 0;      // kg/s per kgf/m², from the last linearisation
    int reversalFlag = 0;       // 1 when the last solve reversed the airflow
    float external[2][2] = {};  // external display values, slot and value
    // Fire simulation; the road's mean air temperature is initialTemperature.
    float outletTemperature = 0;  // °C of the air leaving the road
    float inletTemperature = 0;   // °C of the air of the last front that passed
    float gasConcentration = 0;   // % fire gas of the newest air in the road
    float entryTemperature = 0;   // °C of the newest air in the road, as it entered
    float outletGas = 0;          // % fire gas of the air leaving the road
    // What the last fire run left in the road, no value (NaN) before one: the
    // minute fire gas first entered it, the most gas (%) and the hottest air
    // (°C) that entered it.
    float gasArrival = std::numeric_limits<float>::quiet_NaN();
    float peakGas = std::numeric_limits<float>::quiet_NaN();
    float peakTemperature = std::numeric_limits<float>::quiet_NaN();
    // The minute the air entering the road first passed the tenability
    // limits (fire/fire.h), no value (NaN) where it never did.
    float untenableAt = std::numeric_limits<float>::quiet_NaN();
};

struct Fan {
    int inlet = 0, outlet = 0;  // node numbers; the fan moves air from inlet to outlet
    int points = 0;             // characteristic points, at most 30
    float flowStep = 0;         // user flow unit between points
    std::array<float, kMaxFanPoints + 1> curve{};  // 1..points: pressure at (p-1)·flowStep
    float fanFlow = 0;          // result airflow Qf, user unit
    float pressure = 0;         // curve pressure at fanFlow, display unit
    float fanPrevFlow = 0;      // smoothed earlier airflow
    int fanState = 1;           // 1 direct, 2 damped
    float fanMeanPressure = 0;  // mean of the curve's points
};

// One slot of the bending-point store. A road's run starts with a header
// slot whose mark is the number of points n (x = y = 0), then n points from
// the road's first node towards its second. Point marks: -1 no line drawn to
// the point, 2 and more a map symbol, anything else a plain line.
struct BendSlot {
    int mark = 0;
    float x = 0, y = 0;
};

struct FireParameters {
    float kval = 5.0f;
    float frontDisplayStep = 0.1f;  // ftime_fi, min
    int fireNode = 14;              // firenode
    float fireTemperature = 400.0f; // firetemp, °C
    float fireTimeStep = 1.0f;      // ftime_ai
    float finishTime = 0.0f;        // firetime, min; above 0 the run is a fire simulation
    float gasLimit = 0.001f;        // fc_lim
    float gasEsc = 5.0f;
    float tmfEsc = 1.0f;
    float ftfEsc = 1.0f;
    float gsfEsc = 1.0f;
    float tpfEsc = 1.0f;
    float spdEsc = 60.0f;
    int extra = 1;                  // set with the defaults, not kept in the file

    int destinationCount = 0;
    std::array<int, kMaxEvacuation> destinationNode{};
    std::array<float, kMaxEvacuation> destinationHazard{};
    int unusableCount = 0;
    std::array<int, kMaxEvacuation> unusableRoad{};  // road index, 0 when no normal road joins the pair
};

struct NetworkCounts {
    int surface = 0, nodes = 0, roads = 0, fixedRoads = 0, bendSlots = 0, fans = 0;
};

enum class RoadScope { Normal = 1, All = 2 };

inline constexpr int kWaterNetworkKind = -9;
inline const std::string kWaterTitle = "....< Water Path Network >";

class SaveTransaction;

// A position in one of the document's record lists (nodes, roads, bending
// slots, fans). Every walk keeps its own: each call of a `next...` hands out
// the record at the position and advances it; the call after the last
// record returns 0 and puts the position back to record 1.
class RecordCursor {
public:
    // The record to hand out, 1..last; false (and back to 1) past the end.
    bool advance(int last, int& index);

private:
    int mNext = 1;
};

// Turns a plan position about the origin, anticlockwise by degrees, as
// rotatePlan turns every node and bending point.
void rotatePlanPoint(float& x, float& y, int degrees);

class CBriscoDoc {
public:
    // Sets the defaults and loads the default parameter file and the default
    // network from the program folder.
    CBriscoDoc(AppContext& app, Reporter& reporter);
    // A copy of another document's network, parameters and results, for a
    // run that must not touch it (a what-if case): it shares the application
    // settings, reports to `reporter`, watches no files, is in no save, and
    // its layers' work starts afresh.
    CBriscoDoc(const CBriscoDoc& other, Reporter& reporter);
    CBriscoDoc& operator=(const CBriscoDoc&) = delete;

    // After a failed open: clears the application's pending flag and the
    // window title, reloads the default parameters and default network,
    // straightens every road.
    void reinitialise();

    // --- network file (.vad) ---
    // 1 read; 0 the file cannot be opened or is not a readable network (the
    // document is then unchanged).
    int readNetworkFile(const std::string& path, bool setWindowTitle);
    // 1 written; 0 the file cannot be created (the old file stays as it was).
    int writeNetworkFile(const std::string& path);

    // --- companion files; base names end in the dot ---
    int readParameterFile(const std::string& base);   // 1 read; -1 found nowhere
    int writeParameterFile(const std::string& base);  // 1 written; 0 not created
    // The parameters as the parameter file holds them.
    std::string parameterText() const;
    void readFlowSensorFile(const std::string& base);
    int readRoadNameFile(const std::string& base);    // roads with an alternative resistance
    int writeRoadNameFile(const std::string& base);   // 1 written; 0 not created
    int readNodeLocationFile(const std::string& base);   // 1 read; 0 missing
    int writeNodeLocationFile(const std::string& base);  // 1 written; 0 not created
    int readBendFile(const std::string& base);           // 1 read; 0 missing
    int writeBendFile(const std::string& base);          // 1 written; 0 not created
    int readResultsFile(const std::string& base);        // 1 read; 0 missing
    int writeResultsFile(const std::string& base);       // 1 written; 0 not created
    void readExternalNodeValues(int column);
    void readExternalRoadValues(int column, int slot);
    // The file of a base name with this extension ("jpd"), the extension in
    // the case of the network file's own: "MINE." gives MINE.JPD beside
    // MINE.VAD. Every file of the network is written under this name.
    std::string companionPath(const std::string& base, const std::string& extension) const;
    // The same file as it exists: that name, or one that differs from it
    // only in case. Every file of the network is read under this name.
    std::string existingCompanion(const std::string& base, const std::string& extension) const;

    // --- model operations ---
    void rebuildAdjacency();
    // The road becomes the last normal road; the fixed-flow roads, and the
    // not-useable entries that name them, move up one. Rebuilds the
    // adjacency and returns the road's index; the caller checks the room.
    int appendNormalRoad(const Road& road);
    // Lowest-indexed road joining a and b in either order; 0 when none.
    int findRoad(int a, int b, RoadScope scope = RoadScope::Normal) const;
    // Lowest-indexed fan from inlet to outlet (in that sense); 0 when none.
    int findFan(int inlet, int outlet) const;
    // Index of the node carrying this number, 0 when no node does.
    int nodeIndex(int number) const;
    void prepareAfterLoad();
    void rotatePlan(int degrees);
    NetworkCounts counts() const;

    // --- record iterators: 1 a record was handed out, 0 the end ---
    int nextNodePosition(RecordCursor& cursor, float& x, float& y) const;
    int nextRoad(RecordCursor& cursor, int& first, int& second, int& bendStart) const;
    int nextBendSlot(RecordCursor& cursor, float& x, float& y, int& mark) const;
    int nextFan(RecordCursor& cursor, int& inlet, int& outlet) const;
    int nextRoadName(RecordCursor& cursor, std::string& name) const;
    int nextExternalValues(RecordCursor& cursor, float values[4]) const;

    bool isWater() const { return networkKind == kWaterNetworkKind; }
    int totalRoads() const { return roadCount + fixedCount; }
    AppContext& app() { return mApp; }
    const AppContext& app() const { return mApp; }
    Reporter& reporter() { return *mReporter; }
    // Shows a message about this network under the document's caption.
    void report(const std::string& text, MessageKind kind = MessageKind::Error);
    // What the analysis and the fire keep with the network between runs.
    LayerWorkStore& layerWork() const { return mLayerWork; }
    // Hands the layers' work to another copy of the same network (a worker
    // that runs one case after another keeps the Newton method's analysed
    // pattern and its memory); every layer starts each run afresh from the
    // network, so the results are those of new work.
    void adoptLayerWork(LayerWorkStore&& work) { mLayerWork = std::move(work); }
    LayerWorkStore releaseLayerWork() { return std::move(mLayerWork); }
    // Messages and questions go to `reporter` from now on; returns the one
    // they went to before.
    Reporter& exchangeReporter(Reporter& reporter);
    void setFileObserver(FileObserver* observer) { mObserver = observer; }
    // While a save is set, the writers of the network file, results, node
    // positions and bending points put their files into it, to be replaced
    // together when the save is committed (networkio.h).
    void setSaveTransaction(SaveTransaction* save) { mSave = save; }

    // --- counts ---
    int surfaceCount = 0;      // Ns
    int undergroundCount = 0;  // Nu
    int nodeCount = 0;         // N = Ns + Nu, set by rebuildAdjacency
    int roadCount = 0;         // Nr, normal roads
    int fixedCount = 0;        // Nf, fixed-flow roads
    int fanCount = 0;          // F
    int bendUsed = 0;          // used slots of the bending-point store
    int altResistanceRoads = 0;  // normal roads with an alternative resistance above 0

    // --- the network ---
    std::array<Node, kMaxNodes> nodes{};
    std::array<Road, kMaxRoads> roads{};
    std::array<Fan, kMaxFans> fans{};
    std::array<BendSlot, kMaxBendSlots> bends{};
    FireParameters fire;

    int networkKind = 0;             // -9 water path network, else air
    float density = 0;               // kg/m³
    float specificWeight = 0;        // flowUnitFactor × density
    float surfaceTemperature = 20.0f;  // °C
    std::string title = "Untitled";
    std::string windowTitle;         // what the window's caption shows
    std::string baseName;            // network path without its extension, ends in the dot
    std::string networkExtension = "vad";  // the network file's extension, in its case
    std::array<FixedText<kHeadingChars>, kGeneralHeadings + 1> headings{};  // 1..10
    std::array<FixedText<kHeadingChars>, kMaxFans + 1> fanHeadings{};       // 1..50
    bool modified = false;
    // A network made by an import holds road names and alternative
    // resistances that no file of the person's holds: its saves write the
    // road-name file too, which otherwise is only read and taken along.
    bool writesRoadNames = false;
    // The parameter file as it was last read: its path, what of it was not
    // read (empty when it was read whole) and the parameters then read, as
    // parameterText() gave them.
    struct ParameterFileRead {
        std::string path, notRead, text;
    };
    ParameterFileRead parameterRead;
    int analysisRunning = 0;  // 1 from the solver's ordering until the run is over
    // The airflows and pressures are those of a run (made, or read from the
    // results file), not the starting values of a network just read.
    bool holdsResults = false;
    int lastIterations = 0;   // iterations of the last solve
    std::string statusLine;   // the solver's last iteration line, shown while a run goes on
    // How SolveNetwork solves: the run driver's and every fire re-solve's
    // method. The window program sets it from the profile (readSolverMethod,
    // the Newton method unless the person chose otherwise), the batch tool
    // from its --method; a document left as it was made solves by relaxation.
    SolverMethod solverMethod = SolverMethod::Relaxation;
    // The method whose results the last solve left: solverMethod, or the
    // other one when solverMethod could not settle the network.
    SolverMethod solvedBy = SolverMethod::Relaxation;
    // What the last solve found worth a warning (the Newton method: fans held
    // at the end of their curves, node groups without a surface node, a
    // system it could not solve); the run driver shows them after the run.
    std::vector<std::string> solverWarnings;
    int pauseFlag = 0;        // the fire simulation pauses at its display steps

    // --- derived from the normal roads ---
    std::array<int, kMaxNodeNumbers> numberToIndex{};  // 0 for numbers no node carries
    std::array<int, kAdjacencySize + 1> adjacentNode{};  // neighbour's index
    std::array<int, kAdjacencySize + 1> adjacentRoad{};  // road index
    std::array<int, kAdjacencySize + 1> adjacentSign{};  // +1 node is the road's first end, -1 its second

private:
    void note(const std::string& path, FileAccess access, bool opened);
    // Opens a file for reading and tells the observer; error says why not.
    std::optional<TextScanner> openForReading(const std::string& path, std::error_code& error);
    // Opens a file for reading; when it cannot be read, shows the failure
    // text with the reason below it. A file that is only missing is passed
    // over in silence when it may be absent (the optional companion files);
    // a folder or an unreadable file of that name is always shown.
    enum class IfMissing { Report, Silent };
    std::optional<TextScanner> openReported(const std::string& path, const std::string& failure,
                                            IfMissing ifMissing = IfMissing::Report);
    // Writes a whole file safely and tells the observer; on failure shows
    // the failure text with the reason below it. Returns 1 written, 0 not.
    int writeWhole(const std::string& path, const std::string& content, const std::string& failure);
    std::string programFile(const std::string& relative) const;
    CBriscoDoc(const CBriscoDoc&) = default;  // through the copy above only

    AppContext& mApp;
    Reporter* mReporter;
    FileObserver* mObserver = nullptr;
    SaveTransaction* mSave = nullptr;
    mutable LayerWorkStore mLayerWork;
};

}  // namespace orvex
