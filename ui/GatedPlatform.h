#pragma once
// The platform as the window's workers see it: everything is passed on, except that sleeping
// ends early when the window shuts its workers down.

#include "platform/ForwardingPlatform.h"

namespace pestrel {

class WorkerGate;

class GatedPlatform final : public ForwardingPlatform {
public:
    GatedPlatform(Platform& inner, WorkerGate& gate) : ForwardingPlatform(inner), gate_(gate) {}

    bool anyProgramPath(std::string_view name,
                        const std::function<bool(std::string_view)>& matches) override {
        return inner_.anyProgramPath(name, matches);
    }
    std::optional<RegValue> queryValueCreatingKey(RegRoot root, const std::string& key,
                                                  const std::string& name) override {
        return inner_.queryValueCreatingKey(root, key, name);
    }
    void sleepMs(std::uint32_t milliseconds) override;

private:
    WorkerGate& gate_;
};

} // namespace pestrel
