// A key of the test's own below a root, removed with everything in it when
// the test ends, so that each test leaves the registry as it found it.
#pragma once
#include <windows.h>

#include <string>

class RegistrySandbox {
 public:
  RegistrySandbox(HKEY root, std::string path) : root_(root), path_(std::move(path)) { Remove(); }
  ~RegistrySandbox() { Remove(); }
  const std::string& Path() const { return path_; }
  std::wstring WPath() const { return std::wstring(path_.begin(), path_.end()); }

 private:
  void Remove() {
    RegDeleteTreeA(root_, path_.c_str());
    RegDeleteKeyA(root_, path_.c_str());
  }
  HKEY root_;
  std::string path_;
};
