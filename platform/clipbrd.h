// The clipboard: text, bitmaps and blocks of bytes under formats registered by name.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/component.h"

using TClipboardFormat = uint32_t;
constexpr TClipboardFormat CF_TEXT = 1, CF_BITMAP = 2, CF_METAFILEPICT = 3, CF_DIB = 8, CF_UNICODETEXT = 13,
                           CF_ENHMETAFILE = 14;

// The number of a format name, the same for the same name (letter case ignored) in every call;
// registered numbers start at 0xC000. An empty name gives 0.
TClipboardFormat RegisterClipboardFormat(const std::string& Name);
// The name a format was registered under, or "" for a standard or unknown one.
std::string GetClipboardFormatName(TClipboardFormat Format);

class TClipboard : public TPersistent {
  VM_CLASS(TClipboard, TPersistent)
public:
  TClipboard();
  ~TClipboard() override;

  // Between Open and Close (they nest) everything set goes onto the clipboard together, when
  // the last Close comes; outside them each setting replaces the clipboard's contents.
  void Open();
  void Close();
  void Clear();

  std::string AsText() const;
  void SetAsText(const std::string& Value);
  bool HasFormat(TClipboardFormat Format) const;
  int FormatCount() const;
  // Raises EListError "List index out of bounds (%d)" for a bad index.
  TClipboardFormat Formats(int Index) const;

  // A block of bytes under a format (standard or registered); "" when the clipboard has none.
  void SetAsHandle(TClipboardFormat Format, const std::string& Data);
  std::string GetAsHandle(TClipboardFormat Format) const;

  // From a bitmap or a picture holding one; to a bitmap or a picture. Anything else raises
  // EConvertError; reading a bitmap when the clipboard holds none raises EInvalidGraphic.
  void Assign(TPersistent* Source) override;
  void AssignTo(TPersistent* Dest) override;

private:
  struct Impl;
  std::unique_ptr<Impl> FImpl;
};

// The program's clipboard.
TClipboard* Clipboard();
