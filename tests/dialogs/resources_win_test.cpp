// The menu, the accelerator table, the toolbar bitmap and the icon as this
// program carries them, read back through USER32 and from the resource data.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "resources/ids.h"
#include "tools/images.h"

namespace {

HINSTANCE program() { return GetModuleHandleA(nullptr); }

std::string menuString(HMENU menu, UINT position) {
    char text[128] = "";
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

TEST(Resources, MenuIsGermanWithTheDesignedItems) {
    EXPECT_TRUE(
        FindResourceExA(program(), RT_MENU, "VELMORA", MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN)))
        << "language 1031";
    HMENU menu = LoadMenuA(program(), "VELMORA");
    ASSERT_TRUE(menu);
    ASSERT_EQ(GetMenuItemCount(menu), 2);
    EXPECT_EQ(menuString(menu, 0), "&Datei");
    EXPECT_EQ(menuString(menu, 1), "&Aktion");

    const struct {
        int popup;
        const char* text;
        UINT id;
    } items[] = {
        {0, "&Info", 100},
        {0, "&Ende", 105},
        {1, "F1 &linkes Tr\xe4gerende", 110},
        {1, "F2 Zwischenbedingung: &elastisches Lager", 115},
        {1, "F3 &Tr\xe4gerabschnitt", 120},
        {1, "F4 &Einzellast", 125},
        {1, "F5 &Wellenabschnitt", 130},
        {1, "F6 Lager,Gelenke,&rechtes Tr\xe4gerende", 135},
        {1, "F7 &Berechne w,psi,M und Q", 140},
    };
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(menu, 0)), 2);
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(menu, 1)), 7);
    UINT position[2] = {0, 0};
    for (const auto& item : items) {
        SCOPED_TRACE(item.text);
        HMENU popup = GetSubMenu(menu, item.popup);
        const UINT at = position[item.popup]++;
        char text[128] = "";
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = sizeof text;
        ASSERT_TRUE(GetMenuItemInfoA(popup, at, TRUE, &info));
        EXPECT_EQ(std::string(text), item.text) << "bytes as the program shows them";
        EXPECT_EQ(info.wID, item.id);
        EXPECT_EQ(info.fType, static_cast<UINT>(MFT_STRING)) << "no separator";
        EXPECT_EQ(info.fState, 0u) << "enabled, not checked";
        EXPECT_EQ(info.hSubMenu, nullptr);
    }
    DestroyMenu(menu);
}

TEST(Resources, AcceleratorsAreTheBareFunctionKeys) {
    HACCEL table = LoadAcceleratorsA(program(), "VELMORA");
    ASSERT_TRUE(table);
    ACCEL entries[16];
    ASSERT_EQ(CopyAcceleratorTableA(table, entries, 16), 7);
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(entries[i].key, VK_F1 + i);
        EXPECT_EQ(entries[i].cmd, 110 + 5 * i);
        EXPECT_EQ(entries[i].fVirt, FVIRTKEY | FNOINVERT) << "no Shift, Ctrl or Alt";
    }
}

// A window that notes the last command it received.
WPARAM lastCommand;
LRESULT CALLBACK commandSink(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) lastCommand = wParam;
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(Resources, FunctionKeysTranslateOnlyWithoutModifiers) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = commandSink;
    wc.hInstance = program();
    wc.lpszClassName = "VelmoraCommandSink";
    RegisterClassA(&wc);
    HWND window = CreateWindowA("VelmoraCommandSink", "", WS_OVERLAPPED, 0, 0, 50, 50, nullptr,
                                nullptr, program(), nullptr);
    ASSERT_TRUE(window);
    HACCEL table = LoadAcceleratorsA(program(), "VELMORA");

    BYTE keys[256] = {};
    const auto press = [&](UINT message, WPARAM key, BYTE modifier) {
        std::memset(keys, 0, sizeof keys);
        if (modifier) keys[modifier] = 0x80;
        SetKeyboardState(keys);
        lastCommand = 0;
        MSG m{window, message, key, 1, 0, {0, 0}};
        return TranslateAcceleratorA(window, table, &m);
    };
    EXPECT_TRUE(press(WM_KEYDOWN, VK_F4, 0));
    EXPECT_EQ(lastCommand, MAKEWPARAM(125, 1)) << "F4 sends 125 as an accelerator";
    EXPECT_TRUE(press(WM_KEYDOWN, VK_F7, 0));
    EXPECT_EQ(LOWORD(lastCommand), 140);
    EXPECT_FALSE(press(WM_KEYDOWN, VK_F4, VK_SHIFT));
    EXPECT_FALSE(press(WM_KEYDOWN, VK_F4, VK_CONTROL));
    EXPECT_FALSE(press(WM_SYSKEYDOWN, VK_F4, VK_MENU));
    EXPECT_EQ(lastCommand, 0u);
    std::memset(keys, 0, sizeof keys);
    SetKeyboardState(keys);
    DestroyWindow(window);
}

