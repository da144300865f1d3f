// Curve > Record…: every completed read into a folder, as a data file of its own and a row of
// the folder's index.csv. A read that failed writes no data file: its row says why, with no file
// name, so the gaps of a recording show in its index.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace curvalon {

// One read as the index lists it.
struct RecordedRead {
    QByteArray data;      // the data file's bytes; empty for a read that failed
    QString failure;      // the failed read's box text; empty for a completed read
    QString timeDiv;      // the settings as exact decimals, empty where not read
    QStringList voltDiv;  // CH1..CH4
    QStringList frequency;
    QString spanFrom, spanTo;  // the measured span between the time cursors, in s; empty: all
};

class Recorder {
  public:
    static constexpr const char* kIndexName = "index.csv";

    // Starts recording into folder.
    void start(const QString& folder);
    void stop();
    bool active() const { return !folder_.isEmpty(); }
    const QString& folder() const { return folder_; }
    // Data files written since the start.
    int recorded() const { return recorded_; }

    // Writes the read's file (when it has data) and its index row; empty on success, otherwise
    // what could not be written and why, and recording has stopped.
    QString record(const RecordedRead& read, QDateTime at = QDateTime::currentDateTime());

  private:
    QString appendIndexRow(const RecordedRead& read, const QString& name, const QDateTime& at);

    QString folder_;
    int recorded_ = 0;
    int rows_ = 0;
    QDateTime last_;
};

}  // namespace curvalon
