// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whether this test program is built with AddressSanitizer (test.sh's sanitizer build): its
// shadow memory and quarantine make bounds on resident memory meaningless there; the plain
// builds check them.

namespace kb::testing {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kAddressSanitizer = true;
#else
inline constexpr bool kAddressSanitizer = false;
#endif
#else
inline constexpr bool kAddressSanitizer = false;
#endif

}  // namespace kb::testing
