#include "support/page_recorder.h"

#include <cmath>
#include <gtest/gtest.h>

namespace bm::testing {

int RecordingSurface::TextHeight(std::string_view) {
  const int h = static_cast<int>(std::lround(font_.Size() * heightPerPoint));
  return h > 0 ? h : 1;
}

void FakePrinter::BeginDoc(const std::string& title) {
  EXPECT_FALSE(printing) << "a job started inside a job";
  if (!failure.empty()) throw PrinterError(failure);
  titles.push_back(title);
  printing = true;
  pages.emplace_back();
}

void FakePrinter::NewPage() {
  EXPECT_TRUE(printing);
  pages.emplace_back();
}

void FakePrinter::EndDoc() {
  EXPECT_TRUE(printing);
  printing = false;
  ++ended;
}

void FakePrinter::Abort() {
  EXPECT_TRUE(printing);
  printing = false;
  ++aborted;
}

}  // namespace bm::testing
