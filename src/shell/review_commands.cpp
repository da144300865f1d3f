// File > Open… and the keys that step through a recording: the opened acquisition shown as a
// read with its settings would show it, and everything as it was once a command that talks to
// the instrument leaves the review.
#include <QFileDialog>
#include <algorithm>
#include <utility>

#include "plot/readout.h"
#include "protocol/settings_queries.h"
#include "shell/scope_app.h"

namespace curvalon {

namespace {

// The acquisition's settings and records into the scope state, as a read would leave them.
void loadSettings(ScopeState& s, const Acquisition& a) {
    s.timeDiv = a.timeDiv;
    s.horPosition = a.horPosition;
    s.trigPoint = a.timeDiv == 0 ? kRecordCentre : triggerPoint(a.timeDiv, a.horPosition);
    s.trigSource = a.trigSource;
    s.trigLevel = a.trigLevel;
    s.chProbe = a.probe;
    s.chVoltDiv = a.voltDiv;
    s.chPositionDiv = a.positionDiv;
    for (std::size_t ch = 0; ch < kChannelCount; ++ch)
        s.chPosition[ch] = positionCounts(a.positionDiv[ch]);
    s.chCoupling = a.coupling, s.chBandwidth = a.bandwidth, s.chInvert = a.invert;
    for (std::size_t src = 0; src < kSourceCount; ++src) {
        s.curveValid[src] = a.valid[src] ? 1 : 0;
        for (std::size_t k = 0; k < kSamples; ++k)
            s.curve[src][k] = a.valid[src] ? a.samples[src][k] : 0;
    }
}

// What was never read shows blank, as before the first read.
void showSettings(const ScopeState& s, QtWindowOps& ops) {
    showTimebase(s, ops);
    if (s.timeDiv == 0)
        for (Field f :
             {Field::TimeDivTim, Field::TimeDivUnit, Field::TrigPosiTim, Field::TrigPosiUnit})
            ops.setText(f, 0, "");
    showTrigSource(s, ops);
    showTrigLevel(s, ops);
    if (s.trigSource.empty())
        for (Field f : {Field::TrigLevV, Field::TrigLevUnit})
            ops.setText(f, 0, "");
    for (std::int32_t ch = 0; ch <= kLastChannel; ++ch) {
        showChannelSettings(s, ops, ch);
        const auto i = static_cast<std::size_t>(ch);
        if (s.chEnable[i] != 1) continue;
        if (s.chProbe[i] == 0) ops.setText(Field::Probe, ch, "");
        if (s.chVoltDiv[i] == 0)
            ops.setText(Field::ChDivV, ch, ""), ops.setText(Field::ChDivUnit, ch, "");
    }
}

// Files, or a folder chosen in the list: Open on a recording's or an ALLnnnn folder opens it
// instead of going into it.
class OpenDialog : public QFileDialog {
  public:
    using QFileDialog::QFileDialog;

