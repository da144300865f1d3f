#include "shell/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>

namespace curvalon {

QRect twipRect(int left, int top, int width, int height) {
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}

namespace {

constexpr int kFieldFontPixels = 11;
constexpr int kStripLeftTwips = 2040;
constexpr int kStripWidthTwips = 165;
constexpr int kSmallestFieldFontPixels = 8;
// A click on a scroll bar's arrow moves the plot by a few samples, not by one pixel.
constexpr int kScrollStepPixels = 20;

QFont fieldFont() {
    QFont f = QApplication::font();
    f.setPixelSize(kFieldFontPixels);
    return f;
}

}  // namespace

void fitFieldFont(QLabel* field) {
    QFont f = field->font();
    const int room = field->contentsRect().width() - field->indent();
    for (int px = kFieldFontPixels; px >= kSmallestFieldFontPixels; --px) {
        f.setPixelSize(px);
        if (px == kSmallestFieldFontPixels ||
            QFontMetrics(f).horizontalAdvance(field->text()) <= room)
            break;
    }
    if (f != field->font()) field->setFont(f);
}

// Shows an off-screen picture; everything drawn stays in the picture, so uncovering the window
// only copies pixels back.
class ImageView : public QWidget {
  public:
    ImageView(QWidget* parent, OffscreenImage& picture) : QWidget(parent), picture_(picture) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        picture_.setListener([this] { update(); });
    }

    // Drawn over the picture on screen only, never into it.
    std::function<void(QPainter&)> overlay;
    // Shown in place of the picture while set: what it held when it was last complete.
    const QImage* held = nullptr;

  protected:
    void paintEvent(QPaintEvent*) override {
        // The painter keeps to the exposed area; the picture may hold more device pixels than
        // this widget has logical ones, and is drawn at its logical size.
        QPainter p(this);
        p.drawImage(QPoint(0, 0), held ? *held : picture_.image());
        picture_.shown();
        if (overlay) overlay(p);
    }

  private:
    OffscreenImage& picture_;
};

MainWindow::MainWindow() {
    setWindowTitle(QString::fromLatin1(kCaption));
    const Rgb back = backColor();
    const qreal ratio = devicePixelRatioF();
    surface_ = std::make_unique<ImageSurface>(twipsToPixels(tables::kMaxClientWidthTwips) + 1,
                                              twipsToPixels(tables::kMaxClientHeightTwips) + 1,
                                              back, ratio);
    strip_ = std::make_unique<ImageMarkerStrip>(twipsToPixels(kStripWidthTwips),
                                                twipsToPixels(tables::kPanelH.back()) + 1, back,
                                                fieldFont(), ratio);

    client_ = new QWidget(this);
    // The plot scrolls under the marker strip, which follows it up and down only. The canvas
    // holds the whole client area's image; its part left of the strip is the readout column's.
    plotPort_ = new QScrollArea(client_);
    plotPort_->setFrameShape(QFrame::NoFrame);
    auto* plot = new QWidget;
    canvas_ = new ImageView(plot, *surface_);
    canvas_->move(-twipsToPixels(kStripLeftTwips), 0);
    canvas_->resize(surface_->image().size());
    canvas_->overlay = [this](QPainter& p) {
        // The labels stay in the part of the plot that the scroll area shows.
        const QWidget* port = plotPort_->viewport();
        drawCursorLines(p, QRect(canvas_->mapFrom(port, QPoint(0, 0)), port->size()));
    };
    plotPort_->setWidget(plot);
    stripWidget_ = new ImageView(plotPort_->viewport(), *strip_);
    stripWidget_->resize(
        twipRect(0, 0, kStripWidthTwips, tables::kPanelH[tables::kStartZoomV]).size());
    for (QScrollBar* bar : {plotPort_->horizontalScrollBar(), plotPort_->verticalScrollBar()})
        bar->setSingleStep(kScrollStepPixels);
    connect(plotPort_->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int value) { stripWidget_->move(0, -value); });
    setCentralWidget(client_);

    buildFields();
    buildButtons();
    buildMenus();
    buildStatusBar();
    buildCopyActions();
    setClientSize(tables::kFormW[tables::kStartZoomH] - tables::kFrameWidthTwips,
                  tables::kFormH[tables::kStartZoomV] - tables::kFrameHeightTwips);

    qApp->installEventFilter(this);
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(this);
}

