// The operator's commands: the key map, the menus and the buttons of the main window.
#include <QApplication>

#include "plot/graticule.h"
#include "plot/traces.h"
#include "shell/scope_app.h"

namespace curvalon {

namespace {

constexpr int kEsc = 27;

int upperCase(int code) {
    return (code >= 'a' && code <= 'z') ? code - 'a' + 'A' : code;
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
}

void ScopeApp::keyPress(int charCode) {
    const int key = upperCase(charCode);
    if (key != kEsc && key != '?' && !mayStartCommand()) return;
    wrapped([&] { runKey(key); });
}

void ScopeApp::otherKey(int qtKey) {
    if (qtKey == Qt::Key_F1) wrapped([this] { showHelp(); });
}

void ScopeApp::runKey(int key) {
    if (key == kEsc) {
        if (state_.rxDone != 0) {
            quitProgram();
        } else {
            link_.cancelWait();
        }
    } else if (key == '0') {
        composer_.readAndDraw();
    } else if (key >= '1' && key <= '4') {
        toggleChannelAndRedraw(key - '1');
    } else if (key >= '5' && key <= '8') {
        // Drawn over the picture as it is, without erasing; the graticule goes on top again.
        const std::int32_t ch = key - '5';
        curves_.readCurve(ch);
        drawCurve(state_, window_.surface(), ch);
        drawGraticule(state_, window_.surface());
    } else if (key == '9') {
        queries_.readSelect();
    } else if (key == ' ') {
        composer_.newCurve();
    } else if (key == '?') {
        showHelp();
    } else if (key >= 'A' && key <= 'D') {
        if (state_.refView == 1) {
            toggleRefAndRedraw(key - 'A' + kFirstRef);
        }
    } else if (key == 'H') {
        // Steps through x2..x6; the other horizontal zooms are in the menu.
        const std::int32_t next = state_.magHIdx + 1;
        zoomTo(next >= 6 ? 1 : next, state_.magVIdx);
    } else if (key == 'R') {
        curves_.readReferences();
    } else if (key == 'U') {
        references_.toggleRefView();
        composer_.reDraw();
    } else if (key == 'V') {
        // Steps through x2..x4; x1 is in the menu.
        const std::int32_t next = state_.magVIdx + 1;
        zoomTo(state_.magHIdx, next >= 4 ? 1 : next);
    }
}

void ScopeApp::toggleChannelAndRedraw(std::int32_t ch) {
    channels_.toggleChannel(ch);
    composer_.reDraw();
}

void ScopeApp::toggleRefAndRedraw(std::int32_t r) {
    references_.toggleRef(r);
    composer_.reDraw();
}

void ScopeApp::zoomTo(std::int32_t hIdx, std::int32_t vIdx) {
    state_.magHIdx = hIdx;
    state_.magVIdx = vIdx;
    if (!applyZoom(state_, window_.markerStrip(), ops_)) return;
    window_.setStripHeight(window_.markerStrip().heightTwips());
    composer_.reDraw();
}

void ScopeApp::buttonClicked(Button b, int index) {
    if (!mayStartCommand()) return;
    wrapped([&] {
        switch (b) {
            case Button::cbNewCurve:
                composer_.newCurve();
                break;
            case Button::cbReDraw:
                composer_.reDraw();
                break;
            case Button::cbSelCurve:
                composer_.readAndDraw();
                break;
            case Button::cbCh:
                toggleChannelAndRedraw(index);
                break;
            case Button::cbRefFlag:
                toggleRefAndRedraw(index);
                break;
        }
    });
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
    if (m == Menu::mnuSave || !mayStartCommand()) return;
    if (m == Menu::mnuIniTDS2024) {
        // The panel keeps the initialisation's last text.
        ops_.setStatusText("Stat:");
        init_.initInstrument();
        return;
    }
    wrapped([&] {
        switch (m) {
            case Menu::mnuReDraw:
                composer_.reDraw();
                break;
            case Menu::mnuNewCurve:
                composer_.newCurve();
                break;
            case Menu::mnuViewRef:
                references_.toggleRefView();
                break;
            case Menu::mnuReadRef:
                curves_.readReferences();
                break;
            case Menu::mnuRef:
                toggleRefAndRedraw(index);
                break;
            case Menu::mnuCh:
                toggleChannelAndRedraw(index);
                break;
            case Menu::mnuMagH:
                zoomTo(index, state_.magVIdx);
                break;
            case Menu::mnuMagV:
                zoomTo(state_.magHIdx, index);
                break;
            default:
                break;
        }
    });
}

void ScopeApp::showHelp() {
    if (!help_) help_ = new HelpWindow();
    help_->show();
    help_->raise();
    help_->activateWindow();
    help_->setHelpText(helpText());
}

}  // namespace curvalon
