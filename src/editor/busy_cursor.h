// The busy cursor of the editor's window for the lifetime of a guard, however
// the guarded work ends.
#pragma once
#include "platform/window_host.h"

namespace bm {

class BusyCursor {
 public:
  explicit BusyCursor(WindowHost* host) : host_(host) {
    if (host_) host_->SetBusyCursor(true);
  }
  ~BusyCursor() {
    if (host_) host_->SetBusyCursor(false);
  }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  WindowHost* host_;
};

}  // namespace bm
