// The machine the program runs on, as the system report describes it.
#pragma once
#include <string>

namespace reportext {

// Operating system, memory, processor, disks, locale, names and screen, one
// item a line, the lines separated by CR LF.
std::wstring DescribeSystem();

}  // namespace reportext
