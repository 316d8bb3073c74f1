#include "MerrowClass.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <new>
#include <string_view>
#include <utility>
#include <vector>

#include "../basic/Err.h"
#include "../basic/Handles.h"
#include "../basic/Text.h"
#include "ComError.h"
#include "LateBinding.h"
#include "Merrow.h"
#include "Var.h"

using basic::ComPtr;
using basic::Raise;

namespace {

constexpr REGSAM kKeyAccess = 0x3F;  // query, set, create subkey, enumerate, notify, create link
constexpr UINT kDirectoryBuffer = 145;
constexpr DWORD kIniBuffer = 255;
constexpr int32_t errInvalidUseOfNull = 94;
constexpr COLORREF kLightGrey = 0xC0C0C0;
constexpr int kSysColors = 19;  // COLOR_SCROLLBAR to COLOR_BTNTEXT

// --- Parameters -------------------------------------------------------------

// Pointers come straight from clients that bind through the vtable.
template <class T>
T& Ref(T* p) {
  if (!p) Raise(E_POINTER, L"Invalid pointer");
  return *p;
}

std::wstring_view View(BSTR s) { return {s ? s : L"", SysStringLen(s)}; }

BSTR NewBstr(std::wstring_view text) {
  BSTR s = SysAllocStringLen(text.data(), UINT(text.size()));
  if (!s) throw std::bad_alloc();
  return s;
}

void Assign(BSTR& s, std::wstring_view text) { SysFreeString(std::exchange(s, NewBstr(text))); }

void Empty(VARIANT* result) { VariantInit(&Ref(result)); }

// --- Limits of the system's calls --------------------------------------------

// The longest text, in bytes of its ANSI form, that a call takes whole. The
// ANSI calls keep a text's length in 16 bits: under Wine one of 65,536 + k
// bytes reaches the system as its first k and names another object, a key
// or value that exists. A longer text is refused before any call, never cut.
// So is a text with a NUL inside: the system would read it up to the NUL and
// act on the object named by its first part.
struct Limit {
  size_t whole;
  size_t name = whole;  // each name between backslashes
};
// The system converts an ANSI text to UTF-16 whole up to 32,766 bytes: with
// its terminator, 65,534 bytes of a 16-bit length. The profile functions
// take no more (Windows 95 documents 32 KB less 2 bytes for them).
constexpr size_t kConverted = 32766;
constexpr Limit kKeyPath{kConverted, 255};  // a key name is at most 255 characters
constexpr Limit kValueName{16383};          // a value name at most 16,383
constexpr Limit kProfileText{kConverted};   // section, key, value and default of an INI file
constexpr Limit kPath{MAX_PATH - 1};        // the ANSI file calls: MAX_PATH with the terminator

bool Within(std::string_view ansi, const Limit& limit) {
  size_t name = 0;  // the characters of the name so far
  for (const char c : ansi) {
    if (c == '\0') return false;
    name = c == '\\' ? 0 : name + 1;
    if (name > limit.name) return false;
  }
  return ansi.size() <= limit.whole;
}

// A by-reference string on its way to an ANSI function, measured against the
// call's limit; a null string reaches the system as a null pointer.
class AnsiRef {
 public:
  AnsiRef(BSTR& s, const Limit& limit) : s_(s), null_(!s), ansi_(basic::ToAnsi(View(s))), fits_(Within(ansi_, limit)) {}
  bool Fits() const { return fits_; }
  const char* get() const { return null_ ? nullptr : ansi_.c_str(); }
  // Handed to the system, the caller's variable reads as its ANSI form reads back, as it always has.
  void HandOver() const {
    if (!null_) Assign(s_, basic::FromAnsi(ansi_));
  }

