// The main window's what-if commands: Compare with…, Clear comparison and
// Scenarios…, on the active network window.
#include <QApplication>
#include <QFileInfo>
#include <QInputDialog>

#include "app/childframe.h"
#include "app/mainframe.h"
#include "view/networkdocument.h"

namespace orvex::gui {

namespace {

const std::string kCaption = "Compare with";

QString titleOf(const CChildFrame& frame) { return frame.windowTitle().remove("[*]"); }

}  // namespace

void CMainFrame::compareWith()
{
    CChildFrame* active = activeChild();
    if (!active || !action("compare")->isEnabled())
        return;
    QList<CChildFrame*> others;
    QStringList names;
    for (CChildFrame* child : childFrames())
        if (child != active) {
            others << child;
            names << titleOf(*child);
        }
    names << tr("A network file…");
    const int choice = mChooseBase ? mChooseBase(names) : [&] {
        bool ok = false;
        const QString chosen = QInputDialog::getItem(this, tr("Compare with"),
                                                     tr("Compare %1 with this network, the base:").arg(titleOf(*active)),
                                                     names, 0, false, &ok);
        return ok ? int(names.indexOf(chosen)) : -1;
    }();
    if (choice < 0 || choice >= names.size())
        return;
    GatheringReporter messages(mServices.reporter);
    std::unique_ptr<CBriscoDoc> file;
    const CBriscoDoc* base = nullptr;
    QString name;
    if (choice < others.size()) {
        base = &others[choice]->document().doc();
        name = names[choice];
    } else {
        const CBriscoDoc& doc = active->document().doc();
        const std::string folder =
            doc.baseName.empty() ? std::string()
                                 : QFileInfo(QString::fromStdString(doc.baseName)).absolutePath().toStdString();
        const std::optional<std::string> path = mServices.files.openNetwork(this, folder);
        if (!path)
            return;
        file = openComparedNetwork(mServices.app, messages, *path);
        if (!file) {
            messages.message(*path + " could not be opened, so there is nothing to compare against.", kCaption,
                             MessageKind::Warning);
            return;
        }
        base = file.get();
        name = QFileInfo(QString::fromStdString(*path)).fileName();
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const CompareOutcome outcome = compareWindow(active->document().doc(), *base, name.toStdString());
    QApplication::restoreOverrideCursor();
    if (outcome.compared)
        active->showComparison(outcome.shown);
    if (!outcome.message.empty())
        messages.message(outcome.message, kCaption,
                         outcome.compared ? MessageKind::Information : MessageKind::Warning);
    messages.flush();
    updateMenus();
}

void CMainFrame::clearComparison()
{
    if (CChildFrame* active = activeChild())
        active->clearComparison();
    updateMenus();
}

void CMainFrame::openScenarios()
{
    CChildFrame* active = activeChild();
    if (active && action("scenarios")->isEnabled())
        active->openScenarios();
}

}  // namespace orvex::gui
