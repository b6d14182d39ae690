#pragma once

// A started window program for the Qt suites, with its own profile file and
// scripted person.
#include <QTemporaryDir>
#include <memory>

#include "app/briscoapp.h"
#include "app/mainframe.h"
#include "app/qsettingsprofile.h"
#include "support.h"

namespace orvex::gui::test {

// A started program with its own profile file and scripted person.
struct Program {
    QTemporaryDir folder;
    std::unique_ptr<QSettingsProfile> profile;
    RecordingReporter reporter;
    ScriptedFiles files;
    std::unique_ptr<CBriscoApp> app;

    Program() { profile = std::make_unique<QSettingsProfile>(folder.filePath("orvex.ini")); }
    ~Program() { app.reset(); }
    QString sample(const QString& name)
    {
        copySample(name, folder.path());
        return folder.path() + "/" + name + ".vad";
    }
    CMainFrame& start(const QStringList& arguments = {}, const QString& current = sourceDir())
    {
        app = std::make_unique<CBriscoApp>(*profile, reporter, files);
        StartOptions options;
        options.arguments = arguments;
        options.currentFolder = current.toStdString();
        options.executablePath = "/nonexistent/bin/orvex";
        options.splash = false;
        app->initInstance(options);
        return *app->mainFrame();
    }
    void open(const QString& path)  // through the main window's Open
    {
        files.opens.push_back(path.toStdString());
        app->mainFrame()->action("open")->trigger();
    }
    bool quit()  // true when the main window closed
    {
        app->mainFrame()->close();
        return !app->mainFrame()->isVisible();
    }
    CBriscoView* view() { return app->mainFrame()->activeView(); }
};

}  // namespace orvex::gui::test
