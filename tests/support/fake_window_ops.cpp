#include "support/fake_window_ops.h"

namespace curvalon::test {

namespace {
template <typename M, typename K, typename V>
V lookup(const M& map, const K& key, V fallback) {
    auto it = map.find(key);
    return it == map.end() ? fallback : it->second;
}
}  // namespace

const char* fieldName(Field f) {
    static const char* names[] = {
        "TimeDivTtl",  "TimeDivTim",  "TimeDivUnit",  "ChTtl",       "ChDivV",     "ChDivUnit",
        "TrigPosiTtl", "TrigPosiTim", "TrigPosiUnit", "TrigerChTtl", "TrigLevV",   "TrigLevUnit",
        "TrigerCH",    "ProbeTtl",    "Probe",        "CouplingTtl", "Coupling",   "BWTtl",
        "BWLimit",     "InvertTtl",   "Invert",       "dispTxD_str", "dispRxD_str"};
    return names[static_cast<int>(f)];
}

const char* buttonName(Button b) {
    static const char* names[] = {"cbSelCurve", "cbCh", "cbReDraw", "cbNewCurve", "cbRefFlag"};
    return names[static_cast<int>(b)];
}

const char* menuName(Menu m) {
    static const char* names[] = {"mnuIniTDS2024", "mnuSave",    "mnuEnd",     "mnuReDraw",
                                  "mnuNewCurve",   "mnuViewRef", "mnuReadRef", "mnuRef",
                                  "mnuCh",         "mnuMagH",    "mnuMagV",    "mnuHelp"};
    return names[static_cast<int>(m)];
}

std::string colourText(Rgb c) {
    return std::to_string(redOf(c)) + "," + std::to_string(greenOf(c)) + "," +
           std::to_string(blueOf(c));
}

static std::string at(const char* name, int i) {
    return std::string(name) + " " + std::to_string(i);
}

void FakeWindowOps::setText(Field f, int i, const std::string& t) {
    texts_[{int(f), i}] = t;
    log.push_back("text " + at(fieldName(f), i) + " " + t);
}
void FakeWindowOps::setForeColor(Field f, int i, Rgb c) {
    fore_[{int(f), i}] = c;
    log.push_back("fore " + at(fieldName(f), i) + " " + colourText(c));
}
void FakeWindowOps::setBackColor(Field f, int i, Rgb c) {
    back_[{int(f), i}] = c;
    log.push_back("back " + at(fieldName(f), i) + " " + colourText(c));
}
void FakeWindowOps::setAlignment(Field f, int i, Alignment a) {
    align_[{int(f), i}] = a;
    log.push_back("align " + at(fieldName(f), i) + " " + std::to_string(int(a)));
}
void FakeWindowOps::setVisible(Field f, int i, bool v) {
    visible_[{int(f), i}] = v;
    log.push_back("visible " + at(fieldName(f), i) + " " + (v ? "1" : "0"));
}
void FakeWindowOps::setButtonBackColor(Button b, int i, Rgb c) {
    buttonBack_[{int(b), i}] = c;
    log.push_back("back " + at(buttonName(b), i) + " " + colourText(c));
}
void FakeWindowOps::setButtonEnabled(Button b, int i, bool e) {
    buttonEnabled_[{int(b), i}] = e;
    log.push_back("enabled " + at(buttonName(b), i) + " " + (e ? "1" : "0"));
}
void FakeWindowOps::setButtonVisible(Button b, int i, bool v) {
    buttonVisible_[{int(b), i}] = v;
    log.push_back("visible " + at(buttonName(b), i) + " " + (v ? "1" : "0"));
}
void FakeWindowOps::setMenuEnabled(Menu m, int i, bool e) {
    menuEnabled_[{int(m), i}] = e;
    log.push_back("enabled " + at(menuName(m), i) + " " + (e ? "1" : "0"));
}
void FakeWindowOps::setStatusText(const std::string& t) {
    statusTexts.push_back(t);
    log.push_back("status " + t);
}
void FakeWindowOps::messageBox(const std::string& t) {
    messageBoxes.push_back(t);
    log.push_back("msgbox " + t);
}
void FakeWindowOps::beep() {
    ++beeps;
    log.push_back("beep");
}
void FakeWindowOps::setWindowSize(std::int32_t w, std::int32_t h) {
    windowSize = {w, h};
    log.push_back("size " + std::to_string(w) + "x" + std::to_string(h));
}

std::string FakeWindowOps::text(Field f, int i) const {
    return lookup(texts_, Key{int(f), i}, std::string());
}
Rgb FakeWindowOps::foreColor(Field f, int i) const {
    return lookup(fore_, Key{int(f), i}, Rgb(0));
}
Rgb FakeWindowOps::backColor(Field f, int i) const {
    return lookup(back_, Key{int(f), i}, Rgb(0));
}
Alignment FakeWindowOps::alignment(Field f, int i) const {
    return lookup(align_, Key{int(f), i}, Alignment::Left);
}
bool FakeWindowOps::visible(Field f, int i) const {
    return lookup(visible_, Key{int(f), i}, true);
}
Rgb FakeWindowOps::buttonBackColor(Button b, int i) const {
    return lookup(buttonBack_, Key{int(b), i}, Rgb(0));
}
bool FakeWindowOps::buttonEnabled(Button b, int i) const {
    return lookup(buttonEnabled_, Key{int(b), i}, true);
}
bool FakeWindowOps::buttonVisible(Button b, int i) const {
    return lookup(buttonVisible_, Key{int(b), i}, true);
}
bool FakeWindowOps::menuEnabled(Menu m, int i) const {
    return lookup(menuEnabled_, Key{int(m), i}, true);
}

std::vector<std::string> FakeWindowOps::since(std::size_t mark) const {
    return {log.begin() + static_cast<long>(std::min(mark, log.size())), log.end()};
}

}  // namespace curvalon::test