 private:
  BSTR& s_;
  bool null_;
  std::string ansi_;
  bool fits_;
};

// Hands the texts over when each fits its call. When one does not, the call
// is not made and every variable stays as the caller gave it.
bool HandOver(std::initializer_list<const AnsiRef*> texts) {
  if (!std::all_of(texts.begin(), texts.end(), [](const AnsiRef* text) { return text->Fits(); })) return false;
  for (const AnsiRef* text : texts) text->HandOver();
  return true;
}

// --- Conversions as the language's CStr and CLng make them ------------------

void Convert(const VARIANT& value, VARTYPE type, Var& out) {
  Var direct;
  HRESULT hr = VariantCopyInd(&direct, const_cast<VARIANT*>(&value));
  if (SUCCEEDED(hr) && direct.vt == VT_NULL) Raise(errInvalidUseOfNull, L"Invalid use of Null");
  if (SUCCEEDED(hr)) hr = VariantChangeTypeEx(&out, &direct, LOCALE_USER_DEFAULT, VARIANT_ALPHABOOL, type);
  if (hr == DISP_E_OVERFLOW) Raise(basic::errOverflow);
  if (hr == E_OUTOFMEMORY) throw std::bad_alloc();
  if (FAILED(hr)) Raise(basic::errTypeMismatch);
}

std::wstring ToText(const VARIANT& value) {
  Var text;
  Convert(value, VT_BSTR, text);
  return std::wstring(View(text.bstrVal));
}

int32_t ToLong(const VARIANT& value) {
  Var number;
  Convert(value, VT_I4, number);
  return number.lVal;
}

// Trailing blanks, tabs, line ends and terminators go; a text that begins
// with a NUL is left as it is.
std::wstring WithoutTrailingControls(std::wstring text) {
  if (!text.empty() && text.front() != L'\0')
    while (!text.empty() && text.back() <= L' ') text.pop_back();
  return text;
}

// --- Directories ------------------------------------------------------------

std::wstring DirectoryWithBackslash(UINT(WINAPI* query)(LPSTR, UINT)) {
  std::string buffer(kDirectoryBuffer, '\0');
  const UINT n = query(buffer.data(), kDirectoryBuffer);
  std::wstring dir = basic::FromAnsi(std::string_view(buffer).substr(0, n));
  if (dir.empty() || dir.back() != L'\\') dir += L'\\';
  return dir;
}

std::string CurrentDirectory() {
  std::string dir(GetCurrentDirectoryA(0, nullptr), '\0');
  dir.resize(GetCurrentDirectoryA(DWORD(dir.size()), dir.data()));
  return dir;
}

// The whole current directory is restored, not only that of one drive, so
// that testing a folder leaves the process exactly as it was.
bool CanEnter(const std::string& dir) {
  const std::string here = CurrentDirectory();
  return !dir.empty() && SetCurrentDirectoryA(dir.c_str()) && SetCurrentDirectoryA(here.c_str());
}

// --- Registry ---------------------------------------------------------------

// A key that cannot be opened, or whose path is longer than the system
// takes, stays null: the reads and writes on it then fail quietly, as
// callers expect of these operations.
basic::UniqueKey OpenMachineKey(BSTR& path) {
  const AnsiRef name(path, kKeyPath);
  HKEY key = nullptr;
  if (!HandOver({&name}) || RegOpenKeyExA(HKEY_LOCAL_MACHINE, name.get(), 0, kKeyAccess, &key) != ERROR_SUCCESS)
    key = nullptr;
  return basic::UniqueKey(key);
}

HKEY PredefinedKey(LONG value) { return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<ULONG>(value))); }

std::wstring AsText(const std::variant<std::monostate, int32_t, std::wstring>& value) {
  if (const auto* n = std::get_if<int32_t>(&value)) return std::to_wstring(*n);
  if (const auto* s = std::get_if<std::wstring>(&value)) return *s;
  return {};
}

// --- Text -------------------------------------------------------------------

// One pass into a new text: replacing in place moved the rest of the text at
// each match, which took a text of many matches the square of its length.
std::wstring ReplaceAll(std::wstring_view text, std::wstring_view what, std::wstring_view by) {
  std::wstring out;
  out.reserve(text.size());
  size_t from = 0;
  for (size_t at = text.find(what); at != std::wstring_view::npos; at = text.find(what, from)) {
    out.append(text.substr(from, at - from)).append(by);
    from = at + what.size();
  }
  return out.append(text.substr(from));
}

struct Separator {
  const wchar_t* alone;
  const wchar_t* spaced;
};
// A letter right after one of these starts a word of its own.
constexpr std::array kSeparators{Separator{L".", L". "}, Separator{L",", L", "}, Separator{L"-", L"- "},
                                 Separator{L"(", L"( "}};
// Longer texts come back only trimmed, as clients have always received them.
constexpr size_t kMaxPieces = 32768;

