#include "dialogs/SoundList.h"

#include "memo/MemoList.h"
#include "platform/base/Text.h"
#include "platform/fs/Device.h"
#include "platform/shell/Sound.h"
#include "platform/ui/Controls.h"

namespace {

std::string WithoutExtension(const std::string& name) {
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

bool InRange(const std::vector<std::string>& files, int position) {
    return position > 0 && position <= static_cast<int>(files.size());
}

}  // namespace

std::vector<std::string> FindSoundFiles() {
    std::vector<std::string> names;
    // A folder that cannot be read offers no sound.
    (void)Device::FileSystem().FindEach("\\Windows\\*.wav", [&](const FindEntry& entry) {
        if (!entry.isFolder) names.push_back(entry.name);
        return true;
    });
    // The memo list's own sort, with "later in name order" for "older".
    HeapSortNewestFirst(
        names, [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) > 0; });
    return names;
}

void FillSoundList(CComboBox& list, const std::vector<std::string>& files,
                   const std::string& selected) {
    list.ResetContent();
    list.AddString("なし");
    int chosen = 0;
    for (size_t i = 0; i < files.size(); ++i) {
        const std::string name = WithoutExtension(files[i]);
        list.AddString(name);
        if (name == selected) chosen = static_cast<int>(i) + 1;
    }
    list.SetCurSel(chosen);
}

std::string SoundAt(const std::vector<std::string>& files, int position) {
    return InRange(files, position) ? WithoutExtension(files[static_cast<size_t>(position) - 1])
                                    : std::string();
}

void PlaySoundAt(const std::vector<std::string>& files, int position) {
    if (!InRange(files, position)) return;
    PlaySoundFile("\\windows\\" + files[static_cast<size_t>(position) - 1], SoundPlay::Wait);
}
