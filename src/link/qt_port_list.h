// The serial ports as Qt enumerates them.
#pragma once

#include "link/port_list.h"

namespace curvalon {

class QtPortList : public PortList {
  public:
    std::vector<PortInfo> ports() const override;
    std::string locate(const std::string& nameOrPath) const override;
    std::string findAgain(const std::string& location,
                          const std::string& serialNumber) const override;
    std::string serialNumberAt(const std::string& location) const override;
};

}  // namespace curvalon
