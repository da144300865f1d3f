// A full read of four channels (the space key) from the simulated instrument paced at 19200
// baud, against the least time the protocol allows: 5 ms after each character sent, every
// reply byte's time on the wire, and the 100 ms settling delay before each curve. A reply may
// start as soon as its command's carriage return is on the wire, so it overlaps the pause that
// follows that carriage return.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>

#include "link/qt_link_clock.h"
#include "link/serial_link.h"
#include "model/channel_selection.h"
#include "model/reference_selection.h"
#include "plot/composition.h"
#include "support/fake_serial_device.h"
#include "support/fake_window_ops.h"
#include "support/recording_surface.h"
#include "support/simulated_instrument.h"

using namespace curvalon;
using namespace curvalon::test;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ScopeState s;
    initTables(s, rgb(239, 239, 239));
    FakeWindowOps window;
    QtLinkClock clock;
    FakeSerialDevice device{clock};
    SimulatedInstrument instrument;
    instrument.encoding = "RIB";
    std::size_t replyBytes = 0;
    // Each reply in batches of 64 bytes, each when its last byte would have arrived at 19200 baud
    // (10 bits per byte on the line: start, 8 data, stop).
    device.responder = [&](FakeSerialDevice& d, const std::string& line) {
        const std::string reply = instrument.answer(line);
        replyBytes += reply.size();
        for (std::size_t at = 0; at < reply.size(); at += 64) {
            const std::size_t stop = std::min(reply.size(), at + 64);
            d.deliverLater(int(stop * 10.0 * 1000.0 / 19200.0 + 0.999),
                           reply.substr(at, stop - at));
        }
    };
    SerialLink link(s, window, device, clock);
    link.openPort("sim");
    ChannelSelection channels(s, window);
    ReferenceSelection references(s, window);
    SettingsQueries queries(s, window, link, channels, references);
    CurveTransfer curves(s, window, link);
    RecordingSurface surface;
    RecordingMarkerStrip strip;
    Composer composer(s, window, surface, strip, queries, curves);
    s.scopePresent = 1;

    const int runs = 3;
    for (int run = 0; run < runs; ++run) {
        replyBytes = 0;
        device.written.clear();
        instrument.received.clear();
        surface.clear();
        QElapsedTimer clock;
        clock.start();
        composer.newCurve();
        const double elapsedMs = clock.nsecsElapsed() / 1e6;
        const double msPerByte = 10.0 * 1000.0 / 19200.0;
        const std::size_t sent = device.written.size();
        std::size_t queries = 0;
        for (const auto& line : instrument.received)
            queries += line.back() == '?';
        const double minimumMs =
            sent * 5.0 + replyBytes * msPerByte + 4 * 100.0 - queries * (5.0 - msPerByte);
        std::printf(
            "full read of 4 channels: %.1f ms, protocol minimum %.1f ms (%zu chars sent, "
            "%zu queries, %zu reply bytes), ratio %.4f, %zu message boxes\n",
            elapsedMs, minimumMs, sent, queries, replyBytes, elapsedMs / minimumMs,
            window.messageBoxes.size());
    }
    return 0;
}
