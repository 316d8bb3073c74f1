// Run-time errors: a numbered error with a description and a source, raised
// as a C++ exception and caught by the error trap of the running procedure.
#pragma once
#include <cstdint>
#include <exception>
#include <string>

namespace basic {

// Base of the numbers that classes give their own errors.
constexpr int32_t vbObjectError = int32_t(0x80040000);

// Run-time error numbers that the program raises itself.
enum ErrNumber : int32_t {
  errInvalidCall = 5,
  errOverflow = 6,
  errOutOfMemory = 7,
  errTypeMismatch = 13,
  errDllLoad = 48,
  errInternal = 51,
  errFileNotFound = 53,
  errDiskFull = 61,
  errPermissionDenied = 70,
  errPathFileAccess = 75,
  errPathNotFound = 76,
  errDllEntry = 453,
};

class Error : public std::exception {
 public:
  explicit Error(int32_t number, std::wstring description = {}, std::wstring source = {});
  int32_t Number() const { return number_; }
  const std::wstring& Description() const { return description_; }
  const std::wstring& Source() const { return source_; }
  uint32_t LastDllError() const { return lastDllError_; }
  const char* what() const noexcept override { return "run-time error"; }

 private:
  int32_t number_;
  std::wstring description_;
  std::wstring source_;
  uint32_t lastDllError_;
};

// The standard text of a run-time error number ("Invalid procedure call or argument").
std::wstring ErrorText(int32_t number);

[[noreturn]] void Raise(int32_t number, std::wstring description = {}, std::wstring source = {});

// Raises the run-time error that matches a failed file operation's system error code.
[[noreturn]] void RaiseFileError(uint32_t systemError);

// Turns whatever a statement threw into the run-time error it stands for.
Error CurrentError(std::exception_ptr thrown);

// The current error as the program's error object knows it; a trap fills it
// before it hands the error on.
struct ErrObject {
  std::wstring Description;
  int32_t HelpContext = 0;
  std::wstring HelpFile;
  uint32_t LastDllError = 0;
  int32_t Number = 0;
  std::wstring Source;
};
ErrObject& Err();
void SetErr(const Error& error);

}  // namespace basic
