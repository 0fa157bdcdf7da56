// The File menu's commands once a path has been chosen. Every file but the
// growing trajectory is complete before it replaces the old one.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>

class QPixmap;

namespace ljgas {

class GasModel;
class MeasurementHistory;
class TrajectoryRecording;

// Each command returns the message of the FileError that ended it, naming
// the file and what went wrong; an empty string when done.

// A file that cannot be used changes nothing; a state whose positions had to
// be wrapped into the box is opened, and the message says so. The boxes take
// what the file names, R also for the particles. `opened` then gets a line
// that says what was set and what a box held before (empty for nothing).
using StateOpened = std::function<void(const QString& set)>;
QString openState(GasModel& model, const QString& path, const StateOpened& opened = {});
// The state with comment lines naming R (the particles'), e0, Tsoll and the
// thermostat (the boxes') and the steps behind it.
QString saveState(const GasModel& model, const QString& path);
// The run going on, or the last one; a run is required.
QString exportDistribution(const GasModel& model, const QString& path);
QString exportTemperatures(const GasModel& model, const QString& path);
// The Measurements panel's history, as ljgas-batch --thermo-out writes its
// rows, with the time added; a history is required.
QString exportMeasurements(const MeasurementHistory& history, const QString& path);
// A picture made of the window, as PNG.
QString savePicture(const QPixmap& picture, const QString& path);
// data.ljgas and in.ljgas, both or neither, in the folder (made if missing),
// as ljgas-batch --lammps-out writes them.
QString exportForLammps(const GasModel& model, const QString& folder);
// File > Record Trajectory, to start and to stop.
QString startRecording(TrajectoryRecording& recording, const QString& path);
QString stopRecording(TrajectoryRecording& recording);

}  // namespace ljgas
