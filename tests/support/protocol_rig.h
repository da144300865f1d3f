// The protocol layer wired as the tool wires it, on virtual time, over a scripted port with the
// simulated instrument answering, in live mode and with the encoding the start-up leaves.
#pragma once

#include "link/serial_link.h"
#include "model/channel_selection.h"
#include "model/reference_selection.h"
#include "protocol/curve_transfer.h"
#include "protocol/settings_queries.h"
#include "support/fake_serial_device.h"
#include "support/fake_window_ops.h"
#include "support/simulated_instrument.h"
#include "support/virtual_clock.h"

namespace curvalon::test {

struct ProtocolRig {
    ScopeState s;
    FakeWindowOps w;
    VirtualClock clock;
    FakeSerialDevice device{clock};
    SimulatedInstrument scope;
    SerialLink link{s, w, device, clock};
    ChannelSelection channels{s, w};
    ReferenceSelection references{s, w};
    SettingsQueries queries{s, w, link, channels, references};
    CurveTransfer curves{s, w, link};

    ProtocolRig() {
        initTables(s, rgb(240, 240, 240));
        scope.attach(device);
        scope.encoding = "RIB";
        link.openPort();
        s.scopePresent = 1;
    }
};

}  // namespace curvalon::test
