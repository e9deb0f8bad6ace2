#pragma once
// Running as the administrator over folders that others can write would let them turn the
// program's deletions and copies against the system: they could put a link where the program
// deletes or copies, or swap its working files. The program then refuses to act.

#include <string>
#include <vector>

namespace pestrel {

struct Context;

// Why the program must not act, in words for the person running it: it runs as the
// administrator (root) and the program folder, its Temp folder or a data folder of the platform
// could be changed by someone else. Empty when it may act. Call after InitialiseContext.
std::string RootRefusal(Context& context);

// The folders RootRefusal names, in its order; empty when the program may act.
std::vector<std::string> UnsafeFolders(Context& context);
// The refusal's words with %1 where the folders stand, separated by kRootRefusalSeparator.
inline constexpr const char* kRootRefusalText =
    "Pestrel 以 root 身份运行，但其他用户也能改动这些文件夹（不属于 "
    "root，或组和其他用户可写）：%1。"
    "为免有人借 root 的权限改写或删除别处的文件，Pestrel 不做任何改动。请把这些文件夹交给 root "
    "并去掉组和其他用户的写权限，或者不用 root 运行。";
inline constexpr const char* kRootRefusalSeparator = "、";

} // namespace pestrel
