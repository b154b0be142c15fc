// What the scene asks of the window that owns it. The game window implements it;
// the scene keeps this pointer instead of the window, so the scene never reaches up
// into the shell.
#pragma once

#include <cstdint>
#include <string>

#include "plat/types.h"

class CHostLink;
class GDDScreen;

class ISceneOwner {
 public:
  virtual HWND Handle() const = 0;
  // The game's data folder and the portal's folder, each ending in a backslash.
  virtual const std::string& GameFolder() const = 0;
  virtual const std::string& PortalFolder() const = 0;
  // Null until the screen is built, and while a rebuild has none.
  virtual GDDScreen* Screen() const = 0;
  virtual int32_t FullScreen() const = 0;
  // True while a rebuild runs: a draw nested in it gives up its frame.
  virtual bool IsRestoringScreen() const = 0;
  // Rebuilds the screen after a mode change or a failed present: 1, or 0.
  virtual int32_t RestoreScreen() = 0;
  // Asks the host to end the game: WM_GAME_CLOSE(games played, reason).
  virtual void PostToHostWindow(LPARAM reason) = 0;
  // This game's link to the host, cut when the game ends: every call and post the
  // scene makes towards the host goes through it.
  virtual const CHostLink& HostLink() const = 0;
  // Read by a build on the loader thread between files.
  virtual bool LoaderCancelRequested() const = 0;
  // The modal message box over the game window: kMsgBoxYes (OK / Yes), kMsgBoxNo, or
  // -1 when it cannot be shown.
  static constexpr int32_t kMsgBoxOk = 0;
  static constexpr int32_t kMsgBoxYesNo = 1;
  static constexpr int32_t kMsgBoxYes = 1;
  static constexpr int32_t kMsgBoxNo = 2;
  virtual int32_t ShowMsgBox(const std::string& body, int32_t type, uint32_t autoCloseMs, const std::string& heading,
                             COLORREF headingColour) = 0;

 protected:
  ~ISceneOwner() = default;
};
