#include "app/ScriptCall.h"

#include <windows.h>

#include <memory>
#include <vector>

#include "core/NumberText.h"
#include "core/Utf8.h"

namespace hostsim {

namespace {

// The arguments of one call, owning what their VARIANTs point to.
class Arguments {
 public:
  ~Arguments() {
    for (VARIANT& v : values_) VariantClear(&v);  // by-reference ones own nothing
    for (SAFEARRAY* array : arrays_) SafeArrayDestroy(array);
  }
  bool parse(const std::wstring& text, std::wstring& error);
  // In DISPPARAMS order: last argument first.
  std::vector<VARIANT> reversed() const { return {values_.rbegin(), values_.rend()}; }
  size_t size() const { return values_.size(); }

 private:
  bool add(const std::wstring& token, bool quoted, std::wstring& error);
  std::vector<VARIANT> values_;
  std::vector<std::unique_ptr<SAFEARRAY*>> arraySlots_;
  std::vector<SAFEARRAY*> arrays_;
  std::vector<std::unique_ptr<long>> outs_;
};

bool Arguments::parse(const std::wstring& text, std::wstring& error) {
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == L' ' || text[i] == L'\t') {
      ++i;
      continue;
    }
    if (text[i] == L'"') {
      size_t close = text.find(L'"', i + 1);
      if (close == std::wstring::npos) {
        error = L"unclosed text";
        return false;
      }
      if (!add(text.substr(i + 1, close - i - 1), true, error)) return false;
      i = close + 1;
      continue;
    }
    size_t end = text.find_first_of(L" \t", i);
    if (text[i] == L'[') end = text.find(L']', i) == std::wstring::npos ? text.size() : text.find(L']', i) + 1;
    if (end == std::wstring::npos) end = text.size();
    if (!add(text.substr(i, end - i), false, error)) return false;
    i = end;
  }
  return true;
}

bool Arguments::add(const std::wstring& token, bool quoted, std::wstring& error) {
  VARIANT v;
  VariantInit(&v);
  double number = 0;
  if (quoted) {
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocStringLen(token.data(), static_cast<UINT>(token.size()));
  } else if (token == L"TRUE" || token == L"FALSE") {
    v.vt = VT_BOOL;
    v.boolVal = token == L"TRUE" ? VARIANT_TRUE : VARIANT_FALSE;
  } else if (token.size() > 2 && token.front() == L'[' && token.back() == L']') {
    std::vector<double> values;
    std::wstring inner = token.substr(1, token.size() - 2);
    size_t start = 0;
    while (start <= inner.size()) {
      size_t comma = inner.find(L',', start);
      std::wstring piece = inner.substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start);
      while (!piece.empty() && piece.front() == L' ') piece.erase(0, 1);
      if (!parseNumber(toUtf8(piece), number)) {
        error = L"not a point: " + token;
        return false;
      }
      values.push_back(number);
      if (comma == std::wstring::npos) break;
      start = comma + 1;
    }
    SAFEARRAY* array = SafeArrayCreateVector(VT_R8, 0, static_cast<ULONG>(values.size()));
    for (LONG k = 0; k < static_cast<LONG>(values.size()); ++k) SafeArrayPutElement(array, &k, &values[k]);
    arrays_.push_back(array);
    arraySlots_.push_back(std::make_unique<SAFEARRAY*>(array));
    v.vt = VT_ARRAY | VT_BYREF | VT_R8;
    v.pparray = arraySlots_.back().get();
  } else if (token.size() > 1 && token[0] == L'&' && parseNumber(toUtf8(token.substr(1)), number)) {
    outs_.push_back(std::make_unique<long>(static_cast<long>(number)));
    v.vt = VT_I4 | VT_BYREF;
    v.plVal = outs_.back().get();
  } else if (parseNumber(toUtf8(token), number)) {
    if (token.find_first_of(L".eE") != std::wstring::npos) {
      v.vt = VT_R8;
      v.dblVal = number;
    } else {
      v.vt = VT_I4;
      v.lVal = static_cast<long>(number);
    }
  } else {
    error = L"cannot read the argument " + token;
    return false;
  }
  values_.push_back(v);
  return true;
}

