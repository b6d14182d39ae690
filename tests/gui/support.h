#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/analysisrundialog.h"
#include "model/reporter.h"
#include "support/support.h"
#include "model/units.h"
#include "view/briscoview.h"
#include "view/networkdocument.h"
#include "view/viewservices.h"

// What the window tests put in place of the person, and how they drive dialogs.
namespace orvex::gui::test {

using orvex::test::RecordingReporter;  // messages recorded, questions answered from a script

// File dialogs that hand out scripted paths (nullopt or none left: cancelled).
struct ScriptedFiles : FileDialogs {
    std::deque<std::optional<std::string>> opens, saves;
    std::string lastStartFolder;

    std::optional<std::string> openNetwork(QWidget*, const std::string& startFolder) override
    {
        return next(opens, startFolder);
    }
    std::optional<std::string> saveNetwork(QWidget*, const std::string& startFolder) override
    {
        return next(saves, startFolder);
    }
    std::optional<std::string> exchangeFile(QWidget*, ExchangeFormat, bool save, const std::string& startFolder) override
    {
        return next(save ? saves : opens, startFolder);
    }
    std::optional<std::string> surveyFile(QWidget*, const std::string& startFolder) override
    {
        return next(opens, startFolder);
    }
    std::optional<std::string> next(std::deque<std::optional<std::string>>& queue, const std::string& startFolder)
    {
        lastStartFolder = startFolder;
        if (queue.empty())
            return std::nullopt;
        std::optional<std::string> p = queue.front();
        queue.pop_front();
        return p;
    }
};

inline QString sourceDir() { return QStringLiteral(ORVEX_SOURCE_DIR); }

// Copies the sample network `name` ("mine") with its companion files into folder.
inline void copySample(const QString& name, const QString& folder)
{
    const QDir data(sourceDir() + "/data");
    for (const QString& file : data.entryList({name + ".*"}, QDir::Files))
        QFile::copy(data.filePath(file), folder + "/" + file);
}

inline QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The dialog's child called name; a missing one ends the test run.
template <class W>
W* child(QWidget& dialog, const QString& name)
{
    W* w = dialog.findChild<W*>(name);
    if (!w)
        qFatal("no widget %s", qPrintable(name));
    return w;
}

// A key on the focused widget, then the handling of the settled focus.
inline void key(QWidget& dialog, Qt::Key k)
{
    QTest::keyClick(dialog.focusWidget(), k);
    QCoreApplication::processEvents();
}

inline void click(QWidget& dialog, const char* name)
{
    QTest::mouseClick(child<QAbstractButton>(dialog, name), Qt::LeftButton);
    QCoreApplication::processEvents();
}

// Types over the focused field (its text selected) and presses Enter.
inline void typeAndEnter(QWidget& dialog, const QString& value)
{
    auto* field = qobject_cast<QLineEdit*>(dialog.focusWidget());
    QVERIFY2(field, "the focus is not in a field");
    QVERIFY(field->hasSelectedText() || field->text().isEmpty());
    QTest::keyClicks(field, value);
    key(dialog, Qt::Key_Return);
}

// A drag with the left button from one point to another, by way of the middle.
inline void drag(QWidget* surface, QPoint from, QPoint to)
{
    QTest::mousePress(surface, Qt::LeftButton, {}, from);
    QTest::mouseMove(surface, (from + to) / 2);
    QTest::mouseMove(surface, to);
    QTest::mouseRelease(surface, Qt::LeftButton, {}, to);
}

// Pixels of about the colour: the plan is drawn smoothed.
inline int pixelsOf(const QImage& image, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            n += std::abs(qRed(p) - qRed(colour)) < 80 && std::abs(qGreen(p) - qGreen(colour)) < 80 &&
                 std::abs(qBlue(p) - qBlue(colour)) < 80;
        }
    return n;
}

inline bool shownActive(QWidget& dialog)
{
    dialog.show();
    return QTest::qWaitForWindowActive(&dialog);
}

// Calls act on the modal dialog as soon as exec() has shown it.
inline void onModal(std::function<void(QDialog&)> act, int tries = 200)
{
    QTimer::singleShot(5, [act, tries] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            act(*dialog);
        else if (tries > 0)
            onModal(act, tries - 1);
    });
}

// One network window's worth of program around a view, with a folder of its
// own for the samples: a window writes beside its network.
struct NetworkWindow {
    QTemporaryDir folder;
    AppContext app;
    MemoryProfile profile;
    RecordingReporter reporter;
    ScriptedFiles files;
    int newWindows = 0;
    ViewServices services{app, profile, reporter, files, [this] { ++newWindows; }, {}};
    std::unique_ptr<NetworkDocument> document;
    std::unique_ptr<CBriscoView> view;

    NetworkWindow()
    {
        app.programFolder = sourceDir().toStdString();
        readUnitsFile(app.programFolder, app.units, reporter);
    }
    ~NetworkWindow() { close(); }
    // A view of this size whose first update opens `pending` (or nothing).
    CBriscoView& open(const QString& pending = {}, QSize size = {800, 600})
    {
        app.pendingFile = pending.toStdString();
        app.pending = !pending.isEmpty();
        document = std::make_unique<NetworkDocument>(app, reporter);
        view = std::make_unique<CBriscoView>(*document, services);
        view->resize(size);
        view->show();
        view->initialUpdate();
        return *view;
    }
    // The path of a copy of the sample network `name` in the folder.
    QString sample(const QString& name)
    {
        copySample(name, folder.path());
        return folder.filePath(name + ".vad");
    }
    void close()
    {
        if (view)
            delete view->analysisDialog();
        view.reset();
        document.reset();
    }
    CBriscoDoc& doc() { return document->doc(); }
    ViewGeometry& geo() { return view->plan().geo; }
};

}  // namespace orvex::gui::test
