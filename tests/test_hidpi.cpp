// The window on a screen with two device pixels per pixel, as a high-density screen has it. The
// scale is the process's own, so it has a program of its own.
#include <QApplication>
#include <QtTest>

#include "shell/main_window.h"

using namespace curvalon;

class HiDpiTest : public QObject {
    Q_OBJECT

  private slots:
    // The picture that is copied and saved holds every device pixel of the plot it shows.
    void pictureKeepsTheScreensPixels() {
        MainWindow window;
        const QImage picture = window.picture();
        QCOMPARE(picture.devicePixelRatio(), 2.0);
        QCOMPARE(window.surface().image().devicePixelRatio(), 2.0);
        // The area right of the strip, at two device pixels per pixel: wider than the whole
        // client area in pixels.
        QVERIFY(picture.width() > window.centralWidget()->width());
    }
};

int main(int argc, char** argv) {
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    HiDpiTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_hidpi.moc"
