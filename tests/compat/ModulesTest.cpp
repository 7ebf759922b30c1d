#include <Win32Compat.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const char* const defaultOwnModule = "C:\\compat\\module.xll";

int Answer() {
    return 42;
}
int Other() {
    return 7;
}

class ModulesTest : public ::testing::Test {
protected:
    void TearDown() override {
        win32compat::UnregisterModule("TESTLIB.DLL");
        win32compat::RemoveProcessExport("MdCallBack12");
        win32compat::SetOwnModule(defaultOwnModule);
        win32compat::SetVirtualQueryFails(false);
    }

    static HMODULE RegisterTestLib(FARPROC answer = win32compat::AsProc(&Answer)) {
        return win32compat::RegisterModule("TESTLIB.DLL", {{"Answer", answer}});
    }

    static std::string FileName(HMODULE module) {
        char buffer[260];
        const DWORD length = GetModuleFileNameA(module, buffer, sizeof buffer);
        return std::string(buffer, length);
    }
};

TEST_F(ModulesTest, LoadLibraryMatchesTheFileNameWithoutRegardToCase) {
    HMODULE module = RegisterTestLib();
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(LoadLibraryA("testlib.dll"), module);
    EXPECT_EQ(LoadLibraryA("C:\\Program Files\\TestLib.Dll"), module);
    EXPECT_EQ(LoadLibraryA("testlib"), module); // ".dll" is the default extension
    EXPECT_EQ(GetModuleHandleA("TESTLIB.DLL"), module);
    SetLastError(0);
    EXPECT_EQ(LoadLibraryA("testlib."), nullptr); // explicitly no extension
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    EXPECT_TRUE(FreeLibrary(module));
}

TEST_F(ModulesTest, GetProcAddressFindsTheCurrentExportsByExactName) {
    HMODULE module = RegisterTestLib();
    FARPROC address = GetProcAddress(module, "Answer");
    ASSERT_NE(address, nullptr);
    EXPECT_EQ(win32compat::ProcAs<int (*)()>(address)(), 42);
    EXPECT_EQ(RegisterTestLib(win32compat::AsProc(&Other)), module); // replaces the exports
    EXPECT_EQ(win32compat::ProcAs<int (*)()>(GetProcAddress(module, "Answer"))(), 7);
    for (const char* missing : {"answer", "Missing", reinterpret_cast<const char*>(1)}) {
        SetLastError(0);
        EXPECT_EQ(GetProcAddress(module, missing), nullptr);
        EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
    }
}

TEST_F(ModulesTest, UnregisteredModuleIsGone) {
    HMODULE module = RegisterTestLib();
    win32compat::UnregisterModule("testlib.dll");
    SetLastError(0);
    EXPECT_EQ(LoadLibraryA("TESTLIB.DLL"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(module, "Answer"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    EXPECT_TRUE(FreeLibrary(module)); // still held by whoever loaded it
    EXPECT_FALSE(FreeLibrary(reinterpret_cast<HMODULE>(0x12345)));
    EXPECT_NE(RegisterTestLib(), module); // handles are not reused
}

TEST_F(ModulesTest, ProcessModuleExportsTheProcessExports) {
    HMODULE process = GetModuleHandleA(nullptr);
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(GetModuleHandleA("HOST.EXE"), process);
    win32compat::SetProcessExport("MdCallBack12", win32compat::AsProc(&Answer));
    EXPECT_EQ(GetProcAddress(process, "MdCallBack12"), win32compat::AsProc(&Answer));
    EXPECT_EQ(GetProcAddress(nullptr, "MdCallBack12"), win32compat::AsProc(&Answer));
    win32compat::RemoveProcessExport("MdCallBack12");
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(process, "MdCallBack12"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
    EXPECT_EQ(FileName(nullptr), "C:\\compat\\host.exe");
    EXPECT_EQ(FileName(process), "C:\\compat\\host.exe");
}

TEST_F(ModulesTest, VirtualQueryReportsTheOwnModule) {
    MEMORY_BASIC_INFORMATION info{};
    const auto address = reinterpret_cast<UINT_PTR>(&info);
    ASSERT_EQ(VirtualQuery(&info, &info, sizeof info), sizeof info);
    EXPECT_EQ(FileName(static_cast<HMODULE>(info.AllocationBase)), defaultOwnModule);
    HMODULE own = win32compat::SetOwnModule("C:\\Addins\\Tesmor.xll");
    ASSERT_EQ(VirtualQuery(&info, &info, sizeof info), sizeof info);
    EXPECT_EQ(info.AllocationBase, own);
    EXPECT_EQ(info.State, MEM_COMMIT);
    EXPECT_EQ(info.Type, MEM_IMAGE);
    const auto base = reinterpret_cast<UINT_PTR>(info.BaseAddress);
    EXPECT_EQ(base % 0x1000, 0u);
    EXPECT_LT(address - base, info.RegionSize);
    EXPECT_EQ(FileName(own), "C:\\Addins\\Tesmor.xll");
    EXPECT_EQ(GetModuleHandleA("tesmor.xll"), own);
}

TEST_F(ModulesTest, VirtualQueryFailures) {
    MEMORY_BASIC_INFORMATION info{};
    SetLastError(0);
    EXPECT_EQ(VirtualQuery(&info, &info, sizeof info - 1), 0u);
    EXPECT_EQ(GetLastError(), ERROR_BAD_LENGTH);
    win32compat::SetVirtualQueryFails(true);
    EXPECT_EQ(VirtualQuery(&info, &info, sizeof info), 0u);
    win32compat::SetVirtualQueryFails(false);
    ASSERT_EQ(VirtualQuery(nullptr, &info, sizeof info), sizeof info);
    EXPECT_EQ(info.State, MEM_FREE);
    EXPECT_EQ(info.AllocationBase, nullptr);
}

TEST_F(ModulesTest, GetModuleFileNameTruncatesToTheBuffer) {
    HMODULE own = win32compat::SetOwnModule("C:\\Addins\\Tesmor.xll"); // 20 characters
    char buffer[32];
    std::memset(buffer, 'x', sizeof buffer);
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameA(own, buffer, 8), 8u);
    EXPECT_STREQ(buffer, "C:\\Addi");
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(GetModuleFileNameA(own, buffer, 20), 20u);
    EXPECT_STREQ(buffer, "C:\\Addins\\Tesmor.xl");
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameA(own, buffer, 21), 20u);
    EXPECT_STREQ(buffer, "C:\\Addins\\Tesmor.xll");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_EQ(GetModuleFileNameA(reinterpret_cast<HMODULE>(0x12345), buffer, 32), 0u);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
}

} // namespace
