#include "lammps_process.h"

#include <unistd.h>

#include <fstream>
#include <sstream>

#include "tests/tools/batch_process.h"

namespace ljgas::test {

bool lammpsInstalled() { return ::access(LammpsBinary, X_OK) == 0; }

int runLammps(const std::string& folder, const std::string& variables, int ranks)
{
    std::vector<std::string> arguments;
    if (ranks > 1)
        arguments = {"--allow-run-as-root", "--oversubscribe", "-np", std::to_string(ranks), LammpsBinary};
    arguments.insert(arguments.end(), {"-in", "in.ljgas", "-log", "log.lammps", "-screen", "none"});
    std::istringstream words(variables);
    for (std::string word; words >> word;)
        arguments.push_back(word);
    BatchLaunch launch;
    launch.folder = folder;
    const BatchResult result = runProcess(ranks > 1 ? "mpirun" : LammpsBinary, arguments, launch);
    writeText(folder + "/screen.lammps", result.out + result.err);
    return result.exited ? result.exitCode : -1;
}

std::vector<ThermoRow> readThermoRows(const std::string& logPath)
{
    std::ifstream in(logPath);
    std::vector<ThermoRow> rows;
    std::string line;
    bool inTable = false;
    while (std::getline(in, line)) {
        if (line.rfind("Step Time Temp KinEng PotEng TotEng Press", 0) == 0) {
            rows.clear();
            inTable = true;
            continue;
        }
        if (!inTable)
            continue;
        std::istringstream fields(line);
        ThermoRow row;
        if (fields >> row.step >> row.time >> row.temp >> row.ke >> row.pe >> row.etotal >> row.press)
            rows.push_back(row);
        else
            inTable = false;  // "Loop time of ..."
    }
    return rows;
}

RdfCurve readRdf(const std::string& path)
{
    // "# ..." comments, then blocks of "step rows" followed by rows of
    // "bin r g coordination".
    std::ifstream in(path);
    RdfCurve curve;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        long a = 0;
        long b = 0;
        double r = 0.0;
        double g = 0.0;
        if (fields >> a >> r >> g) {
            curve.r.push_back(r);
            curve.g.push_back(g);
        } else {
            std::istringstream header(line);
            if (header >> a >> b)
                curve = RdfCurve{};  // a new block begins
        }
    }
    return curve;
}

}  // namespace ljgas::test
