#include "targets/MediaCenterContract.h"

namespace {

bool RecordFits(size_t size, int index)
{
    return index >= 0 && index < MCSA_RECORD_COUNT &&
           static_cast<size_t>(index + 1) * MCSA_RECORD_SIZE <= size;
}

uint32_t ReadUint32(const uint8_t* bytes)
{
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

void WriteUint32(uint8_t* bytes, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

bool IsMediaCenterShellPresent(cFileSystem& files)
{
    std::string windowsFolder;
    if (!files.GetWindowsDirectory(windowsFolder))
        windowsFolder = "C:\\Windows";
    return files.FileExists(MediaCenterShellPath(windowsFolder));
}

std::string MediaCenterShellPath(const std::string& windowsFolder)
{
    return windowsFolder + "\\ehome\\" + MC_SHELL_PROGRAM;
}

std::string MediaCenterTrayPath(const std::string& windowsFolder)
{
    return windowsFolder + "\\eHome\\" + MC_TRAY_PROGRAM;
}

std::string MediaCenterRunCommand(const std::string& windowsFolder)
{
    return "RunDLL32.exe " + windowsFolder + "\\ehome\\ehuihlp.dll,BootMediaCenter";
}

bool ReadMcsaRecord(const uint8_t* block, size_t size, int index, cMcsaRecord& record)
{
    if (block == nullptr || !RecordFits(size, index))
        return false;
    const uint8_t* bytes = block + static_cast<size_t>(index) * MCSA_RECORD_SIZE;
    record.InUse = bytes[MCSA_OFFSET_IN_USE] == MCSA_IN_USE;
    record.State = ReadUint32(bytes + MCSA_OFFSET_STATE);
    record.DetailA = ReadUint32(bytes + MCSA_OFFSET_DETAIL_A);
    record.DetailB = ReadUint32(bytes + MCSA_OFFSET_DETAIL_B);
    record.Progress = ReadUint32(bytes + MCSA_OFFSET_PROGRESS);
    return true;
}

bool WriteMcsaRecord(uint8_t* block, size_t size, int index, const cMcsaRecord& record)
{
    if (block == nullptr || !RecordFits(size, index))
        return false;
    uint8_t* bytes = block + static_cast<size_t>(index) * MCSA_RECORD_SIZE;
    bytes[MCSA_OFFSET_IN_USE] = record.InUse ? MCSA_IN_USE : 0;
    WriteUint32(bytes + MCSA_OFFSET_STATE, record.State);
    WriteUint32(bytes + MCSA_OFFSET_DETAIL_A, record.DetailA);
    WriteUint32(bytes + MCSA_OFFSET_DETAIL_B, record.DetailB);
    WriteUint32(bytes + MCSA_OFFSET_PROGRESS, record.Progress);
    return true;
}