std::vector<std::wstring> SplitAtBlanks(std::wstring_view text) {
  std::vector<std::wstring> pieces;
  size_t start = 0;
  for (;;) {
    const size_t end = std::min(text.find(L' ', start), text.size());
    pieces.emplace_back(text.substr(start, end - start));
    if (end == text.size()) return pieces;
    start = end + 1;
  }
}

// The character of an ANSI code, as the code page reads it.
std::wstring Chr(int code) {
  const bool doubleByte = code > 0xFF && code <= 0xFFFF && IsDBCSLeadByte(BYTE(code >> 8));
  if (code < 0 || (code > 0xFF && !doubleByte)) Raise(basic::errInvalidCall);
  return basic::FromAnsi(doubleByte ? std::string{char(code >> 8), char(code)} : std::string(1, char(code)));
}

}  // namespace

// --- Object -----------------------------------------------------------------

MerrowClass::MerrowClass(ComPtr<ITypeInfo> typeInfo) : typeInfo_(std::move(typeInfo)) { LockLibrary(); }
MerrowClass::~MerrowClass() { UnlockLibrary(); }

HRESULT MerrowClass::Create(ComPtr<ITypeInfo> typeInfo, REFIID riid, void** object) {
  auto* created = new (std::nothrow) MerrowClass(std::move(typeInfo));
  if (!created) return E_OUTOFMEMORY;
  const HRESULT hr = created->QueryInterface(riid, object);
  created->Release();
  return hr;
}

HRESULT MerrowClass::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID__MerrowClass)
    *object = static_cast<_MerrowClass*>(this);
  else if (riid == IID_ISupportErrorInfo)
    *object = static_cast<ISupportErrorInfo*>(this);
  else
    *object = nullptr;
  if (!*object) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

ULONG MerrowClass::AddRef() { return ++refs_; }

ULONG MerrowClass::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT MerrowClass::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT MerrowClass::GetTypeInfo(UINT index, LCID, ITypeInfo** typeInfo) {
  if (!typeInfo) return E_POINTER;
  *typeInfo = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  typeInfo_->AddRef();
  *typeInfo = typeInfo_.get();
  return S_OK;
}

HRESULT MerrowClass::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  return typeInfo_->GetIDsOfNames(names, count, ids);
}

HRESULT MerrowClass::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                            EXCEPINFO* exception, UINT* argError) {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  return InvokeLateBound(*typeInfo_.get(), static_cast<_MerrowClass*>(this), id, lcid, flags, params, result, exception,
                         argError);
}

HRESULT MerrowClass::InterfaceSupportsErrorInfo(REFIID riid) { return riid == IID__MerrowClass ? S_OK : S_FALSE; }

// --- Directories and INI files ----------------------------------------------

HRESULT MerrowClass::GetWindowsDir(BSTR* windir, VARIANT* result) {
  return Guarded([&] {
    Empty(result);
    Assign(Ref(windir), DirectoryWithBackslash(GetWindowsDirectoryA));
  });
}

HRESULT MerrowClass::GetWindowsSysDir(BSTR* sysdir, VARIANT* result) {
  return Guarded([&] {
    Empty(result);
    Assign(Ref(sysdir), DirectoryWithBackslash(GetSystemDirectoryA));
  });
}

HRESULT MerrowClass::DirExists(BSTR* Directory, VARIANT_BOOL* result) {
  return Guarded([&] {
    Ref(result) = VARIANT_FALSE;
    const std::string dir = basic::ToAnsi(View(Ref(Directory)));
    if (Within(dir, kPath) && CanEnter(dir)) *result = VARIANT_TRUE;
  });
}

HRESULT MerrowClass::read_ini_value(BSTR* ini_application, BSTR* ini_parameter, BSTR* ini_value, BSTR* ini_filename,
                                    VARIANT* result) {
  return Guarded([&] {
    Empty(result);
    const AnsiRef section(Ref(ini_application), kProfileText), key(Ref(ini_parameter), kProfileText),
        fallback(Ref(ini_value), kProfileText), file(Ref(ini_filename), kPath);
    // A default too long for the call could come back neither whole nor in
    // place of a value found: it fails as one too long for the buffer does.
    if (!fallback.Fits()) Raise(basic::errInvalidCall);
    // A name beyond the limits names nothing the system can be asked for: the default stays.
    if (!HandOver({&section, &key, &fallback, &file})) return;
    std::string buffer(kIniBuffer, '\0');
    const DWORD n =
        GetPrivateProfileStringA(section.get(), key.get(), fallback.get(), buffer.data(), kIniBuffer, file.get());
    // The value ends where the count says, whatever characters it holds. One
    // that fills the buffer may have been cut: it fails rather than come back short.
    if (n + 1 >= kIniBuffer) Raise(basic::errInvalidCall);
    Assign(*ini_value, WithoutTrailingControls(basic::FromAnsi(std::string_view(buffer).substr(0, n))));
  });
}

