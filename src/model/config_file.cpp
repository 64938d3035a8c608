#include "model/main_window_model.h"

#include "model/change_scope.h"

#include "configuration/configuration_file.h"
#include "configuration/file_io.h"
#include "linearization/point_set.h"
#include "model/overwrite_question.h"
#include "user_interface/user_interface.h"

#include <QFileInfo>

// The configuration file's buttons: a save writes the value the fields give, a load parses the
// whole file and then applies it through the handlers a typed value passes.
namespace vtr8 {

namespace {

const QString FileFilter = QStringLiteral("Konfigurace (*.txt)|*.txt|Všechny soubory (*.*)|*.*");

QString ioErrorMessage(int error)
{
    return QStringLiteral("Chyba c. ") + QString::number(error);
}

} // namespace

bool MainWindowModel::valueStands()
{
    // Without an input type there is no value: the bytes say so.
    const std::optional<Configuration> configuration = toConfiguration();
    return !configuration || configurationStands(*configuration);
}

std::optional<QByteArray> MainWindowModel::configurationFileBytes()
{
    QString refusal;
    const std::optional<Configuration> configuration = toConfiguration(&refusal);
    if (!configuration) {
        message(refusal);
        return std::nullopt;
    }
    ConfigurationFileBytes file = writeConfigurationFile(*configuration);
    if (!file.error.isEmpty()) {
        message(file.error);
        return std::nullopt;
    }
    return file.bytes;
}

bool MainWindowModel::saveConfiguration(const QString& path)
{
    ChangeScope scope(*this);
    ConfigIncomplete = false;
    Testvyplneni();
    if (ConfigIncomplete || !valueStands())
        return false;
    const std::optional<QByteArray> bytes = configurationFileBytes();
    if (!bytes)
        return false;
    if (const int error = saveFileAtomically(path, *bytes); error != 0) {
        message(ioErrorMessage(error));
        return false;
    }
    points_.PointFileOk = true;
    return true;
}

void MainWindowModel::UlosoubClick()
{
    ChangeScope scope(*this);
    Ulosoub.enabled = false;
    ConfigIncomplete = false;
    Testvyplneni();
    if (!ConfigIncomplete && valueStands()) {
        emit changed();
        // "Ne" to the overwrite question is a wish for another name: the dialog comes back.
        for (;;) {
            QString path = ui_.chooseSaveFile(QString(), SaveDialog1InitialDir, FileFilter);
            if (path.isEmpty())
                break;
            // The dialog's default extension: a name typed without one gets ".txt".
            if (QFileInfo(path).suffix().isEmpty())
                path += QStringLiteral(".txt");
            if (!ConfirmOverwrite(ui_, path))
                continue;
            if (saveConfiguration(path)) // a failure has said what went wrong
                emit configurationFileDone(path, true);
            break;
        }
    }
    Ulosoub.enabled = true;
}

void MainWindowModel::ctisoubClick()
{
    ChangeScope scope(*this);
    emit changed();
    const QString path = ui_.chooseOpenFile(QString(), OpenDialog2InitialDir, FileFilter);
    if (path.isEmpty())
        return;
    ctisoub.enabled = false;
    const bool loaded = loadConfiguration(path).loaded; // a failure has said what went wrong
    ctisoub.enabled = true;
    if (loaded)
        emit configurationFileDone(path, false);
}

MainWindowModel::LoadOutcome MainWindowModel::loadConfiguration(const QString& path)
{
    ChangeScope scope(*this);
    const FileRead file = readWholeFile(path);
    if (file.status == FileRead::Status::OpenFailed) {
        message(ioErrorMessage(file.error));
        return {};
    }
    if (file.status != FileRead::Status::Ok) {
        // Nothing of a file that could not be read, or that is far too large to be
        // a configuration, is applied.
        points_.PointFileOk = false;
        message(ConfigurationDataErrorText());
        return {};
    }
    return loadConfigurationData(file.data);
}

// Parsed whole before anything is applied: a file that fails to load changes nothing.
MainWindowModel::LoadOutcome MainWindowModel::loadConfigurationData(const QByteArray& bytes)
{
    ChangeScope scope(*this);
    const std::optional<Configuration> configuration = parseConfigurationFile(bytes);
    if (!configuration) {
        message(ConfigurationDataErrorText());
        return {};
    }
    if (mayReplaceEdits && !mayReplaceEdits())
        return {}; // the person keeps the edits
    const bool accepted = applyConfiguration(*configuration);
    points_.PointFileOk = true;
    return {true, accepted};
}

} // namespace vtr8
