#pragma once

#include <QString>
#include <QStringList>

// Outside programs that live on by themselves, such as the fan curve
// viewer. Each runs in a session of its own and nothing waits for it, but
// it stays this program's child, so that when it ends this program
// collects it at once and no defunct process is left behind (an init
// that never collects, as in many containers, would keep one for ever).
// A program still running when this one ends goes on.
namespace orvex::gui {

// False when the program could not be started.
bool startOwnProgram(const QString& program, const QStringList& arguments);

}  // namespace orvex::gui
