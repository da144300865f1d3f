#include "shell/help_window.h"

#include <QKeyEvent>
#include <string_view>

#include "plot/image_surface.h"

namespace curvalon {

std::string helpText(bool cursorKeys, bool pageKeys) {
    static const char* const lines[] = {
        " ----- Key operation ----- 2005.09.28",
        "",
        " f1 : Help",
        " ? :  Help",
        " 0 :  Read & Draw (Select CH)",
        " 1 :  CH1  ON / OFF",
        " 2 :  CH2",
        " 3 :  CH3",
        " 4 :  CH4",
        " 5 :  CH1  Read & Draw (not Erace Screen)",
        " 6 :  CH2",
        " 7 :  CH3",
        " 8 :  CH4",
        " 9 :  Check TDS2024 CH (enable)",
        " A :  Draw Reference A",
        " B :  Draw Reference B",
        " C :  Draw Reference C",
        " D :  Draw Reference D",
        " H :  Zoom Horizontal",
        " R :  Read Reference",
        " U :  Reference ON / OFF",
        " V :  Zoom Vertical",
        " SPACE : Read & Draw (all CH)",
        " ESC     : Quit Prog.",
        "",
        "       Hit any Key to close Help.",
    };
    // The arrow keys act only while the cursors are shown; only then are they listed.
    static const char* const cursorLines[] = {
        " F2 / SHIFT+F2 : Select Next / Previous Cursor",
        " LEFT / RIGHT  : Move Cursor A or B (SHIFT: 1 div)",
        " UP / DOWN     : Move Level Cursor 1 or 2 (SHIFT: 1 div)",
    };
    // The Page keys act only while a recording is reviewed.
    static const char* const pageLines[] = {
        " PAGE DOWN / UP : Next / Previous Read",
        " HOME / END     : First / Last Read",
    };
    std::string text;
    for (const char* line : lines) {
        text += line;
        text += "\r\n";
        if (!std::string_view(line).starts_with(" ESC")) continue;
        for (const char* cursorLine : cursorLines)
            if (cursorKeys) text += std::string(cursorLine) + "\r\n";
        for (const char* pageLine : pageLines)
            if (pageKeys) text += std::string(pageLine) + "\r\n";
    }
    return text;
}

HelpWindow::HelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), helpMsg_(new QPlainTextEdit(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString::fromLatin1(kCaption));
    setFixedSize(twipsToPixels(3600), twipsToPixels(4755));
    helpMsg_->setGeometry(0, 0, twipsToPixels(3615), twipsToPixels(4815));
    helpMsg_->setReadOnly(true);
    QFont font = helpMsg_->font();
    font.setPixelSize(11);
    helpMsg_->setFont(font);
    helpMsg_->installEventFilter(this);
}

void HelpWindow::setHelpText(const std::string& text) {
    text_ = text;
    // The field shows line breaks as breaks; CR LF becomes one.
    QString shown = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    shown.remove(QLatin1Char('\r'));
    helpMsg_->setPlainText(shown);
}

bool HelpWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Keys without a character code (arrows, Shift, function keys) leave the help open,
        // so the list can still be scrolled.
        if (!key->text().isEmpty()) {
            close();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace curvalon
