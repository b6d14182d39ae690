#include "testsupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <random>
#include <sstream>
#include <unistd.h>

#include "model/units.h"

namespace orvex::test {

namespace fs = std::filesystem;

void RecordingReporter::message(const std::string& text, const std::string& caption, MessageKind kind)
{
    messages.push_back({text, caption, kind});
}

Answer RecordingReporter::ask(const std::string& text, const std::string&, bool)
{
    questions.push_back(text);
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected question: " << text;
        return Answer::Cancel;
    }
    const Answer a = answers.front();
    answers.pop_front();
    return a;
}

std::string RecordingReporter::all() const
{
    std::string out;
    for (const Entry& m : messages)
        out += "[" + m.text + "]\n";
    return out;
}

bool RecordingReporter::contains(const std::string& part) const
{
    for (const Entry& m : messages)
        if (m.text.find(part) != std::string::npos)
            return true;
    return false;
}

std::vector<std::string> RecordingFileObserver::names(FileAccess access) const
{
    std::vector<std::string> out;
    for (const Entry& e : entries)
        if (e.access == access)
            out.push_back(fs::path(e.path).filename().string());
    return out;
}

TempDir::TempDir()
{
    static std::atomic<int> counter{0};
    std::random_device random;
    const fs::path root = fs::temp_directory_path();
    do {
        mPath = root / ("orvex-test-" + std::to_string(::getpid()) + "-" +
                        std::to_string(counter++) + "-" + std::to_string(random() % 100000));
    } while (!fs::create_directory(mPath));
}

TempDir::~TempDir()
{
    std::error_code ec;
    fs::remove_all(mPath, ec);
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << path;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::string& text)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary);
    out << text;
    ASSERT_TRUE(out.good()) << "cannot write " << path;
}

const char* const kUnitsText =
    "ORVEX units and analysis settings\n"
    "Flows in m3/min, pressures in Pa.\n"
    "---\n"
    "flow unit factor (to m3/s) and label\n"
    "0.01666667 m3/min\n"
    "pressure unit factor and label\n"
    "9.80665 Pa\n"
    "resistance unit factor and label\n"
    "1.0 Murgue\n"
    "solver error\n"
    "0.01\n"
    "eps factor\n"
    "0.001\n"
    "threshold factor\n"
    "0.5\n"
    "pressure bound\n"
    "1000.0\n"
    "relaxation\n"
    "1.2\n"
    "shift factor\n"
    "0.1\n"
    "inner sweeps\n"
    "3\n"
    "display data\n"
    "0\n"
    "maximum iteration\n"
    "500\n";

const char* const kDefaultNetworkText =
    "[DEFAULT] Default network\n"
    "default heading 2\n"
    "default heading 3\n"
    "2\n"
    "1 100.0 2 50.0\n"
    "underground\n"
    "1\n"
    "3 -100.0\n"
    "roads\n"
    "2\n"
    "1 3 0.5 20.0 10.0 150.0 2.0\n"
    "3 2 0.7 22.0 12.0 160.0 2.0\n"
    "fixed\n"
    "0\n"
    "fans\n"
    "0\n"
    "kind\n"
    "0 0.0 0.0\n"
    "surface temperature\n"
    "20.0\n"
    "&\n";

const char* const kDefaultParameterText =
    "kval, ftime_fi, dummy\n"
    "   5.00   0.10   0.0\n"
    "firenode, firetemp, ftime_ai, firetime, fc_lim\n"
    "   7 300.0   1.0   0.0  0.0010\n"
    "gas_esc, tmf_esc, ftf_esc, gsf_esc, tpf_esc, spd_esc\n"
    "  5.0   1.0   1.0   1.0   1.0  60.0 \n"
    "Evacuation destination / Number / Node hazard_level(s)\n"
    "   0 \n"
    "Not Useable roadway    / Number / Node1 Node2 \n"
    "   0 \n";

void makeProgramFolder(const fs::path& dir, const ProgramFiles& files)
{
    fs::create_directories(dir / "sdt");
    if (files.withUnits)
        writeFile((dir / "sdt/units.sdt").string(), files.units);
    if (files.withDefaultNetwork)
        writeFile((dir / "sdt/ztkihon.sdt").string(), files.defaultNetwork);
    if (files.withDefaultParameters)
        writeFile((dir / "sdt/ztna.sdt").string(), files.defaultParameters);
}

Installation::Installation(const ProgramFiles& files)
{
    makeProgramFolder(program(), files);
    fs::create_directories(dir.file("work"));
    app.programFolder = program();
    if (files.withUnits)
        readUnitsFile(app.programFolder, app.units, reporter);
    doc = newDocument();
    reporter.clear();
}

std::unique_ptr<CBriscoDoc> Installation::newDocument()
{
    return std::make_unique<CBriscoDoc>(app, reporter);
}

std::string snapshot(CBriscoDoc& doc, const std::string& folder)
{
    fs::create_directories(folder);
    const std::string base = (fs::path(folder) / "snap.").string();
    doc.writeNetworkFile(base + "vad");
    doc.writeResultsFile(base);
    doc.writeNodeLocationFile(base);
    doc.writeBendFile(base);
    doc.writeParameterFile(base);
    std::string all;
    for (const char* ext : {"vad", "pkd", "jpd", "apd", "sdt"})
        all += std::string("== ") + ext + "\n" + readFile(base + ext);
    return all;
}

}  // namespace orvex::test
