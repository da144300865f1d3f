// Measure > Cursors: two time cursors and two level cursors over the plot, taken and dragged with
// the mouse or moved with the arrow keys, kept at their times across reads.
#pragma once

#include <QEvent>
#include <QPoint>
#include <functional>

#include "analysis/acquisition.h"
#include "analysis/cursors.h"
#include "model/scope_state.h"
#include "shell/main_window.h"

namespace curvalon {

class CursorTool {
  public:
    // changed is told after every move (true), and after showing or hiding them (false).
    CursorTool(const ScopeState& state, MainWindow& window, std::function<void(bool)> changed);

    void toggle();
    bool shown() const { return shown_; }
    const CursorSet& cursors() const { return cursors_; }
    // The channel the level cursors belong to.
    void setLevelSource(int source) { cursors_.levelSource = source; }

    // A press on the plot takes the nearest cursor, moving drags it.
    void mouse(QEvent::Type type, QPoint at);
    // Left and right move the time cursor taken last by a sample, up and down the level cursor
    // by a count, by a division with Shift; false for any other key.
    bool moveByKey(int key);
    // A new read keeps the time cursors at their times, where both reads know the time base.
    void keepTimes(const Acquisition& before, const Acquisition& after);
    // The lines over the plot, as the zoom places them now.
    void draw();

  private:
    int pixelOf(int cursor) const;
    void place(int cursor, double pixel);

    const ScopeState& state_;
    MainWindow& window_;
    std::function<void(bool)> changed_;
    CursorSet cursors_;
    bool shown_ = false;
    int selected_ = -1;  // A, B, level 1, level 2; -1 for none
};

}  // namespace curvalon
