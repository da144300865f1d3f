// The main window: readout fields and buttons on the left, the marker strip, the plot drawn from
// an off-screen image, the menu bar and the status panel, placed in twips as the layout gives.
#pragma once

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "model/scope_state.h"
#include "model/window_ops.h"
#include "plot/image_surface.h"

namespace curvalon {

class ImageView;

// A cursor over the plot: a vertical line at a column or a horizontal one at a row, from one
// edge of the plot to the other, its label at the start; in the client area's pixels.
struct CursorLine {
    bool vertical = true;
    int at = 0;
    int from = 0, to = 0;
    QColor mark;    // its source's colour, for its label and marker; the line itself is grey
    QString label;  // its value
    bool selected = false;
};

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    static constexpr const char* kCaption = "Curvalon (v1.0a)";

    MainWindow();
    ~MainWindow() override;

    ImageSurface& surface() { return *surface_; }
    ImageMarkerStrip& markerStrip() { return *strip_; }
    Rgb backColor() const;

    QLabel* field(Field f, int index) const;
    QPushButton* button(Button b, int index) const;
    QAction* menuItem(Menu m, int index) const;
    QLabel* statusPanel() const { return statusPanel_; }
    // File > Port: filled by whoever listens to its aboutToShow, each time it opens.
    QMenu* portMenu() const { return portMenu_; }
    // Magnify checks the zoom items in effect: filled by whoever listens to its aboutToShow too.
    QMenu* magnifyMenu() const { return magnifyMenu_; }
    void showZoom(int hIdx, int vIdx);
    // File > Open…, also Ctrl+O; whoever listens to it opens.
    QAction* openItem() const { return openItem_; }
    // File > Copy picture and data, also Ctrl+C.
    QAction* copyItem() const { return copyItem_; }
    // Measure: the measurement window, the cursors (checked while shown), copying the
    // measurements and the trend window; whoever listens to the items acts.
    struct MeasureItems {
        QAction* measurements = nullptr;
        QAction* cursors = nullptr;
        QAction* copy = nullptr;
        QAction* trend = nullptr;
    };
    const MeasureItems& measureItems() const { return measureItems_; }
    // Curve: Run, Record… and Hold acquisition while reading, each checked while on.
    struct RunItems {
        QAction* run = nullptr;
        QAction* record = nullptr;
        QAction* hold = nullptr;
    };
    const RunItems& runItems() const { return runItems_; }
    QWidget* stripWidget() const;
    QWidget* plotWidget() const;

    // The readout column, the marker strip and the plot as they are on screen, at the screen's
    // resolution, the whole plot even where the window scrolls it.
    QImage picture() const;
    // The part of the screen that windows may take, without the desktop's panels.
    virtual QRect availableScreen() const;
    // While held, the plot and the marker strip show what they held at the moment of holding, in
    // the picture too, whatever is drawn meanwhile; holding again takes what they hold now.
    void holdPlot(bool hold);
    bool plotHeld() const;
    // Lines drawn over the plot on screen and in the picture, never into the off-screen image.
    void setCursorLines(std::vector<CursorLine> lines);
    const std::vector<CursorLine>& cursorLines() const { return cursorLines_; }

    // The client area (below the menu bar) in twips, as the zoom asks for it. Where the screen
    // has no room for it, the window stops at the screen's edge and the plot and the marker
    // strip scroll inside it.
    void setClientSize(int widthTwips, int heightTwips);
    void setStripHeight(int heightTwips);

  signals:
    // Every key with a character code typed while this window is active, whichever control
    // has the focus, and the keys without one (for F1).
    void charKey(int charCode);
    void otherKey(int qtKey);  // Qt::Key, with Qt::ShiftModifier added while Shift is held
    void buttonClicked(curvalon::Button b, int index);
    void menuChosen(curvalon::Menu m, int index);
    // Closing from the frame; the window stays open for whoever listens to decide.
    void closeRequested();
    // The copy key (both) or the plot's context menu (one of them).
    void copyRequested(bool picture, bool data);
    // The left button pressed, moved or released on the plot, in the plot's pixels.
    void plotMouse(QEvent::Type type, QPoint at);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    QLabel* addField(Field f, int index, const char* text, int left, int top, int width,
                     int height);
    QPushButton* addButton(Button b, int index, const char* caption, int left, int top, int width,
                           int height);
    QAction* addMenuItem(QMenu* menu, Menu m, int index, const QString& caption);
    void buildFields();
    void buildButtons();
    void buildMenus();
    void buildFileMenu(QMenu* file);
    void buildStatusBar();
    void buildCopyActions();
    QSize roomForClient() const;
    void placePlotPort(QSize client);
    void drawCursorLines(QPainter& p, const QRect& within) const;
    const QImage& plotImage() const;

    QWidget* client_ = nullptr;
    std::unique_ptr<ImageSurface> surface_;
    std::unique_ptr<ImageMarkerStrip> strip_;
    // The strip and the plot, seen through a port from the strip's left edge to the right edge
    // of the client area; the strip moves only up and down with the plot.
    QScrollArea* plotPort_ = nullptr;
    ImageView* canvas_ = nullptr;
    ImageView* stripWidget_ = nullptr;
    QSize content_;  // the client area the zoom asks for, in pixels
    QWidget* statusBar_ = nullptr;
    QLabel* statusPanel_ = nullptr;
    QMenu* portMenu_ = nullptr;
    QMenu* magnifyMenu_ = nullptr;
    QAction* copyItem_ = nullptr;
    QAction* openItem_ = nullptr;
    MeasureItems measureItems_;
    RunItems runItems_;
    std::vector<CursorLine> cursorLines_;
    QImage heldPlot_, heldStrip_;
    std::map<std::pair<int, int>, QLabel*> fields_;
    std::map<std::pair<int, int>, QPushButton*> buttons_;
    std::map<std::pair<int, int>, QAction*> menuItems_;
};

// Shrinks a field's font, down to a floor, until its text fits the field's width: the layout's
// narrow unit fields were made for a narrower font than today's desktops use.
void fitFieldFont(QLabel* field);

// Twips of the layout to pixels of the screen.
QRect twipRect(int left, int top, int width, int height);

}  // namespace curvalon
