#include "res/AlarmSounds.h"

#include <string>

#include "platform/fs/File.h"
#include "platform/fs/ReplacingFile.h"
#include "res/AlarmSoundData.h"

void InstallAlarmSounds() {
    for (const BundledSound& sound : BundledAlarmSounds()) {
        const std::string path = "\\Windows\\" + std::string(sound.fileName);
        CFile existing;
        if (existing.Open(path, CFile::modeRead)) continue;
        // Written whole under a temporary name, and never over a file that came meanwhile.
        CReplacingFile file;
        if (file.Open(path) && file.Write(sound.bytes.data(), sound.bytes.size())) {
            // Not installed, the sound is tried again at the next start; none plays meanwhile.
            (void)file.CommitIfAbsent();
        }
    }
}
