#include "view/ownprograms.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace orvex::gui {

namespace {

// The programs started and not collected yet; looked after while any is
// left. Only these processes are waited for, never any other child (Qt
// collects the processes it started itself).
class Collector : public QObject {
public:
    explicit Collector(QObject* parent) : QObject(parent)
    {
        mTimer.setInterval(250);
        connect(&mTimer, &QTimer::timeout, this, &Collector::collect);
    }
    void add(pid_t pid)
    {
        mChildren.push_back(pid);
        mTimer.start();
    }

private:
    void collect()
    {
        mChildren.erase(std::remove_if(mChildren.begin(), mChildren.end(),
                                       [](pid_t pid) { return ::waitpid(pid, nullptr, WNOHANG) != 0; }),
                        mChildren.end());
        if (mChildren.empty())
            mTimer.stop();
    }

    QTimer mTimer;
    std::vector<pid_t> mChildren;
};

Collector& collector()
{
    static QPointer<Collector> instance;
    if (!instance)
        instance = new Collector(QCoreApplication::instance());
    return *instance;
}

}  // namespace

bool startOwnProgram(const QString& program, const QStringList& arguments)
{
    std::vector<QByteArray> texts{program.toLocal8Bit()};
    for (const QString& argument : arguments)
        texts.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // Out of this program's session: a Ctrl+C or hang-up of its terminal
    // does not reach the viewer.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t pid = 0;
    const int error = posix_spawn(&pid, texts.front().constData(), nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (error != 0)
        return false;
    collector().add(pid);
    return true;
}

std::string SystemPrograms::find(const std::string& name, const std::string& folder)
{
    const QString program = QString::fromStdString(name);
    for (const QString& place : {QCoreApplication::applicationDirPath(), QString::fromStdString(folder)}) {
        const QFileInfo candidate(QDir(place).filePath(program));
        if (candidate.isFile() && candidate.isExecutable())
            return candidate.absoluteFilePath().toStdString();
    }
    return QStandardPaths::findExecutable(program).toStdString();
}

bool SystemPrograms::start(const std::string& program, const std::vector<std::string>& arguments)
{
    QStringList texts;
    for (const std::string& argument : arguments)
        texts << QString::fromStdString(argument);
    return startOwnProgram(QString::fromStdString(program), texts);
}

}  // namespace orvex::gui
