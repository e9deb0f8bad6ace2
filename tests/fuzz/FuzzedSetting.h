#pragma once
// What a registry fuzz input asks for: a value to set under a key, taken from the front of the
// input, and the rest of the input as the registry file.

#include "platform/Platform.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <string>

struct FuzzedSetting {
    std::string key;
    std::string name;
    pestrel::RegValue value;
    std::string file;
};

inline FuzzedSetting ConsumeSetting(FuzzedDataProvider& input) {
    FuzzedSetting setting;
    setting.key = input.ConsumeRandomLengthString(32);
    setting.name = input.ConsumeRandomLengthString(16);
    if (input.ConsumeBool()) {
        setting.value.kind = pestrel::RegInteger;
        setting.value.number = input.ConsumeIntegral<std::uint32_t>();
    } else {
        setting.value.text = input.ConsumeRandomLengthString(32);
    }
    setting.file = input.ConsumeRemainingBytesAsString();
    return setting;
}
