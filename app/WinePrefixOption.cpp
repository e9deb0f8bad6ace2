#include "app/WinePrefixOption.h"

namespace pestrel {

std::variant<std::unique_ptr<wine::WinePlatform>, std::string>
OpenWinePrefix(const std::string& folder, bool stopWine, Platform& files) {
    std::variant<wine::WinePrefix, std::string> prefix = wine::WinePrefix::Open(folder);
    if (std::string* error = std::get_if<std::string>(&prefix))
        return std::move(*error);
    auto platform =
        std::make_unique<wine::WinePlatform>(std::move(std::get<wine::WinePrefix>(prefix)), files);
    if (std::optional<std::string> problem = platform->registryProblem())
        return std::move(*problem);
    platform->setStopWineForChanges(stopWine);
    return platform;
}

} // namespace pestrel
