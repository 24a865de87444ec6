#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sockaddr;

// A client's IP address; IPv4 is held as an IPv4-mapped IPv6 address so that
// one comparison serves both.
struct TClientAddress {
  std::array<uint8_t, 16> Bytes{};
  bool V4 = false;

  bool operator==(const TClientAddress&) const = default;
};

// "192.0.2.7" or "2001:db8::7"; nothing for anything else.
std::optional<TClientAddress> ParseAddress(std::string_view text);
// The address of an AF_INET or AF_INET6 socket address; nothing for others.
std::optional<TClientAddress> AddressOf(const sockaddr* address);
std::string AddressText(const TClientAddress& address);
// What the per-address limits count: the IPv4 address, or the /64 of an IPv6
// address (one host is usually given a whole /64).
std::string LimitKey(const TClientAddress& address);

// An address range in CIDR notation ("10.0.0.0/8", "2001:db8::/32"; a bare
// address is a range of one).
class TAddressRange {
 public:
  static std::optional<TAddressRange> Parse(std::string_view text, std::string& error);
  bool Contains(const TClientAddress& address) const;

 private:
  TClientAddress base_;
  int prefixBits_ = 128;  // over the 128-bit form
};

// The client a request speaks for. Only when the peer is a trusted proxy is
// X-Forwarded-For read, from the right: the first address that is not itself a
// trusted proxy is the client (entries further left are whatever the client
// claimed). A malformed entry ends the walk at the last hop known good.
TClientAddress ResolveClient(const TClientAddress& peer, std::string_view forwardedFor,
                             const std::vector<TAddressRange>& trusted);
