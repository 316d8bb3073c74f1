// A VARIANT that clears itself.
#pragma once
#include <windows.h>
#include <oleauto.h>

struct Var : VARIANT {
  Var() { VariantInit(this); }
  ~Var() { VariantClear(this); }
  Var(const Var&) = delete;
  Var& operator=(const Var&) = delete;
};