  protected:
    void accept() override {
        const QStringList chosen = selectedFiles();
        const QDir folder(chosen.value(0));
        const bool reviewable =
            chosen.size() == 1 && QFileInfo(chosen.front()).isDir() &&
            (folder.exists(QStringLiteral("index.csv")) ||
             !folder.entryList({QStringLiteral("F????CH?.CSV")}, QDir::Files).isEmpty());
        reviewable ? QDialog::accept() : QFileDialog::accept();
    }
};

}  // namespace

// Every readout field's text, colours and font, to be put back as they were.
std::vector<ScopeApp::FieldLook> ScopeApp::readoutLook() const {
    std::vector<FieldLook> out;
    for (int f = 0; f <= int(Field::dispRxD_str); ++f)
        for (int i = 0; i < kChannelCount; ++i)
            if (QLabel* label = window_.field(Field(f), i))
                out.push_back({label, label->text(), label->palette(), label->font()});
    return out;
}

void ScopeApp::openFiles() {
    OpenDialog dialog(&window_, QStringLiteral("Open"),
                      export_.folder().isEmpty() ? QDir::homePath() : export_.folder());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters({QStringLiteral("Waveform files and recordings (*.csv *.CSV)"),
                           QStringLiteral("All files (*)")});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    openPaths(dialog.selectedFiles());
}

// A refusal leaves the screen as it was.
void ScopeApp::openPaths(const QStringList& paths) {
    if (const auto refused = review_.open(paths)) {
        ops_.notice(QStringLiteral("Cannot open ") + *refused);
        return;
    }
    showReviewed();
    // What is opened has statistics and a trend of its own, measured while the window answers.
    reviewMeasures_.start(review_);
    measure_.reviewMeasures(&reviewMeasures_.statistics(), &reviewMeasures_.history());
    refreshMeasurements();
    refreshTrend();
}

void ScopeApp::showReviewed() {
    const Acquisition& a = *review_.shown().read;
    if (!beforeReview_) {
        beforeReview_ = std::make_unique<ScopeState>(state_);
        readBeforeReview_ = measure_.acquisition();
        readoutBeforeReview_ = readoutLook();
    }
    loadSettings(state_, a);
    for (std::int32_t ch = 0; ch <= kLastChannel; ++ch)
        a.valid[std::size_t(ch)] ? channels_.channelOn(ch) : channels_.channelOff(ch);
    for (std::int32_t r = kFirstRef; r <= kLastRef; ++r) {
        state_.refStored[std::size_t(r)] = a.valid[std::size_t(r)] ? 1 : 0;
        a.valid[std::size_t(r)] ? references_.refOn(r) : references_.refUnavailable(r);
    }
    if (state_.refView == 1) references_.toggleRefView();  // buttons for the file's references only
    if (std::any_of(a.valid.begin() + kFirstRef, a.valid.end(), [](bool v) { return v; }))
        references_.toggleRefView();
    showSettings(state_, ops_);
    ops_.setText(Field::dispTxD_str, 0, a.stampText);
    composer_.reDraw();
    if (const Snapshot& before = measure_.acquisition()) cursors_.keepTimes(*before, a);
    measure_.setAcquisition(review_.shown().read);
    shown_.keep(state_);
    export_.keepPicture();
    refreshMeasurements();
    window_.setWindowTitle(QString::fromLatin1(MainWindow::kCaption) + " - " +
                           review_.shown().title);
    window_.statusPanel()->setText(review_.shown().status);
}

void ScopeApp::stepReview(int key) {
    if (review_.step(key)) {
        showReviewed();
    } else {
        window_.statusPanel()->setText(review_.shown().status);
    }
}

// The settings, records and sources shown before the review come back; without an instrument
// the demo waveforms do.
void ScopeApp::leaveReview(bool demoIfAbsent) {
    if (!review_.active()) return;
    reviewMeasures_.stop();
    measure_.reviewMeasures(nullptr, nullptr);
    review_.close();
    window_.setWindowTitle(QString::fromLatin1(MainWindow::kCaption));
    const ScopeState& before = *beforeReview_;
    loadSettings(state_, *takeSnapshot(before, {}, std::nullopt));
    for (std::int32_t ch = 0; ch <= kLastChannel; ++ch)
        before.chEnable[std::size_t(ch)] == 1 ? channels_.channelOn(ch) : channels_.channelOff(ch);
    state_.refStored = before.refStored;
    for (std::int32_t r = kFirstRef; r <= kLastRef; ++r)
        before.refShown[std::size_t(r)] == 1 ? references_.refOn(r) : references_.refOff(r);
    if (state_.refView != before.refView) references_.toggleRefView();
    beforeReview_.reset();
    measure_.setAcquisition(std::move(readBeforeReview_));
    if (state_.scopePresent != 1 && demoIfAbsent) {
        init_.enterDemoMode();
        readDone({ReadScope::Generated});
    } else {
        composer_.reDraw();
        shown_.keep(state_);
        refreshMeasurements();
    }
    for (const FieldLook& look : std::exchange(readoutBeforeReview_, {}))
        look.label->setText(look.text), look.label->setPalette(look.palette),
            look.label->setFont(look.font);
    refreshTrend();
}

void ScopeApp::showTrendRead(std::size_t read) {
    if (!review_.recording()) return;
    if (review_.showAt(reviewMeasures_.rowOf(read))) {
        showReviewed();
    } else {
        window_.statusPanel()->setText(review_.shown().status);
    }
}

}  // namespace curvalon
