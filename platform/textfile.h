// Pascal-style text files. Every failure raises EInOutError with a message naming the file.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

class TTextFile {
public:
  TTextFile() = default;
  explicit TTextFile(const std::string& FileName) : FFileName(FileName) {}
  ~TTextFile();  // closes without raising
  TTextFile(const TTextFile&) = delete;
  TTextFile& operator=(const TTextFile&) = delete;

  void AssignFile(const std::string& FileName);
  void Reset();    // open an existing file for reading
  void Rewrite();  // create or empty the file for writing
  void Append();   // open an existing file for writing at its end
  void CloseFile();

  bool IsOpen() const { return FFile != nullptr; }
  bool IsInput() const { return FFile && FInput; }
  const std::string& FileName() const { return FFileName; }

  // Reading: lines end at CR, LF or CRLF; reading at the end gives an empty text.
  bool Eof();
  std::string ReadLn();
  void ReadLn(std::string& S) { S = ReadLn(); }

  // Writing; WriteLn ends the line with LineBreak (CRLF unless set otherwise).
  void Write(std::string_view S);
  void WriteLn(std::string_view S = {});
  void Flush();
  void SetLineBreak(std::string_view LineBreak) { FLineBreak = LineBreak; }

private:
  [[noreturn]] void Fail(const char* What, int Err) const;
  void CheckInput() const;
  void CheckOutput() const;
  void Open(const char* Mode, bool Input, const char* What);

  std::string FFileName;
  std::FILE* FFile = nullptr;
  bool FInput = false;
  std::string FLineBreak = "\r\n";
};
