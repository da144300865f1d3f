// The operator's commands: the key map, the menus and the buttons of the main window.
#include <QApplication>
#include <optional>
#include <utility>

#include "plot/graticule.h"
#include "plot/traces.h"
#include "shell/scope_app.h"

namespace curvalon {

namespace {

constexpr int kEsc = 27;

int upperCase(int code) {
    return (code >= 'a' && code <= 'z') ? code - 'a' + 'A' : code;
}

using Command = ScopeApp::Command;

constexpr std::pair<Button, Command> kButtonCommands[] = {
    {Button::cbNewCurve, Command::NewCurve},    {Button::cbReDraw, Command::ReDraw},
    {Button::cbSelCurve, Command::ReadAndDraw}, {Button::cbCh, Command::ToggleChannel},
    {Button::cbRefFlag, Command::ToggleRef},
};

constexpr std::pair<Menu, Command> kMenuCommands[] = {
    {Menu::mnuReDraw, Command::ReDraw},
    {Menu::mnuNewCurve, Command::NewCurve},
    {Menu::mnuViewRef, Command::ToggleRefView},
    {Menu::mnuReadRef, Command::ReadReferences},
    {Menu::mnuRef, Command::ToggleRef},
    {Menu::mnuCh, Command::ToggleChannel},
    {Menu::mnuMagH, Command::ZoomH},
    {Menu::mnuMagV, Command::ZoomV},
};

template <typename Control, std::size_t N>
std::optional<Command> commandOf(const std::pair<Control, Command> (&table)[N], Control c) {
    for (const auto& [control, command] : table) {
        if (control == c) return command;
    }
    return std::nullopt;
}

}  // namespace

// While a reply or a delay is awaited only the quit key, Exit and the help act, so no exchange
// ever starts inside another; before the start-up sequence has run nothing else acts either.
bool ScopeApp::mayStartCommand() const {
    return state_.startupDone == 1 && !link_.busy();
}

void ScopeApp::wrapped(const std::function<void()>& action) {
    ops_.setStatusText("Stat:");
    action();
    ops_.setStatusText("");
    refreshMeasurements();  // the sources shown may have changed
    showRunStatus();
}

void ScopeApp::keyPress(int charCode) {
    const int key = upperCase(charCode);
    if (key != kEsc && key != '?' && !mayStartCommand()) return;
    wrapped([&] { runKey(key); });
}

void ScopeApp::otherKey(int qtKey) {
    if (qtKey == Qt::Key_F1) wrapped([this] { showHelp(); });
    moveCursorByKey(qtKey);
}

void ScopeApp::runKey(int key) {
    if (key == kEsc) {
        if (state_.rxDone != 0) {
            quitProgram();
        } else {
            link_.cancelWait();
            stopRun();
        }
    } else if (key == '0') {
        run(Command::ReadAndDraw, 0);
    } else if (key >= '1' && key <= '4') {
        run(Command::ToggleChannel, key - '1');
    } else if (key >= '5' && key <= '8') {
        // Drawn over the picture as it is, without erasing; the graticule goes on top again.
        const std::int32_t ch = key - '5';
        curves_.readCurve(ch);
        drawCurve(state_, window_.surface(), ch);
        drawGraticule(state_, window_.surface());
        readDone();
    } else if (key == '9') {
        queries_.readSelect();
    } else if (key == ' ') {
        run(Command::NewCurve, 0);
    } else if (key == '?') {
        showHelp();
    } else if (key >= 'A' && key <= 'D') {
        if (state_.refView == 1) run(Command::ToggleRef, key - 'A' + kFirstRef);
    } else if (key == 'H') {
        // Steps through x2..x6; the other horizontal zooms are in the menu.
        const std::int32_t next = state_.magHIdx + 1;
        run(Command::ZoomH, next >= 6 ? 1 : next);
    } else if (key == 'R') {
        run(Command::ReadReferences, 0);
    } else if (key == 'U') {
        // Unlike the menu item, the key shows the result at once.
        run(Command::ToggleRefView, 0);
        run(Command::ReDraw, 0);
    } else if (key == 'V') {
        // Steps through x2..x4; x1 is in the menu.
        const std::int32_t next = state_.magVIdx + 1;
        run(Command::ZoomV, next >= 4 ? 1 : next);
    }
}

void ScopeApp::run(Command c, std::int32_t index) {
    switch (c) {
        case Command::NewCurve:
        case Command::ReadAndDraw:
            fullRead(c);
            break;
        case Command::ReDraw:
            composer_.reDraw();
            break;
        case Command::ToggleChannel:
            channels_.toggleChannel(index);
            composer_.reDraw();
            break;
        case Command::ToggleRef:
            references_.toggleRef(index);
            composer_.reDraw();
            break;
        case Command::ToggleRefView:
            references_.toggleRefView();
            break;
        case Command::ReadReferences:
            curves_.readReferences();
            readDone();
            break;
        case Command::ZoomH:
            zoomTo(index, state_.magVIdx);
            break;
        case Command::ZoomV:
            zoomTo(state_.magHIdx, index);
            break;
    }
}

// Every channel read and drawn, between stopping the instrument's acquisition and letting it run
// again when the operator asks for one acquisition.
void ScopeApp::fullRead(Command c) {
    const bool hold = window_.runItems().hold->isChecked() && state_.scopePresent == 1;
    if (hold) hold_.begin();
    c == Command::NewCurve ? composer_.newCurve() : composer_.readAndDraw();
    if (hold) hold_.end();
    readDone();
}

void ScopeApp::zoomTo(std::int32_t hIdx, std::int32_t vIdx) {
    state_.magHIdx = hIdx;
    state_.magVIdx = vIdx;
    if (!applyZoom(state_, window_.markerStrip(), ops_)) return;
    window_.setStripHeight(window_.markerStrip().heightTwips());
    composer_.reDraw();
}

void ScopeApp::buttonClicked(Button b, int index) {
    const auto command = commandOf(kButtonCommands, b);
    if (!command || !mayStartCommand()) return;
    wrapped([&] { run(*command, index); });
}

void ScopeApp::menuChosen(Menu m, int index) {
    if (m == Menu::mnuEnd) {
        quitProgram();
        return;
    }
    if (m == Menu::mnuHelp) {
        showHelp();
        return;
    }
    // During a read of a run, Save waits for that read to complete.
    if (m == Menu::mnuSave && running_ && !mayStartCommand()) saveAfterRead_ = true;
    if (!mayStartCommand()) return;
    if (m == Menu::mnuSave) {
        save();
        return;
    }
    if (m == Menu::mnuIniTDS2024) {
        // The panel keeps the initialisation's last text.
        ops_.setStatusText("Stat:");
        initInstrument();
        return;
    }
    if (const auto command = commandOf(kMenuCommands, m)) {
        wrapped([&] { run(*command, index); });
    }
}

void ScopeApp::showHelp() {
    // Owned by the main window, as a window of its own; closing it deletes it.
    if (!help_) help_ = new HelpWindow(&window_);
    help_->show();
    help_->raise();
    help_->activateWindow();
    help_->setHelpText(helpText(cursorsShown_));
}

}  // namespace curvalon
