#include "support/support.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "model/fileio.h"
#include "model/networkio.h"
#include "model/profile.h"
#include "model/units.h"

namespace orvex::test {

namespace fs = std::filesystem;

void RecordingReporter::message(const std::string& text, const std::string& caption, MessageKind kind)
{
    messages.push_back(text), captions.push_back(caption), kinds.push_back(kind);
}

Answer RecordingReporter::ask(const std::string& text, const std::string& caption, bool withCancel)
{
    questions.push_back(text), questionCaptions.push_back(caption);
    if (answers.empty()) {
        if (strict)
            ADD_FAILURE() << "a question nobody scripted: " << text;
        return withCancel ? Answer::Cancel : Answer::No;
    }
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

void RecordingReporter::clear()
{
    messages.clear(), captions.clear(), kinds.clear();
}

std::string RecordingReporter::all() const
{
    std::string out;
    for (const std::string& m : messages)
        out += "[" + m + "]\n";
    return out;
}

int RecordingReporter::count(const std::string& text) const
{
    return int(std::count(messages.begin(), messages.end(), text));
}

TempFolder::TempFolder()
{
    std::string pattern = (fs::temp_directory_path() / "orvex-test-XXXXXX").string();
    EXPECT_NE(::mkdtemp(pattern.data()), nullptr) << "no temporary folder";
    mPath = pattern;
}

TempFolder::~TempFolder()
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
    EXPECT_TRUE(out.good()) << "cannot write " << path;
}

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

const char* const kUnitsText =
    "ORVEX units and analysis settings\nFlows in m3/min, pressures in Pa.\n---\n"
    "flow unit factor (to m3/s) and label\n0.01666667 m3/min\n"
    "pressure unit factor and label\n9.80665 Pa\n"
    "resistance unit factor and label\n1.0 Murgue\n"
    "solver error\n0.01\neps factor\n0.001\nthreshold factor\n0.5\n"
    "pressure bound\n1000.0\nrelaxation\n1.2\nshift factor\n0.1\n"
    "inner sweeps\n3\ndisplay data\n0\nmaximum iteration\n500\n";

Installation::Installation(const ProgramFiles& files)
{
    const std::string sdt = program() + "/sdt/";
    writeFile(sdt + "units.sdt", kUnitsText);
    if (files.withDefaultNetwork)
        writeFile(sdt + "ztkihon.sdt",
                  "[DEFAULT] Default network\nh2\nh3\n2\n1 100.0 2 50.0\nh4\n1\n3 -100.0\nh5\n2\n"
                  "1 3 0.5 20.0 10.0 150.0 2.0\n3 2 0.7 22.0 12.0 160.0 2.0\n"
                  "h6\n0\nh7\n0\nh8\n0 0 0\nh9\n20.0\n&\n");
    if (files.withDefaultParameters)
        writeFile(sdt + "ztna.sdt",
                  "kval\n5.00 0.10 0.0\nfirenode\n7 300.0 1.0 0.0 0.0010\ngas_esc\n"
                  "5.0 1.0 1.0 1.0 1.0 60.0\nEvacuation\n0\nNot Useable\n0\n");
    fs::create_directories(dir.file("work"));
    app.programFolder = program();
    readUnitsFile(app.programFolder, app.units, reporter);
    doc = newDocument();
    reporter.clear();
}

SampleNetwork::SampleNetwork(const std::string& file)
{
    app.programFolder = kSourceDir;
    readUnitsFile(app.programFolder, app.units, reporter);
    doc = std::make_unique<CBriscoDoc>(app, reporter);
    app.pendingFile = file.find('/') == std::string::npos ? kSourceDir + "/data/" + file : file;
    app.pending = true;
    MemoryProfile profile;
    opened = openPendingNetwork(*doc, profile);
}

std::string snapshot(CBriscoDoc& doc)
{
    TempFolder folder;
    const std::string base = folder.file("snap.");
    doc.writeNetworkFile(base + "vad");
    doc.writeResultsFile(base);
    doc.writeNodeLocationFile(base);
    doc.writeBendFile(base);
    doc.writeParameterFile(base);
    std::string all;
    for (const char* ext : {"vad", "pkd", "jpd", "apd", "sdt"})
        all += std::string("== ") + ext + "\n" + readFile(base + ext);
    all += "== bending-point store\n";
    for (int s = 1; s <= doc.bendUsed; ++s)
        appendf(all, "%d %g %g\n", doc.bends[std::size_t(s)].mark, double(doc.bends[std::size_t(s)].x),
                double(doc.bends[std::size_t(s)].y));
    return all;
}

}  // namespace orvex::test
