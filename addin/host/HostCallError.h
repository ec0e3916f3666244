#pragma once
// HostCallError: the one exception a failed host call becomes.
//
// It carries what the user needs to hear about the failure (the operation's
// name and the host's own description) and what a developer needs (the
// HRESULT). It never crosses an exported function or a COM method: the
// command barriers catch it and show it.
#include <windows.h>
#include <exception>
#include <string>

class HostCallError : public std::exception {
 public:
  HostCallError(HRESULT result, std::wstring operation, std::wstring description);

  HRESULT result() const noexcept { return result_; }
  const std::wstring& operation() const noexcept { return operation_; }
  const std::wstring& description() const noexcept { return description_; }
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  HRESULT result_;
  std::wstring operation_;
  std::wstring description_;
  std::string what_;
};
