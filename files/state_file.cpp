#include "files/state_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>

#include "engine/record.h"
#include "files/lammps_export.h"
#include "runtime/decimal_conversion.h"
#include "runtime/number_to_text.h"
#include "runtime/text_to_number.h"
#include "version.h"

namespace ljgas {

namespace {

constexpr std::string_view Header = "k,x,y,vx,vy";
// Editors on some systems start a UTF-8 text with it.
constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
constexpr int FieldCount = 5;
// A valid file is about 16 KB; anything far larger is not a state file, and
// need not be read into memory to find that out.
constexpr std::size_t MaximumFileSize = 1 << 20;

[[noreturn]] void failAt(const std::string& name, int line, const std::string& problem)
{
    throw FileError(name + ":" + std::to_string(line) + ": " + problem, line);
}

// A field as it is shown in a message: in quotes, cut short when it is long,
// and with control and non-ASCII bytes as \xNN, so that a binary file gives
// a readable one-line message (and a NUL byte cannot cut it off).
std::string quoted(std::string_view field)
{
    constexpr std::size_t ShownBytes = 40;
    constexpr char Hex[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(std::min(field.size(), ShownBytes) + 8);
    text += '\'';
    for (std::size_t i = 0; i < field.size() && i < ShownBytes; ++i) {
        const auto byte = static_cast<unsigned char>(field[i]);
        if (byte >= 0x20 && byte < 0x7F) {
            text += static_cast<char>(byte);
        } else {
            text += "\\x";
            text += Hex[byte >> 4];
            text += Hex[byte & 0xF];
        }
    }
    if (field.size() > ShownBytes)
        text += "...";
    text += '\'';
    return text;
}

// The next line of `text` from `position`, without its line end; a final
// CR before the LF belongs to the line end.
std::string_view nextLine(std::string_view text, std::size_t& position)
{
    const std::size_t end = text.find('\n', position);
    std::string_view line = text.substr(position,
                                        end == std::string_view::npos ? std::string_view::npos : end - position);
    position = end == std::string_view::npos ? text.size() : end + 1;
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

float parseValue(std::string_view field, const char* what, const std::string& name, int line)
{
    float value = 0.0f;
    const char* first = field.data();
    const char* last = field.data() + field.size();
    const auto result = readDecimal(first, last, value);
    if (result.ec == std::errc::result_out_of_range)
        failAt(name, line, std::string(what) + " value " + quoted(field) + " is out of single-precision range");
    if (result.ec != std::errc{} || result.ptr != last || field.empty())
        failAt(name, line, std::string(what) + " value " + quoted(field) + " is not a number");
    if (!std::isfinite(value))
        failAt(name, line, std::string(what) + " value " + quoted(field) + " is not finite");
    return value;
}

// Positions outside the closed box [0, 1] wrapped into it, and the first
// one named in the note.
struct Wrapping {
    int count = 0;
    std::string first;

    float into(float value, const char* what, const std::string& name, int line)
    {
        if (value >= 0.0f && value <= 1.0f)
            return value;
        // In double, as the drift wraps, then rounded once: a value just
        // below a whole number may round to 1, which the closed box holds.
        const double wide = value;
        const auto wrapped = static_cast<float>(wide - std::floor(wide));
        if (count++ == 0)
            first = name + ":" + std::to_string(line) + ": " + what + " = " + csvNumber(value) +
                    " lies outside the box [0, 1] and is read as " + csvNumber(wrapped);
        return wrapped;
    }

    std::string note() const
    {
        if (count <= 1)
            return first;
        return first + " (" + std::to_string(count) + " positions in all were wrapped into the box)";
    }
};

bool isBlank(std::string_view line)
{
    return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
}

std::string_view trimmed(std::string_view text)
{
    constexpr std::string_view Blanks = " \t";
    const std::size_t first = text.find_first_not_of(Blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(Blanks) - first + 1);
}

// The parameters named in the comment lines above the header.
class CommentReader {
public:
    CommentReader(StateParameters& parameters, const std::string& name) : p_(parameters), name_(name) {}

    void read(std::string_view line, int lineNumber)
    {
        line_ = lineNumber;
        const std::string_view body = trimmed(line.substr(1));
        const std::size_t equals = body.find('=');
        if (equals == std::string_view::npos)
            return;
        key_ = trimmed(body.substr(0, equals));
        const std::string_view value = trimmed(body.substr(equals + 1));
        if (key_ == "R")
            once(p_.R, number(value, true));
        else if (key_ == "e0")
            once(p_.e0, number(value, true));
        else if (key_ == "Tsoll")
            once(p_.Tsoll, number(value, false));
        else if (key_ == "thermostat")
            once(p_.thermostat, onOff(value));
        else if (key_ == "steps")
            once(p_.steps, count(value));
        else if (key_ == "dynamics")
            once(p_.dynamics, dynamics(value));
    }

private:
    [[noreturn]] void fail(const std::string& problem) { failAt(name_, line_, problem); }

    template <class Value>
    void once(std::optional<Value>& slot, Value value)
    {
        if (slot)
            fail(std::string(key_) + " is named twice");
        slot = std::move(value);
    }

    // A number in full as a box reads it; R and e0 are held in single precision.
    std::string number(std::string_view value, bool single)
    {
        const std::string text(value);
        switch (wholeTextNumber(text)) {
        case WholeText::Number: break;
        case WholeText::OutOfRange:
            fail(std::string(key_) + " value " + quoted(value) + " is beyond the range of a number");
        case WholeText::NotANumber: fail(std::string(key_) + " value " + quoted(value) + " is not a number");
        }
        if (single && !std::isfinite(static_cast<float>(textToNumber(text))))
            fail(std::string(key_) + " value " + quoted(value) + " is beyond single precision");
        return text;
    }

    Dynamics dynamics(std::string_view value)
    {
        const std::optional<Dynamics> named = dynamicsNamed(value);
        if (!named)
            fail("dynamics value " + quoted(value) + " is neither designed nor conserving");
        return *named;
    }

    bool onOff(std::string_view value)
    {
        if (value != "on" && value != "off")
            fail("thermostat value " + quoted(value) + " is neither on nor off");
        return value == "on";
    }

    std::int64_t count(std::string_view value)
    {
        std::int64_t steps = 0;
        const auto result = std::from_chars(value.data(), value.data() + value.size(), steps);
        if (value.empty() || value.front() == '-' || result.ec != std::errc{} ||
            result.ptr != value.data() + value.size())
            fail("steps value " + quoted(value) + " is not a whole number of steps");
        if (steps > MostSteps)
            fail("steps value " + quoted(value) +
                 " is more steps than any run reaches (at most 2^53 = " + std::to_string(MostSteps) + ")");
        return steps;
    }

    StateParameters& p_;
    const std::string& name_;
    int line_ = 0;
    std::string_view key_;
};

}  // namespace

ParticleState parseStateText(std::string_view text, const std::string& name)
{
    ParticleState state;
    Wrapping wrapping;
    std::size_t position = text.starts_with(ByteOrderMark) ? ByteOrderMark.size() : 0;
    int line = 1;

    if (text.size() == position)
        failAt(name, line, "the file is empty; expected the header '" + std::string(Header) + "'");
    CommentReader comments(state.parameters, name);
    std::string_view header = nextLine(text, position);
    while (header.starts_with('#')) {
        comments.read(header, line++);
        if (position >= text.size())
            failAt(name, line, "the file ends before the header '" + std::string(Header) + "'");
        header = nextLine(text, position);
    }
    if (header != Header)
        failAt(name, line, "expected the header '" + std::string(Header) + "', found " + quoted(header));

    for (int k = 1; k <= ParticleCount; ++k) {
        ++line;
        if (position >= text.size())
            failAt(name, line,
                   "the file ends after " + std::to_string(k - 1) + " particles; expected " +
                       std::to_string(ParticleCount));
        const std::string_view row = nextLine(text, position);

        std::array<std::string_view, FieldCount> fields;
        int count = 0;
        std::size_t start = 0;
        for (;;) {
            const std::size_t comma = row.find(',', start);
            if (count < FieldCount)
                fields[static_cast<std::size_t>(count)] = row.substr(
                    start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
            ++count;
            if (comma == std::string_view::npos)
                break;
            start = comma + 1;
        }
        if (count != FieldCount)
            failAt(name, line, "expected 5 fields k,x,y,vx,vy, found " + std::to_string(count));

        int number = 0;
        const std::string_view kField = fields[0];
        const auto kResult = std::from_chars(kField.data(), kField.data() + kField.size(), number);
        if (kResult.ec != std::errc{} || kResult.ptr != kField.data() + kField.size() || kField.empty())
            failAt(name, line, "particle number " + quoted(kField) + " is not a whole number");
        if (number != k)
            failAt(name, line, "particle number " + std::to_string(number) + ", expected " + std::to_string(k));

        const auto index = static_cast<std::size_t>(k - 1);
        state.x[index] = wrapping.into(parseValue(fields[1], "x", name, line), "x", name, line);
        state.y[index] = wrapping.into(parseValue(fields[2], "y", name, line), "y", name, line);
        state.vx[index] = parseValue(fields[3], "vx", name, line);
        state.vy[index] = parseValue(fields[4], "vy", name, line);
    }

    while (position < text.size()) {
        ++line;
        if (!isBlank(nextLine(text, position)))
            failAt(name, line, "unexpected line after particle " + std::to_string(ParticleCount));
    }
    state.note = wrapping.note();
    return state;
}

ParticleState readStateFile(const std::string& path)
{
    const auto fail = [&path](const std::string& problem) {
        throw FileError("cannot read state file '" + path + "': " + problem);
    };
    // Without O_NONBLOCK, opening a FIFO waits for a writer, for ever if
    // none comes; with it the open returns at once and fstat tells what it is.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        throw FileError("cannot open state file '" + path + "': " + std::strerror(errno));
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        fail(std::strerror(errno));
    if (S_ISDIR(info.st_mode))
        fail("it is a directory");
    if (!S_ISREG(info.st_mode))
        fail("it is not a regular file (a FIFO, a device or a socket)");

    std::string text(MaximumFileSize + 1, '\0');
    std::size_t size = 0;
    while (size < text.size()) {
        const ssize_t count = ::read(fd, text.data() + size, text.size() - size);
        if (count == 0)
            break;
        if (count < 0) {
            if (errno == EINTR)
                continue;
            fail(std::strerror(errno));
        }
        size += static_cast<std::size_t>(count);
    }
    if (size > MaximumFileSize)
        throw FileError("state file '" + path + "' is larger than 1 MiB; a 225-particle state is about 16 KB");
    text.resize(size);
    return parseStateText(text, path);
}

std::string parameterText(const char* name, const std::string& value) { return std::string(name) + " = " + value; }

std::string thermostatText(bool on) { return on ? "on" : "off"; }

StateParameters stateParameters(const Record& rec, const RunSettings& settings, std::int64_t steps)
{
    StateParameters p;
    p.R = exactSingle(rec.R);
    // A box may hold a number beyond single precision for e0 (or beyond
    // double for Tsoll), which a run takes as infinite: no line for it, since
    // no box would read it back.
    if (std::isfinite(settings.e0))
        p.e0 = exactSingle(settings.e0);
    if (std::isfinite(settings.Tsoll))
        p.Tsoll = exactNumber(settings.Tsoll);
    p.thermostat = settings.thermostat;
    // The designed dynamics is every program's default: its files stay as
    // they always were.
    if (settings.dynamics == Dynamics::Conserving)
        p.dynamics = settings.dynamics;
    if (steps < 0 || steps > MostSteps)
        throw FileError(
            "the state has " + std::to_string(steps) +
            " steps behind it, more than a state file records (at most 2^53 = " + std::to_string(MostSteps) + ")");
    p.steps = steps;
    return p;
}

std::string stateFileText(const Record& rec, const StateParameters& parameters)
{
    std::string text;
    if (parameters.namesAny() || parameters.steps)
        text = std::string("# ljgas ") + Version + "\n";
    const auto comment = [&text](const char* name, const std::string& value) {
        text += "# " + parameterText(name, value) + "\n";
    };
    if (parameters.R)
        comment("R", *parameters.R);
    if (parameters.e0)
        comment("e0", *parameters.e0);
    if (parameters.Tsoll)
        comment("Tsoll", *parameters.Tsoll);
    if (parameters.thermostat)
        comment("thermostat", thermostatText(*parameters.thermostat));
    if (parameters.steps)
        comment("steps", std::to_string(*parameters.steps));
    if (parameters.dynamics)
        comment("dynamics", dynamicsName(*parameters.dynamics));
    text += Header;
    text += '\n';
    for (int k = 1; k <= ParticleCount; ++k) {
        text += std::to_string(k);
        for (const float value : {rec.x[k], rec.y[k], rec.vx[k], rec.vy[k]}) {
            text += ',';
            text += csvNumber(value);
        }
        text += '\n';
    }
    return text;
}

void applyState(Record& rec, const ParticleState& state)
{
    for (int k = 1; k <= ParticleCount; ++k) {
        const auto index = static_cast<std::size_t>(k - 1);
        rec.x[k] = state.x[index];
        rec.y[k] = state.y[index];
        rec.vx[k] = state.vx[index];
        rec.vy[k] = state.vy[index];
    }
    if (state.parameters.R)
        rec.R = static_cast<float>(textToNumber(*state.parameters.R));  // as a lattice start reads the box
    ++rec.positionsVersion;
}

}  // namespace ljgas
