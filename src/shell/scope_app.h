// The application core: the main window's state and every subsystem working on it, the
// start-up sequence, quitting, and the commands from keys, menus and buttons. Run, Record and
// the cursors are classes of their own; this core wires them to the commands.
#pragma once

#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "analysis/acquisition.h"
#include "link/serial_link.h"
#include "model/channel_selection.h"
#include "model/reference_selection.h"
#include "model/scope_state.h"
#include "plot/composition.h"
#include "protocol/acquisition_hold.h"
#include "protocol/curve_transfer.h"
#include "protocol/instrument_init.h"
#include "protocol/settings_queries.h"
#include "shell/cursor_tool.h"
#include "shell/help_window.h"
#include "shell/main_window.h"
#include "shell/measure_control.h"
#include "shell/port_control.h"
#include "shell/qt_window_ops.h"
#include "shell/recorder.h"
#include "shell/review.h"
#include "shell/review_measures.h"
#include "shell/run_control.h"
#include "shell/save_and_copy.h"
#include "shell/shown_read.h"
#include "shell/trend_window.h"

namespace curvalon {

class ScopeApp {
  public:
    // exitProgram ends the process at once with the given code; tests replace it. port is the
    // serial port to use at start-up, the platform's first one unless a test says otherwise;
    // ports lists the ports to choose from, the system's unless a test gives its own.
    ScopeApp(MainWindow& window, SerialDevice& device, LinkClock& clock,
             std::function<void(int)> exitProgram, std::string port = firstSerialPort(),
             const PortList* ports = nullptr);

    // The window's load handler: arms the start-up timer. It ticks every 100 ms for the whole
    // run; only its first tick starts the tool.
    void load();
    void quitProgram();

    // Commands.
    void keyPress(int charCode);
    void otherKey(int qtKey);
    void buttonClicked(Button b, int index);
    void menuChosen(Menu m, int index);
    // Curve > Run, and Record…: asks for a folder and records into it, or stops recording.
    void toggleRun();
    void toggleRecord();
    // File > Open…: asks for files or a folder and reviews them; openPaths reviews them at once.
    void openFiles();
    void openPaths(const QStringList& paths);

    ScopeState& state() { return state_; }
    SerialLink& link() { return link_; }
    const RunControl& run() const { return run_; }
    const Recorder& recorder() const { return recorder_; }
    const Review& review() const { return review_; }
    CursorTool& cursors() { return cursors_; }
    MeasureControl& measure() { return measure_; }
    HelpWindow* helpWindow() const { return help_; }
    MeasurementWindow* measurementWindow() const { return measure_.window(); }
    // Measure > Trend…: opens on the Frequency of the first shown source.
    void showTrend();
    TrendWindow* trendWindow() const { return trend_; }
    const ReviewMeasures& reviewMeasures() const { return reviewMeasures_; }
    PortControl& port() { return port_; }
    const QTimer& timer1() const { return timer1_; }

    // What a key, a button or a menu item asks for; buttons and menu items that do the same
    // thing share one command.
    enum class Command {
        NewCurve,
        ReadAndDraw,
        ReDraw,
        ToggleChannel,
        ToggleRef,
        ToggleRefView,
        ReadReferences,
        ZoomH,
        ZoomV,
    };

  private:
    void connectWindow();
    void startUp();
    void initInstrument();
    void runKey(int key);
    void showHelp();
    // The run's reads and the recording's files, or the progress of a run's read.
    void showRunStatus();
    void showInstrumentItems();
    void sayWhyGreyed(QAction* item);
    void run(Command c, std::int32_t index);
    // Runs a command that talks to the instrument now, after the read of a run in progress, or
    // says in the status panel why it cannot run.
    void instrumentCommand(std::function<void()> command);
    // "Stat:" before the action and "" after it.
    void wrapped(const std::function<void()>& action);
    bool fullRead(Command c);
    bool runRead();
    void zoomTo(std::int32_t hIdx, std::int32_t vIdx);
    // The picture as it should show now: redrawn at once, the last completed read during a run.
    void redrawShown();
    // Keeps what a read left as the acquisition that files and measurements work from.
    void readDone(const ReadScope& scope);
    // The read's file and index row; failure is the text of the box it showed, if any.
    void recordRead(const ReadScope& scope, const std::string& failure);
    // The opened file or the recording's read, shown; a step through the recording; and the
    // way back to what the instrument showed before.
    void showReviewed();
    void stepReview(int key);
    // demoIfAbsent: the demo waveforms come back without an instrument; false where a wake-up
    // follows at once and decides.
    void leaveReview(bool demoIfAbsent = true);
    struct FieldLook {
        QLabel* label;
        QString text;
        QPalette palette;
        QFont font;
    };
    std::vector<FieldLook> readoutLook() const;
    // The cursors and the measurements, after a read, a change of what is shown or a move.
    void refreshMeasurements(bool cursorsMoved = false);
    // The trend window, where it shows, with what the history holds now.
    void refreshTrend();
    // A point of the trend clicked: the recording's read it stands for, shown.
    void showTrendRead(std::size_t read);

    MainWindow& window_;
    std::function<void(int)> exitProgram_;
    std::string startPort_;  // the port the start-up opens
    ScopeState state_;
    QtWindowOps ops_;
    SerialLink link_;
    ChannelSelection channels_;
    ReferenceSelection references_;
    SettingsQueries queries_;
    CurveTransfer curves_;
    Composer composer_;
    InstrumentInit init_;
    AcquisitionHold hold_;
    QTimer timer1_;
    QPointer<HelpWindow> help_;
    std::unique_ptr<PortList> systemPorts_;
    const PortList& ports_;
    PortControl port_;
    ShownRead shown_;  // what the plot shows of the last read, redrawn while a run reads the next
    bool redrawAfterRead_ = false;
    bool saveWaiting_ = false;  // Save chosen before the first picture was drawn
    CursorTool cursors_;
    MeasureControl measure_;
    SaveAndCopy export_;
    RunControl run_;
    Recorder recorder_;
    Review review_;
    ReviewMeasures reviewMeasures_;
    QPointer<TrendWindow> trend_;
    std::unique_ptr<ScopeState> beforeReview_;  // what the review replaced, to come back to
    Snapshot readBeforeReview_;
    std::vector<FieldLook> readoutBeforeReview_;
};

}  // namespace curvalon