Rgb MainWindow::backColor() const {
    const QColor c = palette().color(QPalette::Window);
    return rgb(c.red(), c.green(), c.blue());
}

QLabel* MainWindow::addField(Field f, int index, const char* text, int left, int top, int width,
                             int height) {
    auto* label = new QLabel(QString::fromLatin1(text), client_);
    label->setGeometry(twipRect(left, top, width, height));
    label->setFont(fieldFont());
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setLineWidth(1);
    label->setAutoFillBackground(true);
    label->setMargin(0);
    label->setIndent(1);
    // Fields show replies from the instrument; a reply that looks like markup is still shown
    // as the characters it holds.
    label->setTextFormat(Qt::PlainText);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(pal);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    fitFieldFont(label);
    fields_[{int(f), index}] = label;
    return label;
}

void MainWindow::buildFields() {
    addField(Field::TimeDivTtl, 0, "TimeDiv", 120, 240, 735, 255);
    addField(Field::TimeDivTim, 0, "0.00", 840, 240, 480, 270);
    addField(Field::TimeDivUnit, 0, "S", 1320, 240, 255, 270);
    static const char* chNames[] = {"CH1", "CH2", "CH3", "CH4"};
    for (int i = 0; i < 4; ++i) {
        const int top = 480 + 240 * i;
        addField(Field::ChTtl, i, chNames[i], 120, top, 735, 270);
        addField(Field::ChDivV, i, "0.00", 840, top, 495, 270);
        addField(Field::ChDivUnit, i, "V", 1320, top, 255, 270);
    }
    addField(Field::TrigPosiTtl, 0, "TrigPosi", 120, 1440, 765, 270);
    addField(Field::TrigPosiTim, 0, "000.0", 840, 1440, 480, 270);
    addField(Field::TrigPosiUnit, 0, "S", 1320, 1440, 255, 270);
    addField(Field::TrigerChTtl, 0, "Triger", 120, 1680, 735, 270);
    addField(Field::TrigLevV, 0, "0.00", 840, 1680, 495, 270);
    addField(Field::TrigLevUnit, 0, "V", 1320, 1680, 255, 270);
    addField(Field::TrigerCH, 0, "-", 1560, 1680, 495, 270);
    addField(Field::ProbeTtl, 0, "Probe", 120, 1940, 855, 270);
    addField(Field::CouplingTtl, 0, "Coupling", 120, 2420, 855, 270);
    addField(Field::BWTtl, 0, "BW Limit", 120, 2900, 855, 270);
    addField(Field::InvertTtl, 0, "Invert", 120, 3380, 855, 270);
    for (int i = 0; i < 4; ++i) {
        const int left = 120 + 480 * i;
        addField(Field::Probe, i, "-", left, 2160, 495, 270);
        addField(Field::Coupling, i, "-", left, 2640, 495, 270);
        addField(Field::BWLimit, i, "-", left, 3120, 495, 270);
        addField(Field::Invert, i, "-", left, 3600, 495, 270);
    }
    addField(Field::dispTxD_str, 0, "Tx", 120, 3880, 1935, 270);
    addField(Field::dispRxD_str, 0, "Rx", 120, 4160, 1935, 255);
}

QPushButton* MainWindow::addButton(Button b, int index, const char* caption, int left, int top,
                                   int width, int height) {
    auto* button = new QPushButton(QString::fromLatin1(caption), client_);
    button->setGeometry(twipRect(left, top, width, height));
    button->setFont(fieldFont());
    // Keys belong to the window's key map, never to a focused button.
    button->setFocusPolicy(Qt::NoFocus);
    buttons_[{int(b), index}] = button;
    connect(button, &QPushButton::clicked, this,
            [this, b, index] { emit buttonClicked(b, index); });
    return button;
}

