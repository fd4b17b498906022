#include "platform/textfile.h"

#include <sys/stat.h>

#include <cerrno>

#include "platform/exceptions.h"
#include "platform/sysutils.h"

TTextFile::~TTextFile() {
  if (FFile) std::fclose(FFile);
}

void TTextFile::Fail(const char* What, int Err) const {
  std::string Msg = Format("%s \"%s\"", {What, FFileName});
  if (Err != 0) Msg += ". " + SysErrorMessage(Err);
  throw EInOutError(Msg);
}

void TTextFile::AssignFile(const std::string& FileName) {
  if (FFile) Fail("Cannot assign an open file", 0);
  FFileName = FileName;
}

void TTextFile::Open(const char* Mode, bool Input, const char* What) {
  if (FFile) {
    std::fclose(FFile);  // reopening an open file closes it first, as the toolkit does
    FFile = nullptr;
  }
  if (FFileName.empty()) Fail(What, ENOENT);
  struct stat St;
  if (::stat(FFileName.c_str(), &St) == 0 && S_ISDIR(St.st_mode)) Fail(What, EISDIR);
  std::FILE* F = std::fopen(FFileName.c_str(), Mode);
  if (!F) Fail(What, errno);
  FFile = F;
  FInput = Input;
}

void TTextFile::Reset() { Open("rb", true, "Cannot open file"); }
void TTextFile::Rewrite() { Open("wb", false, "Cannot create file"); }

void TTextFile::Append() {
  // Append needs an existing file, as Reset does.
  if (!FileExists(FFileName)) Fail("Cannot open file", ENOENT);
  Open("ab", false, "Cannot open file");
}

void TTextFile::CloseFile() {
  if (!FFile) Fail("File not open:", 0);
  std::FILE* F = FFile;
  FFile = nullptr;
  bool Output = !FInput;
  if (std::fclose(F) != 0 && Output) Fail("Write error on file", errno);
}

void TTextFile::CheckInput() const {
  if (!FFile) Fail("File not open:", 0);
  if (!FInput) Fail("File not open for input:", 0);
}

void TTextFile::CheckOutput() const {
  if (!FFile) Fail("File not open:", 0);
  if (FInput) Fail("File not open for output:", 0);
}

bool TTextFile::Eof() {
  CheckInput();
  int C = std::fgetc(FFile);
  if (C == EOF) {
    if (std::ferror(FFile)) Fail("Read error on file", errno);
    return true;
  }
  std::ungetc(C, FFile);
  return false;
}

std::string TTextFile::ReadLn() {
  CheckInput();
  std::string S;
  while (true) {
    int C = std::fgetc(FFile);
    if (C == EOF) {
      if (std::ferror(FFile)) Fail("Read error on file", errno);
      break;
    }
    if (C == '\n') break;
    if (C == '\r') {
      int N = std::fgetc(FFile);
      if (N != '\n' && N != EOF) std::ungetc(N, FFile);
      break;
    }
    S += static_cast<char>(C);
  }
  return S;
}

void TTextFile::Write(std::string_view S) {
  CheckOutput();
  if (!S.empty() && std::fwrite(S.data(), 1, S.size(), FFile) != S.size()) Fail("Write error on file", errno);
}

void TTextFile::WriteLn(std::string_view S) {
  Write(S);
  Write(FLineBreak);
}

void TTextFile::Flush() {
  CheckOutput();
  if (std::fflush(FFile) != 0) Fail("Write error on file", errno);
}
