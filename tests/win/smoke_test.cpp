#include <windows.h>

#include <gtest/gtest.h>

TEST(Module, ExportsShowdll) {
  HMODULE dll = LoadLibraryW(L"veldounit.dll");
  ASSERT_NE(nullptr, dll);
  EXPECT_NE(nullptr, GetProcAddress(dll, "showdll"));
  EXPECT_NE(nullptr, GetProcAddress(dll, MAKEINTRESOURCEA(1)));
  FreeLibrary(dll);
}
