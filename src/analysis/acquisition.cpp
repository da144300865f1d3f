#include "analysis/acquisition.h"

#include <cstdio>

namespace curvalon {

Snapshot takeSnapshot(const ScopeState& s, const std::string& stampText,
                      std::optional<LocalDateTime> stamp) {
    auto a = std::make_shared<Acquisition>();
    a->live = s.scopePresent == 1;
    a->stampText = stampText;
    a->stamp = stamp;
    a->timeDiv = s.timeDiv;
    a->horPosition = s.horPosition;
    a->trigSource = s.trigSource;
    a->trigLevel = s.trigLevel;
    a->probe = s.chProbe;
    a->voltDiv = s.chVoltDiv;
    a->positionDiv = s.chPositionDiv;
    a->coupling = s.chCoupling;
    a->bandwidth = s.chBandwidth;
    a->invert = s.chInvert;
    for (std::size_t src = 0; src < kSourceCount; ++src) {
        a->names[src] = s.srcName[src];
        a->valid[src] = s.curveValid[src] == 1;
        // Counts are one signed byte each as the instrument sends them.
        for (std::size_t k = 0; k < kSamples; ++k)
            a->samples[src][k] = static_cast<std::int8_t>(s.curve[src][k]);
    }
    return a;
}

std::vector<int> shownSources(const ScopeState& s) {
    std::vector<int> out;
    for (int src = 0; src < kSourceCount; ++src) {
        const auto i = static_cast<std::size_t>(src);
        if (src <= kLastChannel ? s.chEnable[i] == 1 : s.refView == 1 && s.refShown[i] == 1)
            out.push_back(src);
    }
    return out;
}

bool inVolts(const Acquisition& a, int source) {
    return source <= kLastChannel && a.voltDiv[static_cast<std::size_t>(source)] != 0;
}

std::string isoTime(const LocalDateTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

}  // namespace curvalon
