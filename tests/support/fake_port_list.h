// Ports as a test lists them: a name or path is found among the listed ports, and a lost port is
// back once it is listed again.
#pragma once

#include "link/port_list.h"

namespace curvalon::test {

class FakePortList : public PortList {
  public:
    std::vector<PortInfo> listed;
    mutable int listings = 0;  // how often the list was asked for

    std::vector<PortInfo> ports() const override { return ++listings, listed; }
    std::string locate(const std::string& name) const override {
        for (const PortInfo& p : listed)
            if (p.name == name || p.location == name) return p.location;
        return {};
    }
    std::string findAgain(const std::string& location, const std::string& serial) const override {
        for (const PortInfo& p : listed)
            if (p.location == location || (!serial.empty() && p.serialNumber == serial))
                return p.location;
        return {};
    }
};

}  // namespace curvalon::test
