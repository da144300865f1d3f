// Ports as a test lists them; a name or path is found among them, as is a port come back.
#pragma once

#include "link/port_list.h"

namespace curvalon::test {

class FakePortList : public PortList {
  public:
    std::vector<PortInfo> listed;

    std::vector<PortInfo> ports() const override { return listed; }
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