void MainWindow::buildButtons() {
    addButton(Button::cbSelCurve, 0, "S", 1680, 240, 375, 300);
    static const char* chCaptions[] = {"1", "2", "3", "4"};
    for (int i = 0; i < 4; ++i)
        addButton(Button::cbCh, i, chCaptions[i], 1680, 480 + 240 * i, 375, 255);
    addButton(Button::cbReDraw, 0, "Re Draw", 120, 4440, 1095, 375);
    addButton(Button::cbNewCurve, 0, "New Curve", 120, 4800, 1095, 375);
    addButton(Button::cbRefFlag, 4, "A", 1320, 4440, 375, 255);
    addButton(Button::cbRefFlag, 5, "B", 1680, 4440, 375, 255);
    addButton(Button::cbRefFlag, 6, "C", 1320, 4680, 375, 255);
    addButton(Button::cbRefFlag, 7, "D", 1680, 4680, 375, 255);
}

QAction* MainWindow::addMenuItem(QMenu* menu, Menu m, int index, const QString& caption) {
    QAction* action = menu->addAction(caption);
    menuItems_[{int(m), index}] = action;
    connect(action, &QAction::triggered, this, [this, m, index] { emit menuChosen(m, index); });
    return action;
}

// File: the instrument's items, then the tool's own files and copies, then Exit.
void MainWindow::buildFileMenu(QMenu* file) {
    addMenuItem(file, Menu::mnuIniTDS2024, 0, QStringLiteral("Initial TDS2024(&I)"));
    portMenu_ = file->addMenu(QStringLiteral("Port(&P)"));
    openItem_ = file->addAction(QStringLiteral("Open\u2026(&O)"));
    openItem_->setShortcut(QKeySequence::Open);
    addMenuItem(file, Menu::mnuSave, 0, QStringLiteral("Save(&S)"))
        ->setShortcut(QKeySequence::Save);
    copyItem_ = file->addAction(QStringLiteral("Copy picture and data(&C)"));
    copyItem_->setShortcut(QKeySequence::Copy);
    copyItem_->setShortcutContext(Qt::WindowShortcut);
    connect(copyItem_, &QAction::triggered, this, [this] { emit copyRequested(true, true); });
    file->addSeparator();
    addMenuItem(file, Menu::mnuEnd, 0, QStringLiteral("Exit(&X)"));
}

void MainWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    buildFileMenu(bar->addMenu(QStringLiteral("File(&F)")));
    QMenu* curve = bar->addMenu(QStringLiteral("Curve(&C)"));
    addMenuItem(curve, Menu::mnuReDraw, 0, QStringLiteral("Re Draw(&R)"));
    addMenuItem(curve, Menu::mnuNewCurve, 0, QStringLiteral("New Curve(&N)"));
    curve->addSeparator();
    addMenuItem(curve, Menu::mnuViewRef, 0, QStringLiteral("View Reference"));
    addMenuItem(curve, Menu::mnuReadRef, 0, QStringLiteral("Read Reference"));
    static const char* refCaptions[] = {"RefA", "RefB", "RefC", "RefD"};
    for (int r = 4; r <= 7; ++r) {
        addMenuItem(curve, Menu::mnuRef, r, QString::fromLatin1(refCaptions[r - 4]))
            ->setEnabled(false);
    }
    curve->addSeparator();
    runItems_.run = curve->addAction(QStringLiteral("Run"));
    runItems_.record = curve->addAction(QStringLiteral("Record\u2026"));
    runItems_.hold = curve->addAction(QStringLiteral("Hold acquisition while reading"));
    for (QAction* item : {runItems_.run, runItems_.record, runItems_.hold})
        item->setCheckable(true);

    QMenu* channels = bar->addMenu(QStringLiteral("CH_Select(&S)"));
    for (int i = 0; i < 4; ++i) {
        addMenuItem(channels, Menu::mnuCh, i, QStringLiteral("CH%1(&%1)").arg(i + 1));
    }

    magnifyMenu_ = bar->addMenu(QStringLiteral("Magnify(&M)"));
    for (int i = 0; i < 10; ++i) {
        addMenuItem(magnifyMenu_, Menu::mnuMagH, i, QStringLiteral("H  x%1").arg(i + 1))
            ->setCheckable(true);
    }
    for (int i = 0; i < 4; ++i) {
        addMenuItem(magnifyMenu_, Menu::mnuMagV, i, QStringLiteral("V  x%1").arg(i + 1))
            ->setCheckable(true);
    }

    QMenu* measure = bar->addMenu(QStringLiteral("Measure(&E)"));
    measureItems_.measurements = measure->addAction(QStringLiteral("Measurements(&M)"));
    measureItems_.cursors = measure->addAction(QStringLiteral("Cursors(&C)"));
    measureItems_.cursors->setCheckable(true);
    measureItems_.copy = measure->addAction(QStringLiteral("Copy measurements(&O)"));
    measureItems_.trend = measure->addAction(QStringLiteral("Trend\u2026(&T)"));

    QAction* help = bar->addAction(QStringLiteral("Help"));
    menuItems_[{int(Menu::mnuHelp), 0}] = help;
    connect(help, &QAction::triggered, this, [this] { emit menuChosen(Menu::mnuHelp, 0); });
}

