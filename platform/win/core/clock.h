// Time for timers and message stamps. The program runs on the monotonic
// clock; tests install a virtual clock and advance it by hand.
#pragma once

#include <cstdint>

namespace win {

class Clock {
  public:
    virtual ~Clock() = default;
    virtual std::int64_t now_ms() const = 0;
    // True when waiting means moving time forward rather than sleeping.
    virtual bool is_virtual() const { return false; }
    virtual void advance_ms(std::int64_t) {}
};

class MonotonicClock final : public Clock {
  public:
    std::int64_t now_ms() const override;
};

class VirtualClock final : public Clock {
  public:
    std::int64_t now_ms() const override { return now_; }
    bool is_virtual() const override { return true; }
    void advance_ms(std::int64_t ms) override { now_ += ms; }

  private:
    std::int64_t now_ = 1000;
};

}  // namespace win
