#include "platform/posix/ProcessEvents.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <linux/cn_proc.h>
#include <linux/connector.h>
#include <linux/netlink.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

namespace pestrel {
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

// Asks the connector to start or stop telling this socket of process events.
bool SendOperation(int fd, proc_cn_mcast_op operation) {
    // A netlink header, a connector message and the operation, back to back.
    alignas(nlmsghdr) char request[NLMSG_LENGTH(sizeof(cn_msg) + sizeof(proc_cn_mcast_op))] = {};
    auto* header = reinterpret_cast<nlmsghdr*>(request);
    header->nlmsg_len = sizeof request;
    header->nlmsg_type = NLMSG_DONE;
    header->nlmsg_pid = static_cast<__u32>(::getpid());
    auto* message = static_cast<cn_msg*>(NLMSG_DATA(header));
    message->id = {CN_IDX_PROC, CN_VAL_PROC};
    message->len = sizeof(proc_cn_mcast_op);
    std::memcpy(message->data, &operation, sizeof operation);
    return ::send(fd, &request, sizeof request, 0) == static_cast<ssize_t>(sizeof request);
}

// The event of one connector message, when it is one a process index needs.
bool EventOf(const proc_event& event, ProcessEvent& out) {
    switch (event.what) {
    case proc_event::PROC_EVENT_FORK:
        out = {ProcessEvent::Kind::Fork,
               static_cast<std::uint32_t>(event.event_data.fork.child_tgid)};
        return event.event_data.fork.child_pid == event.event_data.fork.child_tgid;
    case proc_event::PROC_EVENT_EXEC:
        out = {ProcessEvent::Kind::Exec,
               static_cast<std::uint32_t>(event.event_data.exec.process_tgid)};
        return true;
    case proc_event::PROC_EVENT_EXIT:
        out = {ProcessEvent::Kind::Exit,
               static_cast<std::uint32_t>(event.event_data.exit.process_tgid)};
        return event.event_data.exit.process_pid == event.event_data.exit.process_tgid;
    default:
        return false;
    }
}

} // namespace

std::unique_ptr<ProcessEvents> ProcessEvents::Open() {
    const int fd =
        ::socket(PF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_CONNECTOR);
    if (fd < 0)
        return nullptr;
    // Room for a burst: events lost to an overflow are told as lost.
    const int room = 8 << 20;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &room, sizeof room);
    sockaddr_nl address{};
    address.nl_family = AF_NETLINK;
    address.nl_groups = CN_IDX_PROC;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        !SendOperation(fd, PROC_CN_MCAST_LISTEN)) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<ProcessEvents>(new ProcessEvents(fd));
}

ProcessEvents::~ProcessEvents() {
    SendOperation(fd_, PROC_CN_MCAST_IGNORE);
    ::close(fd_);
}

std::vector<ProcessEvent> ProcessEvents::take(bool& lost) {
    std::vector<ProcessEvent> events;
    // Each event is one datagram: many are taken per call, as a busy machine tells thousands a
    // second (every thread that starts or ends among them).
    constexpr unsigned kBatch = 64;
    constexpr std::size_t kRoom = 256; // more than a header, a connector message and an event
    alignas(nlmsghdr) static thread_local char buffers[kBatch][kRoom];
    std::array<iovec, kBatch> parts;
    std::array<mmsghdr, kBatch> messages{};
    for (unsigned i = 0; i < kBatch; ++i) {
        parts[i] = {buffers[i], kRoom};
        messages[i].msg_hdr.msg_iov = &parts[i];
        messages[i].msg_hdr.msg_iovlen = 1;
    }
    for (;;) {
        const int count = ::recvmmsg(fd_, messages.data(), kBatch, 0, nullptr);
        if (count < 0 && errno == ENOBUFS) {
            lost = true;
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return events; // drained; an overflow meanwhile is told by the next call
        for (int i = 0; i < count; ++i) {
            auto* header = reinterpret_cast<nlmsghdr*>(buffers[i]);
            for (std::size_t left = messages[i].msg_len; MessageFits(header, left);
                 header = NextMessage(header, left)) {
                if (header->nlmsg_len < NLMSG_LENGTH(sizeof(cn_msg) + sizeof(proc_event)))
                    continue;
                const auto* message = static_cast<const cn_msg*>(NLMSG_DATA(header));
                proc_event event;
                std::memcpy(&event, message->data, sizeof event);
                if (ProcessEvent told; EventOf(event, told))
                    events.push_back(told);
            }
        }
    }
}

} // namespace pestrel
