// SPDX-License-Identifier: GPL-3.0-or-later
// The virtual keyboard as a test sees it: loaded once per process from the path the build
// passes in, reset before every test, selected, monitored and opened as the program does.
// The report builders here are the test's own, written from the protocol's byte tables.
#ifndef KB_TESTS_HID_VIRTUAL_KEYBOARD_FIXTURE_H
#define KB_TESTS_HID_VIRTUAL_KEYBOARD_FIXTURE_H

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "kb_device_ids.h"
#include "plugins/hid/hid_library_loader.h"
#include "plugins/hid/message_recorder.h"

namespace kb::test {

inline constexpr uint32_t kDataMessage = 1431;
inline constexpr uint32_t kChangeMessage = 1432;

inline constexpr size_t kHeaderBytes = 8;
inline constexpr size_t kReportBytes = 64;
inline constexpr size_t kPageBytes = 512;
inline constexpr size_t kHeaderLengthLow = 6;
inline constexpr size_t kHeaderLengthHigh = 7;

inline constexpr uint8_t kBegin = 0x0E;
inline constexpr uint8_t kEnd = 0x08;
inline constexpr uint8_t kLighting = 0x01;
inline constexpr uint8_t kKeyMap = 0x02;
inline constexpr uint8_t kColor = 0x03;
inline constexpr uint8_t kMacro = 0x04;

using Header = std::array<uint8_t, kHeaderBytes>;
using Report = std::array<uint8_t, kReportBytes>;
using PageBytes = std::array<uint8_t, kPageBytes>;

inline Header MakeHeader(uint8_t command, uint8_t index, uint16_t length) {
  Header h{};
  h[0] = command;
  h[1] = index;
  h[kHeaderLengthLow] = static_cast<uint8_t>(length & 0xFF);
  h[kHeaderLengthHigh] = static_cast<uint8_t>(length >> 8);
  return h;
}

inline Report ShortReport(std::span<const uint8_t> eight) {
  Report r{};
  std::memcpy(r.data(), eight.data(), eight.size() < 8 ? eight.size() : 8);
  return r;
}

inline Report UnlockReport() {
  std::string code = std::string(KB_UNLOCK_CODE_HIGH) + KB_UNLOCK_CODE_LOW;
  return ShortReport(std::span(reinterpret_cast<const uint8_t*>(code.data()), code.size()));
}

inline LoadedLibrary& VirtualLibrary() {
  static LoadedLibrary* lib = new LoadedLibrary(LoadHidLibrary(KB_VIRTUAL_HID_LIBRARY, true));
  return *lib;
}

class VirtualKeyboardTest : public ::testing::Test {
 public:
  void SetUp() override {
    ASSERT_NE(lib().handle, nullptr) << lib().error;
    ASSERT_EQ(lib().missing, 0);
    ASSERT_EQ(vkb().reset(), 1);
    recorder().Clear();
    ASSERT_EQ(hid().set_ids(KB_VENDOR_ID, KB_3_PRODUCT_ID), 1);
    kb_message_target target = recorder().target();
    ASSERT_EQ(hid().open_monitor(&target, kDataMessage, kChangeMessage), 1);
    // The firmware version the keyboard answers with; later waits count from zero.
    ASSERT_TRUE(recorder().WaitForCount(1));
    recorder().Clear();
    ASSERT_EQ(hid().open_feature(), 1);
    ASSERT_EQ(hid().open_report(), 1);
  }

  static LoadedLibrary& lib() { return VirtualLibrary(); }
  static const HidExports& hid() { return lib().hid; }
  static const VirtualExports& vkb() { return lib().vkb; }
  static MessageRecorder& recorder() { return ProcessRecorder(); }

  static int Feature(const Header& h) {
    return hid().set_feature(h.data(), static_cast<int>(h.size()));
  }
  static int Output(const Report& r) {
    return hid().write_usb(r.data(), static_cast<int>(r.size()));
  }

  static void Begin() {
    ASSERT_EQ(Feature(MakeHeader(kBegin, 0, 8)), 1);
    ASSERT_EQ(Output(UnlockReport()), 1);
  }
  static void End(uint8_t index = 0) {
    ASSERT_EQ(Feature(MakeHeader(kEnd, index, 8)), 1);
    ASSERT_EQ(Output(Report{}), 1);
  }
  static void Upload(uint8_t command, uint8_t index, const PageBytes& data) {
    ASSERT_EQ(Feature(MakeHeader(command, index, 512)), 1);
    for (size_t i = 0; i < kPageBytes / kReportBytes; ++i) {
      Report r{};
      std::memcpy(r.data(), data.data() + i * kReportBytes, kReportBytes);
      ASSERT_EQ(Output(r), 1);
    }
  }
  // begin, one upload, begin, end: the shape of an apply that changed one block.
  static void Apply(uint8_t command, uint8_t index, const PageBytes& data) {
    Begin();
    Upload(command, index, data);
    Begin();
    End();
  }

  static std::vector<std::string> TakeLines(vkb_take_lines_fn take) {
    std::vector<std::string> lines;
    char buffer[1024];
    while (take(buffer, sizeof buffer) > 0) {
      std::string text = buffer;
      size_t start = 0;
      for (size_t nl = text.find('\n'); nl != std::string::npos; nl = text.find('\n', start)) {
        lines.push_back(text.substr(start, nl - start));
        start = nl + 1;
      }
    }
    return lines;
  }
  static std::vector<std::string> Violations() { return TakeLines(vkb().take_violations); }
  static std::vector<std::string> Log() { return TakeLines(vkb().take_log); }

  static std::unique_ptr<vkb_state> State() {
    auto state = std::make_unique<vkb_state>();
    EXPECT_EQ(vkb().read_state(state.get()), 1);
    return state;
  }
};

}  // namespace kb::test

#endif
