// SPDX-License-Identifier: GPL-3.0-or-later
// Field parsing with arbitrary bytes: never a crash, never an infinity or a
// NaN accepted, and every accepted number survives the trip through the
// general form.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "shared/numbers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (const auto v = velmor::ParseNumber(text)) {
    if (!std::isfinite(*v)) std::abort();
    const std::string shown = velmor::GeneralForm(*v);
    const auto back = velmor::ParseNumber(shown);
    if (!back) std::abort();
    // 15 significant digits: the value comes back to within that precision.
    if (std::fabs(*back - *v) > std::fabs(*v) * 1e-14 + 1e-300) std::abort();
    (void)velmor::NumericPrintForm(*v);
    (void)velmor::SingleForm(*v);
    (void)velmor::TruncDecimals(*v, 6);
  }
  if (const auto w = velmor::ParseWhole(text)) {
    const auto again = velmor::ParseWhole(velmor::WholeText(*w));
    if (!again || *again != *w) std::abort();
  }
  return 0;
}
