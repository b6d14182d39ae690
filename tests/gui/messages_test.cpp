// The program's message boxes as the person sees them: the Chinese
// questions keep their text, get their English meaning beside it, and are
// drawn in a font that has every one of their characters.
#include <QApplication>
#include <QGlyphRun>
#include <QLabel>
#include <QMessageBox>
#include <QRawFont>
#include <QTextLayout>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "app/qtreporter.h"
#include "edit/editor.h"
#include "model/networkio.h"

using namespace orvex;
using namespace orvex::gui;

namespace {

// Shows a question through the program's reporter; look sees the box while
// it is open, before it is cancelled.
void whileShown(const std::string& text, const std::function<void(QMessageBox&)>& look)
{
    QtReporter reporter;
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY2(box, "no message box is open");
        seen = true;
        look(*box);
        box->reject();
    });
    reporter.ask(text, kViewCaption, true);
    QVERIFY(seen);
}

// The characters of text that the font, with the families the system lets
// it fall back to, draws as the empty box of a missing glyph: each is laid
// out as the label lays it out, and its glyphs must exist in the font that
// was found for it.
QString missingGlyphs(const QString& text, const QFont& font)
{
    QString missing;
    for (const uint c : text.toUcs4()) {
        const QString one = QString::fromUcs4(reinterpret_cast<const char32_t*>(&c), 1);
        QTextLayout layout(one, font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        const QList<QGlyphRun> runs = layout.glyphRuns();
        bool drawn = !runs.isEmpty() && QFontMetrics(font).inFontUcs4(c);
        for (const QGlyphRun& run : runs)
            drawn = drawn && run.rawFont().supportsCharacter(c) && !run.glyphIndexes().contains(0);
        if (!drawn && !one.trimmed().isEmpty())
            missing += one;
    }
    return missing;
}

}  // namespace

class MessagesTest : public QObject {
    Q_OBJECT

private slots:
    void chineseTextsCarryTheirMeaning();
    void closeQuestionIsReadable();
};

// The system's own text stays the box's text; its meaning is the box's
// informative text (which texts have one is the core's).
void MessagesTest::chineseTextsCarryTheirMeaning()
{
    whileShown(kSaveQuestion, [&](QMessageBox& box) {
        QCOMPARE(box.text(), QString::fromStdString(kSaveQuestion));
        QCOMPARE(box.informativeText(), QString("The data have not been saved: save them?"));
    });
}

// Drawn offscreen as the program draws it, every character of the close
// question and of its meaning has a glyph in the font of its label.
void MessagesTest::closeQuestionIsReadable()
{
    whileShown(kSaveQuestion, [](QMessageBox& box) {
        const QList<QLabel*> labels = box.findChildren<QLabel*>();
        int checked = 0;
        for (const QLabel* label : labels) {
            if (label->text() != box.text() && label->text() != box.informativeText())
                continue;
            QVERIFY(!label->text().isEmpty());
            const QString missing = missingGlyphs(label->text(), label->font());
            QVERIFY2(missing.isEmpty(),
                     qPrintable(QString("no installed font has a glyph for \"%1\" of \"%2\" (font %3); "
                                        "a font with Chinese glyphs must be installed")
                                    .arg(missing, label->text(), label->font().family())));
            ++checked;
        }
        QCOMPARE(checked, 2);  // the question and its meaning
    });
}

QTEST_MAIN(MessagesTest)
#include "messages_test.moc"
