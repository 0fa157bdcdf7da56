#include "file_commands.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QPixmap>
#include <cstdio>
#include <functional>
#include <string>

#include "engine/record.h"
#include "files/lammps_export.h"
#include "files/output_file.h"
#include "files/run_outputs.h"
#include "files/state_file.h"
#include "form1.h"

namespace ljgas {

namespace {

std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString fromLocal(const std::string& text) { return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size())); }

// `write` returns a problem that stops the file from being put in place, or
// an empty string.
QString writeFile(const QString& path, const std::function<QString(std::FILE*)>& write)
{
    OutputFile file;
    std::string error;
    if (!file.open(localPath(path), error))
        return fromLocal(error);
    if (const QString problem = write(file.stream()); !problem.isEmpty())
        return problem;  // the temporary file goes with `file`
    if (!file.commit(error))
        return fromLocal(error);
    return {};
}

const QString noRun = QStringLiteral("There is no run to export yet: press Go first.");

}  // namespace

QString openState(Form1& form, const QString& path)
{
    const std::string file = localPath(path);
    try {
        form.replaceState(readStateFile(file));
    } catch (const StateFileError& error) {
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
    return {};
}

QString saveState(const Form1& form, const QString& path)
{
    return writeFile(path, [&form](std::FILE* out) {
        writeStateFile(out, form.record());
        return QString();
    });
}

QString exportDistribution(const Form1& form, const QString& path)
{
    const RunLog* run = form.runs().shown();
    if (run == nullptr)
        return noRun;
    return writeFile(path, [&form, run](std::FILE* out) {
        writeDistribution(out, form.record(), run->histogramVisits());
        return QString();
    });
}

QString exportTemperatures(const Form1& form, const QString& path)
{
    const RunLog* run = form.runs().shown();
    if (run == nullptr)
        return noRun;
    return writeFile(path, [run](std::FILE* out) {
        writeTemperatureHeader(out);
        std::size_t m = 0;
        if (!run->temperatures.forEach([out, &m](float T) { writeTemperatureLine(out, RunLog::stepOfTemperature(m++), T); }))
            return QStringLiteral("cannot read back the run's temperatures from their temporary file");
        return QString();
    });
}

QString exportForLammps(Form1& form, const QString& folder)
{
    const Boxes& boxes = form.host().boxes;
    const LammpsSettings settings = lammpsSettingsFromBoxes(boxes.e0(), boxes.Tsoll(), boxes.thermostat() == 1);
    std::string error;
    if (!ljgas::exportForLammps(form.record(), settings, folder.toStdString(), error))
        return QString::fromStdString(error);
    return {};
}

QString savePicture(Form1& form, const QString& path)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!form.grab().save(&buffer, "PNG"))
        return QStringLiteral("cannot make a PNG picture of the window");
    return writeFile(path, [&png](std::FILE* out) {
        std::fwrite(png.constData(), 1, static_cast<std::size_t>(png.size()), out);
        return QString();
    });
}

}  // namespace ljgas
