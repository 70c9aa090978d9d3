#pragma once

struct cPlatform;
class cMemoryMappedFile;
class cStatusDisplay;

// A configurator's view of the engine running in another process: finds its
// application window, shows the status block it publishes, and notices when
// it has ended. An engine is only looked for, never waited for: once seen
// and gone, the configurator ends too.
class cEngineWatch {
public:
    cEngineWatch(cPlatform& platform, cMemoryMappedFile& block);

    // One second's look; false once an engine seen before has gone.
    bool Tick(cStatusDisplay& display);

private:
    cPlatform& Platform;
    cMemoryMappedFile& Block;
    bool EngineWindowSeen = false;
};

// The engine's application window, as other processes find it.
constexpr const char* APPLICATION_WINDOW_CLASS = "TApplication";
constexpr const char* ENGINE_WINDOW_TITLE = "Slumberhold - Engine mode";
