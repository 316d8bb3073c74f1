#include "Err.h"

#include <windows.h>

#include <array>
#include <new>

#include "App.h"

namespace basic {

namespace {

struct KnownError {
  int32_t number;
  const wchar_t* text;
};

constexpr std::array kErrorTexts{
    KnownError{errInvalidCall, L"Invalid procedure call or argument"},
    KnownError{errOverflow, L"Overflow"},
    KnownError{errOutOfMemory, L"Out of memory"},
    KnownError{errTypeMismatch, L"Type mismatch"},
    KnownError{errDllLoad, L"Error in loading DLL"},
    KnownError{errInternal, L"Internal error"},
    KnownError{errFileNotFound, L"File not found"},
    KnownError{errDiskFull, L"Disk full"},
    KnownError{errPermissionDenied, L"Permission denied"},
    KnownError{errPathFileAccess, L"Path/File access error"},
    KnownError{errPathNotFound, L"Path not found"},
    KnownError{errDllEntry, L"Specified DLL function not found"},
};

struct FileErrorMapping {
  DWORD system;
  int32_t number;
};

constexpr std::array kFileErrors{
    FileErrorMapping{ERROR_FILE_NOT_FOUND, errFileNotFound},
    FileErrorMapping{ERROR_PATH_NOT_FOUND, errPathNotFound},
    FileErrorMapping{ERROR_INVALID_DRIVE, errPathNotFound},
    FileErrorMapping{ERROR_BAD_NETPATH, errPathNotFound},
    FileErrorMapping{ERROR_DISK_FULL, errDiskFull},
    FileErrorMapping{ERROR_HANDLE_DISK_FULL, errDiskFull},
    FileErrorMapping{ERROR_SHARING_VIOLATION, errPermissionDenied},
    FileErrorMapping{ERROR_LOCK_VIOLATION, errPermissionDenied},
};

}  // namespace

Error::Error(int32_t number, std::wstring description, std::wstring source)
    : number_(number),
      description_(description.empty() ? ErrorText(number) : std::move(description)),
      source_(source.empty() ? std::wstring(App::Title) : std::move(source)),
      lastDllError_(GetLastError()) {}

std::wstring ErrorText(int32_t number) {
  for (const auto& e : kErrorTexts)
    if (e.number == number) return e.text;
  return L"Application-defined or object-defined error";
}

void Raise(int32_t number, std::wstring description, std::wstring source) {
  throw Error(number, std::move(description), std::move(source));
}

void RaiseFileError(uint32_t systemError) {
  int32_t number = errPathFileAccess;
  for (const auto& m : kFileErrors)
    if (m.system == systemError) number = m.number;
  Raise(number);
}

Error CurrentError(std::exception_ptr thrown) {
  try {
    std::rethrow_exception(thrown);
  } catch (const Error& e) {
    return e;
  } catch (const std::bad_alloc&) {
    return Error(errOutOfMemory);
  } catch (...) {
    return Error(errInternal);
  }
}

ErrObject& Err() {
  static ErrObject err;
  return err;
}

void SetErr(const Error& error) {
  Err() = ErrObject{error.Description(), 0, {}, error.LastDllError(), error.Number(), error.Source()};
}

}  // namespace basic
