// The small window listing the key commands; any key with a character code closes it.
#pragma once

#include <QPlainTextEdit>
#include <QWidget>
#include <string>

namespace curvalon {

// The help text, each line ended by CR LF; with the cursor keys while the cursors are shown.
std::string helpText(bool cursorKeys = false, bool pageKeys = false);

class HelpWindow : public QWidget {
    Q_OBJECT
  public:
    static constexpr const char* kCaption = "TDS2024  HELP";

    // A window of its own that the parent owns.
    explicit HelpWindow(QWidget* parent);
    // Replaces the text of HelpMsg.
    void setHelpText(const std::string& text);
    const std::string& helpMsgText() const { return text_; }
    QPlainTextEdit* helpMsg() const { return helpMsg_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPlainTextEdit* helpMsg_;
    std::string text_;
};

}  // namespace curvalon
