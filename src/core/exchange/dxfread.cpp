#include "dxfread.h"

#include <dl_creationadapter.h>
#include <dl_dxf.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "model/fileio.h"

namespace orvex::exchange::dxf {

namespace {

constexpr std::size_t kLongestLine = 1000;  // the library reads lines of at most 1023 characters
constexpr int kLastGroupCode = 1071;

bool isRealCode(int c)
{
    return (c >= 10 && c <= 59) || (c >= 110 && c <= 149) || (c >= 210 && c <= 239) || (c >= 1010 && c <= 1059);
}

bool isWholeCode(int c)
{
    return (c >= 60 && c <= 99) || (c >= 170 && c <= 179) || (c >= 270 && c <= 289) || (c >= 370 && c <= 389) ||
           (c >= 400 && c <= 409) || (c >= 1060 && c <= 1071);
}

// Counts for which the library makes room before it reads the items.
bool isCountCode(const std::string& entity, int c)
{
    return (entity == "LWPOLYLINE" && c == 90) || (entity == "SPLINE" && c >= 72 && c <= 74) ||
           (entity == "LEADER" && c == 76);
}

std::string trimmed(const std::string& s)
{
    const std::size_t a = s.find_first_not_of(" \t");
    const std::size_t b = s.find_last_not_of(" \t");
    return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

bool wholeNumber(const std::string& text, long& value)
{
    const std::string t = trimmed(text);
    char* end = nullptr;
    errno = 0;
    value = std::strtol(t.c_str(), &end, 10);
    return !t.empty() && *end == '\0' && errno == 0 && value >= -2147483647L && value <= 2147483647L;
}

bool realNumber(const std::string& text)
{
    const std::string t = trimmed(text);
    char* end = nullptr;
    const double value = std::strtod(t.c_str(), &end);
    return !t.empty() && *end == '\0' && std::isfinite(value);
}

// The check of the whole file, group by group, before the library reads it:
// what the library would misread (no numbers where numbers belong, counts it
// would make room for, lines it cannot hold) and a truncated file. It notes
// where every line and polyline starts, in the order the library hands them
// over, and counts the other entities.
class Scanner {
public:
    explicit Scanner(const std::string& text) : mText(text) {}

    std::string run();
    std::vector<std::pair<std::string, int>> starts;  // LINE/LWPOLYLINE/POLYLINE and their lines
    std::map<std::string, int> others;
    bool entities = false;  // an ENTITIES section was seen
    std::size_t end = 0;    // where the end group's line ends

private:
    bool nextLine(std::string& line);
    std::string group(int code, const std::string& value, int line);
    std::string endEntity();

    const std::string& mText;
    std::size_t mPos = 0;
    int mLine = 0, mGroups = 0;
    std::string mSection, mEntity;
    int mSectionLine = 0, mEntityLine = 0;
    bool mSectionName = false, mEnded = false;
    long mCount = -1;
    int mVertices = 0;
};

bool Scanner::nextLine(std::string& line)
{
    if (mPos >= mText.size())
        return false;
    std::size_t end = mText.find('\n', mPos);
    if (end == std::string::npos)
        end = mText.size();
    line.assign(mText, mPos, end - mPos);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    mPos = end + 1;
    ++mLine;
    return true;
}

std::string Scanner::endEntity()
{
    if (mEntity == "LWPOLYLINE" && mCount != mVertices)
        return "line " + std::to_string(mEntityLine) + ": the LWPOLYLINE gives " +
               (mCount < 0 ? std::string("no vertex count (group 90)") : std::to_string(mCount) + " vertices") +
               " but holds " + std::to_string(mVertices);
    return {};
}

std::string Scanner::group(int code, const std::string& value, int line)
{
    const std::string here = "line " + std::to_string(line) + ": ";
    if (code == 0) {
        if (std::string problem = endEntity(); !problem.empty())
            return problem;
        // The library takes an entity's name as it stands, spaces and all.
        const std::string name = trimmed(value);
        mEntity = value;
        mEntityLine = line - 1;
        mCount = -1;
        mVertices = 0;
        if (name == "SECTION") {
            if (!mSection.empty())
                return here + "a SECTION starts inside the section " + mSection + " of line " +
                       std::to_string(mSectionLine);
            mSectionName = true;
            mSectionLine = line - 1;
        } else if (name == "ENDSEC") {
            mSection.clear();
        } else if (name == "EOF") {
            mEnded = true;
            end = std::min(mPos, mText.size());
        } else if (value == "LINE" || value == "LWPOLYLINE" || value == "POLYLINE") {
            starts.emplace_back(value, line - 1);
        } else if (mSection == "ENTITIES" && name != "VERTEX" && name != "SEQEND" && name != "ATTRIB") {
            ++others[name];
        }
        return {};
    }
    if (code == 2 && mSectionName) {
        mSection = trimmed(value);
        mSectionName = false;
        entities = entities || mSection == "ENTITIES";
    }
    if (isRealCode(code) && !realNumber(value))
        return here + "\"" + value + "\" is not a number (group code " + std::to_string(code) + ")";
    long whole = 0;
    if (isWholeCode(code) && !wholeNumber(value, whole))
        return here + "\"" + value + "\" is not a whole number (group code " + std::to_string(code) + ")";
    if (isCountCode(mEntity, code) && (whole < 0 || whole > mGroups))
        return here + "the " + mEntity + " gives " + std::to_string(whole) + " items (group code " +
               std::to_string(code) + "), more than the file holds";
    if (mEntity == "LWPOLYLINE" && code == 90)
        mCount = whole;
    if (mEntity == "LWPOLYLINE" && code == 10)
        ++mVertices;
    return {};
}

std::string Scanner::run()
{
    mGroups = int(std::count(mText.begin(), mText.end(), '\n') / 2 + 1);
    std::string codeText, value;
    while (!mEnded && nextLine(codeText)) {
        const int codeLine = mLine;
        long code = 0;
        if (codeText.size() > kLongestLine)
            return "line " + std::to_string(codeLine) + " is longer than " + std::to_string(kLongestLine) +
                   " characters";
        if (!wholeNumber(codeText, code) || code < 0 || code > kLastGroupCode) {
            if (trimmed(codeText).empty() && mPos >= mText.size())
                break;  // a last line end
            return "line " + std::to_string(codeLine) + ": \"" + codeText.substr(0, 40) +
                   "\" is not a group code (a whole number 0.." + std::to_string(kLastGroupCode) + ")";
        }
        if (!nextLine(value))
            return "line " + std::to_string(codeLine) + ": group code " + std::to_string(code) +
                   " has no value: the file is truncated";
        if (value.size() > kLongestLine)
            return "line " + std::to_string(mLine) + " is longer than " + std::to_string(kLongestLine) +
                   " characters";
        if (std::string problem = group(int(code), value, mLine); !problem.empty())
            return problem;
    }
    if (!mEnded && !mSection.empty())
        return "the section " + mSection + " of line " + std::to_string(mSectionLine) +
               " is not closed (0 ENDSEC): the file is truncated";
    if (!mEnded)
        return "the file ends at line " + std::to_string(mLine) +
               " without its end group (0 EOF): the file is truncated";
    return {};
}

// A point of an entity's own plane (its elevation and extrusion direction)
// in the drawing's coordinates (the DXF's arbitrary axis rule).
Point3 toWorld(double x, double y, double elevation, const double* n)
{
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (length <= 0 || (n[0] == 0 && n[1] == 0 && n[2] > 0))
        return {x, y, elevation};
    const double nz[3] = {n[0] / length, n[1] / length, n[2] / length};
    double ax[3];
    if (std::fabs(nz[0]) < 1.0 / 64 && std::fabs(nz[1]) < 1.0 / 64)
        ax[0] = nz[2], ax[1] = 0, ax[2] = -nz[0];  // world Y x N
    else
        ax[0] = -nz[1], ax[1] = nz[0], ax[2] = 0;  // world Z x N
    const double la = std::sqrt(ax[0] * ax[0] + ax[1] * ax[1] + ax[2] * ax[2]);
    for (double& a : ax)
        a /= la;
    const double ay[3] = {nz[1] * ax[2] - nz[2] * ax[1], nz[2] * ax[0] - nz[0] * ax[2],
                          nz[0] * ax[1] - nz[1] * ax[0]};
    return {x * ax[0] + y * ay[0] + elevation * nz[0], x * ax[1] + y * ay[1] + elevation * nz[1],
            x * ax[2] + y * ay[2] + elevation * nz[2]};
}

// Takes the library's entities: lines and polylines of model space, the
// layer table; entities inside block definitions are not part of the plan.
class Reader : public DL_CreationAdapter {
public:
    Reader(Drawing& drawing, const std::vector<std::pair<std::string, int>>& starts)
        : mDrawing(drawing), mStarts(starts) {}

    void addLayer(const DL_LayerData& data) override { mDrawing.layers.push_back(data.name); }
    void addBlock(const DL_BlockData&) override { mInBlock = true; }
    void endBlock() override { mInBlock = false; }
    void addLine(const DL_LineData& d) override
    {
        finish();
        const int line = start().second;
        if (take())
            mDrawing.lines.push_back(
                {"LINE", getAttributes().getLayer(), line, {{d.x1, d.y1, d.z1}, {d.x2, d.y2, d.z2}}});
    }
    void addPolyline(const DL_PolylineData& d) override
    {
        finish();
        const auto& [type, line] = start();
        if (!take())
            return;
        if (d.flags & (16 | 64)) {
            ++mDrawing.meshes;
            return;
        }
        mOpen = true;
        mClosed = d.flags & 1;
        mSpace = (d.flags & 8) != 0;
        mElevation = getExtrusion()->getElevation() != 0 ? getExtrusion()->getElevation() : d.elevation;
        getExtrusion()->getDirection(mDirection);
        mCurrent = {type, getAttributes().getLayer(), line, {}};
    }
    void addVertex(const DL_VertexData& d) override
    {
        if (mOpen)
            mCurrent.points.push_back(mSpace ? Point3{d.x, d.y, d.z} : toWorld(d.x, d.y, mElevation, mDirection));
    }
    void endEntity() override { finish(); }
    void endSequence() override { finish(); }
    void finish()
    {
        if (!mOpen)
            return;
        mOpen = false;
        if (mClosed && mCurrent.points.size() > 2)
            mCurrent.points.push_back(mCurrent.points.front());
        mDrawing.lines.push_back(std::move(mCurrent));
    }

private:
    const std::pair<std::string, int>& start()
    {
        static const std::pair<std::string, int> none{"POLYLINE", 0};
        return mNext < mStarts.size() ? mStarts[mNext++] : none;
    }
    bool take()
    {
        if (mInBlock)
            return false;
        if (getAttributes().isInPaperSpace()) {
            ++mDrawing.paperSpace;
            return false;
        }
        return true;
    }

    Drawing& mDrawing;
    const std::vector<std::pair<std::string, int>>& mStarts;
    std::size_t mNext = 0;
    bool mInBlock = false, mOpen = false, mClosed = false, mSpace = false;
    double mElevation = 0;
    double mDirection[3] = {0, 0, 1};
    DrawnLine mCurrent;
};

// What makes a file no text DXF at all, before its groups are looked at.
std::string notText(const std::string& text)
{
    if (text.find_first_not_of(" \t\r\n") == std::string::npos)
        return "the file is empty";
    if (text.compare(0, 18, "AutoCAD Binary DXF") == 0)
        return "the file is a binary DXF; save the drawing as a text (ASCII) DXF";
    for (std::size_t i = 0, line = 1; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\n')
            ++line;
        else if (c < 0x20 && c != '\t' && c != '\r')
            return "line " + std::to_string(line) + ": the file holds binary data (byte " + std::to_string(c) +
                   "): it is not a text DXF";
    }
    return {};
}

}  // namespace

bool sameLayer(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

bool readDrawing(const std::string& path, Drawing& drawing, std::string& error)
{
    drawing = Drawing{};
    std::string text;
    std::error_code failure;
    if (!readWholeFile(path, text, failure)) {
        error = withReason(path + ": the drawing cannot be read", failure);
        return false;
    }
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);  // a UTF-8 mark before the first group
    Scanner scanner(text);
    std::string problem = notText(text);
    if (problem.empty())
        problem = scanner.run();
    if (problem.empty() && !scanner.entities)
        problem = "the file has no ENTITIES section: it is not a drawing";
    if (!problem.empty()) {
        error = path + ": " + problem;
        return false;
    }
    Reader reader(drawing, scanner.starts);
    try {
        std::istringstream stream(text.substr(0, scanner.end));
        DL_Dxf dxf;
        dxf.in(stream, &reader);
        reader.finish();
    } catch (const std::exception& e) {
        error = path + ": the drawing cannot be read (" + e.what() + ")";
        return false;
    }
    drawing.unused = scanner.others;
    return true;
}

}  // namespace orvex::exchange::dxf
