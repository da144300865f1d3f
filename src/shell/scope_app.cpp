#include "shell/scope_app.h"

#include <QApplication>

#include "plot/graticule.h"

namespace curvalon {

ScopeApp::ScopeApp(MainWindow& window, SerialDevice& device, std::function<void(int)> exitProgram,
                   std::string port)
    : window_(window),
      exitProgram_(std::move(exitProgram)),
      port_(std::move(port)),
      ops_(window),
      link_(state_, ops_, device),
      channels_(state_, ops_),
      references_(state_, ops_),
      queries_(state_, ops_, link_, channels_, references_),
      curves_(state_, ops_, link_),
      composer_(state_, ops_, window.surface(), window.markerStrip(), queries_, curves_),
      init_(state_, ops_, link_, queries_, channels_, [this] { composer_.reDraw(); }) {
    window_.onCharKey = [this](int code) { keyPress(code); };
    window_.onOtherKey = [this](int key) { otherKey(key); };
    window_.onButton = [this](Button b, int i) { buttonClicked(b, i); };
    window_.onMenu = [this](Menu m, int i) { menuChosen(m, i); };
    window_.onClose = [this] { quitProgram(); };
    timer1_.setInterval(100);
    QObject::connect(&timer1_, &QTimer::timeout, [this] { timer1Tick(); });
}

ScopeApp::~ScopeApp() {
    window_.onCharKey = nullptr;
    window_.onOtherKey = nullptr;
    window_.onButton = nullptr;
    window_.onMenu = nullptr;
    window_.onClose = nullptr;
    if (help_) delete help_.data();
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
    link_.openPort(port_);
    clearEcho();
    init_.initInstrument();
}

void ScopeApp::clearEcho() {
    ops_.setText(Field::dispTxD_str, 0, "");
    ops_.setText(Field::dispRxD_str, 0, "");
}

void ScopeApp::quitProgram() {
    link_.closePort();
    if (help_) help_->close();
    window_.hide();
    // At once, even from inside a wait: nothing more is sent and no handler runs after this.
    exitProgram_(0);
}

}  // namespace curvalon
