#pragma once

#include <QString>
#include <QStringList>

#include "edit/fancurve.h"

// Outside programs that live on by themselves, such as the fan curve
// viewer. Each runs in a session of its own and nothing waits for it, but
// it stays this program's child, so that when it ends this program
// collects it at once and no defunct process is left behind (an init
// that never collects, as in many containers, would keep one for ever).
// A program still running when this one ends goes on.
namespace orvex::gui {

// False when the program could not be started.
bool startOwnProgram(const QString& program, const QStringList& arguments);

// The system's programs: found beside this program, in the given folder or
// on the path, and started with startOwnProgram().
class SystemPrograms : public ProgramStarter {
public:
    std::string find(const std::string& name, const std::string& folder) override;
    bool start(const std::string& program, const std::vector<std::string>& arguments) override;
};

}  // namespace orvex::gui
