#include "shell/MemoryMappedFile.h"

#include "platform/Platform.h"
#include "platform/WinConst.h"

namespace {

constexpr size_t MAX_NAME_LENGTH = 100;

namespace Text {
constexpr const char* CREATE_FILE_FAILED = "CreateFile error (Output)";
constexpr const char* CREATE_MAPPING_FAILED = "CreateFileMapping error (Output)";
constexpr const char* MAP_FAILED = "Can't map";
constexpr const char* MAP_CAPTION = "MapViewOfFile";
}  // namespace Text

}  // namespace

cMemoryMappedFile::cMemoryMappedFile(cPlatform& platform, const std::string& name, uint32_t mappingSize,
                                     int32_t viewSize)
    : Platform(platform), Name(name.substr(0, MAX_NAME_LENGTH)), MappingSize(mappingSize), ViewSize(viewSize)
{
}

cMemoryMappedFile::~cMemoryMappedFile()
{
    WriterView.reset();
    Writer.reset();
    File.reset();
    ReaderView.reset();
    Unmap();
}

std::span<uint8_t> cMemoryMappedFile::CreateForWriting()
{
    File = Platform.SharedMemory.CreateBackingFile(Platform.Files.GetTempPath() + Name);
    // Without the file the mapping lives in the paging file: it still works.
    if (!File)
        Platform.Dialogs.MessageBox(Text::CREATE_FILE_FAILED, "", MB_OK);
    Writer = Platform.SharedMemory.CreateMapping(File.get(), Name, MappingSize);
    if (!Writer)
        Platform.Dialogs.MessageBox(Text::CREATE_MAPPING_FAILED, "", MB_OK);
    else if (ViewSize > 0)
        WriterView = Writer->MapViewForWriting(static_cast<uint32_t>(ViewSize));
    if (!WriterView)
        Platform.Dialogs.MessageBox(Text::MAP_FAILED, Text::MAP_CAPTION, MB_OK);
    return WritableView();
}

std::span<uint8_t> cMemoryMappedFile::WritableView() const
{
    if (!WriterView)
        return {};
    return {WriterView->Data(), WriterView->Size()};
}

std::span<const uint8_t> cMemoryMappedFile::OpenForReading()
{
    if (!Reader) {
        Reader = Platform.SharedMemory.OpenReadOnly(Name);
        if (!Reader)
            return {};
    }
    ReaderView = Reader->MapView();
    if (!ReaderView)
        return {};
    return {ReaderView->Data(), ReaderView->Size()};
}

bool cMemoryMappedFile::Unmap()
{
    if (ReaderView) {
        ReaderView.reset();
        return true;
    }
    Reader.reset();
    return true;
}
