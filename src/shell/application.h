#pragma once

class QApplication;

namespace curvalon {

// Builds the main window and everything it owns, and runs until the tool quits.
int runApplication(QApplication& app);

}  // namespace curvalon