void MainWindow::buildStatusBar() {
    statusBar_ = new QWidget(client_);
    statusPanel_ = new QLabel(QStringLiteral("Stat:"), statusBar_);
    statusPanel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusPanel_->setIndent(2);
    statusPanel_->setFont(fieldFont());
    statusPanel_->setTextFormat(Qt::PlainText);
}

void MainWindow::showZoom(int hIdx, int vIdx) {
    for (int i = 0; i < 10; ++i)
        menuItem(Menu::mnuMagH, i)->setChecked(i == hIdx);
    for (int i = 0; i < 4; ++i)
        menuItem(Menu::mnuMagV, i)->setChecked(i == vIdx);
}

void MainWindow::buildCopyActions() {
    auto* picture = new QAction(QStringLiteral("Copy picture"), canvas_);
    auto* data = new QAction(QStringLiteral("Copy data"), canvas_);
    connect(picture, &QAction::triggered, this, [this] { emit copyRequested(true, false); });
    connect(data, &QAction::triggered, this, [this] { emit copyRequested(false, true); });
    canvas_->addActions({picture, data});
    canvas_->setContextMenuPolicy(Qt::ActionsContextMenu);
}

QImage MainWindow::picture() const {
    // The readout column as the window shows it, then the strip and the whole plot however the
    // window scrolls them, down to the status bar: a picture that carries its own scales. The
    // cursors are in it while they are shown.
    const int left = twipsToPixels(kStripLeftTwips);
    const QSize size(content_.width(), content_.height() - statusBar_->height());
    const qreal ratio = surface_->image().devicePixelRatio();
    QImage out((QSizeF(size) * ratio).toSize(), QImage::Format_RGB32);
    out.setDevicePixelRatio(ratio);
    out.fill(palette().color(QPalette::Window));
    QPainter p(&out);
    const int columnHeight = std::min(size.height(), client_->height() - statusBar_->height());
    client_->render(&p, QPoint(0, 0), QRegion(0, 0, left, columnHeight), QWidget::DrawChildren);
    const QRectF plot(left, 0, size.width() - left, size.height());
    p.drawImage(plot, plotImage(), QRectF(plot.topLeft() * ratio, plot.size() * ratio));
    const QRect strip(QPoint(left, 0), stripWidget_->size());
    p.drawImage(QRectF(strip), stripWidget_->held ? heldStrip_ : strip_->image(),
                QRectF(QPointF(0, 0), QSizeF(strip.size()) * ratio));
    p.setClipRect(plot);
    drawCursorLines(p, plot.toRect());
    return out;
}

const QImage& MainWindow::plotImage() const {
    return canvas_->held ? heldPlot_ : surface_->image();
}

