// File > Open…: review without an instrument. A data file the tool wrote, the instrument's own
// waveform files (one, several of one acquisition, or their ALLnnnn folder) or a recording
// folder become an acquisition as a read would have left it; a recording is stepped through
// read by read. Nothing here talks to the instrument.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <variant>
#include <vector>

#include "analysis/acquisition.h"
#include "analysis/recording_index.h"

namespace curvalon {

// What an opened file or step shows: the acquisition, what the title adds after the tool's
// name, and the status panel's text.
struct Reviewed {
    Snapshot read;
    QString title;
    QString status;
};

class Review {
  public:
    // paths as the file dialog gives them: files, or one folder. On refusal, the box's text;
    // what was open stays open.
    std::optional<QString> open(const QStringList& paths);
    void close();
    bool active() const { return shown_.read != nullptr; }
    bool recording() const { return !rows_.empty(); }
    const Reviewed& shown() const { return shown_; }

    // PageDown, PageUp, Home, End: the next, previous, first or last read of a recording that
    // can be shown, passing over failed and missing ones, and saying so. False where there is
    // none that way; the status then says why.
    bool step(int key);
    // The read at a row of the recording, shown as a step shows it; false, with the status
    // saying why, where it cannot be.
    bool showAt(std::size_t row);

    const std::vector<IndexRow>& rows() const { return rows_; }
    // The read at a row, taken again from its file, or why there is none.
    std::variant<Snapshot, QString> readAt(std::size_t row) const;

  private:
    std::optional<QString> openFiles(const QStringList& files);
    std::optional<QString> openRecording(const QString& folder);
    // The read at row, or why it cannot be shown.
    std::optional<QString> showRow(std::size_t row);

    Reviewed shown_;
    QString folder_;
    std::vector<IndexRow> rows_;
    std::size_t at_ = 0;
    QStringList passed_;  // the reads the last step passed over, and why
};

}  // namespace curvalon
