#include "guard/ProcConnector.h"

#include <algorithm>
#include <cstring>
#include <linux/cn_proc.h>
#include <linux/connector.h>
#include <linux/netlink.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pestrel::guard {
namespace {

// NLMSG_OK and NLMSG_NEXT, without their comparisons of signed and unsigned lengths.
bool MessageFits(const nlmsghdr* header, std::size_t left) {
    return left >= sizeof(nlmsghdr) && header->nlmsg_len >= sizeof(nlmsghdr) &&
           header->nlmsg_len <= left;
}

nlmsghdr* NextMessage(nlmsghdr* header, std::size_t& left) {
    const std::size_t step = std::min<std::size_t>(NLMSG_ALIGN(header->nlmsg_len), left);
    left -= step;
    return reinterpret_cast<nlmsghdr*>(reinterpret_cast<char*>(header) + step);
}

} // namespace

std::unique_ptr<ProcConnector> ProcConnector::open() {
    const int fd =
        ::socket(PF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_CONNECTOR);
    if (fd < 0)
        return nullptr;
    // Room for a burst of starts: a start lost to an overflow is a start not judged.
    const int room = 8 << 20;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &room, sizeof room);
    sockaddr_nl address{};
    address.nl_family = AF_NETLINK;
    address.nl_groups = CN_IDX_PROC;
    // A netlink header, a connector message and the operation, back to back.
    alignas(nlmsghdr) char request[NLMSG_LENGTH(sizeof(cn_msg) + sizeof(proc_cn_mcast_op))] = {};
    auto* header = reinterpret_cast<nlmsghdr*>(request);
    header->nlmsg_len = sizeof request;
    header->nlmsg_type = NLMSG_DONE;
    header->nlmsg_pid = static_cast<__u32>(::getpid());
    auto* message = static_cast<cn_msg*>(NLMSG_DATA(header));
    message->id = {CN_IDX_PROC, CN_VAL_PROC};
    message->len = sizeof(proc_cn_mcast_op);
    const proc_cn_mcast_op operation = PROC_CN_MCAST_LISTEN;
    std::memcpy(message->data, &operation, sizeof operation);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::send(fd, &request, sizeof request, 0) != static_cast<ssize_t>(sizeof request)) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<ProcConnector>(new ProcConnector(fd));
}

ProcConnector::~ProcConnector() {
    ::close(fd_);
}

std::vector<std::uint32_t> ProcConnector::takeStarts() {
    std::vector<std::uint32_t> started;
    alignas(nlmsghdr) char buffer[8192];
    for (;;) {
        const ssize_t length = ::recv(fd_, buffer, sizeof buffer, 0);
        if (length <= 0)
            return started; // drained, or events lost to an overflow: the next poll sees them
        auto* header = reinterpret_cast<nlmsghdr*>(buffer);
        for (std::size_t left = static_cast<std::size_t>(length); MessageFits(header, left);
             header = NextMessage(header, left)) {
            if (header->nlmsg_len < NLMSG_LENGTH(sizeof(cn_msg) + sizeof(proc_event)))
                continue;
            const auto* message = static_cast<const cn_msg*>(NLMSG_DATA(header));
            proc_event event;
            std::memcpy(&event, message->data, sizeof event);
            if (event.what == proc_event::PROC_EVENT_EXEC)
                started.push_back(event.event_data.exec.process_tgid);
        }
    }
}

} // namespace pestrel::guard