void MainWindow::holdPlot(bool hold) {
    // Only the part the zoom shows: the image is made for the largest zoom, and a copy of all of
    // it would cost megabytes for as long as the tool runs.
    const qreal ratio = surface_->image().devicePixelRatio();
    heldPlot_ = hold ? surface_->image().copy(QRect(QPoint(), (QSizeF(content_) * ratio).toSize()))
                     : QImage();
    heldStrip_ = hold ? strip_->image() : QImage();
    canvas_->held = hold ? &heldPlot_ : nullptr;
    stripWidget_->held = hold ? &heldStrip_ : nullptr;
    canvas_->update();
    stripWidget_->update();
}

bool MainWindow::plotHeld() const {
    return canvas_->held != nullptr;
}

void MainWindow::setCursorLines(std::vector<CursorLine> lines) {
    cursorLines_ = std::move(lines);
    canvas_->update();
}

namespace {

// Dashed and grey, so that no cursor reads as a flat trace.
const QColor kCursorLine(96, 96, 96);
constexpr int kLabelPad = 2;

QColor textOn(const QColor& fill) {
    return qGray(fill.rgb()) > 140 ? Qt::black : Qt::white;
}

// A small filled triangle at the line's start, pointing along it.
void drawCursorMarker(QPainter& p, const CursorLine& c) {
    const QPoint tip = c.vertical ? QPoint(c.at, c.from + 6) : QPoint(c.from + 6, c.at);
    const QPoint base1 = c.vertical ? QPoint(c.at - 4, c.from) : QPoint(c.from, c.at - 4);
    const QPoint base2 = c.vertical ? QPoint(c.at + 4, c.from) : QPoint(c.from, c.at + 4);
    p.setPen(Qt::NoPen);
    p.setBrush(c.mark);
    p.drawPolygon(QPolygon({tip, base1, base2}));
}

// The value on a chip of the cursor's colour beside its line, kept inside within: A's and
// level 1's at the start of their lines, B's one row lower and level 2's at the far end, so
// that cursors close together do not cover each other's values.
void drawCursorLabel(QPainter& p, const CursorLine& c, bool second, const QRect& within) {
    const QFontMetrics metrics(p.font());
    const QSize size(metrics.horizontalAdvance(c.label) + 2 * kLabelPad,
                     metrics.height() + kLabelPad);
    QRect chip(QPoint(), size);
    if (c.vertical) {
        const int top = std::max(c.from, within.top()) + 8 + (second ? size.height() + 2 : 0);
        const int right = std::min(c.to, within.right());
        chip.moveTopLeft(
            {c.at + 4 + size.width() > right ? c.at - 3 - size.width() : c.at + 4, top});
    } else {
        const int x = second ? std::min(c.to, within.right()) - 3 - size.width()
                             : std::max(c.from, within.left()) + 10;
        chip.moveTopLeft(
            {x, c.at - 3 - size.height() < within.top() ? c.at + 3 : c.at - 3 - size.height()});
    }
    p.setPen(c.selected ? QPen(kCursorLine.darker(200), 2) : QPen(kCursorLine, 1));
    p.setBrush(c.mark);
    p.drawRect(chip);
    p.setPen(textOn(c.mark));
    p.drawText(chip, Qt::AlignCenter, c.label);
}

}  // namespace

// In the client area's pixels, which are the canvas's own; the labels stay inside within.
void MainWindow::drawCursorLines(QPainter& p, const QRect& within) const {
    QFont small = p.font();
    small.setPixelSize(11);
    p.setFont(small);
    for (std::size_t i = 0; i < cursorLines_.size(); ++i) {
        const CursorLine& c = cursorLines_[i];
        p.setPen(QPen(kCursorLine, c.selected ? 2 : 1, Qt::DashLine));
        if (c.vertical)
            p.drawLine(c.at, c.from, c.at, c.to);
        else
            p.drawLine(c.from, c.at, c.to, c.at);
        drawCursorMarker(p, c);
        drawCursorLabel(p, c, i % 2 == 1, within);
    }
}

