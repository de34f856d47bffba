#pragma once

// Foundation's integer types for counts, indexes and enumerations such as the
// picker's modes: pointer-sized, as on the platform's 64-bit targets.

using NSInteger = long;
using NSUInteger = unsigned long;
