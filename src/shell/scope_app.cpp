#include "shell/scope_app.h"

#include <QApplication>
#include <QDir>

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
      startPort_(std::move(port)),
      ops_(window),
      link_(state_, ops_, device, clock),
      channels_(state_, ops_),
      references_(state_, ops_),
      queries_(state_, ops_, link_, channels_, references_),
      curves_(state_, ops_, link_),
      composer_(state_, ops_, window.surface(), window.markerStrip(), queries_, curves_),
      init_(state_, ops_, link_, queries_, channels_, [this] { composer_.reDraw(); }),
      hold_(state_, ops_, link_),
      systemPorts_(ports ? nullptr : std::make_unique<QtPortList>()),
      ports_(ports ? *ports : *systemPorts_),
      port_(window_, ops_, link_, clock, ports_,
            {.instrumentCommand = [this](auto command) { instrumentCommand(std::move(command)); },
             .idle = [this] { return !link_.busy(); },
             .wake =
                 [this] {
                     initInstrument();
                     // A RUN that a lost port kept from the instrument goes now.
                     if (state_.scopePresent == 1) hold_.settle();
                     return state_.scopePresent == 1;
                 }}),
      cursors_(state_, window_, [this](bool moved) { refreshMeasurements(moved); }),
      measure_(state_, window_, cursors_),
      export_(window_, ops_, measure_, [this] { return link_.busy() && !window_.plotHeld(); }),
      run_({.idle = [this] { return state_.startupDone == 1 && !link_.busy(); },
            .read = [this] { return runRead(); },
            .showChecked = [this](bool on) { window_.runItems().run->setChecked(on); },
            .showProgress = [this] { showRunStatus(); }}) {
    connectWindow();
    timer1_.setInterval(kStartUpTickMs);
    QObject::connect(&timer1_, &QTimer::timeout, &timer1_, [this] {
        timer1_.stop();
        if (state_.startupDone == 0) {
            startUp();
            state_.startupDone = 1;
        }
        timer1_.start();
    });
}

// The timer is the context: connections end with this object, before the window goes.
void ScopeApp::connectWindow() {
    QObject::connect(&window_, &MainWindow::charKey, &timer1_, [this](int c) { keyPress(c); });
    QObject::connect(&window_, &MainWindow::otherKey, &timer1_, [this](int k) { otherKey(k); });
    QObject::connect(&window_, &MainWindow::buttonClicked, &timer1_,
                     [this](Button b, int i) { buttonClicked(b, i); });
    QObject::connect(&window_, &MainWindow::menuChosen, &timer1_,
                     [this](Menu m, int i) { menuChosen(m, i); });
    QObject::connect(&window_, &MainWindow::closeRequested, &timer1_, [this] { quitProgram(); });
    QObject::connect(&window_, &MainWindow::copyRequested, &timer1_,
                     [this](bool picture, bool data) { export_.copy(picture, data); });
    // A run would read over what is opened: it ends first. A single read is let finish.
    QObject::connect(window_.openItem(), &QAction::triggered, &timer1_, [this] {
        if (state_.startupDone != 1) return;
        if (run_.running())
            run_.stopThen([this] { openFiles(); });
        else if (link_.busy())
            ops_.setStatusText("Busy: a read is in progress (Esc cancels it)");
        else
            openFiles();
    });
    QObject::connect(window_.portMenu(), &QMenu::aboutToShow, &timer1_,
                     [this] { port_.fillMenu(); });
    QObject::connect(window_.magnifyMenu(), &QMenu::aboutToShow, &timer1_,
                     [this] { window_.showZoom(state_.magHIdx, state_.magVIdx); });
    auto* curveMenu = qobject_cast<QMenu*>(window_.runItems().run->parent());
    QObject::connect(curveMenu, &QMenu::hovered, &timer1_,
                     [this](QAction* item) { sayWhyGreyed(item); });
    QObject::connect(curveMenu, &QMenu::aboutToShow, &timer1_, [this] { sayWhyGreyed(nullptr); });
    const MainWindow::MeasureItems& measure = window_.measureItems();
    QObject::connect(measure.measurements, &QAction::triggered, &timer1_,
                     [this] { measure_.showWindow(); });
    QObject::connect(measure.copy, &QAction::triggered, &timer1_, [this] { measure_.copy(); });
    QObject::connect(measure.trend, &QAction::triggered, &timer1_, [this] { showTrend(); });
    // An opened recording's statistics grow as its reads are measured.
    QObject::connect(&reviewMeasures_, &ReviewMeasures::progressed, &timer1_, [this] {
        refreshMeasurements();
        refreshTrend();
    });
    QObject::connect(measure.cursors, &QAction::triggered, &timer1_, [this] { cursors_.toggle(); });
    const MainWindow::RunItems& runItems = window_.runItems();
    QObject::connect(runItems.run, &QAction::triggered, &timer1_, [this] { toggleRun(); });
    QObject::connect(runItems.record, &QAction::triggered, &timer1_, [this] { toggleRecord(); });
    QObject::connect(&window_, &MainWindow::plotMouse, &timer1_,
                     [this](QEvent::Type type, QPoint at) { cursors_.mouse(type, at); });
}

