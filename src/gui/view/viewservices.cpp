#include "view/viewservices.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace orvex::gui {

namespace {

// The dialogs start in the folder `start` with "*.vad" as the file name, or,
// when `start` names a file, in its folder with its name filled in; a name
// typed without an extension gets ".vad".
QFileDialog* networkDialog(QWidget* parent, const std::string& start, bool saving)
{
    const QFileInfo startInfo(QString::fromStdString(start));
    const bool file = !start.empty() && !startInfo.isDir() && startInfo.dir().exists();
    auto* dialog = new QFileDialog(parent, saving ? QObject::tr("Save As") : QObject::tr("Open"),
                                   file ? startInfo.absolutePath() : QString::fromStdString(start));
    if (file)
        dialog->selectFile(startInfo.fileName());
    dialog->setNameFilter(QString::fromLatin1(kNetworkFilter));
    dialog->setDefaultSuffix(QString::fromLatin1(kNetworkExtension));
    dialog->setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // Saving over an existing network asks first (the dialog's default).
    return dialog;
}

std::optional<std::string> run(QFileDialog* dialog)
{
    std::optional<std::string> chosen;
    if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty())
        chosen = QFileInfo(dialog->selectedFiles().first()).absoluteFilePath().toStdString();
    delete dialog;
    return chosen;
}

}  // namespace

std::optional<std::string> PlatformFileDialogs::openNetwork(QWidget* parent,
                                                            const std::string& startFolder)
{
    return run(networkDialog(parent, startFolder, false));
}

std::optional<std::string> PlatformFileDialogs::saveNetwork(QWidget* parent,
                                                            const std::string& startFolder)
{
    return run(networkDialog(parent, startFolder, true));
}

std::optional<std::string> PlatformFileDialogs::exchangeFile(QWidget* parent, ExchangeFormat format, bool save,
                                                             const std::string& startFolder)
{
    const QString start = QString::fromStdString(startFolder);
    if (format == ExchangeFormat::Tables) {
        const QString folder = QFileDialog::getExistingDirectory(
            parent, save ? QObject::tr("Export tables into the folder") : QObject::tr("Tables of the folder"), start);
        return folder.isEmpty() ? std::nullopt : std::optional<std::string>(folder.toStdString());
    }
    auto* dialog = new QFileDialog(parent, save ? QObject::tr("Export") : QObject::tr("Import"), start);
    dialog->setNameFilter(QString::fromLatin1(exchangeFilter(format)));
    dialog->setDefaultSuffix(format == ExchangeFormat::Dxf ? "dxf" : "inp");
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    return run(dialog);
}

std::optional<std::string> PlatformFileDialogs::surveyFile(QWidget* parent, const std::string& startFolder)
{
    auto* dialog = new QFileDialog(parent, QObject::tr("Load survey"), QString::fromStdString(startFolder));
    dialog->setNameFilter(QObject::tr("survey (*.csv);;all files (*)"));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    return run(dialog);
}

}  // namespace orvex::gui
