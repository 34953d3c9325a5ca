#include "platform/virtual_time.h"

#include <algorithm>

class VirtualTime::VirtualTimer : public Timer {
public:
    VirtualTimer(VirtualTime& owner, int intervalMs) : owner_(&owner), interval_(intervalMs) {
        owner_->timers_.push_back(this);
    }
    ~VirtualTimer() override {
        if (owner_)
            std::erase(owner_->timers_, this);
    }
    void setInterval(int ms) override {
        interval_ = ms;
        if (enabled_)
            schedule();
    }
    int interval() const override { return interval_; }
    void setEnabled(bool enabled) override {
        if (enabled && !enabled_) {
            enabled_ = true;
            schedule();
        } else if (!enabled) {
            enabled_ = false;
        }
    }
    bool isEnabled() const override { return enabled_; }

    void schedule() {
        due_ = owner_->monotonic_ + std::max(1, interval_);
        sequence_ = owner_->nextSequence_++;
    }
    void fireNow() {
        schedule();
        fire();
    }
    void detach() { owner_ = nullptr; }

    VirtualTime* owner_;
    int interval_;
    bool enabled_ = false;
    qint64 due_ = 0;
    qint64 sequence_ = 0;
};

VirtualTime::VirtualTime(const QDateTime& start) {
    jumpTo(start);
}

void VirtualTime::jumpTo(const QDateTime& when) {
    epochMs_ = when.toMSecsSinceEpoch();
    spec_ = when.timeSpec();
    offset_ = spec_ == Qt::OffsetFromUTC ? when.offsetFromUtc() : 0;
    zone_ = spec_ == Qt::TimeZone ? when.timeZone() : QTimeZone();
}

VirtualTime::~VirtualTime() {
    for (auto* t : timers_)
        t->detach();
}

bool VirtualTime::setTimeOfDay(const QTime& time, QString* error) {
    if (!refuseReason_.isEmpty()) {
        if (error)
            *error = refuseReason_;
        return false;
    }
    ++timeSettings_;
    jumpTo(spec_ == Qt::TimeZone ? QDateTime(now().date(), time, zone_)
                                 : QDateTime(now().date(), time, spec_, offset_));
    return true;
}

std::unique_ptr<Timer> VirtualTime::create(int intervalMs) {
    return std::make_unique<VirtualTimer>(*this, intervalMs);
}

void VirtualTime::advance(qint64 ms) {
    const qint64 target = monotonic_ + std::max<qint64>(0, ms);
    for (;;) {
        VirtualTimer* next = nullptr;
        for (auto* t : timers_) {
            if (!t->enabled_ || t->due_ > target)
                continue;
            if (!next || t->due_ < next->due_ ||
                (t->due_ == next->due_ && t->sequence_ < next->sequence_))
                next = t;
        }
        if (!next)
            break;
        epochMs_ += next->due_ - monotonic_;
        monotonic_ = next->due_;
        next->fireNow();
    }
    epochMs_ += target - monotonic_;
    monotonic_ = target;
}
