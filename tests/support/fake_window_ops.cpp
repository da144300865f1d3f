#include "support/fake_window_ops.h"

namespace curvalon::test {

const char* nameOf(Field f) {
    static const char* names[] = {
        "TimeDivTtl",  "TimeDivTim",  "TimeDivUnit",  "ChTtl",       "ChDivV",     "ChDivUnit",
        "TrigPosiTtl", "TrigPosiTim", "TrigPosiUnit", "TrigerChTtl", "TrigLevV",   "TrigLevUnit",
        "TrigerCH",    "ProbeTtl",    "Probe",        "CouplingTtl", "Coupling",   "BWTtl",
        "BWLimit",     "InvertTtl",   "Invert",       "dispTxD_str", "dispRxD_str"};
    return names[static_cast<int>(f)];
}

const char* nameOf(Button b) {
    static const char* names[] = {"cbSelCurve", "cbCh", "cbReDraw", "cbNewCurve", "cbRefFlag"};
    return names[static_cast<int>(b)];
}

const char* nameOf(Menu m) {
    static const char* names[] = {"mnuIniTDS2024", "mnuSave",    "mnuEnd",     "mnuReDraw",
                                  "mnuNewCurve",   "mnuViewRef", "mnuReadRef", "mnuRef",
                                  "mnuCh",         "mnuMagH",    "mnuMagV",    "mnuHelp"};
    return names[static_cast<int>(m)];
}

std::string colourText(Rgb c) {
    return std::to_string(redOf(c)) + "," + std::to_string(greenOf(c)) + "," +
           std::to_string(blueOf(c));
}

void FakeWindowOps::setStatusText(const std::string& t) {
    statusTexts.push_back(t);
}
void FakeWindowOps::messageBox(const std::string& t) {
    messageBoxes.push_back(t);
}
void FakeWindowOps::beep() {
    ++beeps;
}
void FakeWindowOps::setWindowSize(std::int32_t w, std::int32_t h) {
    windowSize = {w, h};
}

std::string FakeWindowOps::get(const std::string& k) const {
    auto it = state_.find(k);
    return it == state_.end() ? std::string() : it->second;
}
}  // namespace curvalon::test
