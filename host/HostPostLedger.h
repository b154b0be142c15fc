// What the module's games posted to host windows, in the order the posts entered the
// host's queue. A game's end takes back only its own posts still queued: the host reads
// each message number first in, first out, so the module's posts of a number still
// queued are the last ones recorded for it, and pairing the queue with the record from
// the end tells whose each is. A queued message the record cannot pair (the host's own,
// a child window's) is not the module's. The message parameters stay as the host reads
// them; nothing is added to tell the games apart.
#pragma once

#include <cstdint>
#include <span>

#include "plat/types.h"

namespace host_posts {

// Posts kept per host window and message number: older ones the host has long read.
constexpr uint32_t kKeptPerNumber = 64;

// Posts the message to the host window for `game` and records it; the record and the
// post happen together, so the record's order is the queue's. FALSE when the post
// failed (nothing is recorded).
BOOL Post(uint32_t game, HWND hostWnd, UINT message, WPARAM wParam, LPARAM lParam);
// Takes `game`'s posts of these numbers out of the host window's queue (posted messages
// only, on the calling thread's queue: sent messages are not served meanwhile), puts
// the others back in the order they were queued, whatever their numbers, and forgets
// the game and what the host has read. Allocates nothing once the queue is read; when
// reading it fails for memory, everything read goes back and only the record forgets.
void TakeBack(uint32_t game, HWND hostWnd, std::span<const UINT> messages);
// Posts still recorded (all games, all windows).
uint32_t Recorded();
// Makes the record, a global of the module.
void MakeGlobals();

}  // namespace host_posts