TEST(Resources, ToolbarBitmapIs224By32In8BitsBottomUp) {
    HRSRC found = FindResourceA(program(), MAKEINTRESOURCEA(IDB_TOOLBAR), RT_BITMAP);
    ASSERT_TRUE(found);
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(program(), found)));
    ASSERT_EQ(SizeofResource(program(), found), 40u + 256 * 4 + 7168);
    BITMAPINFOHEADER h;
    std::memcpy(&h, data, sizeof h);
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 224);
    EXPECT_EQ(h.biHeight, 32) << "positive: bottom-up";
    EXPECT_EQ(h.biBitCount, 8);
    EXPECT_EQ(h.biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(h.biClrUsed, 256u);

    static uint8_t drawn[toolbarFileSize];
    makeToolbarFile(drawn);
    EXPECT_EQ(std::memcmp(data, drawn + bmpFileHeaderSize, toolbarFileSize - bmpFileHeaderSize), 0)
        << "the program holds what tools/images.cpp draws";

    HBITMAP bitmap = LoadBitmapA(program(), MAKEINTRESOURCEA(IDB_TOOLBAR));
    ASSERT_TRUE(bitmap);
    BITMAP b{};
    GetObjectA(bitmap, sizeof b, &b);
    EXPECT_EQ(b.bmWidth, 224);
    EXPECT_EQ(b.bmHeight, 32);
    DeleteObject(bitmap);
}

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bits;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST(Resources, IconGroup10HoldsOne32By32ImageIn16Colours) {
    HRSRC group = FindResourceA(program(), MAKEINTRESOURCEA(IDI_VELMORA), RT_GROUP_ICON);
    ASSERT_TRUE(group);
    const auto* dir = static_cast<const BYTE*>(LockResource(LoadResource(program(), group)));
    WORD head[3];
    std::memcpy(head, dir, sizeof head);
    EXPECT_EQ(head[1], 1) << "icons";
    ASSERT_EQ(head[2], 1) << "one image";
    GroupIconEntry e;
    std::memcpy(&e, dir + 6, sizeof e);
    EXPECT_EQ(e.width, 32);
    EXPECT_EQ(e.height, 32);
    EXPECT_EQ(e.colours, 16);
    EXPECT_EQ(e.bits, 4);
    EXPECT_EQ(e.id, 1) << "icon resource 1";

    HRSRC image = FindResourceA(program(), MAKEINTRESOURCEA(1), RT_ICON);
    ASSERT_TRUE(image);
    EXPECT_EQ(SizeofResource(program(), image), e.bytes);
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(program(), image)));
    BITMAPINFOHEADER h;
    std::memcpy(&h, data, sizeof h);
    EXPECT_EQ(h.biWidth, 32);
    EXPECT_EQ(h.biHeight, 64) << "colours and mask";
    EXPECT_EQ(h.biBitCount, 4) << "16 colours";

    static uint8_t drawn[iconFileSize];
    makeIconFile(drawn);
    ASSERT_EQ(e.bytes, static_cast<DWORD>(iconImageSize));
    EXPECT_EQ(std::memcmp(data, drawn + iconDirectorySize, iconImageSize), 0);

    HICON icon = LoadIconA(program(), MAKEINTRESOURCEA(IDI_VELMORA));
    ASSERT_TRUE(icon);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP b{};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof b, &b);
    EXPECT_EQ(b.bmWidth, 32);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

}  // namespace
