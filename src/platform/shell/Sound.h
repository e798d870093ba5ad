#pragma once

#include <functional>
#include <string>
#include <string_view>

// Sound playback of WAV files of the device. Failures are silent: a file that is missing,
// empty or damaged plays nothing and never holds the caller up.
enum class SoundPlay {
    Once,  // in the background
    Loop,  // in the background, over and over until stopped
    Wait,  // once, the caller waiting until it has played (input held back, painting goes on)
};

// Plays the file at `devicePath`, ending the sound that played before.
void PlaySoundFile(std::string_view devicePath, SoundPlay how);
// Ends the sound that plays, if any.
void StopSound();
// Waits until the sound that plays in the background has played, by the same deadline as a
// waiting play (a looping sound is waited for that long too); a process that is about to
// end does this so as not to cut its sound off.
void WaitForSoundToEnd();

// One request to the sound output, as a test sees it.
struct SoundRequest {
    bool stop = false;  // true: StopSound; the rest is then empty
    std::string path;
    SoundPlay how = SoundPlay::Once;
    bool awaitEnd = false;  // true: WaitForSoundToEnd; the rest is then empty
};

// Test seam: every request goes to `output` instead of the speakers; null restores them.
void SetSoundOutput(std::function<void(const SoundRequest&)> output);
