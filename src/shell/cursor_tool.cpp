#include "shell/cursor_tool.h"

#include <algorithm>
#include <cmath>

#include "plot/image_surface.h"

namespace curvalon {

namespace {

constexpr int kGrabPixels = 6;  // how near a press must come to a cursor to take it
constexpr int kCursorCount = 4;
// The time cursors belong to no source: their label and marker are a neutral dark grey.
const QColor kTimeCursorMark(64, 64, 64);

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
    selected_ = 0;
    changed_(false);
}

void CursorTool::chooseLevelSource(int source) {
    chosenLevelSource_ = source;
    cursors_.levelSource = source;
    changed_(true);
}

void CursorTool::followShown(const std::vector<int>& shown) {
    if (std::find(shown.begin(), shown.end(), chosenLevelSource_) != shown.end())
        cursors_.levelSource = chosenLevelSource_;
    else if (!shown.empty())
        cursors_.levelSource = shown.front();
}

int CursorTool::pixelOf(int cursor) const {
    const ScopeState& s = state_;
    return pixel(cursor < 2 ? s.plotX0 + cursors_.samples[cursor] * s.magH
                            : s.plotY0 + (s.gridYTbl[4] - cursors_.counts[cursor - 2]) * s.magV);
}

CursorLine CursorTool::lineOf(int cursor, const Acquisition* read) const {
    const ScopeState& s = state_;
    const int left = pixel(s.plotX0), right = pixel(s.plotX0 + double(kSamples) * s.magH);
    const int top = pixel(s.plotY0), bottom = pixel(s.plotY0 + double(kCounts) * s.magV);
    const bool vertical = cursor < 2;
    const Rgb level = s.traceColor[static_cast<std::size_t>(cursors_.levelSource)];
    const QColor mark =
        vertical ? kTimeCursorMark : QColor(redOf(level), greenOf(level), blueOf(level));
    const QString label = read ? QString::fromStdString(cursorLabel(*read, cursors_, cursor))
                               : QString::fromLatin1(vertical ? (cursor == 0 ? "A" : "B")
                                                              : (cursor == 2 ? "1" : "2"));
    return {vertical, pixelOf(cursor), vertical ? top : left, vertical ? bottom : right,
            mark,     label,           cursor == selected_};
}

void CursorTool::draw(const Acquisition* read) {
    std::vector<CursorLine> lines;
    for (int c = 0; shown_ && c < kCursorCount; ++c)
        lines.push_back(lineOf(c, read));
    window_.setCursorLines(std::move(lines));
}

// Moves cursor to the plot's pixel along its own direction, within the record and the counts,
// onto a whole sample or count: the record holds nothing between them.
void CursorTool::place(int cursor, double pixel) {
    const ScopeState& s = state_;
    const double twips = pixel * kTwipsPerPixel;
    if (cursor < 2)
        cursors_.samples[cursor] =
            std::clamp(std::round((twips - s.plotX0) / s.magH), 0.0, double(kSamples - 1));
    else
        cursors_.counts[cursor - 2] =
            std::clamp(std::round(s.gridYTbl[4] - (twips - s.plotY0) / s.magV), -128.0, 127.0);
}

// A press away from every cursor keeps the one selected, for the keys.
void CursorTool::mouse(QEvent::Type type, QPoint at) {
    if (!shown_) return;
    if (type == QEvent::MouseButtonPress) {
        dragging_ = false;
        int nearest = kGrabPixels + 1;
        for (int c = 0; c < kCursorCount; ++c) {
            const int distance = std::abs((c < 2 ? at.x() : at.y()) - pixelOf(c));
            if (distance < nearest) nearest = distance, selected_ = c, dragging_ = true;
        }
    } else if (type == QEvent::MouseMove && dragging_) {
        place(selected_, selected_ < 2 ? at.x() : at.y());
    }
    changed_(true);
}

bool CursorTool::moveByKey(int key) {
    const bool shift = key & Qt::ShiftModifier;
    key &= ~int(Qt::ShiftModifier);
    if (!shown_) return false;
    if (key == Qt::Key_F2) {
        selected_ = (selected_ + (shift ? kCursorCount - 1 : 1)) % kCursorCount;
        changed_(true);
        return true;
    }
    const bool across = key == Qt::Key_Left || key == Qt::Key_Right;
    if (!across && key != Qt::Key_Up && key != Qt::Key_Down) return false;
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
        sample = std::clamp(std::round(sampleAt(after, timeAt(before, sample))), 0.0,
                            double(kSamples - 1));
}

}  // namespace curvalon
