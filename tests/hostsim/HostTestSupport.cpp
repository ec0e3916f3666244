#include "hostsim/HostTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

namespace hosttest {

namespace {
template <typename Fill>
Var variant(VARTYPE type, Fill fill) {
  VARIANT v;
  VariantInit(&v);
  v.vt = type;
  fill(v);
  return Var(v);
}
}  // namespace

Var text(const std::wstring& value) {
  return variant(VT_BSTR, [&](VARIANT& v) { v.bstrVal = SysAllocStringLen(value.data(), static_cast<UINT>(value.size())); });
}
Var i4(long value) { return variant(VT_I4, [&](VARIANT& v) { v.lVal = value; }); }
Var r8(double value) { return variant(VT_R8, [&](VARIANT& v) { v.dblVal = value; }); }
Var flag(bool value) { return variant(VT_BOOL, [&](VARIANT& v) { v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE; }); }
Var empty() { return Var(); }

Outcome invoke(IDispatch* object, DISPID id, WORD flags, std::vector<Var> args) {
  Outcome outcome;
  std::vector<VARIANT> raw;
  for (auto it = args.rbegin(); it != args.rend(); ++it) raw.push_back(it->get());
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{raw.empty() ? nullptr : raw.data(), nullptr, static_cast<UINT>(raw.size()), 0};
  if (flags == DISPATCH_PROPERTYPUT) {
    params.rgdispidNamedArgs = &named;
    params.cNamedArgs = 1;
  }
  EXCEPINFO exception{};
  outcome.hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, outcome.result.out(), &exception,
                              &outcome.argumentError);
  if (exception.bstrDescription) outcome.description = exception.bstrDescription;
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  return outcome;  // args clear themselves
}

Outcome method(IDispatch* object, DISPID id, std::vector<Var> args) {
  return invoke(object, id, DISPATCH_METHOD, std::move(args));
}
Outcome get(IDispatch* object, DISPID id) { return invoke(object, id, DISPATCH_PROPERTYGET); }
Outcome put(IDispatch* object, DISPID id, Var value) {
  std::vector<Var> args;
  args.push_back(std::move(value));
  return invoke(object, id, DISPATCH_PROPERTYPUT, std::move(args));
}

Obj objectOf(Outcome outcome) {
  EXPECT_EQ(outcome.hr, S_OK);
  const VARIANT& v = outcome.result.get();
  if (v.vt != VT_DISPATCH) {
    ADD_FAILURE() << "result is not an object, vt " << v.vt;
    return Obj();
  }
  VARIANT owned = outcome.result.release();
  return Obj(owned.pdispVal);
}

std::wstring textOf(const Outcome& outcome) {
  EXPECT_EQ(outcome.hr, S_OK);
  const VARIANT& v = outcome.result.get();
  EXPECT_EQ(v.vt, VT_BSTR);
  return v.vt == VT_BSTR && v.bstrVal ? std::wstring(v.bstrVal, SysStringLen(v.bstrVal)) : std::wstring();
}

long integerOf(const Outcome& outcome) {
  EXPECT_EQ(outcome.hr, S_OK);
  EXPECT_EQ(outcome.result.get().vt, VT_I4);
  return outcome.result.get().lVal;
}

bool booleanOf(const Outcome& outcome) {
  EXPECT_EQ(outcome.hr, S_OK);
  EXPECT_EQ(outcome.result.get().vt, VT_BOOL);
  return outcome.result.get().boolVal != VARIANT_FALSE;
}

std::vector<double> doublesOf(const Outcome& outcome) {
  EXPECT_EQ(outcome.hr, S_OK);
  const VARIANT& v = outcome.result.get();
  std::vector<double> values;
  if (v.vt != (VT_ARRAY | VT_R8)) {
    ADD_FAILURE() << "result is not an array of doubles, vt " << v.vt;
    return values;
  }
  LONG low = 0, high = -1;
  SafeArrayGetLBound(v.parray, 1, &low);
  SafeArrayGetUBound(v.parray, 1, &high);
  for (LONG i = low; i <= high; ++i) {
    double d = 0;
    SafeArrayGetElement(v.parray, &i, &d);
    values.push_back(d);
  }
  return values;
}

PointArg::PointArg(double x, double y, double z) : array_(SafeArrayCreateVector(VT_R8, 0, 3)) {
  double values[3] = {x, y, z};
  for (LONG i = 0; i < 3; ++i) SafeArrayPutElement(array_, &i, &values[i]);
}
PointArg::~PointArg() { SafeArrayDestroy(array_); }
Var PointArg::variant() {
  // A by-reference VARIANT owns nothing: clearing it leaves the array alone.
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_ARRAY | VT_BYREF | VT_R8;
  v.pparray = &array_;
  return Var(v);
}

namespace {

void removeTree(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring full = folder + name;
      if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        removeTree(full + L"\\");
      else
        DeleteFileW(full.c_str());
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

}  // namespace

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  path_ = std::wstring(base) + L"hostsim-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
          std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(++counter) + L"\\";
  CreateDirectoryW(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() { removeTree(path_); }

std::wstring TempFolder::subfolder(const std::wstring& name) const {
  std::wstring folder = path_ + name + L"\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

long long sizeOfFile(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string readFileBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

bool writeFileBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != FALSE;
  CloseHandle(file);
  return ok && written == bytes.size();
}

}  // namespace hosttest
