#include "RemoteBlock.h"

cRemoteBlock::cRemoteBlock(HWND window, const std::string& bytes)
{
    DWORD processId = 0;
    if (!GetWindowThreadProcessId(window, &processId) || processId == 0) {
        Fail("GetWindowThreadProcessId");
        return;
    }
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION, FALSE, processId);
    if (process_ == nullptr) {
        Fail("OpenProcess");
        return;
    }
    // At least one byte: VirtualAllocEx refuses a size of 0.
    const SIZE_T size = bytes.empty() ? 1 : bytes.size();
    void* block = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (block == nullptr) {
        Fail("VirtualAllocEx");
        return;
    }
    SIZE_T written = 0;
    if (!WriteProcessMemory(process_, block, bytes.data(), bytes.size(), &written) || written != bytes.size()) {
        Fail("WriteProcessMemory");
        VirtualFreeEx(process_, block, 0, MEM_RELEASE);
        return;
    }
    address_ = block;
}

cRemoteBlock::~cRemoteBlock()
{
    if (address_ != nullptr && !kept_)
        VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_ != nullptr)
        CloseHandle(process_);
}

void cRemoteBlock::Fail(const char* step)
{
    error_ = std::string(step) + " failed, error " + std::to_string(GetLastError());
}
