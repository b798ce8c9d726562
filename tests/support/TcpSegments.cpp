// The kernel's count of the data segments a socket received. Its tcp_info is the kernel's own, newer than
// the C library's, so this file reads it without the socket headers asio brings in.
#include <sys/socket.h>

#include <netinet/in.h>

#include <linux/tcp.h>

#include <gtest/gtest.h>

#include "tests/support/RconClient.h"

namespace heraldix::test {

std::uint32_t DataSegmentsReceived(int socket) {
  tcp_info info{};
  socklen_t size = sizeof info;
  if (getsockopt(socket, IPPROTO_TCP, TCP_INFO, &info, &size) != 0) {
    ADD_FAILURE() << "the kernel does not say how many segments the socket received";
    return 0;
  }
  return info.tcpi_data_segs_in;
}

}  // namespace heraldix::test