HRESULT MerrowClass::write_ini_value(BSTR* ini_application, BSTR* ini_parameter, BSTR* ini_value, BSTR* ini_filename,
                                     VARIANT* result) {
  return Guarded([&] {
    Empty(result);
    const AnsiRef section(Ref(ini_application), kProfileText), key(Ref(ini_parameter), kProfileText),
        value(Ref(ini_value), kProfileText), file(Ref(ini_filename), kPath);
    // A text too long is refused as any failing write is: quietly, with nothing written.
    if (HandOver({&section, &key, &value, &file}))
      WritePrivateProfileStringA(section.get(), key.get(), value.get(), file.get());
  });
}

// --- Registry ---------------------------------------------------------------

HRESULT MerrowClass::CreateNewKey(BSTR* sNewKeyName, LONG* lPredefinedKey, LONG* lRetVal, VARIANT* result) {
  return Guarded([&] {
    Empty(result);
    const AnsiRef name(Ref(sNewKeyName), kKeyPath);
    const HKEY root = PredefinedKey(Ref(lPredefinedKey));
    LONG& code = Ref(lRetVal);
    if (!HandOver({&name})) {
      code = ERROR_INVALID_PARAMETER;  // what Windows answers for a key name longer than it takes
      return;
    }
    HKEY created = nullptr;
    code = RegCreateKeyExA(root, name.get(), 0, nullptr, REG_OPTION_NON_VOLATILE, kKeyAccess, nullptr, &created,
                           reinterpret_cast<DWORD*>(&code));
    basic::UniqueKey close(code == ERROR_SUCCESS ? created : nullptr);
  });
}

HRESULT MerrowClass::QueryValue(BSTR* sKeyName, BSTR* sValueName, BSTR* ini_value, VARIANT* result) {
  return Guarded([&] {
    Empty(result);
    BSTR& text = Ref(ini_value);
    const std::string name = basic::ToAnsi(View(Ref(sValueName)));
    RegValue value;
    ReadOpenKeyValue(OpenMachineKey(Ref(sKeyName)).get(), name, value);
    // A string arrives with its terminator; without it first, an empty
    // string would come back as a lone NUL that the trimming leaves alone.
    std::wstring found = AsText(value);
    if (!found.empty() && found.back() == L'\0') found.pop_back();
    Assign(text, WithoutTrailingControls(std::move(found)));
  });
}

HRESULT MerrowClass::WriteValue(BSTR* sKeyName, BSTR* sValueName, LONG* lType, VARIANT* vValue, VARIANT* result) {
  return Guarded([&] {
    Empty(result);
    const auto key = OpenMachineKey(Ref(sKeyName));
    WriteOpenKeyValue(key.get(), Ref(sValueName), Ref(lType), Ref(vValue));
  });
}

HRESULT MerrowClass::delete_value(BSTR* sKeyName, BSTR* sValueName, LONG* /*lType*/, VARIANT* vValue, VARIANT* result) {
  return Guarded([&] {
    Empty(result);
    const auto key = OpenMachineKey(Ref(sKeyName));
    DeleteOpenKeyValue(key.get(), Ref(sValueName), Ref(vValue));
  });
}

LONG MerrowClass::ReadOpenKeyValue(HKEY key, const std::string& name, RegValue& value) {
  // Windows finds no value of a name longer than it takes.
  if (!Within(name, kValueName)) return ERROR_FILE_NOT_FOUND;
  LONG code = ERROR_SUCCESS;
  try {
    DWORD type = 0, size = 0;
    code = RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
    if (code != ERROR_SUCCESS) return code;
    if (type == REG_SZ) {
      std::string text(size, '\0');
      code = RegQueryValueExA(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()), &size);
      value = code == ERROR_SUCCESS ? basic::FromAnsi(std::string_view(text).substr(0, size)) : L"Empty";
    } else if (type == REG_DWORD) {
      DWORD number = 0;
      size = sizeof number;
      code = RegQueryValueExA(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&number), &size);
      if (code == ERROR_SUCCESS) value = int32_t(number);
    } else {
      code = -1;
    }
  } catch (...) {
    // A value too large to hold reads as whatever was reached, like any other unreadable one.
  }
  return code;
}

