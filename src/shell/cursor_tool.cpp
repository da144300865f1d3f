#include "shell/cursor_tool.h"

#include <algorithm>
#include <cmath>

#include "plot/image_surface.h"

namespace curvalon {

namespace {

constexpr int kGrabPixels = 6;  // how near a press must come to a cursor to take it
const QColor kTimeCursorColour(64, 64, 64);

// Twips to the plot's pixel, as the traces fall.
int pixel(double twips) {
    return static_cast<int>(std::floor(twips / kTwipsPerPixel));
}

}  // namespace

CursorTool::CursorTool(const ScopeState& state, MainWindow& window,
                       std::function<void(bool)> changed)
    : state_(state), window_(window), changed_(std::move(changed)) {}

void CursorTool::toggle() {
    shown_ = !shown_;
    changed_(false);
}

int CursorTool::pixelOf(int cursor) const {
    const ScopeState& s = state_;
    return pixel(cursor < 2 ? s.plotX0 + cursors_.samples[cursor] * s.magH
                            : s.plotY0 + (s.gridYTbl[4] - cursors_.counts[cursor - 2]) * s.magV);
}

void CursorTool::draw() {
    const ScopeState& s = state_;
    const int left = pixel(s.plotX0), right = pixel(s.plotX0 + double(kSamples) * s.magH);
    const int top = pixel(s.plotY0), bottom = pixel(s.plotY0 + double(kCounts) * s.magV);
    std::vector<CursorLine> lines;
    const Rgb level = s.traceColor[static_cast<std::size_t>(cursors_.levelSource)];
    for (int c = 0; shown_ && c < 4; ++c) {
        const QColor colour =
            c < 2 ? kTimeCursorColour : QColor(redOf(level), greenOf(level), blueOf(level));
        lines.push_back({c < 2, pixelOf(c), c < 2 ? top : left, c < 2 ? bottom : right, colour,
                         QString::fromLatin1(c < 2 ? (c == 0 ? "A" : "B") : (c == 2 ? "1" : "2")),
                         c == selected_});
    }
    window_.setCursorLines(std::move(lines));
}

// Moves cursor to the plot's pixel along its own direction, within the record and the counts.
void CursorTool::place(int cursor, double pixel) {
    const ScopeState& s = state_;
    const double twips = pixel * kTwipsPerPixel;
    if (cursor < 2)
        cursors_.samples[cursor] =
            std::clamp((twips - s.plotX0) / s.magH, 0.0, double(kSamples - 1));
    else
        cursors_.counts[cursor - 2] =
            std::clamp(s.gridYTbl[4] - (twips - s.plotY0) / s.magV, -128.0, 127.0);
}

void CursorTool::mouse(QEvent::Type type, QPoint at) {
    if (!shown_) return;
    if (type == QEvent::MouseButtonPress) {
        selected_ = -1;
        int nearest = kGrabPixels + 1;
        for (int c = 0; c < 4; ++c) {
            const int distance = std::abs((c < 2 ? at.x() : at.y()) - pixelOf(c));
            if (distance < nearest) nearest = distance, selected_ = c;
        }
    } else if (type == QEvent::MouseMove && selected_ >= 0) {
        place(selected_, selected_ < 2 ? at.x() : at.y());
    }
    changed_(true);
}

bool CursorTool::moveByKey(int key) {
    const bool shift = key & Qt::ShiftModifier;
    key &= ~int(Qt::ShiftModifier);
    const bool across = key == Qt::Key_Left || key == Qt::Key_Right;
    if (!shown_ || selected_ < 0 || (!across && key != Qt::Key_Up && key != Qt::Key_Down))
        return false;
    if (across != (selected_ < 2)) return true;
    const int sign = key == Qt::Key_Right || key == Qt::Key_Up ? 1 : -1;
    if (across)
        cursors_.samples[selected_] =
            std::clamp(cursors_.samples[selected_] + sign * (shift ? kSamplesPerDiv : 1), 0.0,
                       double(kSamples - 1));
    else
        cursors_.counts[selected_ - 2] = std::clamp(
            cursors_.counts[selected_ - 2] + sign * (shift ? kCountsPerDiv : 1), -128.0, 127.0);
    changed_(true);
    return true;
}

void CursorTool::keepTimes(const Acquisition& before, const Acquisition& after) {
    if (before.timeDiv == 0 || after.timeDiv == 0) return;
    for (double& sample : cursors_.samples)
        sample = std::clamp(sampleAt(after, timeAt(before, sample)), 0.0, double(kSamples - 1));
}

}  // namespace curvalon
