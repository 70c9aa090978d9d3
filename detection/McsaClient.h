#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/SharedMemory.h"
#include "targets/MediaCenterContract.h"

class cMessageLogger;

// Read-only access to the block that the Media Center add-in publishes. The
// mapping is opened at the first successful Map and kept until destruction,
// so the block stays alive even when the add-in closes it; a view exists
// only between Map and Unmap.
class cMcsaClient {
public:
    explicit cMcsaClient(cSharedMemory& sharedMemory, const std::string& blockName = MCSA_BLOCK_NAME);
    ~cMcsaClient();
    cMcsaClient(const cMcsaClient&) = delete;
    cMcsaClient& operator=(const cMcsaClient&) = delete;

    // Opens the mapping if it is not open yet, then maps a view of it; false
    // when there is no such block or no view could be made.
    bool Map();
    // True when a view was unmapped.
    bool Unmap();
    // The records that lie wholly within the view (15 for any real block),
    // 0 while not mapped.
    int GetRecordCount() const;
    // False, leaving record untouched, when not mapped or i is not below
    // GetRecordCount().
    bool GetRecord(int i, cMcsaRecord& record) const;

private:
    cSharedMemory& SharedMemory;
    const std::string BlockName;
    std::unique_ptr<cSharedMemoryMapping> Mapping;
    std::unique_ptr<cSharedMemoryView> View;  // declared last: unmapped before the mapping closes
};

// What one reading of the block found.
struct cMediaCenterReading {
    bool LinkPresent = false;        // the block could be mapped
    int Sessions = 0;                // records in use, recordings included
    int ActiveRecordings = 0;        // records in use that are recordings
    bool MediaCenterActive = false;  // at least one session that is not a recording
    bool MediaCenterIdle = true;     // every session that is not a recording is idle
};

// Reads and classifies the add-in's session records for the recording
// monitor. Remembers the playback progress of each record between readings,
// because a playback whose progress stands still is idle, and the highest
// number of sessions seen so far.
class cMediaCenterSessionReader {
public:
    // The client and the logger must outlive the reader.
    cMediaCenterSessionReader(cMcsaClient& client, cMessageLogger& logger);

    // pausedIsIdle: a paused session counts as idle. logActivity: log a new
    // highest session count.
    cMediaCenterReading Read(bool pausedIsIdle, bool logActivity);
    int GetHighestSessionCount() const { return HighestSessions; }

private:
    // Whether the session in record index is idle; updates its remembered
    // progress.
    bool IsIdle(const cMcsaRecord& record, int index, bool pausedIsIdle);

    cMcsaClient& Client;
    cMessageLogger& Logger;
    std::array<uint32_t, MCSA_RECORD_COUNT> Progress{};
    int HighestSessions = 5;
};
