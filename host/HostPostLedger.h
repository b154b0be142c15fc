// What the module's games posted to host windows, in the order the posts entered the
// host's queue. A game's end takes back its own posts still queued without moving any
// other: the system's PeekMessage takes only the first message of a number (for a window
// and its children), and a message put back would go behind everything queued since,
// the host's own and what other threads post meanwhile. So the end takes, number by
// number, the first queued message while it is one of the game's; a post of the game
// queued behind another post of its number (the host's own, another game's, a child
// window's) stays, and the host reads it after the end. The host reads a number first in,
// first out, so the module's posts still queued are the newest ones recorded: the first
// queued message of a number, when it is the module's, is taken for the oldest record
// like it. The message parameters stay as the host reads them; nothing is added to tell
// games apart, so a post the host has read and a later one that looks the same cannot
// be told apart.
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
// Takes `game`'s posts of these numbers out of the host window's queue where each is
// the first queued of its number (posted messages only, on the calling thread's queue:
// sent messages are not served meanwhile; a host window of another thread keeps what is
// queued there), leaves every other message where it is, and forgets the game and what
// the host has read. Allocates nothing.
void TakeBack(uint32_t game, HWND hostWnd, std::span<const UINT> messages);
// Posts still recorded (all games, all windows).
uint32_t Recorded();
// Makes the record, a global of the module.
void MakeGlobals();

}  // namespace host_posts
