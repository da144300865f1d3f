// Whatever arrives on the serial line must never crash the tool or make it read outside its
// buffers. The first input byte picks what the rest feeds:
//   0: the scanning helpers on raw text;
//   1: every parse step on the input taken as a collected reply;
//   2: the link's receive handling, in batches, then the parse step of the exchange it ended.
#include <QCoreApplication>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "link/qt_link_clock.h"
#include "link/serial_link.h"
#include "model/channel_selection.h"
#include "model/reference_selection.h"
#include "model/scope_state.h"
#include "protocol/curve_transfer.h"
#include "protocol/reply_scan.h"
#include "protocol/settings_queries.h"
#include "null_window_ops.h"

using namespace curvalon;

namespace {

// A port whose received bytes come from the input.
class InputDevice : public SerialDevice {
  public:
    OpenResult open(const std::string&, const std::string&) override { return OpenResult::Ok; }
    void close() override {}
    bool isOpen() const override { return true; }
    void write(std::string_view) override {}
    std::string readAll() override { return std::exchange(waiting_, std::string()); }
    void setBreak(bool) override {}
    bool setDtr(bool) override { return true; }
    bool setRts(bool) override { return true; }

    void deliver(std::string_view bytes) {
        waiting_.append(bytes);
        raiseComm(2);
    }
    void raise(std::int32_t code) { raiseComm(code); }

  private:
    std::string waiting_;
};

struct Rig {
    ScopeState s;
    test::NullWindowOps w;
    ChannelSelection channels{s, w};
    ReferenceSelection references{s, w};
    Rig() {
        initTables(s, rgb(240, 240, 240));
        s.scopePresent = 1;
    }

    void setReply(std::string_view reply) {
        s.rxText.assign(reply);
        s.rxBytes.fill(0);
        const std::size_t n = std::min(reply.size(), s.rxBytes.size());
        for (std::size_t k = 0; k < n; ++k)
            s.rxBytes[k] = static_cast<std::uint8_t>(reply[k]);
        s.rxCount = static_cast<std::int32_t>(n);
        s.rxStatus = 0;
        s.rxDone = 1;
    }

    void parseAll() {
        parseSelect(s, w, channels, references);
        parseHorizontal(s, w);
        parseTrigger(s, w);
        for (int i = -1; i <= 4; ++i)
            parseChannel(s, w, i);
        for (int i = -1; i <= 8; ++i)
            acceptCurve(s, w, i);
    }
};

void scanOnly(std::string_view data) {
    for (const char* keyword : {"SCALE", "POSITION", "EDGE:SOURCE", "PROBE", "COUPLING",
                                "BANDWIDTH", "LEVEL", "INVERT", ""}) {
        if (auto v = itemValue(data, keyword)) (void)readNumber(*v);
        if (auto v = tailValue(data, keyword)) (void)readNumber(*v);
    }
    (void)readNumber(data);
    (void)charAt(data, data.size());

    // Any index at all must be filtered before it reaches a table.
    if (data.size() < 4) return;
    std::int32_t index = 0;
    std::memcpy(&index, data.data(), sizeof index);
    Rig rig;
    rig.setReply(data);
    rig.channels.toggleChannel(index);
    rig.channels.channelOn(index);
    rig.channels.channelOff(index);
    rig.channels.channelUnavailable(index);
    rig.references.toggleRef(index);
    rig.references.refOn(index);
    rig.references.refOff(index);
    rig.references.refUnavailable(index);
    parseChannel(rig.s, rig.w, index);
    acceptCurve(rig.s, rig.w, index);
}

// Byte 0 picks the exchange being answered; then records of [length, bytes...], where a
// length of 255 instead raises the comm code given by the next two bytes.
void receive(std::string_view data) {
    Rig rig;
    InputDevice device;
    QtLinkClock clock;
    SerialLink link(rig.s, rig.w, device, clock);
    if (data.empty()) return;
    static const char* const kCommands[] = {"SEL?", "HOR?", "TRIG?", "CH1?", "CH4?", "CURV?"};
    const std::size_t command = static_cast<unsigned char>(data[0]) % 6;
    data.remove_prefix(1);

    // What sendCommand leaves behind, without its pacing delays.
    rig.s.lastCommand = kCommands[command];
    rig.s.rxText.clear();
    rig.s.rxBytes.fill(0);
    rig.s.rxCount = 0;
    rig.s.rxStatus = 0;
    rig.s.rxDone = 0;

    while (!data.empty()) {
        const unsigned length = static_cast<unsigned char>(data[0]);
        data.remove_prefix(1);
        if (length == 255) {
            if (data.size() < 2) break;
            const std::int32_t code =
                static_cast<unsigned char>(data[0]) << 8 | static_cast<unsigned char>(data[1]);
            data.remove_prefix(2);
            link.onComm(code);
            continue;
        }
        // Lengths above 200 stand for large batches, so that one batch can outrun the buffer.
        const std::size_t n =
            std::min<std::size_t>(length > 200 ? (length - 200) * 64 : length, data.size());
        device.deliver(data.substr(0, n));
        data.remove_prefix(n);
    }
    if (rig.s.rxCount < 0 || rig.s.rxCount > kRxBufferSize) __builtin_trap();
    if (rig.s.rxText.size() != static_cast<std::size_t>(rig.s.rxCount)) __builtin_trap();
    if (rig.s.rxDone != 1 || rig.s.rxStatus != 0) return;

    switch (command) {
        case 0:
            parseSelect(rig.s, rig.w, rig.channels, rig.references);
            break;
        case 1:
            parseHorizontal(rig.s, rig.w);
            break;
        case 2:
            parseTrigger(rig.s, rig.w);
            break;
        case 3:
            parseChannel(rig.s, rig.w, 0);
            break;
        case 4:
            parseChannel(rig.s, rig.w, 3);
            break;
        default:
            acceptCurve(rig.s, rig.w, 0);
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The link's timers need an application object; none of them ever runs here.
    static int argc = 1;
    static char name[] = "fuzz_replies";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view data(reinterpret_cast<const char*>(bytes) + 1, size - 1);
    switch (bytes[0] % 3) {
        case 0:
            scanOnly(data);
            break;
        case 1: {
            Rig rig;
            rig.setReply(data);
            rig.parseAll();
            break;
        }
        default:
            receive(data);
            break;
    }
    return 0;
}
