#include "link/port_list.h"

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

}  // namespace curvalon
