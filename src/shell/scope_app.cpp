#include "shell/scope_app.h"

#include <QApplication>

#include "link/qt_port_list.h"
#include "plot/graticule.h"

namespace curvalon {

namespace {
constexpr int kStartUpTickMs = 100;
}

ScopeApp::ScopeApp(MainWindow& window, SerialDevice& device, LinkClock& clock,
                   std::function<void(int)> exitProgram, std::string port, const PortList* ports)
    : window_(window),
      exitProgram_(std::move(exitProgram)),
      port_(std::move(port)),
      ops_(window),
      link_(state_, ops_, device, clock),
      channels_(state_, ops_),
      references_(state_, ops_),
      queries_(state_, ops_, link_, channels_, references_),
      curves_(state_, ops_, link_),
      composer_(state_, ops_, window.surface(), window.markerStrip(), queries_, curves_),
      init_(state_, ops_, link_, queries_, channels_, [this] { composer_.reDraw(); }),
      systemPorts_(ports ? nullptr : std::make_unique<QtPortList>()),
      ports_(ports ? *ports : *systemPorts_),
      watch_(clock, ports_, [this](const std::string& location) { return portBack(location); }),
      hold_(state_, ops_, link_) {
    // The timer is the context: connections end with this object, before the window goes.
    QObject::connect(&window_, &MainWindow::charKey, &timer1_, [this](int c) { keyPress(c); });
    QObject::connect(&window_, &MainWindow::otherKey, &timer1_, [this](int k) { otherKey(k); });
    QObject::connect(&window_, &MainWindow::buttonClicked, &timer1_,
                     [this](Button b, int i) { buttonClicked(b, i); });
    QObject::connect(&window_, &MainWindow::menuChosen, &timer1_,
                     [this](Menu m, int i) { menuChosen(m, i); });
    QObject::connect(&window_, &MainWindow::closeRequested, &timer1_, [this] { quitProgram(); });
    QObject::connect(&window_, &MainWindow::copyRequested, &timer1_,
                     [this](bool picture, bool data) { copy(picture, data); });
    QObject::connect(window_.portMenu(), &QMenu::aboutToShow, &timer1_, [this] { fillPortMenu(); });
    const MainWindow::MeasureItems& measure = window_.measureItems();
    QObject::connect(measure.measurements, &QAction::triggered, &timer1_,
                     [this] { showMeasurements(); });
    QObject::connect(measure.copy, &QAction::triggered, &timer1_, [this] { copyMeasurements(); });
    QObject::connect(measure.cursors, &QAction::triggered, &timer1_, [this] { toggleCursors(); });
    const MainWindow::RunItems& runItems = window_.runItems();
    QObject::connect(runItems.run, &QAction::triggered, &timer1_, [this] { toggleRun(); });
    QObject::connect(runItems.record, &QAction::triggered, &timer1_, [this] { toggleRecord(); });
    runTimer_.setSingleShot(true);
    QObject::connect(&runTimer_, &QTimer::timeout, &timer1_, [this] { runOnce(); });
    QObject::connect(&window_, &MainWindow::plotMouse, &timer1_,
                     [this](QEvent::Type type, QPoint at) { plotMouse(type, at); });
    link_.setOnPortLost([this] { portLost(); });
    timer1_.setInterval(kStartUpTickMs);
    QObject::connect(&timer1_, &QTimer::timeout, &timer1_, [this] { timer1Tick(); });
}

void ScopeApp::load() {
    QApplication::setApplicationName(QString::fromLatin1(QtWindowOps::kApplicationTitle));
    state_.startupDone = 0;
    timer1_.start();
}

void ScopeApp::timer1Tick() {
    timer1_.stop();
    if (state_.startupDone == 0) {
        startUp();
        state_.startupDone = 1;
    }
    timer1_.start();
}

void ScopeApp::startUp() {
    initTables(state_, window_.backColor());
    channels_.initChannelButtons();
    drawGraticule(state_, window_.surface());
    openChosenPort(port_);
    clearEcho();
    initInstrument();
}

void ScopeApp::initInstrument() {
    init_.initInstrument();
    readDone(false);
}

void ScopeApp::readDone(bool curvesRead) {
    const Snapshot before = snapshot_;
    snapshot_ = takeSnapshot(state_, composer_.stampText(),
                             composer_.stampText().empty()
                                 ? std::nullopt
                                 : std::optional<LocalDateTime>(composer_.stamp()));
    if (before) keepCursorTimes(*before, *snapshot_);
    refreshMeasurements();
    if (curvesRead) recordRead();
    // What copying shows while the next read of a run redraws the plot.
    if (running_) lastPicture_ = window_.picture();
}

void ScopeApp::clearEcho() {
    ops_.setText(Field::dispTxD_str, 0, "");
    ops_.setText(Field::dispRxD_str, 0, "");
}

void ScopeApp::quitProgram() {
    link_.closePort();
    if (help_) help_->close();
    if (measurements_) measurements_->close();
    window_.hide();
    // At once, even from inside a wait: nothing more is sent and no handler runs after this.
    exitProgram_(0);
}

}  // namespace curvalon
