// SPDX-License-Identifier: GPL-3.0-or-later
/* The virtual keyboard: the demo and test variant of "KB/Torvane_3.so".
 *
 * Besides the eleven exports of hid_library.h, the virtual variant exports the vkb_ functions
 * below. They let a test or a demo act as the keyboard (switch its bank or light mode, pull the
 * cable) and ask it what it decoded from the reports it was sent. Load the library with dlopen
 * and look the functions up with dlsym; the hardware variant has none of them.
 *
 * What the keyboard emulates: a KB_3 with vendor id KB_VENDOR_ID and product id KB_3_PRODUCT_ID
 * (kb_device_ids.h), firmware version 1.05, plugged in when loaded.
 *  - Set_HIDVIDPID records the pair; any other pair selects no device, and every Open_* fails.
 *  - Open_HIDMonitor stores the target and the two message numbers. When the selected device is
 *    the keyboard and it is plugged in, the firmware version is posted as data message,
 *    wparam 0, lparam 0x0105. Every post is made from the library's own delivery thread, in the
 *    order the events happened, and the delivery thread takes the library lock first, so a post
 *    caused by a call reaches the target only after that call has done its work.
 *  - Open_HIDFeatureDevice / Open_HIDReportDevice return 1 while the keyboard is selected and
 *    plugged in. SetHIDFeature needs the feature channel open, WriteHIDUSB the report channel;
 *    while unplugged (or with a channel closed) they return 0 and the report is not seen.
 *  - Every report that reaches the keyboard is logged, checked and decoded. A report that
 *    breaks the framing is recorded as a violation line; the call still returns 1 when the
 *    report had a valid length (the keyboard received it), and 0 for a length other than 8
 *    (feature) or 64 (output).
 *  - GetHIDFeature answers the last feature report the keyboard received (8 bytes; zeros before
 *    the first). ReadHIDUSB answers the next input report the keyboard sent (the notifications
 *    below, in the byte layout of plugins/hid/README.md) without waiting; 0 when there is none.
 *
 * Decoding rules (what the keyboard makes of the reports):
 *  - A session opens with begin (0x0E) carrying the unlock code, and closes with end (0x08,
 *    index 0 or 0x66). Uploads outside an open session are violations and are not decoded.
 *  - Lighting (0x01): stored into the bank named by block byte 0 (0 or 1). light_mode is read
 *    from the mode bytes: byte 18 = 1 gives 18, byte 19 = m + 1 gives m, both 0 give 19. The
 *    slots are kept as sent (brightness is the record's value + 1, blue may be scaled).
 *  - Colours (0x03): half h of the 4096-byte block (pieces 4h..4h+3) is bank h's colour sets.
 *  - Key map (0x02): bank b is pages 2b and 2b+1; words are little-endian as sent.
 *  - Macro (0x04): page p is bytes 512p..512p+511 of the macro area.
 *
 * Thread safety: every function may be called from any thread at any time; none blocks for
 * longer than a lock held for a few microseconds. All return nonzero on success, 0 on failure,
 * unless stated otherwise. */
#ifndef KB_VIRTUAL_KEYBOARD_H
#define KB_VIRTUAL_KEYBOARD_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum {
  VKB_BANKS = 2,
  VKB_MODE_SLOTS = 18,
  VKB_COLOR_SETS = 5,
  VKB_KEYS = 132,
  VKB_FN_KEYS = 56,
  VKB_MACRO_PAGES = 20,
  VKB_MACRO_AREA_BYTES = 10240, /* 20 pages of 512 bytes */
  VKB_FIRMWARE_VERSION = 0x0105,
  VKB_LIGHT_MODE_NONE = -1 /* no lighting block received for the bank */
};

/* One 9-byte mode slot of the lighting block, as sent. */
typedef struct vkb_mode_slot {
  uint8_t color_mode;
  uint8_t brightness; /* the record's brightness + 1 */
  uint8_t speed;
  uint8_t blue; /* scaled by 6/10 when red or green exceeded 100 */
  uint8_t red;
  uint8_t green;
  uint8_t aux1;
  uint8_t aux2;
  uint8_t aux3;
} vkb_mode_slot;

typedef struct vkb_bank_lighting {
  int32_t light_mode; /* 0..19 as decoded from the mode bytes, or VKB_LIGHT_MODE_NONE */
  vkb_mode_slot slots[VKB_MODE_SLOTS];
  uint8_t custom_brightness; /* byte 247: brightness of mode 18 + 1 */
  uint32_t uploads;          /* lighting blocks stored into this bank */
} vkb_bank_lighting;

/* One custom colour set: a byte per key index and channel. */
typedef struct vkb_color_set {
  uint8_t blue[VKB_KEYS];
  uint8_t red[VKB_KEYS];
  uint8_t green[VKB_KEYS];
} vkb_color_set;

typedef struct vkb_bank_state {
  vkb_bank_lighting lighting;
  vkb_color_set colors[VKB_COLOR_SETS];
  uint32_t key_words[VKB_KEYS]; /* little-endian words of the key map, read as uint32 */
  uint32_t fn_words[VKB_FN_KEYS];
  uint32_t fn2_words[VKB_FN_KEYS];
} vkb_bank_state;

