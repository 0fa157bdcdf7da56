#include "ui/files/file_commands.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <optional>
#include <string>
#include <string_view>

#include "engine/record.h"
#include "files/file_error.h"
#include "files/lammps_export.h"
#include "files/output_file.h"
#include "files/run_outputs.h"
#include "files/state_file.h"
#include "ui/files/trajectory_recording.h"
#include "ui/model/gas_model.h"
#include "ui/panel/measurement_history.h"

namespace ljgas {

namespace {

std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString fromLocal(const std::string& text)
{
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

void saveFile(const QString& path, std::string_view text)
{
    OutputFile file(localPath(path));
    file.write(text);
    file.commit();
}

// The message for the user of a FileError that ended `command`.
QString reported(const std::function<void()>& command)
{
    try {
        command();
    } catch (const FileError& error) {
        return fromLocal(error.what());
    }
    return {};
}

[[noreturn]] void noRun() { throw FileError("There is no run to export yet: press Go first."); }

// The parameters take what the state names; the items of the line that
// tells so, with what a box held before when it differed.
QStringList takeNamed(GasModel& model, const StateParameters& named)
{
    Parameters p = model.parameters();
    QStringList told;
    const auto set = [&told](std::string& box, const char* name, const std::optional<std::string>& text) {
        if (!text)
            return;
        QString item = QString::fromStdString(parameterText(name, *text));
        if (box != *text)
            item += QStringLiteral(" (was %1)").arg(QString::fromStdString(box));
        box = *text;
        told << item;
    };
    set(p.R, "R", named.R);
    set(p.e0, "e0", named.e0);
    set(p.Tsoll, "Tsoll", named.Tsoll);
    if (named.thermostat) {
        QString item = QStringLiteral("thermostat %1").arg(QString::fromLatin1(thermostatText(*named.thermostat)));
        if (p.thermostat != *named.thermostat)
            item += QStringLiteral(" (was %1)").arg(QString::fromLatin1(thermostatText(p.thermostat)));
        p.thermostat = *named.thermostat;
        told << item;
    }
    if (named.dynamics) {
        QString item = QStringLiteral("dynamics %1").arg(QString::fromLatin1(dynamicsName(*named.dynamics)));
        if (p.dynamics != *named.dynamics)
            item += QStringLiteral(" (was %1)").arg(QString::fromLatin1(dynamicsName(p.dynamics)));
        p.dynamics = *named.dynamics;
        told << item;
    }
    model.setParameters(p);
    return told;
}

}  // namespace

QString openState(GasModel& model, const QString& path, const StateOpened& opened)
{
    const std::string file = localPath(path);
    try {
        const ParticleState state = readStateFile(file);
        model.place(state);
        const QStringList told = takeNamed(model, state.parameters);
        // A run takes e0 at its start; the one going on keeps it.
        const bool keeps = model.session().running() && state.parameters.e0;
        if (opened)
            opened(told.isEmpty()
                       ? QString()
                       : QStringLiteral("Set from %1: %2%3")
                             .arg(QFileInfo(path).fileName(), told.join(QStringLiteral(", ")),
                                  keeps ? QStringLiteral("; the run going on keeps its e0 until Go") : QString()));
        if (state.note.empty())
            return {};
        return QStringLiteral("Opened the state in '%1'.\n%2").arg(path, fromLocal(state.note));
    } catch (const FileError& error) {
        if (error.line() == 0)
            return fromLocal(error.what());  // names the file and why it cannot be read
        // "file:line: problem", told in two lines.
        const std::string prefix = file + ":" + std::to_string(error.line()) + ": ";
        std::string problem = error.what();
        if (problem.starts_with(prefix))
            problem.erase(0, prefix.size());
        return QStringLiteral("Cannot open the state in '%1'.\nLine %2: %3")
            .arg(path)
            .arg(error.line())
            .arg(fromLocal(problem));
    }
}

QString saveState(const GasModel& model, const QString& path)
{
    return reported([&] { saveFile(path, stateFileText(model.record(), model.session().stateParameters())); });
}

QString exportDistribution(const GasModel& model, const QString& path)
{
    return reported([&] {
        if (model.shownRun() == nullptr)
            noRun();
        saveFile(path, distributionText(model.record(), model.session().histogramVisits()));
    });
}

QString exportTemperatures(const GasModel& model, const QString& path)
{
    return reported([&] {
        const TemperatureLog* run = model.shownRun();
        if (run == nullptr)
            noRun();
        OutputFile out(localPath(path));
        out.write(temperatureHeader());
        // Every run starts its cycle afresh, so the steps are exact where the
        // run's own single-precision counter stops at 2^24.
        std::int64_t step = 0;
        if (!run->forEach([&out, &step](float T) { out.write(temperatureLine(step += SliceCount, T)); }))
            throw FileError("cannot read back the run's temperatures from their temporary file");
        out.commit();
    });
}

QString exportForLammps(const GasModel& model, const QString& folder)
{
    return reported([&] {
        const RunSettings settings = model.session().settings();
        checkLammpsExport(model.record(), settings);
        if (!QDir().mkpath(folder))
            throw FileError("cannot make the folder '" + localPath(folder) + "'");
        const QDir into(folder);
        OutputFile data(localPath(into.filePath(QString::fromLatin1(LammpsDataName))));
        OutputFile deck(localPath(into.filePath(QString::fromLatin1(LammpsDeckName))));
        data.write(lammpsDataText(model.record(), settings));
        deck.write(lammpsDeckText(model.record(), settings));
        commitTogether(data, deck);  // a data file without its deck would be half an export
    });
}

QString exportMeasurements(const MeasurementHistory& history, const QString& path)
{
    return reported([&] {
        if (history.empty())
            throw FileError("There are no measurements yet: open the Measurements panel (View menu) and press Go.");
        saveFile(path, history.csvText());
    });
}

QString savePicture(const QPixmap& picture, const QString& path)
{
    return reported([&] {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!picture.save(&buffer, "PNG"))
            throw FileError("cannot make a PNG picture of the window");
        saveFile(path, std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
    });
}

QString startRecording(TrajectoryRecording& recording, const QString& path)
{
    return reported([&] { recording.start(path); });
}

QString stopRecording(TrajectoryRecording& recording)
{
    return reported([&] { recording.stop(); });
}

}  // namespace ljgas
