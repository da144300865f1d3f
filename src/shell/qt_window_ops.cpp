#include "shell/qt_window_ops.h"

#include <QApplication>
#include <QDateTime>
#include <QMessageBox>

#include "plot/graticule.h"

namespace curvalon {

namespace {

QColor toQColor(Rgb c) {
    return QColor(redOf(c), greenOf(c), blueOf(c));
}

// Replies and commands are single-byte text.
QString latin1(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

void setPaletteColour(QWidget* w, QPalette::ColorRole role, Rgb c) {
    if (!w) return;
    QPalette pal = w->palette();
    pal.setColor(role, toQColor(c));
    w->setPalette(pal);
}

}  // namespace

void QtWindowOps::setText(Field f, int index, const std::string& text) {
    if (QLabel* l = window_.field(f, index)) {
        l->setText(latin1(text));
        fitFieldFont(l);
    }
}

void QtWindowOps::setForeColor(Field f, int index, Rgb colour) {
    setPaletteColour(window_.field(f, index), QPalette::WindowText, colour);
}

void QtWindowOps::setBackColor(Field f, int index, Rgb colour) {
    setPaletteColour(window_.field(f, index), QPalette::Window, colour);
}

void QtWindowOps::setAlignment(Field f, int index, Alignment a) {
    if (QLabel* l = window_.field(f, index)) {
        l->setAlignment((a == Alignment::Centre ? Qt::AlignHCenter : Qt::AlignLeft) |
                        Qt::AlignVCenter);
    }
}

void QtWindowOps::setVisible(Field f, int index, bool visible) {
    if (QLabel* l = window_.field(f, index)) l->setVisible(visible);
}

void QtWindowOps::setButtonBackColor(Button b, int index, Rgb colour) {
    setPaletteColour(window_.button(b, index), QPalette::Button, colour);
}

void QtWindowOps::setButtonEnabled(Button b, int index, bool enabled) {
    if (QPushButton* p = window_.button(b, index)) p->setEnabled(enabled);
}

void QtWindowOps::setButtonVisible(Button b, int index, bool visible) {
    if (QPushButton* p = window_.button(b, index)) p->setVisible(visible);
}

void QtWindowOps::setMenuEnabled(Menu m, int index, bool enabled) {
    if (QAction* a = window_.menuItem(m, index)) a->setEnabled(enabled);
}

void QtWindowOps::setStatusText(const std::string& text) {
    window_.statusPanel()->setText(latin1(statusFilter ? statusFilter(text) : text));
}

void QtWindowOps::messageBox(const std::string& text) {
    if (!readFailure_) readFailure_ = text;
    notice(latin1(text));
}

void QtWindowOps::notice(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kApplicationTitle), text,
                    QMessageBox::Ok, &window_);
    // Error texts quote replies, and file names and ports may look like markup too.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void QtWindowOps::beep() {
    QApplication::beep();
}

LocalDateTime QtWindowOps::now() {
    const QDateTime t = QDateTime::currentDateTime();
    return {t.date().year(), t.date().month(),  t.date().day(),
            t.time().hour(), t.time().minute(), t.time().second()};
}

void QtWindowOps::setWindowSize(std::int32_t widthTwips, std::int32_t heightTwips) {
    window_.setClientSize(widthTwips - tables::kFrameWidthTwips,
                          heightTwips - tables::kFrameHeightTwips);
}

}  // namespace curvalon
