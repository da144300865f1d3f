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

// Commands that only change what is shown act at any time, also while a reply is awaited; those
// that talk to the instrument never start an exchange inside another (see instrumentCommand).
// Before the start-up sequence has run only the quit key and the help act.
bool talksToInstrument(int key) {
    return key == ' ' || key == 'R' || (key >= '0' && key <= '9' && !(key >= '1' && key <= '4'));
}

}  // namespace

void ScopeApp::wrapped(const std::function<void()>& action) {
    ops_.setStatusText("Stat:");
    action();
    ops_.setStatusText("");
    refreshMeasurements();  // the sources shown may have changed
    showRunStatus();
}

void ScopeApp::instrumentCommand(std::function<void()> command) {
    if (!link_.busy()) {
        leaveReview();
        command();
    } else if (run_.running()) {
        run_.stopThen(std::move(command));
    } else {
        // Never dropped without a word; the read's next text takes the panel again.
        ops_.setStatusText("Busy: a read is in progress (Esc cancels it)");
    }
}

void ScopeApp::keyPress(int charCode) {
    const int key = upperCase(charCode);
    if (key == kEsc && run_.running()) {
        // Ends the run, cancelling the wait of its read if there is one; it never quits.
        run_.stop();
        if (link_.busy()) link_.cancelWait();
        return;
    }
    if (key == kEsc || key == '?') {
        wrapped([&] { runKey(key); });
    } else if (state_.startupDone != 1) {
        return;
    } else if (talksToInstrument(key)) {
        instrumentCommand([this, key] { wrapped([&] { runKey(key); }); });
    } else {
        wrapped([&] { runKey(key); });
    }
}

void ScopeApp::otherKey(int qtKey) {
    if (qtKey == Qt::Key_F1) wrapped([this] { showHelp(); });
    const bool step = qtKey == Qt::Key_PageDown || qtKey == Qt::Key_PageUp ||
                      qtKey == Qt::Key_Home || qtKey == Qt::Key_End;
    if (step && review_.recording()) stepReview(qtKey);
    cursors_.moveByKey(qtKey);
}

void ScopeApp::runKey(int key) {
    if (key == kEsc) {
        if (state_.rxDone != 0) {
            quitProgram();
        } else {
            link_.cancelWait();
        }
    } else if (key == '0') {
        run(Command::ReadAndDraw, 0);
    } else if (key >= '1' && key <= '4') {
        run(Command::ToggleChannel, key - '1');
    } else if (key >= '5' && key <= '8') {
        // Drawn over the picture as it is, without erasing; the graticule goes on top again.
        const std::int32_t ch = key - '5';
        ops_.beginRead();
        curves_.readCurve(ch);
        drawCurve(state_, window_.surface(), ch);
        drawGraticule(state_, window_.surface());
        readDone({ReadScope::OneChannel, ch});
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
            redrawShown();
            break;
        case Command::ToggleChannel:
            channels_.toggleChannel(index);
            redrawShown();
            break;
        case Command::ToggleRef:
            references_.toggleRef(index);
            redrawShown();
            break;
        case Command::ToggleRefView:
            references_.toggleRefView();
            break;
        case Command::ReadReferences:
            ops_.beginRead();
            curves_.readReferences();
            readDone({ReadScope::References});
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
// again when the operator asks for one acquisition. True when no exchange failed.
bool ScopeApp::fullRead(Command c) {
    const bool hold = window_.runItems().hold->isChecked() && state_.scopePresent == 1;
    // Only the channels this read brings count as read; one switched on later did not come. In
    // demo mode the read is refused and the demo waveforms stay what they are.
    for (int ch = 0; ch < kChannelCount && state_.scopePresent == 1; ++ch)
        state_.curveValid[static_cast<std::size_t>(ch)] = 0;
    ops_.beginRead();
    if (hold) hold_.begin();
    c == Command::NewCurve ? composer_.newCurve() : composer_.readAndDraw();
    if (hold) hold_.end();
    const bool completed = !ops_.readFailure();
    readDone({ReadScope::Full});
    return completed;
}

void ScopeApp::zoomTo(std::int32_t hIdx, std::int32_t vIdx) {
    state_.magHIdx = hIdx;
    state_.magVIdx = vIdx;
    const bool applied = applyZoom(state_, window_.markerStrip(), ops_);
    window_.showZoom(state_.magHIdx, state_.magVIdx);
    if (!applied) return;
    window_.setStripHeight(window_.markerStrip().heightTwips());
    redrawShown();
}

// While a run reads, the plot holds its last completed read: drawn again from what was kept of
// it, and held anew. While a single read draws, at once, and again whole once it completes.
void ScopeApp::redrawShown() {
    if (!run_.reading()) {
        composer_.reDraw();
        redrawAfterRead_ = link_.busy();
        return;
    }
    shown_.exchange(state_);
    composer_.reDraw();
    shown_.exchange(state_);
    window_.holdPlot(true);
}

void ScopeApp::buttonClicked(Button b, int index) {
    const auto command = commandOf(kButtonCommands, b);
    if (!command || state_.startupDone != 1) return;
    if (*command == Command::NewCurve || *command == Command::ReadAndDraw)
        instrumentCommand([this, c = *command] { wrapped([&] { run(c, 0); }); });
    else
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
    if (m == Menu::mnuSave && !measure_.acquisition()) {
        // Before the first picture is drawn: saved once it is.
        saveWaiting_ = true;
        window_.statusPanel()->setText(QStringLiteral("Save: waiting for the first picture"));
        return;
    }
    if (state_.startupDone != 1) return;
    if (m == Menu::mnuSave) {
        export_.save();
    } else if (m == Menu::mnuIniTDS2024) {
        instrumentCommand([this] {
            // The panel keeps the initialisation's last text.
            ops_.setStatusText("Stat:");
            initInstrument();
        });
    } else if (const auto command = commandOf(kMenuCommands, m)) {
        if (*command == Command::NewCurve || *command == Command::ReadReferences)
            instrumentCommand([this, c = *command] { wrapped([&] { run(c, 0); }); });
        else
            wrapped([&] { run(*command, index); });
    }
}

void ScopeApp::showHelp() {
    // Owned by the main window, as a window of its own; closing it deletes it.
    if (!help_) help_ = new HelpWindow(&window_);
    help_->show();
    help_->raise();
    help_->activateWindow();
    help_->setHelpText(helpText(cursors_.shown(), review_.recording()));
}

}  // namespace curvalon
