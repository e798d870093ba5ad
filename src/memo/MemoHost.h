#pragma once

#include <string>
#include <string_view>

class CQuilloDoc;

// What a memo needs of the program that shows it, handed to it by whoever makes it: where
// memos are saved, and who hears of what happens to it.
class MemoHost {
  public:
    virtual ~MemoHost() = default;

    // The device path of `name` in the save folder.
    virtual std::string GetMemoPath(std::string_view name) const = 0;
    virtual const std::string& GetSaveFolder() const = 0;
    // The memos' extension, with its dot.
    virtual const std::string& GetMemoExtension() const = 0;
    // The memo's file has another name now.
    virtual void MemoRenamed(std::string_view oldPath, std::string_view newPath) = 0;
    // The user quits without the memo, which could not be saved: it is kept where the next
    // start points to it.
    virtual void KeepUnsavedMemo() = 0;
};

// Hears each change of the memo while it differs from its file, and when it is safe again.
class MemoChangeListener {
  public:
    virtual ~MemoChangeListener() = default;
    virtual void MemoChanged(const CQuilloDoc& document) = 0;
    virtual void MemoSafe() = 0;
};
