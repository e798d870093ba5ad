#pragma once

#include <string>
#include <vector>

class CComboBox;

// The sound files of \Windows, names with extension, in name order without regard to case.
std::vector<std::string> FindSoundFiles();

// Fills `list` with "なし" and the names of `files` without extension, and selects the one
// named `selected` exactly (the last of several), else "なし".
void FillSoundList(CComboBox& list, const std::vector<std::string>& files,
                   const std::string& selected);

// The sound that list position `position` stands for: empty for "なし".
std::string SoundAt(const std::vector<std::string>& files, int position);
// Plays it to its end (the caller waits); "なし" plays nothing.
void PlaySoundAt(const std::vector<std::string>& files, int position);
