// Replaces `\memo.bmp` of the device directory given with a few bytes, as a save does.
#include "platform/fs/Device.h"
#include "platform/fs/ReplacingFile.h"

int main(int argc, char** argv) {
    if (argc != 2 || !Device::Mount(argv[1])) return 2;
    CReplacingFile writer;
    return writer.Open("\\memo.bmp") && writer.Write("BM new", 6) && writer.Commit() ? 0 : 1;
}
