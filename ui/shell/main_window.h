// The program's window: the form, and above it the menu bar for files,
// runs, the view and help.
#pragma once

#include <QList>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <functional>
#include <initializer_list>

class QAction;
class QActionGroup;
class QCloseEvent;
class QLabel;
class QMenu;
class QPixmap;

namespace ljgas {

class Form1;
class Measurements;
class ParticleMark;
class TrajectoryRecording;

// What a file dialog is asked for.
struct FileRequest {
    enum class Mode { Open, Save, Folder };
    Mode mode;
    QString title;
    QString filter;
    QString suggestedName;
};

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // Builds the form inside the window: a plain Form1, or the tests' own.
    using FormMaker = std::function<Form1*(QMainWindow& window)>;
    MainWindow();
    explicit MainWindow(const FormMaker& makeForm);

    Form1& form() const { return *form_; }
    Measurements& measurements() const { return *measurements_; }

    // The file dialogs: a path, or an empty string when the user cancelled.
    using FileChooser = std::function<QString(const FileRequest& request)>;
    void setFileChooser(FileChooser chooser);
    // How a failed file command is told: by default a message box.
    using Reporter = std::function<void(const QString& title, const QString& message)>;
    void setReporter(Reporter reporter);

    // Runs the form's start-up before the window first appears.
    void setVisible(bool visible) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createFileMenu();
    void createRunMenu();
    void createViewMenu();
    void attachMeasurements();
    void markParticle(bool on);
    // The form as shown, with the Measurements panel beside it when shown.
    QPixmap windowPicture();
    void createHelpMenu();
    void toggleRecording(QAction* record);
    void applyRememberedSpeed();
    void applyRememberedChoices();
    struct Choice {
        const char* name;
        QString text;
        const char* value;
    };
    QActionGroup* choiceMenu(QMenu* menu, const QString& title, const QString& key,
                             std::initializer_list<Choice> choices);
    void takeChoices();
    void showChoices();
    void runFileCommand(const FileRequest& request, const std::function<QString(const QString& path)>& command);
    void showHelp(QPointer<QMessageBox>& box, const QString& title, const QString& text);

    Form1* form_ = nullptr;
    FileChooser chooseFile_;
    Reporter report_;
    QString lastFolder_;  // where the last file was chosen
    QActionGroup* speeds_ = nullptr;
    QActionGroup* dynamics_ = nullptr;
    QActionGroup* thermostatKinds_ = nullptr;
    QLabel* dynamicsNote_ = nullptr;
    QList<QAction*> exports_;  // need a run to export
    QPointer<QMessageBox> about_;
    QPointer<QMessageBox> reading_;
    Measurements* measurements_ = nullptr;
    ParticleMark* mark_ = nullptr;  // made when first asked for
    QAction* trail_ = nullptr;
    TrajectoryRecording* recording_ = nullptr;  // a child of the form
};

}  // namespace ljgas