typedef struct vkb_counters {
  uint32_t feature_reports;  /* feature reports the keyboard received */
  uint32_t output_reports;   /* output reports the keyboard received */
  uint32_t refused_calls;    /* SetHIDFeature/WriteHIDUSB calls that returned 0 (bad length,
                                unplugged, channel closed) */
  uint32_t begins;           /* begin commands with their code, right or wrong */
  uint32_t unlocks_accepted; /* begin commands whose unlock code was right */
  uint32_t ends;             /* end commands accepted inside a session */
  uint32_t lighting_blocks;  /* lighting uploads decoded */
  uint32_t color_pieces;     /* colour pieces decoded */
  uint32_t key_map_pages;    /* key map pages decoded */
  uint32_t macro_pages;      /* macro pages decoded (so: how many pages were received) */
  uint32_t violations;       /* violation lines recorded since reset */
} vkb_counters;

typedef struct vkb_state {
  int32_t plugged;        /* 1 plugged in, 0 unplugged */
  int32_t unlocked;       /* 1 inside a session opened by a correct begin */
  int32_t active_bank;    /* the bank the keyboard uses: from lighting byte 0 or a switch */
  int32_t last_end_index; /* index of the last accepted end command, -1 before the first */
  vkb_bank_state banks[VKB_BANKS];
  uint8_t macro_area[VKB_MACRO_AREA_BYTES];
  uint32_t macro_page_mask; /* bit p set once page p was received */
  vkb_counters counters;
} vkb_state;

/* A decoded macro action. Moves carry no code on the wire; they decode as action_code 0xF6,
 * the code of every move the program makes, with x and y from their signed bytes.
 *
 * Delays: moves decode exactly, except that a record delay of 0 was sent (and decodes) as 1.
 * A key action's first byte is (delay OR flag) and its low bit belongs to the flag, so the
 * decoded delay is the first byte with the flag bits cleared: an odd record delay decodes one
 * lower (1 -> 0, 11 -> 10, 251 -> 250) and a record delay of 0 (sent as 1) decodes as 0.
 * A long delay (00 01 followed by n, 16-bit big-endian) adds 100 * n to the delay of the action
 * before it, so a long form that is not clean (a short part of 100 or more, or an odd part)
 * decodes to a value that no record delay gives. A press sent in the short form with a delay
 * whose bit 7 is set reads as a release: the flag is what the keyboard sees. */
typedef struct vkb_macro_action {
  uint8_t action_code;
  uint8_t action_kind; /* 1 press, 2 release, 0 move */
  uint16_t delay;
  int32_t x;
  int32_t y;
} vkb_macro_action;

typedef struct vkb_macro_program {
  uint16_t loops;        /* the 16-bit big-endian loop count */
  uint32_t action_count; /* actions decoded into the caller's array */
  uint32_t length;       /* bytes the program takes in the area, end mark included */
  char error[160];       /* why decoding failed; empty on success */
} vkb_macro_program;

/* Sets the keyboard's bank (0 or 1) and, when the monitor is open and the keyboard plugged in,
 * posts data message, wparam 0x0508, lparam (1 << 8) | bank. 0 for another bank or unplugged. */
int vkb_switch_bank(int bank);

/* Sets the light mode (0..19) of the keyboard's active bank and posts data message,
 * wparam 0x030B, lparam (mode + 1) << 8. 0 for a mode outside 0..19 or unplugged. */
int vkb_switch_light_mode(int mode);

/* Pulls the cable: channels close, transfers fail, an open session ends; posts change message
 * with wparam 0. 0 when already unplugged. */
int vkb_unplug(void);

/* Plugs the keyboard back in: posts change message with wparam 1. The channels stay closed
 * until the Open_* calls are made again. 0 when already plugged in. */
int vkb_plug_in(void);

/* Copies what the keyboard holds into *out. 0 for a null pointer. */
int vkb_read_state(vkb_state* out);

/* Decodes the macro program at byte offset `offset` of the macro area into *program and up to
 * `capacity` actions. 0 when the program is malformed, runs past the area's 10000 bytes (the
 * rest of page 19 is never part of a program), or has more than `capacity` actions;
 * program->error then says why. */
int vkb_decode_macro(uint32_t offset, vkb_macro_program* program, vkb_macro_action* actions,
                     uint32_t capacity);

/* Moves the oldest whole lines of the transfer log into `buffer` (NUL-terminated, each line
 * ending in '\n') as far as they fit and removes them from the log. One line per report the
 * keyboard received: "F <16 hex digits>" for a feature report, "O <128 hex digits>" for an
 * output report, upper-case hex. Returns the number of lines taken, 0 when the log is empty,
 * -1 when `capacity` cannot hold the next line (buffers of 256 bytes or more always can). */
long vkb_take_log(char* buffer, size_t capacity);

/* The same for the violation lines (free text, at most 200 characters each). */
long vkb_take_violations(char* buffer, size_t capacity);

/* Returns the library to its state right after loading: keyboard plugged in with nothing
 * stored, ids unset, monitor target dropped (posts not yet delivered are discarded), channels
 * closed, log, violations and counters empty. */
int vkb_reset(void);

typedef int (*vkb_int_fn)(int);
typedef int (*vkb_void_fn)(void);
typedef int (*vkb_read_state_fn)(vkb_state*);
typedef int (*vkb_decode_macro_fn)(uint32_t, vkb_macro_program*, vkb_macro_action*, uint32_t);
typedef long (*vkb_take_lines_fn)(char*, size_t);

#ifdef __cplusplus
}
#endif

#endif
