// Figure of Capitalise on long texts: the time for 1,000,000 characters that
// hold 500,000 full stops, and the time for twice that text as a ratio to
// it. The ratio is its own yardstick, taken in the same runs on the same
// machine: a pass linear in its text gives 2, one that slows with the
// square of its text 4. Prints them, asserts nothing.
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Figures.h"
#include "Merrow32.h"
#include "MerrowActivation.h"

namespace {

double CapitaliseMs(_MerrowClass& helper, size_t fullStops) {
  std::wstring text;
  for (size_t i = 0; i < fullStops; ++i) text += L"a.";
  BSTR original = SysAllocStringLen(text.data(), UINT(text.size())), result = nullptr;
  const double ms = bench::TimeMs([&] { helper.Capitalise(&original, &result); });
  SysFreeString(result);
  SysFreeString(original);
  return ms;
}

}  // namespace

int main() {
  const ComApartment apartment;
  basic::ComPtr<_MerrowClass> helper;
  if (FAILED(CreateMerrowClass()->QueryInterface(IID__MerrowClass, reinterpret_cast<void**>(helper.put())))) return 1;
  CapitaliseMs(*helper.get(), 500000);  // the heap grown once, before any figure
  std::vector<double> once, twice;
  for (int run = 0; run < bench::kRuns; ++run) {
    once.push_back(CapitaliseMs(*helper.get(), 500000));
    twice.push_back(CapitaliseMs(*helper.get(), 1000000));
  }
  std::printf("Capitalise of 1,000,000 characters with 500,000 full stops: %s\n", bench::Figure(once).c_str());
  std::printf("twice that text: %s, the ratio of the medians %.2f (2 linear, 4 quadratic)\n",
              bench::Figure(twice).c_str(), bench::Median(twice) / bench::Median(once));
  return 0;
}
