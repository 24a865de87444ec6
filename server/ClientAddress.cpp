#include "ClientAddress.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstring>

namespace {

TClientAddress FromV4(const in_addr& v4) {
  TClientAddress address;
  address.V4 = true;
  address.Bytes[10] = 0xFF;
  address.Bytes[11] = 0xFF;
  std::memcpy(&address.Bytes[12], &v4, 4);
  return address;
}

TClientAddress FromV6(const in6_addr& v6) {
  if (IN6_IS_ADDR_V4MAPPED(&v6)) {
    in_addr v4;
    std::memcpy(&v4, &v6.s6_addr[12], 4);
    return FromV4(v4);
  }
  TClientAddress address;
  std::memcpy(address.Bytes.data(), &v6, 16);
  return address;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

std::optional<TClientAddress> ParseAddress(std::string_view text) {
  if (text.empty() || text.size() >= INET6_ADDRSTRLEN) return std::nullopt;
  const std::string copy(text);
  in_addr v4;
  if (inet_pton(AF_INET, copy.c_str(), &v4) == 1) return FromV4(v4);
  in6_addr v6;
  if (inet_pton(AF_INET6, copy.c_str(), &v6) == 1) return FromV6(v6);
  return std::nullopt;
}

std::optional<TClientAddress> AddressOf(const sockaddr* address) {
  if (!address) return std::nullopt;
  if (address->sa_family == AF_INET) {
    return FromV4(reinterpret_cast<const sockaddr_in*>(address)->sin_addr);
  }
  if (address->sa_family == AF_INET6) {
    return FromV6(reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr);
  }
  return std::nullopt;
}

std::string AddressText(const TClientAddress& address) {
  char text[INET6_ADDRSTRLEN] = {};
  if (address.V4) {
    inet_ntop(AF_INET, &address.Bytes[12], text, sizeof text);
  } else {
    inet_ntop(AF_INET6, address.Bytes.data(), text, sizeof text);
  }
  return text;
}

std::string LimitKey(const TClientAddress& address) {
  if (address.V4) return AddressText(address);
  TClientAddress network = address;
  std::fill(network.Bytes.begin() + 8, network.Bytes.end(), 0);
  return AddressText(network) + "/64";
}

std::optional<TAddressRange> TAddressRange::Parse(std::string_view text, std::string& error) {
  const size_t slash = text.find('/');
  const auto base = ParseAddress(text.substr(0, slash));
  if (!base) {
    // Appended piece by piece: GCC 12 misreads "literal" + string in release builds.
    error.assign(text);
    error.insert(0, 1, '"');
    error += "\" is not an address or CIDR range";
    return std::nullopt;
  }
  TAddressRange range;
  range.base_ = *base;
  const int width = base->V4 ? 32 : 128;
  int bits = width;
  if (slash != std::string_view::npos) {
    const std::string_view digits = text.substr(slash + 1);
    if (digits.empty() || digits.size() > 3 ||
        digits.find_first_not_of("0123456789") != std::string_view::npos ||
        (bits = std::stoi(std::string(digits))) > width) {
      error.assign(text);
      error.insert(0, "bad prefix length in \"");
      error += '"';
      return std::nullopt;
    }
  }
  range.prefixBits_ = bits + (128 - width);
  return range;
}

bool TAddressRange::Contains(const TClientAddress& address) const {
  if (address.V4 != base_.V4) return false;
  for (int bit = 0; bit < prefixBits_; ++bit) {
    const int mask = 0x80 >> (bit % 8);
    const auto byte = static_cast<size_t>(bit / 8);
    if ((address.Bytes[byte] & mask) != (base_.Bytes[byte] & mask)) return false;
  }
  return true;
}

TClientAddress ResolveClient(const TClientAddress& peer, std::string_view forwardedFor,
                             const std::vector<TAddressRange>& trusted) {
  const auto isTrusted = [&](const TClientAddress& address) {
    return std::any_of(trusted.begin(), trusted.end(),
                       [&](const TAddressRange& range) { return range.Contains(address); });
  };
  TClientAddress client = peer;
  while (isTrusted(client) && !forwardedFor.empty()) {
    const size_t comma = forwardedFor.rfind(',');
    const std::string_view entry =
        Trim(comma == std::string_view::npos ? forwardedFor : forwardedFor.substr(comma + 1));
    forwardedFor =
        comma == std::string_view::npos ? std::string_view() : forwardedFor.substr(0, comma);
    const auto hop = ParseAddress(entry);
    if (!hop) break;
    client = *hop;
  }
  return client;
}
