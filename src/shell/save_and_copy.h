// Getting the waveforms out: File > Save writes the data or the picture of the last completed
// read to a file, the copy key and the plot's context menu put them on the clipboard. Neither
// talks to the instrument, so both act at any time, also while a read goes on.
#pragma once

#include <QImage>
#include <QString>
#include <functional>

#include "shell/main_window.h"
#include "shell/measure_control.h"
#include "shell/qt_window_ops.h"

namespace curvalon {

class SaveAndCopy {
  public:
    // drawing tells whether a read is drawing the plot now, outside a run (which holds it).
    SaveAndCopy(MainWindow& window, QtWindowOps& ops, const MeasureControl& measure,
                std::function<bool()> drawing);

    void save();
    void copy(bool picture, bool data);
    // The window's picture of the read just completed, for copies while the next one draws.
    void keepPicture();
    // The folder of the last save or recording, offered again for this run only.
    QString& folder() { return folder_; }

  private:
    bool write(const QString& path, bool picture);
    QImage picture() const;

    MainWindow& window_;
    QtWindowOps& ops_;
    const MeasureControl& measure_;
    std::function<bool()> drawing_;
    QString folder_;
    QImage last_;
};

}  // namespace curvalon
