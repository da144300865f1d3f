// The serial ports this computer has, as the operator picks one: what names and identifies each,
// and where a port that went away is once it is back. The tool lists them through Qt; the tests
// list what they like.
#pragma once

#include <string>
#include <vector>

namespace curvalon {

struct PortInfo {
    std::string name = {};      // as the system calls it: "ttyUSB0", "COM3"
    std::string location = {};  // what opens it: "/dev/ttyUSB0", "COM3"
    std::string description = {}, manufacturer = {}, serialNumber = {};
    bool accessible = true;  // the user may read and write it
};

class PortList {
  public:
    virtual ~PortList() = default;
    // Every port the system enumerates, afresh on each call.
    virtual std::vector<PortInfo> ports() const = 0;
    // The location of a port the operator names ("COM7", "ttyUSB3", a device path or a link to
    // one), which need not be among ports(); empty when nothing of that name exists.
    virtual std::string locate(const std::string& nameOrPath) const = 0;
    // Where a port that went away is now: its own location once that exists again, else the
    // location of a listed port with its serial number; empty while it is away.
    virtual std::string findAgain(const std::string& location,
                                  const std::string& serialNumber) const = 0;
    // The serial number of the device at location as the system lists it; empty when it has
    // none or is not listed.
    virtual std::string serialNumberAt(const std::string& location) const;
};

// "ttyUSB0 — FT232R USB UART (FTDI, A50285BI)": the name, then what identifies the port where
// known, and a port the user may not open says so.
std::string portCaption(const PortInfo& port);

// Whether this user may read and write the device at location: a port refused to someone with
// these rights is held by another program.
bool mayReadAndWrite(const std::string& location);

}  // namespace curvalon
