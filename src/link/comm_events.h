// The codes the serial port reports and the status texts that name them.
#pragma once

#include <cstdint>
#include <string_view>

namespace curvalon::comm {

constexpr std::int32_t kReceive = 2;
constexpr std::int32_t kCtsChange = 3;
constexpr std::int32_t kDsrChange = 4;
constexpr std::int32_t kCdChange = 5;
constexpr std::int32_t kRing = 6;
constexpr std::int32_t kEof = 7;
constexpr std::int32_t kBreak = 1001;
constexpr std::int32_t kCtsTimeout = 1002;
constexpr std::int32_t kDsrTimeout = 1003;
constexpr std::int32_t kFrame = 1004;
constexpr std::int32_t kOverrun = 1006;
constexpr std::int32_t kCdTimeout = 1007;
constexpr std::int32_t kRxOverflow = 1008;
constexpr std::int32_t kParity = 1009;
constexpr std::int32_t kTxFull = 1010;
constexpr std::int32_t kDcb = 1011;
// Raised when the port vanishes under the tool (an unplugged adapter): an error of no known kind.
constexpr std::int32_t kPortLost = 1;

struct EventText {
    bool lineEvent;  // a line event only informs; an error also ends the awaited reply
    std::string_view message;
};

// The message for a code other than kReceive, as the status panel shows it after "COM1: ".
constexpr EventText describe(std::int32_t code) {
    switch (code) {
        case kCtsChange:
            return {true, "CTS change"};
        case kDsrChange:
            return {true, "DSR change"};
        case kCdChange:
            return {true, "CD change"};
        case kRing:
            return {true, "RING detect"};
        case kEof:
            return {true, "EOF get"};
        case kBreak:
            return {false, "BREAK detect !"};
        case kCdTimeout:
            return {false, "CD timeout !"};
        case kCtsTimeout:
            return {false, "CTS timeout !"};
        case kDcb:
            return {false, "DCB error !"};
        case kDsrTimeout:
            return {false, "DSR timeout !"};
        case kFrame:
            return {false, "Framing error !"};
        case kOverrun:
            return {false, "OverRun error !"};
        case kRxOverflow:
            return {false, "RxBuffer overflow !"};
        case kParity:
            return {false, "Parity error !"};
        case kTxFull:
            return {false, "TxBuffer full !"};
        default:
            return {false, "Unknown error !"};
    }
}

}  // namespace curvalon::comm
