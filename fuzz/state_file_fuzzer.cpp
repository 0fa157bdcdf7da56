// Fuzzes the batch tool's state-file reader with any text.
//
// The reader either returns a complete state or throws FileError; any other
// exception, a crash or a sanitizer report is a fault. An independent,
// deliberately plain reader of the same format decides what the answer must
// be, so that the fuzzer also catches a text accepted that should not be (or
// the reverse), a value read wrongly, a position wrapped wrongly into the box
// or a note missing, a parameter of the comment lines read wrongly, or a
// fault reported on the wrong line. Every accepted state is written back
// with the tool's writer, its parameters with it, and read again; it must
// come back bit for bit, with the same parameters and no note.
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "engine/record.h"
#include "files/state_file.h"
#include "runtime/text_to_number.h"

namespace {

using ljgas::ParticleCount;
using ljgas::ParticleState;
using ljgas::StateParameters;

const std::string FileName = "fuzz.csv";

[[noreturn]] void fault(std::string_view input, const std::string& what)
{
    std::fprintf(stderr, "state_file fuzzer: %s\n(input of %zu bytes)\n", what.c_str(), input.size());
    std::abort();
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A particle number: digits only, equal to k (leading zeros allowed).
bool particleNumberIs(std::string_view field, int k)
{
    if (field.empty())
        return false;
    for (const char c : field)
        if (!isDigit(c))
            return false;
    while (field.size() > 1 && field.front() == '0')
        field.remove_prefix(1);
    return field == std::to_string(k);
}

// A value: -?(D+(.D*)?|.D+)([eE][+-]?D+)? filling the field, rounding to a
// finite float that is not a non-zero number rounded to zero.
bool readValue(std::string_view field, float& value)
{
    std::size_t i = 0;
    if (i < field.size() && field[i] == '-')
        ++i;
    bool digit = false;
    bool nonZero = false;
    while (i < field.size() && isDigit(field[i])) {
        digit = true;
        nonZero = nonZero || field[i] != '0';
        ++i;
    }
    if (i < field.size() && field[i] == '.') {
        ++i;
        while (i < field.size() && isDigit(field[i])) {
            digit = true;
            nonZero = nonZero || field[i] != '0';
            ++i;
        }
    }
    if (!digit)
        return false;
    if (i < field.size() && (field[i] == 'e' || field[i] == 'E')) {
        ++i;
        if (i < field.size() && (field[i] == '+' || field[i] == '-'))
            ++i;
        if (i >= field.size() || !isDigit(field[i]))
            return false;
        while (i < field.size() && isDigit(field[i]))
            ++i;
    }
    if (i != field.size())
        return false;
    const std::string text(field);
    char* end = nullptr;
    value = std::strtof(text.c_str(), &end);
    if (end != text.c_str() + text.size())
        fault(field, "strtof did not read a whole value of its grammar");
    if (std::isinf(value))
        return false;
    if (value == 0.0f && nonZero)
        return false;
    return true;
}

// A position outside the closed box [0, 1], wrapped as the reader must:
// x - floor(x) in double, rounded to single.
float intoBox(float value, bool& wrapped)
{
    if (value >= 0.0f && value <= 1.0f)
        return value;
    wrapped = true;
    const double wide = value;
    return static_cast<float>(wide - std::floor(wide));
}

bool isBlankLine(std::string_view line)
{
    for (const char c : line)
        if (c != ' ' && c != '\t')
            return false;
    return true;
}

std::string_view stripped(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// A comment line: '#' and free text, or "# NAME = VALUE" for one of the five
// parameters. False when it names a parameter a second time or with a value
// that is not one. Whether a text is a number in full is the runtime's
// wholeTextNumber, which has a fuzzer of its own.
bool readComment(std::string_view line, StateParameters& p)
{
    const std::string_view body = stripped(line.substr(1));
    const std::size_t equals = body.find('=');
    if (equals == std::string_view::npos)
        return true;
    const std::string_view key = stripped(body.substr(0, equals));
    const std::string value(stripped(body.substr(equals + 1)));
    if (key == "R" || key == "e0" || key == "Tsoll") {
        std::optional<std::string>& slot = key == "R" ? p.R : key == "e0" ? p.e0 : p.Tsoll;
        if (slot || ljgas::wholeTextNumber(value) != ljgas::WholeText::Number)
            return false;
        if (key != "Tsoll" && std::isinf(static_cast<float>(ljgas::textToNumber(value))))
            return false;
        slot = value;
    } else if (key == "thermostat") {
        if (p.thermostat || (value != "on" && value != "off"))
            return false;
        p.thermostat = value == "on";
    } else if (key == "steps") {
        if (p.steps || value.empty())
            return false;
        std::int64_t steps = 0;
        for (const char c : value) {
            if (!isDigit(c) || steps > (INT64_MAX - (c - '0')) / 10)
                return false;
            steps = steps * 10 + (c - '0');
        }
        p.steps = steps;
    }
    return true;
}

bool sameParameters(const StateParameters& a, const StateParameters& b)
{
    return a.R == b.R && a.e0 == b.e0 && a.Tsoll == b.Tsoll && a.thermostat == b.thermostat && a.steps == b.steps;
}

// The plain reader: the state and whether a position was wrapped, or the
// 1-based line of the first fault.
struct Expected {
    std::optional<ParticleState> state;
    bool wrapped = false;
    int faultLine = 0;
};

Expected expectedFor(std::string_view text)
{
    Expected e;
    std::size_t pos = 0;
    auto lineAt = [&](std::string_view& line) {
        const std::size_t nl = text.find('\n', pos);
        line = text.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos);
        pos = nl == std::string_view::npos ? text.size() : nl + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
    };
    std::string_view line;
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        pos = 3;  // a UTF-8 byte-order mark
    if (pos == text.size()) {
        e.faultLine = 1;
        return e;
    }
    ParticleState s;
    int header = 1;  // the header's line
    lineAt(line);
    while (!line.empty() && line.front() == '#') {
        if (!readComment(line, s.parameters)) {
            e.faultLine = header;
            return e;
        }
        ++header;
        if (pos >= text.size()) {
            e.faultLine = header;
            return e;
        }
        lineAt(line);
    }
    if (line != "k,x,y,vx,vy") {
        e.faultLine = header;
        return e;
    }
    for (int k = 1; k <= ParticleCount; ++k) {
        if (pos >= text.size()) {
            e.faultLine = header + k;
            return e;
        }
        lineAt(line);
        std::array<std::string_view, 5> f;
        int count = 0;
        std::size_t start = 0;
        while (true) {
            const std::size_t comma = line.find(',', start);
            const std::string_view piece = line.substr(start, comma == std::string_view::npos ? std::string_view::npos
                                                                                              : comma - start);
            if (count < 5)
                f[static_cast<std::size_t>(count)] = piece;
            ++count;
            if (comma == std::string_view::npos)
                break;
            start = comma + 1;
        }
        const auto i = static_cast<std::size_t>(k - 1);
        if (count != 5 || !particleNumberIs(f[0], k) || !readValue(f[1], s.x[i]) || !readValue(f[2], s.y[i]) ||
            !readValue(f[3], s.vx[i]) || !readValue(f[4], s.vy[i])) {
            e.faultLine = header + k;
            return e;
        }
        s.x[i] = intoBox(s.x[i], e.wrapped);
        s.y[i] = intoBox(s.y[i], e.wrapped);
    }
    for (int n = header + ParticleCount + 1; pos < text.size(); ++n) {
        lineAt(line);
        if (!isBlankLine(line)) {
            e.faultLine = n;
            return e;
        }
    }
    e.state = s;
    return e;
}

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void compareStates(std::string_view input, const ParticleState& got, const ParticleState& want, const char* when)
{
    for (std::size_t i = 0; i < static_cast<std::size_t>(ParticleCount); ++i) {
        const float g[] = {got.x[i], got.y[i], got.vx[i], got.vy[i]};
        const float w[] = {want.x[i], want.y[i], want.vx[i], want.vy[i]};
        for (int c = 0; c < 4; ++c) {
            if (!std::isfinite(g[c]))
                fault(input, std::string(when) + ": non-finite value for particle " + std::to_string(i + 1));
            if (!sameBits(g[c], w[c]))
                fault(input, std::string(when) + ": particle " + std::to_string(i + 1) + " column " +
                                 std::to_string(c + 1) + " is " + std::to_string(g[c]) + ", expected " +
                                 std::to_string(w[c]));
        }
    }
}

// Writes the state with the tool's own writer and returns the text.
std::string written(const ParticleState& state)
{
    auto rec = std::make_unique<ljgas::Record>();
    rec->n = ParticleCount;
    ljgas::applyState(*rec, state);
    if (state.parameters.R && !sameBits(rec->R, static_cast<float>(ljgas::textToNumber(*state.parameters.R))))
        fault(*state.parameters.R, "the state's R did not reach the record");
    return ljgas::stateFileText(*rec, state.parameters);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const Expected expected = expectedFor(text);

    std::optional<ParticleState> got;
    try {
        got = ljgas::parseStateText(text, FileName);
    } catch (const ljgas::FileError& e) {
        if (expected.state)
            fault(text, std::string("a valid file rejected: ") + e.what());
        const std::string prefix = FileName + ":" + std::to_string(e.line()) + ": ";
        if (std::string_view(e.what()).substr(0, prefix.size()) != prefix)
            fault(text, std::string("error message without 'file:line: ': ") + e.what());
        if (std::strlen(e.what()) <= prefix.size())
            fault(text, "error message names no problem");
        if (e.line() != expected.faultLine)
            fault(text, "fault reported on line " + std::to_string(e.line()) + ", expected line " +
                            std::to_string(expected.faultLine) + ": " + e.what());
        return 0;
    }
    // Anything else thrown escapes and ends the fuzzer with a report.

    if (!expected.state)
        fault(text, "a file with a fault on line " + std::to_string(expected.faultLine) + " was accepted");
    compareStates(text, *got, *expected.state, "read");
    if (!sameParameters(got->parameters, expected.state->parameters))
        fault(text, "the comment lines' parameters read wrongly");
    if (got->note.empty() == expected.wrapped)
        fault(text, expected.wrapped ? "positions wrapped without a note"
                                     : "a note without a wrapped position: " + got->note);

    // Write it back and read it again: the same bits.
    const std::string again = written(*got);
    try {
        const ParticleState back = ljgas::parseStateText(again, FileName);
        compareStates(text, back, *got, "written and read back");
        if (!sameParameters(back.parameters, got->parameters))
            fault(text, "the parameters did not come back");
        if (!back.note.empty())
            fault(text, "the tool's own output needed a note: " + back.note);
    } catch (const ljgas::FileError& e) {
        fault(text, std::string("the tool's own output rejected: ") + e.what());
    }
    return 0;
}