// "Component" is the root of the active assembly, "Component/1/0" the first
// child of its second child.
ComRef<IDispatch> componentTarget(Simulator& simulator, const std::wstring& target) {
  std::vector<size_t> indexes;
  for (size_t slash = target.find(L'/'); slash != std::wstring::npos; slash = target.find(L'/', slash + 1)) {
    double index = -1;
    const size_t next = target.find(L'/', slash + 1);
    const std::wstring piece = target.substr(slash + 1, next == std::wstring::npos ? std::wstring::npos : next - slash - 1);
    if (!parseNumber(toUtf8(piece), index) || index < 0 || index != static_cast<size_t>(index)) return nullptr;
    indexes.push_back(static_cast<size_t>(index));
  }
  return simulator.componentObject(indexes);
}

}  // namespace

bool parseScriptValue(const std::wstring& text, VARIANT& value, std::wstring& error) {
  Arguments arguments;
  if (!arguments.parse(text, error)) return false;
  std::vector<VARIANT> parsed = arguments.reversed();
  if (parsed.size() != 1 || (parsed[0].vt & (VT_ARRAY | VT_BYREF))) {
    error = L"not one value: " + text;
    return false;
  }
  VariantInit(&value);
  return SUCCEEDED(VariantCopy(&value, &parsed[0]));
}

std::wstring runScriptCall(Simulator& simulator, const std::wstring& text) {
  const size_t dot = text.find(L'.');
  const size_t nameEnd = text.find_first_of(L" \t", dot == std::wstring::npos ? 0 : dot);
  if (dot == std::wstring::npos) return L"error: call needs Object.Operation";
  const std::wstring target = text.substr(0, dot);
  const std::wstring operation = text.substr(dot + 1, nameEnd == std::wstring::npos ? std::wstring::npos : nameEnd - dot - 1);
  std::wstring rest = nameEnd == std::wstring::npos ? std::wstring() : text.substr(nameEnd);
  size_t firstWord = rest.find_first_not_of(L" \t");
  const bool isPut = firstWord != std::wstring::npos && rest[firstWord] == L'=';
  if (isPut) rest = rest.substr(firstWord + 1);

  ComRef<IDispatch> object;
  if (target == L"Application") {
    object = ComRef<IDispatch>::Borrow(simulator.application());
  } else if (target == L"Document") {
    object = simulator.activeDocumentObject();
    if (!object) return L"error: no active document";
  } else if (target == L"Configuration") {
    object = simulator.activeConfigurationObject();
    if (!object) return L"error: no active configuration";
  } else if (target == L"Component" || target.rfind(L"Component/", 0) == 0) {
    object = componentTarget(simulator, target);
    if (!object) return L"error: no component " + target;
  } else {
    return L"error: call works on Application, Document, Configuration or Component";
  }
  Arguments arguments;
  std::wstring error;
  if (!arguments.parse(rest, error)) return L"error: " + error;
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR name = const_cast<LPOLESTR>(operation.c_str());
  if (FAILED(object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id)))
    return L"error: " + target + L" has no operation " + operation;

  std::vector<VARIANT> raw = arguments.reversed();
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{raw.empty() ? nullptr : raw.data(), isPut ? &named : nullptr, static_cast<UINT>(raw.size()),
                    isPut ? 1u : 0u};
  VARIANT result;
  VariantInit(&result);
  EXCEPINFO exception{};
  UINT argumentError = 0;
  const size_t lineIndex = simulator.callLineCount();
  object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT,
                 isPut ? DISPATCH_PROPERTYPUT : DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params, &result, &exception,
                 &argumentError);
  VariantClear(&result);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  // With the call log capped or off, the call has no line: the command stands for it.
  return lineIndex < simulator.callLineCount() ? L"call: " + simulator.callLine(lineIndex)
                                               : L"call: " + text + L" (not logged)";
}

}  // namespace hostsim
