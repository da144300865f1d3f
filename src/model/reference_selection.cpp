#include "model/reference_selection.h"

namespace curvalon {

namespace {
bool isReference(std::int32_t r) {
    return r >= kFirstRef && r <= kLastRef;
}
}  // namespace

ReferenceSelection::ReferenceSelection(ScopeState& state, WindowOps& window)
    : s_(state), w_(window) {}

void ReferenceSelection::toggleRefView() {
    if (s_.refView == 0) {
        s_.refView = 1;
        for (int r = kFirstRef; r <= kLastRef; ++r) {
            if (s_.refStored[r] != 1) continue;
            w_.setButtonVisible(Button::cbRefFlag, r, true);
            w_.setButtonEnabled(Button::cbRefFlag, r, true);
            w_.setMenuEnabled(Menu::mnuRef, r, true);
        }
    } else {
        s_.refView = 0;
        for (int r = kFirstRef; r <= kLastRef; ++r) {
            w_.setButtonEnabled(Button::cbRefFlag, r, false);
            w_.setButtonVisible(Button::cbRefFlag, r, false);
            w_.setMenuEnabled(Menu::mnuRef, r, false);
        }
    }
}

void ReferenceSelection::toggleRef(std::int32_t r) {
    if (!isReference(r)) return;
    if (s_.refShown[r] == 0) {
        refOn(r);
    } else {
        refOff(r);
    }
}

void ReferenceSelection::refOn(std::int32_t r) {
    if (!isReference(r)) return;
    s_.refShown[r] = 1;
    w_.setButtonBackColor(Button::cbRefFlag, r, s_.traceColor[r]);
}

void ReferenceSelection::refOff(std::int32_t r) {
    if (!isReference(r)) return;
    s_.refShown[r] = 0;
    w_.setButtonBackColor(Button::cbRefFlag, r, s_.offColor);
}

void ReferenceSelection::refUnavailable(std::int32_t r) {
    if (!isReference(r)) return;
    s_.refShown[r] = 0;
    w_.setButtonVisible(Button::cbRefFlag, r, false);
    w_.setButtonEnabled(Button::cbRefFlag, r, false);
    w_.setButtonBackColor(Button::cbRefFlag, r, s_.offColor);
    w_.setMenuEnabled(Menu::mnuRef, r, false);
}

}  // namespace curvalon
