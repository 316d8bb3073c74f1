#include <gtest/gtest.h>

#include <array>

#include "../../src/basic/Err.h"
#include "../../src/basic/Handles.h"
#include "../../src/basic/Text.h"
#include "MerrowActivation.h"
#include "MerrowClient.h"
#include "support/RegistrySandbox.h"

namespace {

using basic::ComPtr;

std::string GuidText(REFGUID guid) {
  wchar_t text[40];
  StringFromGUID2(guid, text, 40);
  return basic::ToAnsi(text);
}

const std::string kClassKey = "CLSID\\" + GuidText(CLSID_MerrowClass);
const std::string kProgIdKey = "Merrow.MerrowClass";
const std::string kTypeLibKey = "TypeLib\\" + GuidText(LIBID_Merrow32);
const std::string kInterfaceKey = "Interface\\" + GuidText(IID__MerrowClass);

std::string DefaultValue(const std::string& key, const char* name = nullptr) {
  char data[MAX_PATH] = "";
  DWORD size = sizeof data;
  RegGetValueA(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size);
  return data;
}

// Every key that registering writes, in both registry views.
bool AnyRegistrationLeft() {
  for (const auto& key : {kClassKey, kProgIdKey, kTypeLibKey, kInterfaceKey})
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY})
      if (KeyExists(HKEY_CLASSES_ROOT, key, view)) return true;
  return false;
}

TEST(MerrowRegistration, Regsvr32RegistersTheServerAndUnregisteringRemovesEveryKey) {
  ComApartment apartment;
  ASSERT_FALSE(AnyRegistrationLeft());
  ASSERT_EQ(Regsvr32("/s"), 0u);

  EXPECT_EQ(DefaultValue(kClassKey + "\\InprocServer32"), MerrowPath());
  EXPECT_EQ(DefaultValue(kClassKey + "\\InprocServer32", "ThreadingModel"), "Apartment");
  EXPECT_EQ(DefaultValue(kClassKey + "\\ProgID"), "Merrow.MerrowClass");
  EXPECT_EQ(DefaultValue(kProgIdKey + "\\Clsid"), GuidText(CLSID_MerrowClass));
  // A 32-bit server is registered in the 32-bit view of the classes.
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Classes\\" + kClassKey, KEY_WOW64_32KEY));
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kTypeLibKey));
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kInterfaceKey));
  EXPECT_TRUE(CreateMerrowClass());

  EXPECT_EQ(Regsvr32("/s /u"), 0u);
  EXPECT_FALSE(AnyRegistrationLeft());
  EXPECT_EQ(Regsvr32("/s /u"), 0u) << "unregistering twice";
}

// The system's error: a class not registered, or registered to a file that
// is gone, which the system has words for (without their line break).
TEST(MerrowRegistration, CreatingAClassThatCannotBeLoadedRaisesTheSystemsError) {
  ComApartment apartment;
  const RegistrySandbox classKey(HKEY_LOCAL_MACHINE, "Software\\Classes\\" + kClassKey);
  for (const std::string file : {"", "C:\\gone\\Merrow.dll"}) {
    if (!file.empty())
      RegSetKeyValueA(HKEY_LOCAL_MACHINE, (classKey.Path() + "\\InprocServer32").c_str(), nullptr, REG_SZ, file.c_str(),
                      DWORD(file.size() + 1));
    try {
      CreateMerrowClass();
      ADD_FAILURE() << "created with the server at \"" << file << "\"";
    } catch (const basic::Error& e) {
      if (file.empty())
        EXPECT_EQ(e.Number(), REGDB_E_CLASSNOTREG);
      else
        EXPECT_EQ(e.Description().back(), L'.') << basic::ToAnsi(e.Description());
    }
  }
}

TEST(MerrowRegistration, VersionResourceMarksTheFileSelfRegistering) {
  const std::string path = MerrowPath();
  std::vector<char> block(GetFileVersionInfoSizeA(path.c_str(), nullptr));
  ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, DWORD(block.size()), block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &size));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 15u);
  const std::array<std::pair<const char*, const char*>, 7> expected{{
      {"FileVersion", "1.00.0015"},
      {"ProductVersion", "1.00.0015"},
      {"InternalName", "Merrow"},
      {"OriginalFilename", "Merrow.dll"},
      {"FileDescription", "Merrow32"},
      {"ProductName", "Merrow.dll"},
      {"OLESelfRegister", ""},
  }};
  for (const auto& [name, value] : expected) {
    char* text = nullptr;
    const std::string query = std::string("\\StringFileInfo\\040904b0\\") + name;
    ASSERT_TRUE(VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&text), &size)) << name;
    EXPECT_STREQ(text, value) << name;
  }
}

TEST(MerrowRegistration, LibraryStaysWhileObjectsFactoriesOrLocksRemain) {
  const basic::UniqueModule library(LoadLibraryA(MerrowPath().c_str()));
  ASSERT_TRUE(library);
  const auto getClassObject = reinterpret_cast<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>(
      reinterpret_cast<void*>(GetProcAddress(library.get(), "DllGetClassObject")));
  const auto canUnloadNow =
      reinterpret_cast<HRESULT(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(library.get(), "DllCanUnloadNow")));
  ASSERT_TRUE(getClassObject && canUnloadNow);

  ComPtr<IClassFactory> factory;
  EXPECT_EQ(getClassObject(IID__MerrowClass, IID_IClassFactory, reinterpret_cast<void**>(factory.put())),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(canUnloadNow(), S_OK);
  ASSERT_EQ(getClassObject(CLSID_MerrowClass, IID_IClassFactory, reinterpret_cast<void**>(factory.put())), S_OK);
  EXPECT_EQ(canUnloadNow(), S_FALSE);

  ComPtr<IDispatch> object;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(object.put())), S_OK);
  factory->LockServer(TRUE);
  factory.Release();
  EXPECT_EQ(canUnloadNow(), S_FALSE) << "an object and a lock remain";
  object.Release();
  EXPECT_EQ(canUnloadNow(), S_FALSE) << "a lock remains";
  ASSERT_EQ(getClassObject(CLSID_MerrowClass, IID_IClassFactory, reinterpret_cast<void**>(factory.put())), S_OK);
  factory->LockServer(FALSE);
  factory.Release();
  EXPECT_EQ(canUnloadNow(), S_OK);
}

}  // namespace
