// Measure > Cursors: two time cursors and two level cursors over the plot, moved with the mouse
// or the arrow keys, read off the last completed read.
#include <cmath>

#include "plot/image_surface.h"
#include "shell/scope_app.h"

namespace curvalon {

namespace {

constexpr int kGrabPixels = 6;  // how near a press must come to a cursor to take it
const QColor kTimeCursorColour(64, 64, 64);

}  // namespace

void ScopeApp::toggleCursors() {
    cursorsShown_ = !cursorsShown_;
    window_.measureItems().cursors->setChecked(cursorsShown_);
    refreshMeasurements();
}

int ScopeApp::cursorPixel(int cursor) const {
    const ScopeState& s = state_;
    const double twips = cursor < 2
                             ? s.plotX0 + cursors_.samples[cursor] * s.magH
                             : s.plotY0 + (s.gridYTbl[4] - cursors_.counts[cursor - 2]) * s.magV;
    return static_cast<int>(std::floor(twips / kTwipsPerPixel));  // as the traces fall
}

void ScopeApp::showCursors() {
    const ScopeState& s = state_;
    const auto pixel = [](double twips) {
        return static_cast<int>(std::floor(twips / kTwipsPerPixel));
    };
    const int left = pixel(s.plotX0), right = pixel(s.plotX0 + double(kSamples) * s.magH);
    const int top = pixel(s.plotY0), bottom = pixel(s.plotY0 + double(kCounts) * s.magV);
    std::vector<CursorLine> lines;
    const Rgb level = state_.traceColor[static_cast<std::size_t>(cursors_.levelSource)];
    for (int c = 0; cursorsShown_ && c < 4; ++c) {
        const QColor colour =
            c < 2 ? kTimeCursorColour : QColor(redOf(level), greenOf(level), blueOf(level));
        lines.push_back({c < 2, cursorPixel(c), c < 2 ? top : left, c < 2 ? bottom : right, colour,
                         QString::fromLatin1(c < 2 ? (c == 0 ? "A" : "B") : (c == 2 ? "1" : "2")),
                         c == selectedCursor_});
    }
    window_.setCursorLines(std::move(lines));
}

// Moves cursor to the plot's pixel along its own direction, within the record and the counts.
void ScopeApp::placeCursor(int cursor, double pixel) {
    const ScopeState& s = state_;
    const double twips = pixel * kTwipsPerPixel;
    if (cursor < 2)
        cursors_.samples[cursor] =
            std::clamp((twips - s.plotX0) / s.magH, 0.0, double(kSamples - 1));
    else
        cursors_.counts[cursor - 2] =
            std::clamp(s.gridYTbl[4] - (twips - s.plotY0) / s.magV, -128.0, 127.0);
}

void ScopeApp::plotMouse(QEvent::Type type, QPoint at) {
    if (!cursorsShown_) return;
    if (type == QEvent::MouseButtonPress) {
        selectedCursor_ = -1;
        int nearest = kGrabPixels + 1;
        for (int c = 0; c < 4; ++c) {
            const int distance = std::abs((c < 2 ? at.x() : at.y()) - cursorPixel(c));
            if (distance < nearest) nearest = distance, selectedCursor_ = c;
        }
    } else if (type == QEvent::MouseMove && selectedCursor_ >= 0) {
        placeCursor(selectedCursor_, selectedCursor_ < 2 ? at.x() : at.y());
    }
    refreshMeasurements(true);
}

// Left and right move the time cursor taken last by a sample, up and down the level cursor by a
// count; with Shift by a division.
bool ScopeApp::moveCursorByKey(int key) {
    const bool shift = key & Qt::ShiftModifier;
    key &= ~int(Qt::ShiftModifier);
    const bool across = key == Qt::Key_Left || key == Qt::Key_Right;
    if (!cursorsShown_ || selectedCursor_ < 0 ||
        (!across && key != Qt::Key_Up && key != Qt::Key_Down))
        return false;
    if (across != (selectedCursor_ < 2)) return true;
    const int sign = key == Qt::Key_Right || key == Qt::Key_Up ? 1 : -1;
    if (across)
        cursors_.samples[selectedCursor_] =
            std::clamp(cursors_.samples[selectedCursor_] + sign * (shift ? kSamplesPerDiv : 1), 0.0,
                       double(kSamples - 1));
    else
        cursors_.counts[selectedCursor_ - 2] =
            std::clamp(cursors_.counts[selectedCursor_ - 2] + sign * (shift ? kCountsPerDiv : 1),
                       -128.0, 127.0);
    refreshMeasurements(true);
    return true;
}

// A new read keeps the time cursors at their times, where both reads know the time base.
void ScopeApp::keepCursorTimes(const Acquisition& before, const Acquisition& after) {
    if (before.timeDiv == 0 || after.timeDiv == 0) return;
    for (double& sample : cursors_.samples)
        sample = std::clamp(sampleAt(after, timeAt(before, sample)), 0.0, double(kSamples - 1));
}

}  // namespace curvalon