void ScopeApp::load() {
    QApplication::setApplicationName(QString::fromLatin1(QtWindowOps::kApplicationTitle));
    state_.startupDone = 0;
    timer1_.start();
}

void ScopeApp::startUp() {
    initTables(state_, window_.backColor());
    window_.showZoom(state_.magHIdx, state_.magVIdx);
    showInstrumentItems();
    channels_.initChannelButtons();
    drawGraticule(state_, window_.surface());
    port_.open(startPort_);
    ops_.setText(Field::dispTxD_str, 0, "");
    ops_.setText(Field::dispRxD_str, 0, "");
    initInstrument();
}

void ScopeApp::initInstrument() {
    // Also when the port watch wakes a returning instrument: a review ends before the wake-up.
    leaveReview(false);
    init_.initInstrument();
    readDone({ReadScope::Generated});
}

void ScopeApp::quitProgram() {
    // An instrument stopped for a held read is set running again before the port closes.
    hold_.release();
    link_.closePort();
    if (help_) help_->close();
    if (measure_.window()) measure_.window()->close();
    if (trend_) trend_->close();
    window_.hide();
    // At once, even from inside a wait: nothing more is sent and no handler runs after this.
    exitProgram_(0);
}

void ScopeApp::refreshMeasurements(bool cursorsMoved) {
    cursors_.followShown(shownSources(state_));
    cursors_.draw(measure_.acquisition().get());
    measure_.refresh(cursorsMoved);
}

void ScopeApp::showTrend() {
    if (!trend_) {
        trend_ = new TrendWindow(&window_,
                                 [this]() -> const MeasureHistory& { return measure_.history(); });
        QObject::connect(trend_, &TrendWindow::readChosen, &timer1_,
                         [this](std::size_t read) { showTrendRead(read); });
        QObject::connect(trend_, &TrendWindow::copied, &timer1_, [this](const QString& what) {
            window_.statusPanel()->setText(QStringLiteral("Copied: ") + what);
        });
        QObject::connect(trend_, &TrendWindow::saved, &timer1_, [this](const QString& path) {
            window_.statusPanel()->setText(QStringLiteral("Saved ") +
                                           QDir::toNativeSeparators(path));
        });
        QObject::connect(trend_, &TrendWindow::saveFailed, &timer1_, [this](const QString& why) {
            ops_.notice(QStringLiteral("Cannot save the trend:\n") + why);
        });
        const std::vector<int> shown = shownSources(state_);
        trend_->choose(Measure::Frequency,
                       shown.empty() ? std::vector<int>{} : std::vector{shown[0]});
        trend_->resize(720, 480);
        trend_->move(
            placeBeside(window_.frameGeometry(), trend_->size(), window_.availableScreen()));
    } else {
        trend_->refresh();
    }
    trend_->show();
    trend_->raise();
}

void ScopeApp::refreshTrend() {
    if (trend_ && trend_->isVisible()) trend_->refresh();
}

}  // namespace curvalon