LONG MerrowClass::WriteOpenKeyValue(HKEY key, BSTR& name, LONG type, const VARIANT& value) {
  std::string data;  // the bytes stored
  if (type == REG_SZ) {
    const std::string text = basic::ToAnsi(ToText(value));
    data.assign(text.c_str(), text.size() + 1);
  } else if (type == REG_DWORD) {
    const DWORD number = DWORD(ToLong(value));
    data.assign(reinterpret_cast<const char*>(&number), sizeof number);
  } else {
    return ERROR_SUCCESS;
  }
  const AnsiRef valueName(name, kValueName);
  // What Windows answers for a value name longer than it takes.
  if (!HandOver({&valueName})) return ERROR_INVALID_PARAMETER;
  return RegSetValueExA(key, valueName.get(), 0, DWORD(type), reinterpret_cast<const BYTE*>(data.data()),
                        DWORD(data.size()));
}

LONG MerrowClass::DeleteOpenKeyValue(HKEY key, BSTR& name, const VARIANT& value) {
  ToText(value);  // a value that is no text has always failed the call
  const AnsiRef valueName(name, kValueName);
  if (!HandOver({&valueName})) return ERROR_FILE_NOT_FOUND;
  return RegDeleteValueA(key, valueName.get());
}

// --- Text -------------------------------------------------------------------

HRESULT MerrowClass::Capitalise(BSTR* OriginalText, BSTR* result) {
  return Guarded([&] {
    Ref(result) = nullptr;
    *result = NewBstr(Capitalised(View(Ref(OriginalText))));
  });
}

std::wstring MerrowClass::Capitalised(std::wstring_view original) {
  if (original.empty() || original == L" ") return {};
  if (original.front() == L'?') return std::wstring(original.substr(1));
  try {
    std::wstring text(original);
    for (const auto& s : kSeparators) text = ReplaceAll(std::move(text), s.alone, s.spaced);
    auto pieces = SplitAtBlanks(text);
    if (pieces.size() > kMaxPieces) Raise(basic::errOverflow);
    std::wstring capitalised;
    for (auto& piece : pieces)
      if (!piece.empty()) capitalised += CapitaliseWord(piece) + L' ';
    for (const auto& s : kSeparators) capitalised = ReplaceAll(std::move(capitalised), s.spaced, s.alone);
    return basic::Trim(capitalised);
  } catch (...) {
    return basic::Trim(original);
  }
}

std::wstring MerrowClass::CapitaliseWord(std::wstring& word) {
  if (word.empty()) return {};
  if (word.size() > 2 && basic::LCase(word.substr(0, 2)) == L"mc") word[2] = basic::UCase(word.substr(2, 1))[0];
  return basic::UCase(word.substr(0, 1)) + word.substr(1);
}

HRESULT MerrowClass::ValidateText(short pKeyIn, BSTR* pValidateString, BSTR* pType, short* result) {
  return Guarded([&] {
    Ref(result) = 0;
    std::wstring allowed = basic::UCase(View(Ref(pValidateString)));
    if (View(Ref(pType)) == L"AnyText") allowed += L'\b';
    // Both sides are upper-cased, so a plain search is the case-insensitive one.
    if (allowed.find(basic::UCase(Chr(pKeyIn))) != std::wstring::npos)
      *result = pKeyIn;
    else
      MessageBeep(MB_OK);
  });
}

// --- Colours ----------------------------------------------------------------

HRESULT MerrowClass::Set_Colors(VARIANT* result) {
  return Guarded([&] {
    Empty(result);
    std::array<INT, kSysColors> indexes;
    std::array<COLORREF, kSysColors> colors;
    for (int i = 0; i < kSysColors; ++i) {
      indexes[i] = i;
      colors[i] = i == COLOR_MENU || i == COLOR_BTNFACE ? kLightGrey : GetSysColor(i);
    }
    SetSysColors(kSysColors, indexes.data(), colors.data());
  });
}
