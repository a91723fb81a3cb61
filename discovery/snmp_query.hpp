// Asking many addresses for their two descriptions over SNMP (net-snmp's
// asynchronous API): a bounded number of requests in flight, each with its
// own time-out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "discovery/address_range.hpp"
#include "discovery/discovered.hpp"

namespace rovant::discovery {

// The largest number of requests in flight: each holds a socket, and the
// wait uses select().
inline constexpr int kMostInFlight = 512;

struct SnmpOptions {
  std::string community = "public";  // SNMPv2c
  bool v3 = false;                   // SNMPv3 with user, SHA and AES keys
  std::string user;
  std::string authKey;  // empty: no authentication
  std::string privKey;  // empty: no privacy
  std::uint16_t port = 161;
  int parallel = 256;
  int timeoutMs = 1000;
  int retries = 1;
};

struct QueryOutcome {
  std::vector<AgentReply> replies;  // the addresses that answered, in any order
  std::uint64_t asked = 0;
  std::string error;  // set when the library could not start at all
};

QueryOutcome QueryAgents(const std::vector<AddressRange>& merged, const SnmpOptions& options);

}  // namespace rovant::discovery
