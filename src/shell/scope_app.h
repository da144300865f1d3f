// The application core: the main window's state and every subsystem working on it, the
// start-up sequence, quitting, and the commands from keys, menus and buttons.
#pragma once

#include <QDateTime>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "analysis/acquisition.h"
#include "analysis/cursors.h"
#include "link/port_watch.h"
#include "link/serial_link.h"
#include "model/channel_selection.h"
#include "model/reference_selection.h"
#include "model/scope_state.h"
#include "plot/composition.h"
#include "protocol/acquisition_hold.h"
#include "protocol/curve_transfer.h"
#include "protocol/instrument_init.h"
#include "protocol/settings_queries.h"
#include "shell/help_window.h"
#include "shell/main_window.h"
#include "shell/measurement_window.h"
#include "shell/qt_window_ops.h"

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
    void startUp();
    void quitProgram();

    // Commands.
    void keyPress(int charCode);
    void otherKey(int qtKey);
    void buttonClicked(Button b, int index);
    void menuChosen(Menu m, int index);
    void showHelp();
    // File > Save: the data or the picture into a file the operator chooses.
    void save();
    // The picture, the data or both onto the clipboard, in one entry.
    void copy(bool picture, bool data);
    // File > Port: what Initial TDS2024 does, on the chosen port.
    void choosePort(const std::string& location);
    // Measure > Measurements and Copy measurements.
    void showMeasurements();
    void copyMeasurements();
    // Measure > Cursors, and the operator's hand on them: a press on the plot takes the nearest
    // cursor, moving drags it; the arrow keys move the one taken last.
    void toggleCursors();
    void plotMouse(QEvent::Type type, QPoint at);
    bool moveCursorByKey(int key);
    const CursorSet& cursors() const { return cursors_; }
    // Curve > Run: full reads back to back until chosen again, Esc or a failed exchange.
    // Curve > Record…: every completed read into a folder. Hold: see AcquisitionHold.
    void toggleRun();
    void toggleRecord();
    bool running() const { return running_; }
    MeasurementWindow* measurementWindow() const { return measurements_; }
    bool watchingForPort() const { return watch_.watching(); }

    ScopeState& state() { return state_; }
    SerialLink& link() { return link_; }
    HelpWindow* helpWindow() const { return help_; }
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
    void timer1Tick();
    bool writeFile(const QString& path, bool picture);
    QByteArray table(char separator) const;
    void run(Command c, std::int32_t index);
    void clearEcho();
    bool mayStartCommand() const;
    // "Stat:" before the action and "" after it.
    void wrapped(const std::function<void()>& action);
    void runKey(int key);
    void zoomTo(std::int32_t hIdx, std::int32_t vIdx);
    void fillPortMenu();
    void askForOtherPort();
    void openChosenPort(const std::string& location);
    void portLost();
    bool portBack(const std::string& location);
    // Keeps what a read left as the acquisition that files and measurements work from.
    void readDone(bool curvesRead = true);
    // The measurements of the sources shown now, from the last completed read.
    std::vector<SourceReadings> readings() const;
    void refreshMeasurements(bool cursorsOnly = false);
    int cursorPixel(int cursor) const;
    void showCursors();
    void placeCursor(int cursor, double pixel);
    void keepCursorTimes(const Acquisition& before, const Acquisition& after);
    void fullRead(Command c);
    void stopRun();
    void runOnce();
    void showRunStatus(bool afterRead = false);
    void stopRecording();
    void recordRead();
    QString appendIndexRow(const QString& name, const QDateTime& at);
    void initInstrument();

    MainWindow& window_;
    std::function<void(int)> exitProgram_;
    std::string port_;
    ScopeState state_;
    QtWindowOps ops_;
    SerialLink link_;
    ChannelSelection channels_;
    ReferenceSelection references_;
    SettingsQueries queries_;
    CurveTransfer curves_;
    Composer composer_;
    InstrumentInit init_;
    QTimer timer1_;
    QPointer<HelpWindow> help_;
    QPointer<MeasurementWindow> measurements_;
    QString saveFolder_;  // the folder of the last save, for this run only
    std::unique_ptr<PortList> systemPorts_;
    const PortList& ports_;
    std::string portSerial_;  // the serial number of the port in use, where it has one
    PortWatch watch_;
    Snapshot snapshot_;  // the last completed read
    CursorSet cursors_;
    bool cursorsShown_ = false;
    int selectedCursor_ = -1;  // A, B, level 1, level 2; -1 for none
    AcquisitionHold hold_;
    bool running_ = false;
    int runs_ = 0;
    QTimer runTimer_;
    bool saveAfterRead_ = false;  // Save asked for while a read of a run waited
    QImage lastPicture_;          // the picture of a run's last completed read
    QString recordFolder_;        // empty while not recording
    int recorded_ = 0;
    QDateTime lastRecorded_;
};

}  // namespace curvalon
