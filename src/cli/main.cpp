// orvex-solve: the batch front end. Opens a network the way the window
// program does and reports on it.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "model/briscodoc.h"
#include "model/networkio.h"

namespace {

// Message boxes become lines on stderr; questions are answered No.
class ConsoleReporter : public orvex::Reporter {
public:
    void message(const std::string& text, const std::string& caption, orvex::MessageKind) override
    {
        std::cerr << caption << ": " << text << "\n";
    }
    orvex::Answer ask(const std::string& text, const std::string& caption, bool) override
    {
        std::cerr << caption << ": " << text << " (answered No)\n";
        return orvex::Answer::No;
    }
};

int usage()
{
    std::cerr << "usage: orvex-solve [--program-folder DIR] NETWORK.vad\n";
    return 2;
}

std::string trimmed(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string programFolder = std::filesystem::current_path().string();
    std::string network;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--program-folder" && i + 1 < argc)
            programFolder = argv[++i];
        else if (arg.rfind("--", 0) == 0 || !network.empty())
            return usage();
        else
            network = arg;
    }
    if (network.empty())
        return usage();
    while (programFolder.size() > 1 && programFolder.back() == '/')
        programFolder.pop_back();

    ConsoleReporter reporter;
    orvex::AppContext app;
    app.programFolder = programFolder;
    orvex::readUnitsFile(programFolder, app.units, reporter);
    app.pendingFile = network;
    app.pending = true;

    auto doc = std::make_unique<orvex::CBriscoDoc>(app, reporter);
    orvex::MemoryProfile profile;
    if (!orvex::openPendingNetwork(*doc, profile)) {
        std::cerr << network << ": the network could not be opened\n";
        return 2;
    }
    const orvex::NetworkCounts c = doc->counts();
    std::printf("%s\n", trimmed(doc->title).c_str());
    std::printf("%s network: %d nodes (%d surface), %d roads (%d fixed-flow), %d fans, "
                "%d bending-point slots\n",
                doc->isWater() ? "water" : "air", c.nodes, c.surface, c.roads + c.fixedRoads,
                c.fixedRoads, c.fans, c.bendSlots);
    return 0;
}
