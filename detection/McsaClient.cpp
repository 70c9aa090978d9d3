#include "detection/McsaClient.h"

#include "foundation/MessageLogger.h"

namespace {

constexpr size_t MAX_BLOCK_NAME = 259;

}  // namespace

cMcsaClient::cMcsaClient(cSharedMemory& sharedMemory, const std::string& blockName)
    : SharedMemory(sharedMemory), BlockName(blockName.substr(0, MAX_BLOCK_NAME))
{
}

cMcsaClient::~cMcsaClient()
{
    Unmap();
}

bool cMcsaClient::Map()
{
    if (!Mapping)
        Mapping = SharedMemory.OpenReadOnly(BlockName);
    if (!Mapping)
        return false;
    View = Mapping->MapView();
    return View != nullptr;
}

bool cMcsaClient::Unmap()
{
    const bool mapped = View != nullptr;
    View.reset();
    return mapped;
}

int cMcsaClient::GetRecordCount() const
{
    if (!View || View->Data() == nullptr)
        return 0;
    const size_t whole = View->Size() / MCSA_RECORD_SIZE;
    return whole < static_cast<size_t>(MCSA_RECORD_COUNT) ? static_cast<int>(whole) : MCSA_RECORD_COUNT;
}

bool cMcsaClient::GetRecord(int i, cMcsaRecord& record) const
{
    if (i < 0 || i >= GetRecordCount())
        return false;
    return ReadMcsaRecord(View->Data(), View->Size(), i, record);
}

cMediaCenterSessionReader::cMediaCenterSessionReader(cMcsaClient& client, cMessageLogger& logger)
    : Client(client), Logger(logger)
{
}

cMediaCenterReading cMediaCenterSessionReader::Read(bool pausedIsIdle, bool logActivity)
{
    cMediaCenterReading reading;
    reading.LinkPresent = Client.Map();
    const int count = Client.GetRecordCount();
    for (int j = 0; j < count; ++j) {
        cMcsaRecord record;
        if (!Client.GetRecord(j, record) || !record.InUse) {
            Progress[static_cast<size_t>(j)] = 0;
            continue;
        }
        ++reading.Sessions;
        if (record.State == MCSA_STATE_RECORDING) {
            ++reading.ActiveRecordings;
            continue;
        }
        reading.MediaCenterActive = true;
        if (!IsIdle(record, j, pausedIsIdle))
            reading.MediaCenterIdle = false;
    }
    Client.Unmap();

    if (reading.Sessions > HighestSessions) {
        HighestSessions = reading.Sessions;
        if (logActivity)
            Logger.WriteLine("MaxConcurrentSessions: " + std::to_string(HighestSessions));
    }
    return reading;
}

bool cMediaCenterSessionReader::IsIdle(const cMcsaRecord& record, int index, bool pausedIsIdle)
{
    uint32_t& remembered = Progress[static_cast<size_t>(index)];
    switch (record.State) {
    case MCSA_STATE_STOPPED:
    case MCSA_STATE_ENDED:
    case MCSA_STATE_MENU:
    case MCSA_STATE_CLOSING:
        return true;
    case MCSA_STATE_PLAYING:
        // Playback is busy while its progress moves, or while it is unknown.
        if (record.Progress == 0)
            return false;
        if (record.Progress == remembered)
            return true;
        remembered = record.Progress;
        return false;
    case MCSA_STATE_PAUSED:
        return pausedIsIdle;
    case MCSA_STATE_NONE:
        return !((record.DetailA == 0 && record.DetailB == MCSA_DETAIL_B_BUSY) ||
                 record.DetailA == MCSA_DETAIL_A_BUSY);
    default:
        return false;
    }
}
