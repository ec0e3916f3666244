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

namespace zelm {

class HostCallError : public std::exception {
 public:
  HostCallError(HRESULT status, std::wstring operationName, std::wstring description);

  HRESULT Status() const noexcept { return status_; }
  const std::wstring& OperationName() const noexcept { return operationName_; }
  const std::wstring& Description() const noexcept { return description_; }
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  HRESULT status_;
  std::wstring operationName_;
  std::wstring description_;
  std::string what_;
};

}  // namespace zelm
