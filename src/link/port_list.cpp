#include "link/port_list.h"

#ifdef __linux__
#include <unistd.h>
#endif

namespace curvalon {

std::string portCaption(const PortInfo& port) {
    std::string caption = port.name;
    std::string maker;
    for (const std::string* part : {&port.manufacturer, &port.serialNumber})
        if (!part->empty()) maker += (maker.empty() ? "" : ", ") + *part;
    if (!port.description.empty() || !maker.empty()) caption += " \u2014";
    if (!port.description.empty()) caption += " " + port.description;
    if (!maker.empty()) caption += " (" + maker + ")";
    if (!port.accessible) caption += " (no access: see README)";
    return caption;
}

std::string PortList::serialNumberAt(const std::string& location) const {
    for (const PortInfo& port : ports())
        if (port.location == location) return port.serialNumber;
    return {};
}

bool mayReadAndWrite([[maybe_unused]] const std::string& location) {
#ifdef __linux__
    return ::access(location.c_str(), R_OK | W_OK) == 0;
#else
    // Elsewhere rights to a port are not something the user can mend; opening it tells.
    return true;
#endif
}

}  // namespace curvalon
