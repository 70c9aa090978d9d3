#include "shell/EngineWatch.h"

#include <string>

#include "platform/Platform.h"
#include "shell/EngineStatusBlock.h"
#include "shell/MemoryMappedFile.h"
#include "shell/StatusDisplay.h"
#include "shell/StatusTexts.h"

cEngineWatch::cEngineWatch(cPlatform& platform, cMemoryMappedFile& block) : Platform(platform), Block(block) {}

bool cEngineWatch::Tick(cStatusDisplay& display)
{
    if (Platform.Windowing.FindWindow(APPLICATION_WINDOW_CLASS, ENGINE_WINDOW_TITLE) == 0)
        return !EngineWindowSeen;
    EngineWindowSeen = true;

    const std::span<const uint8_t> view = Block.OpenForReading();
    cEngineStatus status;
    if (view.empty()) {
        display.ShowMediaCenterState(StatusText::ENGINE_NOT_RUNNING);
    } else if (ReadEngineStatus(view, status)) {
        display.ShowMediaCenterState(status.MediaCenterState);
        display.ShowRecording(status.Recording);
        display.ShowLastUserInput(status.LastUserInput);
        display.ShowExtendersInUse(std::to_string(status.ExtendersInUse));
    } else {
        display.ShowMediaCenterState(StatusText::INCOMPATIBLE_ENGINE);
    }
    Block.Unmap();
    return true;
}
