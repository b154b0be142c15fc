// Window messages the module posts to the host window, and the private messages the
// game window accepts. Shared with host programs.
#pragma once

#include "plat/winuser.h"

// wParam: games played; lParam: why the module asks the host to end the game.
constexpr UINT WM_GAME_CLOSE = WM_USER + 1;
constexpr UINT WM_GAME_ENTER_KEY = WM_USER + 2;
// Posted to the host after a screen rebuild; the host may send it back to the game
// window (wParam non-zero: give up when the surfaces cannot be restored).
constexpr UINT WM_GAME_SCREEN_READY = WM_USER + 3;
// wParam: the threaded scene build's result (1 built, 0 failed); lParam 0.
constexpr UINT WM_GAME_LOADED = WM_USER + 6;
// Posted by the module to its own game window after a successful scene build: starts
// the dispatch of host messages queued meanwhile. Never sent to the host.
constexpr UINT WM_GAME_DISPATCH = WM_USER + 7;
// Sent by the module to its own game window when the host ends the game on another
// thread: the window's thread ends it. wParam 1 when the loader thread asks.
constexpr UINT WM_GAME_END = WM_USER + 8;
// Accepted by the game window and ignored.
constexpr UINT WM_GAME_IGNORED = WM_USER + 100;

// WM_GAME_CLOSE reasons the window itself gives.
constexpr LPARAM kGameCloseScreenFailed = 1;
