#include "CmdTarget.h"

#include "platform/ui/CmdUI.h"

const MessageMap& CCmdTarget::GetThisMessageMap() {
    static const MessageMap map{nullptr, {}};
    return map;
}

const MessageMap& CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

const MessageMapEntry* CCmdTarget::FindMapEntry(MessageMapEntry::Kind kind, UINT message,
                                                UINT id) const {
    for (const MessageMap* map = &GetMessageMap(); map != nullptr; map = map->base) {
        for (const MessageMapEntry& entry : map->entries) {
            if (entry.kind != kind) {
                continue;
            }
            const bool byMessage =
                kind == MessageMapEntry::Kind::Message || kind == MessageMapEntry::Kind::Notify;
            if (byMessage && entry.message != message) {
                continue;
            }
            if (kind != MessageMapEntry::Kind::Message &&
                (id < entry.firstId || id > entry.lastId)) {
                continue;
            }
            return &entry;
        }
    }
    return nullptr;
}

bool CCmdTarget::OnCmdMsg(UINT id, CommandCode code, CCmdUI* ui) {
    if (code == CommandCode::Update) {
        const MessageMapEntry* rule = FindMapEntry(MessageMapEntry::Kind::Update, 0, id);
        if (rule == nullptr) {
            return false;
        }
        rule->handler(this, {id, 0, 0, ui});
        return true;
    }
    const MessageMapEntry* command = FindMapEntry(MessageMapEntry::Kind::Command, 0, id);
    if (command == nullptr) {
        return false;
    }
    if (code == CommandCode::Execute) {
        command->handler(this, {id, 0, 0, nullptr});
    }
    return true;
}