QWidget* MainWindow::stripWidget() const {
    return stripWidget_;
}

QWidget* MainWindow::plotWidget() const {
    return canvas_;
}

void MainWindow::setClientSize(int widthTwips, int heightTwips) {
    content_ = QSize(twipsToPixels(widthTwips), twipsToPixels(heightTwips));
    // Where one direction does not fit, the window also takes the room for that scroll bar, as far
    // as the screen allows.
    const QSize room = roomForClient();
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    QSize client = content_;
    if (content_.width() > room.width()) client.rheight() += extent;
    if (content_.height() > room.height()) client.rwidth() += extent;
    client = client.boundedTo(room);
    client_->setFixedSize(client);
    // The status bar is docked to the bottom edge across the full width; its panel keeps its width.
    const int barHeight = twipsToPixels(255);
    statusBar_->setGeometry(0, client.height() - barHeight, client.width(), barHeight);
    statusBar_->raise();
    statusPanel_->setGeometry(0, 0, std::min(twipsToPixels(7200), client.width()), barHeight);
    placePlotPort(client);
    setFixedSize(client.width(), client.height() + menuBar()->sizeHint().height());
}

QRect MainWindow::availableScreen() const {
    const QScreen* s = screen();
    return s ? s->availableGeometry() : QRect(0, 0, QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

// The screen's room less the window's frame (known once the window is shown) and the menu bar.
QSize MainWindow::roomForClient() const {
    const QSize frame = frameGeometry().size() - geometry().size();
    return availableScreen().size() - frame - QSize(0, menuBar()->sizeHint().height());
}

// Scroll bars only where the plot does not fit.
void MainWindow::placePlotPort(QSize client) {
    const int left = twipsToPixels(kStripLeftTwips);
    const int barHeight = statusBar_->height();
    plotPort_->setGeometry(left, 0, client.width() - left, client.height() - barHeight);
    plotPort_->widget()->resize(content_.width() - left, content_.height() - barHeight);
    // The bars' ranges are set at once; showing them waits for a posted layout request, which
    // is taken now so that the window is whole when this returns.
    QCoreApplication::sendPostedEvents(plotPort_, QEvent::LayoutRequest);
}

void MainWindow::setStripHeight(int heightTwips) {
    stripWidget_->resize(stripWidget_->width(), twipsToPixels(heightTwips));
}

QLabel* MainWindow::field(Field f, int index) const {
    auto it = fields_.find({int(f), index});
    return it == fields_.end() ? nullptr : it->second;
}

QPushButton* MainWindow::button(Button b, int index) const {
    auto it = buttons_.find({int(b), index});
    return it == buttons_.end() ? nullptr : it->second;
}

QAction* MainWindow::menuItem(Menu m, int index) const {
    auto it = menuItems_.find({int(m), index});
    return it == menuItems_.end() ? nullptr : it->second;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == canvas_ && (type == QEvent::MouseButtonPress || type == QEvent::MouseMove ||
                               type == QEvent::MouseButtonRelease)) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (type == QEvent::MouseMove ? (mouse->buttons() & Qt::LeftButton)
                                      : mouse->button() == Qt::LeftButton)
            emit plotMouse(type, mouse->position().toPoint());
        return false;
    }
    if (type != QEvent::KeyPress) return QMainWindow::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    // Alt and Ctrl combinations belong to the menus.
    if (key->modifiers() & (Qt::AltModifier | Qt::ControlModifier)) return false;
    const QString text = key->text();
    if (!text.isEmpty()) {
        const char16_t code = text.at(0).unicode();
        if (code < 256) emit charKey(code);
    } else {
        emit otherKey(key->key() | int(key->modifiers() & Qt::ShiftModifier));
    }
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!isSignalConnected(QMetaMethod::fromSignal(&MainWindow::closeRequested))) {
        QMainWindow::closeEvent(event);
        return;
    }
    event->ignore();
    emit closeRequested();
}

}  // namespace curvalon
