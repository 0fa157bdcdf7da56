#include "ui/shell/box_notes.h"

#include <QLabel>
#include <QStatusBar>
#include <cmath>

#include "runtime/number_to_text.h"
#include "runtime/text_to_number.h"
#include "ui/model/gas_model.h"

namespace ljgas {

namespace {

bool blank(std::string_view text) { return text.find_first_not_of(" \t") == std::string_view::npos; }

// A number that reads well but is no value for its box: a radius that is
// not above 0, a target below 0, or a number beyond what a run holds.
std::string nonsense(std::string_view caption, double value)
{
    const bool beyondSingle = !std::isfinite(static_cast<float>(value));
    if (caption == "R=") {
        if (beyondSingle)
            return "beyond single precision, which Initialize refuses";
        if (!(value > 0.0))
            return "a disc's radius must be more than 0";
    } else if (caption == "e0=") {
        if (beyondSingle)
            return "beyond single precision, so a run's first force overflows";
    } else if (caption == "Tsoll=") {
        if (!std::isfinite(value))
            return "the thermostat would heat the gas until it fails";
        if (value < 0.0)
            return "a temperature cannot be below 0; the thermostat cools the gas to rest";
    }
    return {};
}

}  // namespace

std::string boxNote(std::string_view caption, std::string_view text)
{
    const std::string name(caption);
    if (blank(text))
        return name + " is empty and reads as 0";
    const std::size_t length = leadingNumberLength(text);
    const std::string_view rest = text.substr(length);
    const double value = textToNumber(text);
    const std::string why = nonsense(caption, value);
    if (length > 0 && blank(rest))
        return why.empty() ? std::string() : name + " is " + exactNumber(value) + ": " + why;
    std::string note = name + " reads '" + std::string(text) + "' as " + exactNumber(value);
    // "0,2": a decimal comma, which the engine never reads.
    const bool comma = rest.size() > 1 && rest[0] == ',' && rest[1] >= '0' && rest[1] <= '9';
    if (comma)
        note += ": use a point for decimals";
    if (!why.empty())
        note += (comma ? "; " : ": ") + why;
    return note;
}

BoxNotes::BoxNotes(QStatusBar& statusBar, const GasModel& model) : QObject(&statusBar), model_(model)
{
    label_ = new QLabel(&statusBar);
    label_->setObjectName(QStringLiteral("boxNotes"));
    statusBar.addWidget(label_, 1);
    connect(&model, &GasModel::parametersChanged, this, &BoxNotes::update);
}

// What the engine reads: each box's text as its last finished edit left it.
void BoxNotes::update()
{
    const Parameters& p = model_.parameters();
    QStringList notes;
    for (const auto& [caption, text] : {std::pair{"R=", &p.R}, {"e0=", &p.e0}, {"Tsoll=", &p.Tsoll}}) {
        const std::string note = boxNote(caption, *text);
        if (!note.empty())
            notes.append(QString::fromStdString(note));
    }
    label_->setText(notes.join(QStringLiteral("; ")));
}

}  // namespace ljgas
