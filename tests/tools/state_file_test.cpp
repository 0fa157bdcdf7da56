// The state file as library calls: the strict reader on malformed text, the
// positions it wraps into the box, the writer's format, and the round trip of
// every finite float (every position in the box), bit for bit.
#include "files/state_file.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <string>

#include "batch_process.h"
#include "engine/record.h"
#include "files/lammps_export.h"
#include "runtime/number_to_text.h"
#include "runtime/text_to_number.h"
#include "version.h"

namespace ljgas {
namespace {

using test::lines;
using test::stateText;

// A record whose particle k has x = k/1000, y = k/256, vx = -k * 1e-3,
// vy = 1/k: every value differs, so a value in the wrong place is noticed.
std::unique_ptr<Record> numberedRecord()
{
    auto rec = std::make_unique<Record>();
    rec->n = ParticleCount;
    for (int k = 1; k <= ParticleCount; ++k) {
        rec->x[k] = static_cast<float>(k / 1000.0);
        rec->y[k] = static_cast<float>(k / 256.0);
        rec->vx[k] = static_cast<float>(-k * 1e-3);
        rec->vy[k] = static_cast<float>(1.0 / k);
    }
    return rec;
}

std::uint32_t bits(float value) { return std::bit_cast<std::uint32_t>(value); }

// Any finite float, drawn by its bit pattern, so that subnormals, huge and
// tiny values and both zeros all come up; a position, any such float in the
// box [0, 1].
float randomFiniteFloat(std::mt19937& random)
{
    for (;;) {
        const float value = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
        if (std::isfinite(value))
            return value;
    }
}

float randomPosition(std::mt19937& random)
{
    for (;;) {
        const float value = randomFiniteFloat(random);
        if (value >= 0.0f && value <= 1.0f)
            return value;
    }
}

std::string replaceLine(const std::string& text, int lineNumber, const std::string& replacement)
{
    std::vector<std::string> all = lines(text);
    all[static_cast<std::size_t>(lineNumber - 1)] = replacement;
    std::string joined;
    for (const std::string& line : all)
        joined += line + "\n";
    return joined;
}

std::string withoutLastLines(const std::string& text, int count)
{
    std::vector<std::string> all = lines(text);
    all.resize(all.size() - static_cast<std::size_t>(count));
    std::string joined;
    for (const std::string& line : all)
        joined += line + "\n";
    return joined;
}

// ---------------------------------------------------------------------------
// The writer.

TEST(StateFileWriter, HeaderThenOneLinePerParticleInOrder)
{
    const auto rec = numberedRecord();
    const std::vector<std::string> all = lines(stateText(*rec));
    ASSERT_EQ(all.size(), 1u + ParticleCount);
    EXPECT_EQ(all[0], "k,x,y,vx,vy");
    EXPECT_EQ(all[1], "1,0.00100000005,0.00390625,-0.00100000005,1");
    EXPECT_EQ(all[3], "3,0.00300000003,0.01171875,-0.00300000003,0.333333343");
    EXPECT_EQ(all[225], "225,0.224999994,0.87890625,-0.224999994,0.00444444455");
}

TEST(StateFileWriter, NumbersArePrintfNineSignificantDigits)
{
    std::mt19937 random(20240601);
    char expected[64];
    for (int i = 0; i < 20000; ++i) {
        const float value = randomFiniteFloat(random);
        std::snprintf(expected, sizeof expected, "%.9g", static_cast<double>(value));
        ASSERT_EQ(csvNumber(value), expected) << "bits " << std::hex << bits(value);
    }
    EXPECT_EQ(csvNumber(-0.0f), "-0");
    EXPECT_EQ(csvNumber(0.0f), "0");
    EXPECT_EQ(csvNumber(FLT_MAX), "3.40282347e+38");
    EXPECT_EQ(csvNumber(std::numeric_limits<float>::denorm_min()), "1.40129846e-45");
}

TEST(StateFileWriter, WritesOnlyParticles1To225)
{
    auto rec = numberedRecord();
    rec->x[0] = 12345.5f;
    rec->vy[226] = 12345.5f;
    rec->n = 0;  // the file always holds 225 particles, whatever n says
    const std::string text = stateText(*rec);
    EXPECT_EQ(text.find("12345.5"), std::string::npos);
    EXPECT_EQ(lines(text).size(), 1u + ParticleCount);
}

// ---------------------------------------------------------------------------
// The round trip.

TEST(StateFileRoundTrip, EveryFiniteFloatReadsBackBitIdentical)
{
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        auto rec = std::make_unique<Record>();
        for (int k = 1; k <= ParticleCount; ++k) {
            rec->x[k] = randomPosition(random);
            rec->y[k] = randomPosition(random);
            rec->vx[k] = randomFiniteFloat(random);
            rec->vy[k] = randomFiniteFloat(random);
        }
        const ParticleState state = parseStateText(stateText(*rec), "round-trip");
        ASSERT_EQ(state.note, "");
        for (int k = 1; k <= ParticleCount; ++k) {
            const auto i = static_cast<std::size_t>(k - 1);
            ASSERT_EQ(bits(state.x[i]), bits(rec->x[k])) << "particle " << k;
            ASSERT_EQ(bits(state.y[i]), bits(rec->y[k])) << "particle " << k;
            ASSERT_EQ(bits(state.vx[i]), bits(rec->vx[k])) << "particle " << k;
            ASSERT_EQ(bits(state.vy[i]), bits(rec->vy[k])) << "particle " << k;
        }
    }
}

TEST(StateFileRoundTrip, ExtremeValuesReadBackBitIdentical)
{
    // Velocities take any of them, positions those in the box.
    const float extremes[] = {0.0f,
                              -0.0f,
                              FLT_MAX,
                              -FLT_MAX,
                              FLT_MIN,
                              std::numeric_limits<float>::denorm_min(),
                              -std::numeric_limits<float>::denorm_min(),
                              std::nextafter(FLT_MIN, 0.0f),
                              1.0f,
                              std::nextafter(1.0f, 2.0f),
                              std::nextafter(1.0f, 0.0f),
                              0.001f,
                              1.0f / 3.0f,
                              16777217.0f};
    auto rec = std::make_unique<Record>();
    for (int k = 1; k <= ParticleCount; ++k) {
        const float value = extremes[static_cast<std::size_t>(k) % std::size(extremes)];
        const bool inBox = value >= 0.0f && value <= 1.0f;
        rec->x[k] = inBox ? value : 0.5f;
        rec->y[k] = inBox ? value : 0.25f;
        rec->vx[k] = value;
        rec->vy[k] = -value;
    }
    const std::string text = stateText(*rec);
    const ParticleState state = parseStateText(text, "extremes");
    auto back = std::make_unique<Record>();
    applyState(*back, state);
    EXPECT_EQ(stateText(*back), text);
    for (int k = 1; k <= ParticleCount; ++k) {
        ASSERT_EQ(bits(back->y[k]), bits(rec->y[k])) << "particle " << k;
        ASSERT_EQ(bits(back->vy[k]), bits(rec->vy[k])) << "particle " << k;
    }
}

TEST(StateFileRoundTrip, ApplyStateReplacesParticles1To225Only)
{
    const auto source = numberedRecord();
    const ParticleState state = parseStateText(stateText(*source), "numbered");

    auto rec = std::make_unique<Record>();
    rec->n = 225;
    rec->R = 0.01f;
    rec->PauseMark = -1;
    rec->nbins = 200;
    rec->g[29] = 0.5f;
    for (int i : {0, 226, 1000}) {
        rec->x[i] = 7.0f;
        rec->vy[i] = 7.0f;
    }
    applyState(*rec, state);

    EXPECT_EQ(stateText(*rec), stateText(*source));
    for (int i : {0, 226, 1000}) {
        EXPECT_EQ(rec->x[i], 7.0f);
        EXPECT_EQ(rec->vy[i], 7.0f);
    }
    EXPECT_EQ(rec->n, 225);
    EXPECT_EQ(rec->R, 0.01f);
    EXPECT_EQ(rec->PauseMark, -1);
    EXPECT_EQ(rec->nbins, 200);
    EXPECT_EQ(rec->g[29], 0.5f);
}

// ---------------------------------------------------------------------------
// The reader's tolerances.

TEST(StateFileReader, AcceptsCrlfLineEndsAMissingFinalNewlineAByteOrderMarkAndBlankLinesAtTheEnd)
{
    const auto rec = numberedRecord();
    const std::string text = stateText(*rec);
    std::string crlf;
    for (const std::string& line : lines(text))
        crlf += line + "\r\n";
    std::string unterminated = text;
    unterminated.pop_back();
    std::string crlfUnterminated = crlf;
    crlfUnterminated.resize(crlfUnterminated.size() - 2);

    const ParticleState expected = parseStateText(text, "lf");
    for (const std::string& variant : {crlf, unterminated, crlfUnterminated, "\xEF\xBB\xBF" + crlf,
                                       text + "\n \n\t\r\n", crlfUnterminated + "\r\n\r\n"}) {
        const ParticleState state = parseStateText(variant, "variant");
        EXPECT_EQ(state.x, expected.x);
        EXPECT_EQ(state.vy, expected.vy);
        EXPECT_EQ(state.note, "");
    }
}

TEST(StateFileReader, AcceptsOtherSpellingsOfTheSameNumber)
{
    const auto rec = numberedRecord();
    const std::string text = replaceLine(stateText(*rec), 2, "1,5E-1,1.0000,-1e0,.25");
    const ParticleState state = parseStateText(text, "spellings");
    EXPECT_EQ(state.x[0], 0.5f);
    EXPECT_EQ(state.y[0], 1.0f);
    EXPECT_EQ(state.vx[0], -1.0f);
    EXPECT_EQ(state.vy[0], 0.25f);
}

// A finite position outside the closed box is wrapped into it as the drift
// wraps, in double and rounded once; the note names the first and counts
// them.
struct Outside {
    const char* name;
    const char* field;
    float wrapped;
};

std::ostream& operator<<(std::ostream& out, const Outside& row) { return out << row.name; }

class StateFileOutside : public ::testing::TestWithParam<Outside> {};

TEST_P(StateFileOutside, IsWrappedIntoTheBoxWithANote)
{
    const Outside& row = GetParam();
    const auto rec = numberedRecord();
    std::string text = replaceLine(stateText(*rec), 8, std::string("7,") + row.field + ",0.5,0.1,0.2");
    text = replaceLine(text, 9, std::string("8,0.5,") + row.field + ",0.1,0.2");
    const ParticleState state = parseStateText(text, "out.csv");
    EXPECT_EQ(bits(state.x[6]), bits(row.wrapped));
    EXPECT_EQ(bits(state.y[7]), bits(row.wrapped));
    EXPECT_EQ(state.x[7], 0.5f);
    EXPECT_EQ(state.note, "out.csv:8: x = " + csvNumber(std::strtof(row.field, nullptr)) +
                              " lies outside the box [0, 1] and is read as " + csvNumber(row.wrapped) +
                              " (2 positions in all were wrapped into the box)");
}

INSTANTIATE_TEST_SUITE_P(Rows, StateFileOutside,
                         ::testing::Values(Outside{"OneAndAHalfBoxes", "2.5", 0.5f},
                                           Outside{"WholeBoxesBelow", "-5", 0.0f},
                                           Outside{"BeyondEveryFraction", "1e30", 0.0f},
                                           Outside{"QuarterBelow", "-0.25", 0.75f},
                                           Outside{"JustBelowRoundsToTheEdge", "-1e-9", 1.0f},
                                           Outside{"JustAbove", "1.00000012", 1.1920929e-07f},
                                           Outside{"LargestFloat", "3.40282347e+38", 0.0f}),
                         [](const ::testing::TestParamInfo<Outside>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Malformed text: every fault is reported with the file name, the line at
// fault and what is wrong there, as "name:line: problem".

struct Malformed {
    const char* name;
    std::function<std::string(const std::string&)> damage;  // applied to a valid text
    int line;
    std::string problem;  // must appear in the message
};

std::ostream& operator<<(std::ostream& out, const Malformed& row) { return out << row.name; }

class StateFileMalformed : public ::testing::TestWithParam<Malformed> {};

TEST_P(StateFileMalformed, IsRejectedNamingTheLine)
{
    const Malformed& row = GetParam();
    const auto rec = numberedRecord();
    const std::string text = row.damage(stateText(*rec));
    try {
        parseStateText(text, "in.csv");
        FAIL() << "accepted";
    } catch (const FileError& e) {
        EXPECT_EQ(e.line(), row.line);
        const std::string message = e.what();
        EXPECT_EQ(message.rfind("in.csv:" + std::to_string(row.line) + ": ", 0), 0u) << message;
        EXPECT_NE(message.find(row.problem), std::string::npos) << message;
    }
}

const auto line = [](int number, std::string replacement) {
    return [number, replacement](const std::string& text) { return replaceLine(text, number, replacement); };
};

const auto commented = [](std::string comments) {
    return [comments](const std::string& text) { return comments + text; };
};

INSTANTIATE_TEST_SUITE_P(
    Rows, StateFileMalformed,
    ::testing::Values(
        Malformed{"Empty", [](const std::string&) { return std::string(); }, 1, "the file is empty"},
        Malformed{"HeaderMissing", [](const std::string& t) { return t.substr(t.find('\n') + 1); }, 1,
                  "expected the header 'k,x,y,vx,vy', found '1,"},
        Malformed{"HeaderShort", line(1, "k,x,y,vx"), 1, "found 'k,x,y,vx'"},
        Malformed{"HeaderCapitalised", line(1, "K,X,Y,VX,VY"), 1, "expected the header"},
        Malformed{"TwoByteOrderMarks", line(1, "\xEF\xBB\xBF\xEF\xBB\xBFk,x,y,vx,vy"), 1,
                  "found '\\xEF\\xBB\\xBFk,x,y,vx,vy'"},
        Malformed{"HeaderOnly", [](const std::string&) { return std::string("k,x,y,vx,vy\n"); }, 2,
                  "the file ends after 0 particles; expected 225"},
        Malformed{"OneParticleShort", [](const std::string& t) { return withoutLastLines(t, 1); }, 226,
                  "the file ends after 224 particles; expected 225"},
        Malformed{"HundredParticlesShort", [](const std::string& t) { return withoutLastLines(t, 100); }, 127,
                  "the file ends after 125 particles"},
        Malformed{"ExtraParticle", [](const std::string& t) { return t + "226,0,0,0,0\n"; }, 227,
                  "unexpected line after particle 225"},
        Malformed{"TextAfterBlankLines", [](const std::string& t) { return t + "\n\n0\n"; }, 229,
                  "unexpected line after particle 225"},
        Malformed{"BlankLineInside", line(50, ""), 50, "expected 5 fields k,x,y,vx,vy, found 1"},
        Malformed{"FourFields", line(7, "6,0.1,0.2,0.3"), 7, "found 4"},
        Malformed{"TrailingComma", line(7, "6,0.1,0.2,0.3,0.4,"), 7, "found 6"},
        Malformed{"SemicolonSeparated", line(9, "8;0.1;0.2;0.3;0.4"), 9, "found 1"},
        Malformed{"ParticleNumberNotANumber", line(3, "two,0.1,0.2,0.3,0.4"), 3,
                  "particle number 'two' is not a whole number"},
        Malformed{"ParticleNumberFraction", line(3, "2.0,0.1,0.2,0.3,0.4"), 3, "particle number '2.0'"},
        Malformed{"ParticleNumberEmpty", line(3, ",0.1,0.2,0.3,0.4"), 3, "particle number ''"},
        Malformed{"DuplicateParticle", line(4, "2,0.1,0.2,0.3,0.4"), 4, "particle number 2, expected 3"},
        Malformed{"MissingParticle",
                  [](const std::string& t) {
                      // Particle 3 left out, the rest shifted up: 224 lines, and
                      // the first fault is particle 4 where 3 belongs.
                      std::vector<std::string> all = lines(t);
                      all.erase(all.begin() + 3);
                      std::string joined;
                      for (const std::string& l : all)
                          joined += l + "\n";
                      return joined;
                  },
                  4, "particle number 4, expected 3"},
        Malformed{"ParticleZero", line(2, "0,0.1,0.2,0.3,0.4"), 2, "particle number 0, expected 1"},
        Malformed{"ParticlesReversed", line(2, "225,0.1,0.2,0.3,0.4"), 2, "particle number 225, expected 1"},
        Malformed{"XNotANumber", line(12, "11,abc,0.2,0.3,0.4"), 12, "x value 'abc' is not a number"},
        Malformed{"YEmpty", line(12, "11,0.1,,0.3,0.4"), 12, "y value '' is not a number"},
        Malformed{"VxNaN", line(12, "11,0.1,0.2,nan,0.4"), 12, "vx value 'nan' is not finite"},
        Malformed{"VyInfinite", line(12, "11,0.1,0.2,0.3,inf"), 12, "vy value 'inf' is not finite"},
        Malformed{"XMinusInfinity", line(12, "11,-inf,0.2,0.3,0.4"), 12, "x value '-inf' is not finite"},
        Malformed{"BeyondSingle", line(12, "11,0.1,0.2,0.3,1e39"), 12,
                  "vy value '1e39' is out of single-precision range"},
        Malformed{"BelowSingle", line(12, "11,0.1,1e-50,0.3,0.4"), 12,
                  "y value '1e-50' is out of single-precision range"},
        Malformed{"TrailingLetters", line(12, "11,0.1abc,0.2,0.3,0.4"), 12, "x value '0.1abc' is not a number"},
        Malformed{"LeadingBlank", line(12, "11, 0.1,0.2,0.3,0.4"), 12, "x value ' 0.1' is not a number"},
        Malformed{"TrailingBlank", line(12, "11,0.1,0.2,0.3,0.4 "), 12, "vy value '0.4 ' is not a number"},
        Malformed{"PlusSign", line(12, "11,+0.1,0.2,0.3,0.4"), 12, "x value '+0.1' is not a number"},
        Malformed{"HexFloat", line(12, "11,0x1p-3,0.2,0.3,0.4"), 12, "x value '0x1p-3' is not a number"},
        Malformed{"DecimalComma", line(12, "11,0,1,0.2,0.3,0.4"), 12, "found 6"},
        Malformed{"NulByte", line(12, std::string("11,0.1,0.2\0,0.3,0.4", 19)), 12,
                  "y value '0.2\\x00' is not a number"},
        Malformed{"LongField", line(12, "11,0.1,0.2,0.3,x" + std::string(5000, '7')), 12,
                  "vy value 'x" + std::string(39, '7') + "...' is not a number"},
        Malformed{"LoneCarriageReturn", line(12, "11,0.1,0.2,0.3,0.4\r12,0.1,0.2,0.3,0.4"), 12, "found 9"},
        // The comment lines above the header: a parameter named wrongly or
        // twice is the fault of its line; comments alone are no state.
        Malformed{"RadiusNotANumber", commented("# R = 0.01\n# R = abc\n"), 2, "R value 'abc' is not a number"},
        Malformed{"RadiusNamedTwice", commented("# R = 0.01\n#R=0.01\n"), 2, "R is named twice"},
        Malformed{"WellBeyondSingle", commented("# e0 = 1e39\n"), 1, "e0 value '1e39' is beyond single precision"},
        Malformed{"TargetBeyondDouble", commented("# Tsoll = 1e400\n"), 1, "Tsoll value '1e400' is beyond the range"},
        Malformed{"ThermostatYes", commented("# thermostat = yes\n"), 1,
                  "thermostat value 'yes' is neither on nor off"},
        Malformed{"StepsNegative", commented("# steps = -5\n"), 1, "steps value '-5' is not a whole number"},
        Malformed{"DynamicsWord", commented("# dynamics = exact\n"), 1,
                  "dynamics value 'exact' is neither designed nor conserving"},
        Malformed{"StepsBeyondAnyRun", commented("# steps = 9007199254740993\n"), 1,
                  "steps value '9007199254740993' is more steps than any run reaches"},
        Malformed{"CommentsOnly", [](const std::string&) { return std::string("# ljgas 1.1.0\n# R = 0.01\n"); }, 3,
                  "the file ends before the header"}),
    [](const ::testing::TestParamInfo<Malformed>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Reading from a file.

TEST(StateFileReader, MissingFileIsReportedWithItsName)
{
    test::ScratchFolder folder;
    try {
        readStateFile(folder.file("absent.csv"));
        FAIL() << "accepted";
    } catch (const FileError& e) {
        EXPECT_EQ(e.line(), 0);
        EXPECT_EQ(std::string(e.what()),
                  "cannot open state file '" + folder.file("absent.csv") + "': No such file or directory");
    }
}

TEST(StateFileReader, DirectoryIsRejected)
{
    test::ScratchFolder folder;
    EXPECT_THROW(
        {
            try {
                readStateFile(folder.path());
            } catch (const FileError& e) {
                EXPECT_NE(std::string(e.what()).find("is a directory"), std::string::npos) << e.what();
                throw;
            }
        },
        FileError);
}

TEST(StateFileReader, HugeFileIsRejectedWithoutReadingItAll)
{
    test::ScratchFolder folder;
    const std::string path = folder.file("huge.csv");
    const auto rec = numberedRecord();
    test::writeText(path, stateText(*rec) + std::string(2 << 20, '#'));
    try {
        readStateFile(path);
        FAIL() << "accepted";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find("larger than 1 MiB"), std::string::npos) << e.what();
    }
}

TEST(StateFileReader, FileMessagesCarryThePath)
{
    test::ScratchFolder folder;
    const std::string path = folder.file("bad.csv");
    const auto rec = numberedRecord();
    test::writeText(path, replaceLine(stateText(*rec), 100, "99,0.1,0.2,0.3"));
    try {
        readStateFile(path);
        FAIL() << "accepted";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()), path + ":100: expected 5 fields k,x,y,vx,vy, found 4");
        EXPECT_EQ(e.line(), 100);
    }
}

TEST(StateFileReader, ReadsWhatTheWriterWrote)
{
    test::ScratchFolder folder;
    const std::string path = folder.file("state.csv");
    const auto rec = numberedRecord();
    test::writeText(path, stateText(*rec));
    const ParticleState state = readStateFile(path);
    EXPECT_EQ(state.x[224], rec->x[225]);
    EXPECT_EQ(state.vy[0], rec->vy[1]);
}

// ---------------------------------------------------------------------------
// The comment lines: parameters named in any spelling a box reads, free text
// passed over, the state beneath the same as without them.

TEST(StateFileComments, NameTheParametersAndLeaveTheStateAsItIs)
{
    const auto rec = numberedRecord();
    const std::string bare = stateText(*rec);
    const ParticleState state = parseStateText("\xEF\xBB\xBF# ljgas 1.0.0\r\n#R=0.012\n#   e0 =  .25\t\n"
                                               "# written by hand = no parameter\n# Tsoll = 3D-1\n"
                                               "# thermostat = off\n# steps = 0042\n#\n" +
                                                   bare,
                                               "commented");
    const ParticleState plain = parseStateText(bare, "plain");
    EXPECT_EQ(state.x, plain.x);
    EXPECT_EQ(state.vy, plain.vy);
    EXPECT_EQ(state.parameters.R, "0.012");
    EXPECT_EQ(state.parameters.e0, ".25");
    EXPECT_EQ(state.parameters.Tsoll, "3D-1");
    EXPECT_EQ(state.parameters.thermostat, false);
    EXPECT_EQ(state.parameters.steps, 42);
    EXPECT_FALSE(plain.parameters.namesAny() || plain.parameters.steps);
}

// What a run holds, written and read back: each value as its shortest text
// that the boxes read back to the very number, and R put into the record.
TEST(StateFileComments, WrittenParametersReadBackToTheValuesTheRunHeld)
{
    const auto rec = numberedRecord();
    rec->R = 0.01f;
    const std::string text = stateFileText(*rec, stateParameters(*rec, {0.2f, 0.3, true}, 1234));
    EXPECT_EQ(text.substr(0, text.find("k,x,y")), std::string("# ljgas ") + Version +
                                                      "\n# R = 0.01\n# e0 = 0.2\n# Tsoll = 0.3\n"
                                                      "# thermostat = on\n# steps = 1234\n");

    // No box reads an infinite e0 back: it gets no line.
    const ParticleState noWell = parseStateText(
        stateFileText(*rec, stateParameters(*rec, {std::numeric_limits<float>::infinity(), 0.3, false}, 0)), "inf");
    EXPECT_FALSE(noWell.parameters.e0);

    // R goes into the record as the boxes read it...
    rec->R = 3.0e-3f;
    auto read = std::make_unique<Record>();
    applyState(*read, parseStateText(stateFileText(*rec, stateParameters(*rec, {0.2f, 0.3, true}, 0)), "R"));
    EXPECT_EQ(bits(read->R), bits(rec->R));
    // ...which turn every float's text back into that float, also the one
    // whose shortest text does not survive the double in between.
    const float awkward = 0x1.5c87fap-84f;
    EXPECT_EQ(bits(static_cast<float>(textToNumber(exactSingle(awkward)))), bits(awkward)) << exactSingle(awkward);
    std::mt19937 random(20240601);
    for (int i = 0; i < 200000; ++i) {
        const float value = randomFiniteFloat(random);
        ASSERT_EQ(bits(static_cast<float>(textToNumber(exactSingle(value)))), bits(value)) << exactSingle(value);
    }
}

}  // namespace
}  // namespace ljgas
