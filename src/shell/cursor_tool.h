// Measure > Cursors: two time cursors and two level cursors over the plot, taken and dragged with
// the mouse or moved with the arrow keys, kept at their times across reads.
#pragma once

#include <QEvent>
#include <QPoint>
#include <functional>
#include <vector>

#include "analysis/acquisition.h"
#include "analysis/cursors.h"
#include "model/scope_state.h"
#include "shell/main_window.h"

namespace curvalon {

class CursorTool {
  public:
    // changed is told after every move (true), and after showing or hiding them (false).
    CursorTool(const ScopeState& state, MainWindow& window, std::function<void(bool)> changed);

    // Shown, they start with cursor A selected, so that the keys act at once.
    void toggle();
    bool shown() const { return shown_; }
    const CursorSet& cursors() const { return cursors_; }
    // A, B, level 1, level 2 as 0..3.
    int selected() const { return selected_; }
    // The source the operator gave the level cursors, kept while it is shown; otherwise they go
    // with the first source shown.
    void chooseLevelSource(int source);
    void followShown(const std::vector<int>& shown);

    // A press on the plot takes the nearest cursor, moving drags it.
    void mouse(QEvent::Type type, QPoint at);
    // F2 selects the next cursor (Shift+F2 the one before); left and right move a selected time
    // cursor by a sample, up and down a level cursor by a count, by a division with Shift. False
    // for any other key.
    bool moveByKey(int key);
    // A new read keeps the time cursors at their times, where both reads know the time base.
    void keepTimes(const Acquisition& before, const Acquisition& after);
    // The lines over the plot, as the zoom places them now, labelled with their values in read.
    void draw(const Acquisition* read);

  private:
    int pixelOf(int cursor) const;
    void place(int cursor, double pixel);
    CursorLine lineOf(int cursor, const Acquisition* read) const;

    const ScopeState& state_;
    MainWindow& window_;
    std::function<void(bool)> changed_;
    CursorSet cursors_;
    bool shown_ = false;
    int selected_ = 0;
    int chosenLevelSource_ = -1;  // none chosen
    bool dragging_ = false;
};

}  // namespace curvalon
