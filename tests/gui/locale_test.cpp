// The program under a decimal-comma locale: the application object takes
// the person's locale from the environment, and the program must still
// write network files with decimal points.
#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>
#include <clocale>
#include <cstdlib>

#include "app/briscoapp.h"
#include "model/networkio.h"
#include "model/units.h"
#include "support.h"

using namespace orvex;
using namespace orvex::gui;
using namespace orvex::gui::test;

namespace {

// A locale of this machine that writes 1.5 as "1,5"; empty when none is installed.
std::string commaLocale()
{
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "es_ES.UTF-8", "it_IT.UTF-8", "nl_NL.UTF-8"}) {
        if (std::setlocale(LC_ALL, name) && std::localeconv()->decimal_point[0] == ',') {
            std::setlocale(LC_ALL, "C");
            return name;
        }
    }
    std::setlocale(LC_ALL, "C");
    return {};
}

std::string gLocale;

}  // namespace

class LocaleTest : public QObject {
    Q_OBJECT

private slots:
    void filesKeepDecimalPoints()
    {
        if (gLocale.empty())
            QSKIP("no decimal-comma locale on this machine (install one with locale-gen de_DE.UTF-8)");
        // the application object took the person's locale
        QCOMPARE(std::localeconv()->decimal_point[0], ',');

        MemoryProfile profile;
        RecordingReporter reporter;
        ScriptedFiles files;
        CBriscoApp app(profile, reporter, files);
        QCOMPARE(std::localeconv()->decimal_point[0], '.');

        QTemporaryDir dir;
        copySample("mine", dir.path());
        AppContext& context = app.context();
        context.programFolder = sourceDir().toStdString();
        QCOMPARE(readUnitsFile(context.programFolder, context.units, reporter), 1);
        CBriscoDoc doc(context, reporter);
        QCOMPARE(openNetwork(doc, (dir.path() + "/mine.vad").toStdString()), 1);
        QVERIFY(reporter.messages.empty());
        QCOMPARE(saveNetworkAs(doc, (dir.path() + "/copy.vad").toStdString(), profile), 1);
        for (const char* ext : {"vad", "jpd", "apd"})
            QCOMPARE(contents(dir.path() + "/copy." + ext), contents(sourceDir() + "/data/mine." + ext));
    }
};

int main(int argc, char* argv[])
{
    gLocale = commaLocale();
    if (!gLocale.empty())
        setenv("LC_ALL", gLocale.c_str(), 1);
    QApplication application(argc, argv);
    LocaleTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "locale_test.moc"
