// Tells its handler whenever the clipboard's contents change, in this program or another (the
// viewer chain of the window system), so that commands such as Paste can enable at once.
#pragma once

#include <functional>
#include <memory>

class TClipboardWatch {
public:
  explicit TClipboardWatch(std::function<void()> OnChange);
  ~TClipboardWatch();
  TClipboardWatch(const TClipboardWatch&) = delete;
  TClipboardWatch& operator=(const TClipboardWatch&) = delete;
  struct Impl;

private:
  std::unique_ptr<Impl> FImpl;
};
