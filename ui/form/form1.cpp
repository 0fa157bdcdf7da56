#include "ui/form/form1.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QStringList>
#include <utility>

#include "engine/checked.h"
#include "engine/record.h"
#include "platform/event_pump.h"
#include "platform/palette.h"
#include "platform/picture_box.h"
#include "platform/twips.h"
#include "runtime/number_to_text.h"
#include "ui/form/distribution_plot.h"
#include "ui/form/finished_text.h"
#include "ui/form/particle_view.h"
#include "ui/form/window_centring.h"
#include "ui/model/gas_model.h"

namespace ljgas {

namespace {

const char* const titleText = "Lennard-Jones Gas";

// The layout is stored in twips; converted to pixels at the screen's dpi.
constexpr int clientWidth = 14460;
constexpr int clientHeight = 8580;

struct TwipRect {
    int left;
    int top;
    int width;
    int height;
};

// Point sizes of the layout: the window's own font and the larger captions.
constexpr qreal smallPoints = 8.25;
constexpr qreal formPoints = 13.5;
constexpr qreal largePoints = 18.0;

// The layout was designed for "MS Sans Serif"; where it is missing,
// Liberation Sans (of Arial's widths, close to its own) stands in at the
// same point sizes, then DejaVu Sans.
QFont layoutFont(qreal points)
{
    QFont font;
    font.setFamilies(
        {QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

QRect pixelRect(const TwipRect& r, double dpiX, double dpiY)
{
    return {twipsToPixels(r.left, dpiX), twipsToPixels(r.top, dpiY), twipsToPixels(r.width, dpiX),
            twipsToPixels(r.height, dpiY)};
}

// A control of the layout; one without a point size of its own takes the form's.
template <class Control>
Control* addControl(QWidget* form, const char* name, const TwipRect& where, qreal points = 0.0)
{
    auto* control = new Control(form);
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(pixelRect(where, form->logicalDpiX(), form->logicalDpiY()));
    if (points > 0.0)
        control->setFont(layoutFont(points));
    return control;
}

}  // namespace

Form1::Form1(QWidget* parent) : Form1(parent, nullptr) {}

Form1::Form1(QMainWindow& mainWindow) : Form1(&mainWindow, &mainWindow) {}

Form1::Form1(QWidget* parent, QMainWindow* mainWindow)
    : QWidget(parent), model_(new GasModel(this)), reporter_([this](const QString& message) {
          QMessageBox::critical(this, QString::fromLatin1(titleText), message);
      })
{
    createControls();
    connectHandlers();
    connectModel();
    if (mainWindow != nullptr)
        mainWindow->setCentralWidget(this);
}

Form1::~Form1() = default;

void Form1::setErrorReporter(ErrorReporter reporter) { reporter_ = std::move(reporter); }

// The fifteen controls in the order of the stored layout; Qt's default focus
// chain follows creation, and the tab order is set after.
void Form1::createControls()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(titleText));
    setFont(layoutFont(formPoints));
    const double dpiX = logicalDpiX();
    const double dpiY = logicalDpiY();
    setFixedSize(twipsToPixels(clientWidth, dpiX), twipsToPixels(clientHeight, dpiY));

    Tsolltxt = addControl<QLineEdit>(this, "Tsolltxt", {10440, 2040, 1095, 495});
    Thermostat = addControl<QCheckBox>(this, "Thermostat", {11880, 2040, 1935, 375});
    Thermostat->setText(QStringLiteral("Thermostat"));
    e0txt = addControl<QLineEdit>(this, "e0txt", {10440, 1440, 1095, 495});
    Rtxt = addControl<QLineEdit>(this, "Rtxt", {10440, 840, 1095, 495});
    Distribution = addControl<PictureBox>(this, "Distribution", {9360, 4320, 5055, 4215}, smallPoints);
    Distribution->setBackColor(QBColor(0));
    pause = addControl<QPushButton>(this, "pause", {12960, 120, 1455, 615}, largePoints);
    pause->setText(QStringLiteral("Stop"));
    Initialize = addControl<QPushButton>(this, "Initialize", {9360, 120, 1455, 615}, largePoints);
    Initialize->setText(QStringLiteral("Initialize"));
    Go = addControl<QPushButton>(this, "Go", {11400, 120, 1095, 615}, largePoints);
    Go->setText(QStringLiteral("Go"));
    window = addControl<PictureBox>(this, "window", {0, 0, 9255, 8535}, smallPoints);
    window->setBackColor(QBColor(0));
    // Every drawing call names its colour; white is the view's own all the same.
    window->setForeColor(QBColor(15));
    moving_ = std::make_unique<MovingParticles>(*window);
    Label2[3] = addControl<QLabel>(this, "Label2(3)", {9360, 2040, 1335, 495}, largePoints);
    Label2[3]->setText(QStringLiteral("Tsoll="));
    Label2[2] = addControl<QLabel>(this, "Label2(2)", {9360, 1440, 615, 495}, largePoints);
    Label2[2]->setText(QStringLiteral("e0="));
    Ttxt = addControl<QLabel>(this, "Ttxt", {10440, 2640, 2655, 495});
    // A white field even while empty, so that it reads as a box of its own.
    Ttxt->setAutoFillBackground(true);
    QPalette white = Ttxt->palette();
    white.setColor(QPalette::Window, Qt::white);
    Ttxt->setPalette(white);
    Label2[1] = addControl<QLabel>(this, "Label2(1)", {9360, 2640, 855, 495}, largePoints);
    Label2[1]->setText(QStringLiteral("Tist="));
    Label3 = addControl<QLabel>(this, "Label3", {9360, 3840, 4935, 375});
    Label3->setText(QStringLiteral("Radial Distribution Function g(r)"));
    Label2[0] = addControl<QLabel>(this, "Label2(0)", {9360, 840, 495, 495}, largePoints);
    Label2[0]->setText(QStringLiteral("R="));

    // Labels lie beneath the other controls: "Tsoll=" reaches under the left
    // edge of Tsolltxt.
    for (QLabel* label : {Label2[3], Label2[2], Ttxt, Label2[1], Label3, Label2[0]})
        label->lower();

    // Only the buttons, the boxes and the check box take focus.
    setTabOrder(Go, Initialize);
    setTabOrder(Initialize, pause);
    setTabOrder(pause, Rtxt);
    setTabOrder(Rtxt, e0txt);
    setTabOrder(e0txt, Thermostat);
    setTabOrder(Thermostat, Tsolltxt);
    Go->setFocus();
}

void Form1::connectHandlers()
{
    connect(Go, &QPushButton::clicked, this, &Form1::Go_Click);
    connect(pause, &QPushButton::clicked, this, &Form1::pause_Click);
    connect(Initialize, &QPushButton::clicked, this, &Form1::Initialize_Click);
}

// The model holds what the engine reads, each box's text as its last
// finished edit left it; the boxes show what a file sets in the model.
void Form1::connectModel()
{
    const auto take = [this] { takeEdits(); };
    finishedTexts_ = {new FinishedText(*Rtxt, take), new FinishedText(*e0txt, take), new FinishedText(*Tsolltxt, take)};
    connect(Thermostat, &QCheckBox::toggled, this, take);
    connect(model_, &GasModel::parametersChanged, this, &Form1::showParameters);
    connect(model_, &GasModel::readOutTaken, this,
            [this](float T) { Ttxt->setText(QString::fromStdString(numberToText(T))); });
    // A step that failed between its erases and draws (a step in sub-steps
    // erases every disc first) would leave the view black.
    connect(model_, &GasModel::stepFailed, this, [this] { redrawParticles(record()); });
    model_->setReporter([this](const QString& message) { reporter_(message); });
    model_->setView(this);
    model_->setPlot(this);
    model_->setYield([this] { doEvents(); });
}

void Form1::takeEdits()
{
    if (finishedTexts_[2] == nullptr || taking_)
        return;  // the boxes are still being made, or showing the model
    Parameters p = model_->parameters();
    p.R = finishedTexts_[0]->text();
    p.e0 = finishedTexts_[1]->text();
    p.Tsoll = finishedTexts_[2]->text();
    p.thermostat = Thermostat->isChecked();
    // Not shown back: a box halfway through an edit keeps what is typed.
    taking_ = true;
    model_->setParameters(p);
    taking_ = false;
}

void Form1::showParameters()
{
    if (taking_)
        return;
    // The boxes' own change signals would hand the half-shown texts back.
    taking_ = true;
    const Parameters p = model_->parameters();
    const std::pair<QLineEdit*, const std::string*> boxes[] = {{Rtxt, &p.R}, {e0txt, &p.e0}, {Tsolltxt, &p.Tsoll}};
    for (const auto& [box, text] : boxes) {
        if (box->text().toStdString() != *text)
            box->setText(QString::fromStdString(*text));
    }
    Thermostat->setChecked(p.thermostat);
    taking_ = false;
}

const Record& Form1::record() const { return model_->record(); }

PictureBox& Form1::particleView() const { return *window; }

void Form1::load()
{
    if (loaded_)
        return;
    loaded_ = true;
    Form_Load();
}

void Form1::setVisible(bool visible)
{
    if (visible)
        load();
    QWidget::setVisible(visible);
}

// Start-up: centre the window by its outer size, write the default texts
// into the boxes (the engine reads the defaults from there) and place the
// particles.
void Form1::Form_Load()
{
    // The frame is known only once the window manager has put one round the
    // shown window: the window is centred again when it arrives.
    centreOnScreen(*QWidget::window());
    recentreWhenFramed(*QWidget::window());

    ljgas::doEvents();
    Rtxt->setText(QStringLiteral("0.01"));
    e0txt->setText(QStringLiteral("0.2"));
    Tsolltxt->setText(QStringLiteral("0.3"));
    Thermostat->setChecked(true);
    Initialize_Click();
}

// A new run's first step is due at once, also when Go comes during a wait.
void Form1::Go_Click()
{
    finishEdits();
    pacer_.restart();
    model_->go();
}

void Form1::pause_Click() { model_->stop(); }

void Form1::Initialize_Click()
{
    finishEdits();
    model_->initialize();
}

// Go and Initialize read what is typed as it stands: a click takes the
// focus from the box and so finishes its edit, their keys (F5, Ctrl+I) do not.
void Form1::finishEdits()
{
    for (FinishedText* text : finishedTexts_)
        text->finish();
}

void Form1::closeEvent(QCloseEvent* event)
{
    // Every run ends after this step's events; the event loop then ends the
    // program.
    model_->close();
    event->accept();
}

void Form1::redrawParticles(const Record& rec)
{
    moving_->finish();
    ljgas::redrawParticles(*window, rec);
}

void Form1::eraseParticle(const Record& rec, int k) { moving_->erase(rec, k); }

void Form1::drawParticle(const Record& rec, int k) { moving_->draw(rec, k); }

void Form1::setUpPlot(const Record& rec) { ljgas::setUpPlot(*Distribution, rec); }

void Form1::redrawPlot(const Record& rec) { ljgas::redrawPlot(*Distribution, rec); }

// The runs' yield, after every step: the pending events, then, for a paced
// run, events as they come until its next slot, so that every button and
// menu is answered at once at every speed; Stop or a new Go ends the wait.
void Form1::doEvents()
{
    ljgas::doEvents();
    std::int64_t wait = pacer_.stepDone();
    while (wait > 0 && !model_->session().stopRequested()) {
        waitForEvents(wait);
        wait = pacer_.remaining();
    }
}

}  // namespace ljgas
