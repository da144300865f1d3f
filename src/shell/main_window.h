// The main window: readout fields and buttons on the left, the marker strip, the plot drawn from
// an off-screen image, the menu bar and the status panel, placed in twips as the layout gives.
#pragma once

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <array>
#include <functional>
#include <map>
#include <utility>

#include "plot/image_surface.h"
#include "shell/window_ops.h"

namespace curvalon {

class CanvasWidget;
class StripWidget;

// Largest client area the zoom tables ask for, in twips.
constexpr int kMaxClientWidthTwips = 27695 - 120;
constexpr int kMaxClientHeightTwips = 11360 - 690;

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
    QWidget* stripWidget() const;

    // The client area (below the menu bar) in twips.
    void setClientSize(int widthTwips, int heightTwips);
    void setStripHeight(int heightTwips);

    // Every key with a character code typed while this window is active, whichever control
    // has the focus, and the keys without one (for F1).
    std::function<void(int charCode)> onCharKey;
    std::function<void(int qtKey)> onOtherKey;
    std::function<void(Button, int index)> onButton;
    std::function<void(Menu, int index)> onMenu;
    // Closing from the frame.
    std::function<void()> onClose;

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
    void buildStatusBar();

    QWidget* client_ = nullptr;
    std::unique_ptr<ImageSurface> surface_;
    std::unique_ptr<ImageMarkerStrip> strip_;
    CanvasWidget* canvas_ = nullptr;
    StripWidget* stripWidget_ = nullptr;
    QWidget* statusBar_ = nullptr;
    QLabel* statusPanel_ = nullptr;
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
