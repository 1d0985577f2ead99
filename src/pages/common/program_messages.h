// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window and thread message numbers of the program, in one place. The numbers come from the
// plugins' and the session's contracts where those define them; the rest are the program's own.

#include <cstdint>

#include "device/device_protocol.h"
#include "hook_library.h"

namespace kb::messages {

inline constexpr std::uint32_t kTrayCallback = 1025;
inline constexpr std::uint32_t kShowRequest =
    1037;  // a second start asks the first to come forward
inline constexpr std::uint32_t kDeviceStateChanged = kDeviceStateChangedMessage;  // 1132
inline constexpr std::uint32_t kDeviceLayoutSettled = 1133;
inline constexpr std::uint32_t kHookKey = KB_HOOK_KEY_MESSAGE;        // 1280
inline constexpr std::uint32_t kHookMouse = KB_HOOK_MOUSE_MESSAGE;    // 1281
inline constexpr std::uint32_t kDeviceData = kDeviceDataMessage;      // 1431
inline constexpr std::uint32_t kDeviceChange = kDeviceChangeMessage;  // 1432
// The worker's progress and outcome of an apply, posted to the main window for the page.
inline constexpr std::uint32_t kApplyProgress = 1140;  // wParam: reports sent so far
inline constexpr std::uint32_t kApplyFinished = 1141;  // wParam: the ApplyOutcome's result
inline constexpr std::uint32_t kApplyRing = 1142;      // wParam: 1 show, 0 hide
// The main window to itself after start-up: tell the user that a store was damaged.
inline constexpr std::uint32_t kStoreWarning = 1143;
// From outside: the session ends or a termination signal came (wParam: the session-end
// watcher's kSaveRequest or kTerminate).
inline constexpr std::uint32_t kSessionEnd = 1144;
// The focus watcher: another application came to the front.
inline constexpr std::uint32_t kApplicationInFront = 1145;

// Power broadcast and its automatic-resume code, as the resume watcher posts them.
inline constexpr std::uint32_t kPowerBroadcast = 536;
inline constexpr std::uint32_t kResumeAutomatic = 18;
inline constexpr std::uint32_t kResumeTimer = 57;  // started on resume, fires after 2000 ms
inline constexpr std::uint32_t kResumeDelayMs = 2000;
// Finding out which window is in front asks the desktop (X11 round trips, an IPC socket, a KWin
// script over D-Bus): the first frame need not wait for it.
inline constexpr std::uint32_t kFollowTimer = 58;
inline constexpr std::uint32_t kFollowDelayMs = 200;
// The tray icon asks the session bus for a notification area, a round trip at best and the
// start of a bus at worst: it is made at this time after the window shows, or when first needed.
inline constexpr std::uint32_t kTrayTimer = 59;
inline constexpr std::uint32_t kTrayDelayMs = 200;
inline constexpr std::uintptr_t kWorkerResume = 1;  // wParam of the worker message: handshake
inline constexpr std::uintptr_t kWorkerApply = 0;   // wParam of the worker message: apply

// The icon id of the tray icon and the window.
inline constexpr unsigned kAppIconId = 107;

}  // namespace kb::messages
