// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Wire constants of the keyboard's transfer protocol: the transfer header, report sizes,
// command numbers and the pacing between calls. Block layouts live beside their builders.

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace kb {

inline constexpr std::size_t kFeatureReportSize = 8;    // one transfer header
inline constexpr std::size_t kOutputReportSize = 64;    // one data chunk
inline constexpr std::size_t kShortTransferSize = 8;    // data of begin and end
inline constexpr std::size_t kBlockTransferSize = 512;  // data of every upload
inline constexpr std::size_t kChunksPerBlock = kBlockTransferSize / kOutputReportSize;

// Transfer header layout.
inline constexpr std::size_t kHeaderCommand = 0;
inline constexpr std::size_t kHeaderIndex = 1;
inline constexpr std::size_t kHeaderLengthLow = 6;
inline constexpr std::size_t kHeaderLengthHigh = 7;

enum class DeviceCommand : std::uint8_t {
  Lighting = 0x01,
  KeyMap = 0x02,
  Colors = 0x03,
  Macros = 0x04,
  End = 0x08,
  Begin = 0x0E,
};

// Index of the end command in the resume handshake; every other end uses 0.
inline constexpr std::uint8_t kResumeEndIndex = 0x66;

// The keyboard needs this long after every feature and output report.
inline constexpr std::chrono::milliseconds kReportPause{20};
// After an arrival the keyboard needs a moment before its channels can be opened.
inline constexpr std::chrono::milliseconds kArrivalSettle{500};

// Window messages the HID library posts, and the one the link posts to the main window.
inline constexpr std::uint32_t kDeviceDataMessage = 1431;
inline constexpr std::uint32_t kDeviceChangeMessage = 1432;
inline constexpr std::uint32_t kDeviceStateChangedMessage = 1132;

// Thread-message parameter that asks the worker for the resume handshake; any other applies.
inline constexpr std::uintptr_t kResumeRequest = 1;
inline constexpr std::uintptr_t kApplyRequest = 0;

}  // namespace kb
