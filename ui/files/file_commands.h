// The File menu's commands once a path has been chosen: open and save the
// particle state, export the shown run's g(r) and temperatures as ljgas-batch
// writes them, save a picture of the window, export for LAMMPS, record a
// trajectory. Every file but the trajectory, which grows as the runs go, is
// complete before it replaces the old one, so a failed write (a full disk)
// leaves the target as it was and says why.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>

class QPixmap;

namespace ljgas {

class Form1;
class GasModel;
class MeasurementHistory;
class TrajectoryRecording;

// Inside, every read and write fails by a FileError (files/file_error.h);
// each command catches it and returns its message for the user, which names
// the file and what went wrong. An empty string: done, nothing to tell.

// A file that cannot be used changes nothing. A state whose positions had to
// be wrapped into the box is opened, and the message says so. The R, e0 and
// Tsoll boxes and the thermostat box take what the file names, R also for
// the particles (a run going on takes the radius they were placed at). Once
// the state is in, `opened` gets a line that says what was set and what a
// box held before (empty when the file names nothing).
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
// The form's own area as shown, without the menu bar.
QString savePicture(Form1& form, const QString& path);
// A picture made of the window, as PNG.
QString savePicture(const QPixmap& picture, const QString& path);
// data.ljgas and in.ljgas, both or neither, in the folder (made if missing),
// from the current state and the boxes' texts, as ljgas-batch --lammps-out
// writes them.
QString exportForLammps(const GasModel& model, const QString& folder);
// File > Record Trajectory, chosen to start a recording into `path` and
// chosen again to stop it.
QString startRecording(TrajectoryRecording& recording, const QString& path);
QString stopRecording(TrajectoryRecording& recording);

}  // namespace ljgas
