#pragma once

#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "draft.h"
#include "inpunits.h"

// The reader of EPANET input files behind importInp (epanet.h).
namespace orvex::exchange {

inline constexpr float kInpWaterTemperature = 15;  // °C, of every pipe and of the network
struct InpField {
    std::string text;
    int column = 0;  // 1-based
};

// One line of a section: its fields before any ";", and the text after it
// (a pump's description; the whole line in [TITLE]).
struct InpRecord {
    int line = 0;
    std::vector<InpField> fields;
    std::string comment;
    int end = 0;  // the column after the last field
};

// A section the reader reads keeps its lines; of any other only their
// number is kept, for the report.
struct InpSection {
    std::vector<InpRecord> records;
    int lines = 0;
};

// True for the sections the reader reads.
bool isReadSection(const std::string& name);

struct InpSections {
    std::map<std::string, InpSection> byName;  // upper-case, without the brackets
};

// A field of the file in quotes for a message: at most 40 characters, control
// characters as "?".
std::string quoted(const std::string& text);

// What stops the reading: the file, the line, the column and what is wrong.
struct InpRefusal {
    std::string text;
};

// Fields of a record read with messages that name the file, the line, the
// column and the field; each throws InpRefusal when the field is missing
// or is not what is needed.
struct InpSource {
    std::string path;

    std::string at(int line, int column) const;  // "<path>: line L, column C: "
    std::string at(const InpRecord& record, std::size_t field) const;
    const std::string& word(const InpRecord& record, std::size_t field, const std::string& what) const;
    double number(const InpRecord& record, std::size_t field, const std::string& what) const;
    double positive(const InpRecord& record, std::size_t field, const std::string& what) const;
};

// The sections of the file's text up to [END]; throws InpRefusal for a
// binary file or text before the first section.
InpSections splitSections(const std::string& text, const std::string& path);

// Reads the sections into a draft; the constructor throws InpRefusal.
class InpReader {
public:
    InpReader(const std::string& path, const UnitsSettings& units, InpSections sections);
    const NetworkDraft& draft() const { return mDraft; }
    // What was read, then in one paragraph what could not be held as it is,
    // the node numbers given in place of IDs and the names cut.
    std::string report() const;

private:
    struct NodeItem {
        std::string id;
        bool surface = false;
        float elevation = 0;
        float x = 0, y = 0;
        bool placed = false;
        int number = -1;
    };
    enum class LinkKind { Pipe, LocalLoss, FixedFlow, Pump, LeftOut };
    struct LinkItem {
        std::string id;
        LinkKind kind = LinkKind::Pipe;
        int from = 0, to = 0;  // indexes into mNodes
        Road values;
        float minorLoss = 0;
        std::vector<BendSlot> bends;
        const InpRecord* record = nullptr;
        std::string curve, heading;
        double speed = 1;
    };

    const std::vector<InpRecord>& records(const char* section);
    void note(const std::string& what, int count = 1);
    void readOptions();
    void readNodes(const char* section);
    int nodeOf(const InpRecord& record, std::size_t field, const std::string& link) const;
    LinkItem& addLink(const InpRecord& record, const char* kind);
    void readPipes();
    void readValves();
    void readPumps();
    void readPlan();
    void listOtherSections();
    void checkRoom() const;
    void numberNodes();
    int freeNumber();
    DraftFan pumpOf(const LinkItem& pump);
    void addPipe(const LinkItem& pipe);
    void build();

    InpSource mSource;
    const UnitsSettings& mUnits;
    InpSections mSections;
    const InpUnits* mFile = nullptr;
    std::string mHeadloss = "H-W";
    std::string mTitle;
    std::vector<NodeItem> mNodes;
    std::unordered_map<std::string, int> mNodeIndex;
    std::vector<LinkItem> mLinks;
    std::unordered_map<std::string, int> mLinkIndex;
    std::unordered_map<std::string, std::vector<const InpRecord*>> mCurves;  // the points of each curve
    // "[SECTION] what" and its count.
    std::map<std::string, int> mNotRepresented;
    std::vector<std::string> mRenumbered, mCut;
    std::vector<bool> mTaken;
    int mNextFree = 1;
    NetworkDraft mDraft;
};

}  // namespace orvex::exchange
