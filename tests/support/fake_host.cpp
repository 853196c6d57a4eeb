#include "support/fake_host.h"

namespace bm::testing {

const FakeSurface::TextCall* FakeSurface::TextAt(const Rect& rect) const {
  for (auto it = texts.rbegin(); it != texts.rend(); ++it)
    if (it->clip == rect) return &*it;
  return nullptr;
}

int FakeWindowHost::Deliver(HostClient* to) {
  HostClient* target = to ? to : client;
  int n = 0;
  while (!queue.empty()) {
    Message m = queue.front();
    queue.pop_front();
    if (target) target->HandleMessage(m.msg, m.wParam, m.lParam);
    ++n;
  }
  return n;
}

}  // namespace bm::testing
