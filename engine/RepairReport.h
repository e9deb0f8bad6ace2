#pragma once
// The repairs' writes, each told to a kill pass's view as a "repair" action.

#include "engine/KillPass.h"
#include "platform/ForwardingPlatform.h"

namespace pestrel {

class RepairReport final : public ForwardingPlatform {
public:
    RepairReport(Platform& inner, KillPassView& view) : ForwardingPlatform(inner), view_(view) {}
    bool setValue(RegRoot root, const std::string& key, const std::string& name,
                  const RegValue& value) override;

private:
    KillPassView& view_;
};

} // namespace pestrel
