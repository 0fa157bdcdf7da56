#!/usr/bin/awk -f
# Mean and standard error over replicas, per target temperature, of what
# ljgas-batch --thermo-out wrote: the temperature shown, the potential energy
# and the pressure. Each run is first averaged over its read-outs after step
# `from` (as --equilibrate N leaves out the steps up to N); the runs of one
# Tsoll are independent replicas (--seed), so the standard error of their
# mean is the spread of the run means over the square root of their number.
# (The read-outs within one run are correlated; that is why the error comes
# from replicas and not from the rows of one file.)
#
# The files are named thermo-TSOLL-SEED.csv, as the README's sweep writes
# them:
#   awk -v from=20000 -f tools/replica_means.awk sweep/thermo-*.csv
BEGIN {
    FS = ","
    if (from == "")
        from = 200
}

function endRun() {
    if (file == "")
        return
    if (rows == 0) {
        printf "replica_means: %s has no read-out after step %d; left out\n", file, from > "/dev/stderr"
        return
    }
    runs[tsoll]++
    add(tsoll SUBSEP 1, sumT / rows)
    add(tsoll SUBSEP 2, sumU / rows)
    add(tsoll SUBSEP 3, sumP / rows)
}

function add(key, value) {
    sum[key] += value
    squares[key] += value * value
}

# Mean and standard error of the replicas' means: "mean error".
function estimate(key, n,    mean, variance) {
    mean = sum[key] / n
    if (n < 2)
        return sprintf("%12.6g %10s", mean, "-")
    variance = (squares[key] - n * mean * mean) / (n - 1)
    return sprintf("%12.6g %10.2g", mean, sqrt(variance > 0 ? variance / n : 0))
}

FNR == 1 {
    endRun()
    file = FILENAME
    tsoll = FILENAME
    sub(/^.*thermo-/, "", tsoll)
    sub(/-[^-]*\.csv$/, "", tsoll)
    rows = sumT = sumU = sumP = 0
    next
}

$1 > from {
    rows++
    sumT += $2
    sumU += $4
    sumP += $6
}

END {
    endRun()
    printf "%-8s %4s %12s %10s %12s %10s %12s %10s\n", "Tsoll", "runs", "T", "+-", "potential", "+-", "pressure", "+-"
    fflush()
    for (t in runs)
        printf "%-8s %4d %s %s %s\n", t, runs[t], estimate(t SUBSEP 1, runs[t]), estimate(t SUBSEP 2, runs[t]),
               estimate(t SUBSEP 3, runs[t]) | "sort -g"
    close("sort -g")
}
