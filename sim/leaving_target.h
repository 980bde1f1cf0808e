#pragma once

#include <memory>

#include "sim/rf_field.h"

namespace kvt::sim {

// Field fault: a target that is taken out of the field after it has heard `frames` frames
// (an authentication counts as one). Up to then it behaves exactly like the wrapped target;
// afterwards it hears nothing and answers nothing, as a card pulled away mid-transaction.
class LeavingTarget final : public RfTarget {
 public:
  LeavingTarget(std::shared_ptr<RfTarget> target, int frames)
      : target_(std::move(target)), framesLeft_(frames) {}

  std::optional<AirFrame> receive(const AirFrame& frame) override {
    if (!hear()) return std::nullopt;
    return target_->receive(frame);
  }
  int answerSlot() const override { return target_->answerSlot(); }
  bool authenticate(const uint8_t* block12) override {
    return hear() && target_->authenticate(block12);
  }
  void cryptoOff() override {
    if (present()) target_->cryptoOff();
  }
  void fieldReset() override {
    if (present()) target_->fieldReset();
  }

  bool present() const { return framesLeft_ > 0; }
  const std::shared_ptr<RfTarget>& target() const { return target_; }

 private:
  bool hear() {
    if (framesLeft_ <= 0) return false;
    --framesLeft_;
    return true;
  }

  std::shared_ptr<RfTarget> target_;
  int framesLeft_;
};

}  // namespace kvt::sim
