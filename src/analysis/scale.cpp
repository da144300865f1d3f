#include "analysis/scale.h"

namespace curvalon {

Scale Scale::timeAxisOf(const Acquisition& a) {
    Scale s;
    if (a.timeDiv == 0) return s;
    s.units_.time = "s";
    s.perSample_ = a.timeDiv / kSamplesPerDiv;
    s.position_ = a.horPosition;
    s.exactTimeDiv_ = decimalOf(a.timeDiv), s.exactHorPosition_ = decimalOf(a.horPosition);
    return s;
}

Scale Scale::of(const Acquisition& a, int source) {
    if (source < 0 || source > kLastChannel) return Scale();
    Scale s = timeAxisOf(a);
    if (!curvalon::inVolts(a, source)) return s;
    const auto i = static_cast<std::size_t>(source);
    s.units_.level = "V";
    s.voltDiv_ = a.voltDiv[i], s.positionDiv_ = a.positionDiv[i];
    s.exactVoltDiv_ = decimalOf(a.voltDiv[i]), s.exactPositionDiv_ = decimalOf(a.positionDiv[i]);
    return s;
}

double Scale::level(double counts) const {
    return inVolts() ? (counts / kCountsPerDiv - positionDiv_) * voltDiv_ : counts;
}

double Scale::levelDifference(double counts) const {
    return inVolts() ? counts / kCountsPerDiv * voltDiv_ : counts;
}

double Scale::time(double sample) const {
    if (!inSeconds()) return sample;
    return (sample - kRecordCentre) * perSample_ + position_;
}

double Scale::sampleAt(double time) const {
    if (!inSeconds()) return time;
    return (time - position_) / perSample_ + kRecordCentre;
}

// (counts × 4 / 100 - position) × volts per division, in decimals.
std::optional<Decimal> Scale::exactLevel(int counts) const {
    if (!inVolts()) return decimalOf(std::int64_t(counts));
    if (!exactVoltDiv_ || !exactPositionDiv_) return std::nullopt;
    const auto divisions = decimalOf(std::int64_t(counts) * 4, -2) - *exactPositionDiv_;
    return divisions ? *divisions * *exactVoltDiv_ : std::nullopt;
}

// (sample - 1250) × 4 / 1000 × time per division + position, in decimals.
std::optional<Decimal> Scale::exactTime(int sample) const {
    if (!inSeconds()) return decimalOf(std::int64_t(sample));
    if (!exactTimeDiv_ || !exactHorPosition_) return std::nullopt;
    const auto offset = decimalOf(std::int64_t(sample - kRecordCentre) * 4, -3) * *exactTimeDiv_;
    return offset ? *offset + *exactHorPosition_ : std::nullopt;
}

}  // namespace curvalon
