// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The desktop's raw key and button events, read from the X server by a thread of our own.
//
// XInput2 raw events of the root window reach us whatever window has the focus and whatever
// grabs are active, and they come before the server applies key maps, so a key is reported by
// its position. The thread has its own display connection: the program's toolkit connection is
// never touched from here.

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

typedef struct _XDisplay Display;

namespace kb::hook {

class RawInputSink {
 public:
  virtual ~RawInputSink() = default;
  // Called on the listener thread.
  virtual void OnKey(unsigned x_keycode, bool press) = 0;
  virtual void OnButton(unsigned button, bool press) = 0;
};

class X11RawInput {
 public:
  // Connects to the display named by $DISPLAY and starts listening, with nothing selected yet.
  // Fails without a display or without XInput 2 on it: returns why, or an empty text when it
  // started.
  static std::string Start(RawInputSink& sink, std::unique_ptr<X11RawInput>* out);

  // Stops and joins the thread. Not from the listener thread.
  ~X11RawInput();

  X11RawInput(const X11RawInput&) = delete;
  X11RawInput& operator=(const X11RawInput&) = delete;

  // Chooses which events the server sends us. From any other thread this returns once the
  // server has the new selection (or after a second if the thread does not answer), so that
  // every event after the call is seen; on the listener thread it takes effect when the current
  // event is handled.
  void Select(bool keys, bool buttons);

  // False once the connection to the server is lost; the thread has ended then.
  bool Alive() const;

 private:
  X11RawInput(RawInputSink& sink, Display* display, int xi_opcode, int wake_read, int wake_write);
  void Run();
  void ApplySelection();
  void HandlePendingEvents();
  void Wake();
  static void OnConnectionLost(Display* display, void* self);

  RawInputSink& sink_;
  Display* const display_;
  const int xi_opcode_;
  const int wake_read_;
  const int wake_write_;

  mutable std::mutex mutex_;
  std::condition_variable applied_;
  bool want_keys_ = false;
  bool want_buttons_ = false;
  std::uint64_t requested_generation_ = 0;
  std::uint64_t applied_generation_ = 0;
  bool quit_ = false;
  bool alive_ = true;
  bool connection_lost_ = false;  // listener thread only

  std::thread thread_;
};

}  // namespace kb::hook
