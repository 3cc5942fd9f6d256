// Test entry shared by every test binary: says on which platform the tests
// ran, so a log shows that the 32-bit build really ran under Wine.
#include <gtest/gtest.h>

#include <cstdio>

#ifdef _WIN32
#include <windows.h>

static void describePlatform() {
    typedef const char*(__cdecl * WineVersion)();
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    auto wineVersion = reinterpret_cast<WineVersion>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")));
    std::printf("platform: %d-bit Windows program, %s %s\n", static_cast<int>(sizeof(void*) * 8),
                wineVersion ? "running under Wine" : "running on Windows",
                wineVersion ? wineVersion() : "");
}
#else
static void describePlatform() {
    std::printf("platform: native %d-bit build\n", static_cast<int>(sizeof(void*) * 8));
}
#endif

int main(int argc, char** argv) {
    describePlatform();
    std::fflush(stdout);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
