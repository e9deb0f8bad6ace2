#pragma once
// The repairs' writes, each told to a sink as a repair action.

#include "engine/KillPass.h"
#include "platform/ForwardingPlatform.h"

namespace pestrel {

class RepairReport final : public ForwardingPlatform {
public:
    RepairReport(Platform& inner, PassSink& sink) : ForwardingPlatform(inner), sink_(sink) {}
    bool setValue(RegRoot root, const std::string& key, const std::string& name,
                  const RegValue& value) override;

private:
    PassSink& sink_;
};

} // namespace pestrel
