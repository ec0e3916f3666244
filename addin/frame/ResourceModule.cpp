#include "frame/ResourceModule.h"

namespace {
// Null stands for the process's executable (GetModuleHandleW(nullptr)),
// which is what resource lookups use before anyone switches.
HMODULE currentResourceModule = nullptr;
}

HMODULE CurrentResourceModule() noexcept {
  return currentResourceModule ? currentResourceModule : GetModuleHandleW(nullptr);
}

HMODULE SwitchResourceModule(HMODULE module) noexcept {
  HMODULE previous = currentResourceModule;
  currentResourceModule = module;
  return previous;
}
