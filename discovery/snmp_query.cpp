#include "discovery/snmp_query.hpp"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <sys/select.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <memory>

namespace rovant::discovery {
namespace {

constexpr std::array<oid, 9> kSysDescr = {1, 3, 6, 1, 2, 1, 1, 1, 0};
constexpr std::array<oid, 12> kDeviceDescr = {1, 3, 6, 1, 2, 1, 25, 3, 2, 1, 3, 1};

struct SessionCloser {
  void operator()(netsnmp_session* session) const { snmp_close(session); }
};
using Session = std::unique_ptr<netsnmp_session, SessionCloser>;

struct PduFreer {
  void operator()(netsnmp_pdu* pdu) const { snmp_free_pdu(pdu); }
};

// One request in flight. SNMPv3 first asks for the agent's engine ID with a
// request of its own (the library's own probe would wait, one agent at a time).
struct Slot {
  Session session;
  AgentReply reply;
  bool probing = false;  // the engine-ID probe is out
  bool probed = false;   // its reply came: the request proper can go
  bool done = false;
};

template <std::size_t N>
bool Is(const netsnmp_variable_list* var, const std::array<oid, N>& name) {
  return var->name_length == N && std::equal(name.begin(), name.end(), var->name);
}

int OnReply(int operation, netsnmp_session* session, int, netsnmp_pdu* pdu, void* magic) {
  Slot& slot = *static_cast<Slot*>(magic);
  if (slot.probing && operation != NETSNMP_CALLBACK_OP_TIMED_OUT) {
    // The agent's report (not a response: the library may call it an error) names
    // its engine ID.
    if (pdu != nullptr && session->securityEngineIDLen == 0 && pdu->securityEngineIDLen != 0) {
      session->securityEngineID =
          static_cast<u_char*>(netsnmp_memdup(pdu->securityEngineID, pdu->securityEngineIDLen));
      session->securityEngineIDLen = pdu->securityEngineIDLen;
    }
    slot.probed = true;
    return 1;
  }
  slot.done = true;
  if (operation != NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE || pdu == nullptr) return 1;
  slot.reply.answered = true;
  if (pdu->errstat != SNMP_ERR_NOERROR) {
    slot.reply.error = snmp_errstring(static_cast<int>(pdu->errstat));
    return 1;
  }
  for (const netsnmp_variable_list* var = pdu->variables; var; var = var->next_variable) {
    if (var->type != ASN_OCTET_STR || var->val.string == nullptr) continue;
    std::string text(reinterpret_cast<const char*>(var->val.string), var->val_len);
    if (Is(var, kSysDescr)) slot.reply.sysDescr = std::move(text);
    if (Is(var, kDeviceDescr)) slot.reply.deviceDescr = std::move(text);
  }
  return 1;
}

// The library once per process: no configuration files, no MIBs, no state
// written under the user's home.
bool StartLibrary() {
  static const bool started = [] {
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_PERSIST_STATE, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_QUICK_PRINT, 1);
    // Only numeric names are used: no MIB is read (nor complained about).
    setenv("MIBS", "", 1);
    init_snmp("rovantctl");
    return true;
  }();
  return started;
}

// Sets the SNMPv3 user and keys; false with the reason when a key cannot be made.
bool SetUser(netsnmp_session& s, const SnmpOptions& options, std::string& error) {
  s.version = SNMP_VERSION_3;
  s.flags |= SNMP_FLAGS_DONT_PROBE;
  s.securityName = const_cast<char*>(options.user.c_str());
  s.securityNameLen = options.user.size();
  s.securityLevel = options.authKey.empty()   ? SNMP_SEC_LEVEL_NOAUTH
                    : options.privKey.empty() ? SNMP_SEC_LEVEL_AUTHNOPRIV
                                              : SNMP_SEC_LEVEL_AUTHPRIV;
  if (options.authKey.empty()) return true;
  s.securityAuthProto = snmp_duplicate_objid(usmHMACSHA1AuthProtocol, USM_AUTH_PROTO_SHA_LEN);
  s.securityAuthProtoLen = USM_AUTH_PROTO_SHA_LEN;
  s.securityAuthKeyLen = USM_AUTH_KU_LEN;
  auto* auth = reinterpret_cast<u_char*>(const_cast<char*>(options.authKey.data()));
  if (generate_Ku(s.securityAuthProto, static_cast<u_int>(s.securityAuthProtoLen), auth,
                  options.authKey.size(), s.securityAuthKey,
                  &s.securityAuthKeyLen) != SNMPERR_SUCCESS) {
    error = "the SNMPv3 authentication key cannot be made from the pass phrase";
    return false;
  }
  if (options.privKey.empty()) return true;
  s.securityPrivProto = snmp_duplicate_objid(usmAESPrivProtocol, USM_PRIV_PROTO_AES_LEN);
  s.securityPrivProtoLen = USM_PRIV_PROTO_AES_LEN;
  s.securityPrivKeyLen = USM_PRIV_KU_LEN;
  auto* priv = reinterpret_cast<u_char*>(const_cast<char*>(options.privKey.data()));
  if (generate_Ku(s.securityAuthProto, static_cast<u_int>(s.securityAuthProtoLen), priv,
                  options.privKey.size(), s.securityPrivKey,
                  &s.securityPrivKeyLen) != SNMPERR_SUCCESS) {
    error = "the SNMPv3 privacy key cannot be made from the pass phrase";
    return false;
  }
  return true;
}

void Send(Slot& slot, std::unique_ptr<netsnmp_pdu, PduFreer> pdu) {
  if (snmp_send(slot.session.get(), pdu.get()) == 0) {
    slot.reply.error = snmp_api_errstring(snmp_errno);
    slot.done = true;
    return;
  }
  static_cast<void>(pdu.release());  // the library owns a sent request
}

void SendRequest(Slot& slot);

// Opens a session to `address` and sends the request; the slot is done at
// once when either fails.
void Start(Slot& slot, std::uint32_t address, const SnmpOptions& options) {
  slot = Slot{};
  slot.reply.address = address;
  netsnmp_session s;
  snmp_sess_init(&s);
  std::string peer = "udp:" + FormatAddress(address) + ":" + std::to_string(options.port);
  s.peername = peer.data();
  s.timeout = static_cast<long>(options.timeoutMs) * 1000L;
  s.retries = options.retries;
  s.callback = OnReply;
  s.callback_magic = &slot;
  // The protocol names SetUser makes are ours; snmp_open keeps copies.
  struct ProtocolNames {
    netsnmp_session& s;
    ~ProtocolNames() {
      std::free(s.securityAuthProto);
      std::free(s.securityPrivProto);
    }
  } names{s};
  if (options.v3) {
    if (!SetUser(s, options, slot.reply.error)) {
      slot.done = true;
      return;
    }
  } else {
    s.version = SNMP_VERSION_2c;
    s.community = reinterpret_cast<u_char*>(const_cast<char*>(options.community.data()));
    s.community_len = options.community.size();
  }
  slot.session.reset(snmp_open(&s));
  if (!slot.session) {
    slot.reply.error = snmp_api_errstring(snmp_errno);
    slot.done = true;
    return;
  }
  if (options.v3) {
    // An empty request without user or keys: the agent answers with its engine ID.
    std::unique_ptr<netsnmp_pdu, PduFreer> probe(snmp_pdu_create(SNMP_MSG_GET));
    probe->version = SNMP_VERSION_3;
    probe->securityName = static_cast<char*>(std::calloc(1, 1));
    probe->securityNameLen = 0;
    probe->securityLevel = SNMP_SEC_LEVEL_NOAUTH;
    probe->securityModel = SNMP_SEC_MODEL_USM;
    slot.probing = true;
    // The library clears the flag once the session is open; the probe is ours.
    slot.session->flags |= SNMP_FLAGS_DONT_PROBE;
    Send(slot, std::move(probe));
    return;
  }
  SendRequest(slot);
}

// Sends the two questions (after the engine-ID probe for SNMPv3).
void SendRequest(Slot& slot) {
  std::unique_ptr<netsnmp_pdu, PduFreer> pdu(snmp_pdu_create(SNMP_MSG_GET));
  snmp_add_null_var(pdu.get(), kSysDescr.data(), kSysDescr.size());
  snmp_add_null_var(pdu.get(), kDeviceDescr.data(), kDeviceDescr.size());
  Send(slot, std::move(pdu));
}

// The probe came back: with the engine ID known, the user's keys are
// localised for it and the request proper goes out.
void AfterProbe(Slot& slot) {
  slot.probing = false;
  slot.probed = false;
  netsnmp_session* session = snmp_sess_session(snmp_sess_pointer(slot.session.get()));
  if (session == nullptr || session->securityEngineIDLen == 0 ||
      create_user_from_session(session) != SNMPERR_SUCCESS) {
    slot.reply.answered = true;
    slot.reply.error = "the SNMPv3 engine ID could not be learned";
    slot.done = true;
    return;
  }
  SendRequest(slot);
}

}  // namespace

QueryOutcome QueryAgents(const std::vector<AddressRange>& merged, const SnmpOptions& options) {
  QueryOutcome outcome;
  if (!StartLibrary()) {
    outcome.error = "the SNMP library cannot be started";
    return outcome;
  }
  const auto parallel = static_cast<std::size_t>(std::clamp(options.parallel, 1, kMostInFlight));
  // Slots are never moved while in flight: the library holds their addresses.
  std::vector<std::unique_ptr<Slot>> slots;
  auto range = merged.begin();
  std::uint64_t nextInRange = range == merged.end() ? 0 : range->first;
  auto more = [&] { return range != merged.end(); };
  auto take = [&] {
    const auto address = static_cast<std::uint32_t>(nextInRange);
    if (nextInRange == range->last) {
      ++range;
      if (range != merged.end()) nextInRange = range->first;
    } else {
      ++nextInRange;
    }
    return address;
  };

  while (more() || !slots.empty()) {
    while (more() && slots.size() < parallel) {
      slots.push_back(std::make_unique<Slot>());
      Start(*slots.back(), take(), options);
      ++outcome.asked;
    }
    int fds = 0;
    int block = 0;
    fd_set readable;
    FD_ZERO(&readable);
    timeval wait{1, 0};
    snmp_select_info(&fds, &readable, &wait, &block);
    if (block != 0) wait = timeval{1, 0};  // never an unbounded wait
    const bool anyPending =
        std::any_of(slots.begin(), slots.end(), [](const auto& s) { return !s->done; });
    if (anyPending) {
      const int ready = select(fds, &readable, nullptr, nullptr, &wait);
      if (ready > 0) {
        snmp_read(&readable);
      } else if (ready < 0 && errno != EINTR) {
        outcome.error = "waiting for replies failed";
        break;
      }
      // Expired requests are resent or given up even while others keep answering.
      snmp_timeout();
    }
    for (const auto& slot : slots) {
      if (slot->probed && !slot->done) AfterProbe(*slot);
    }
    // Finished requests leave; their sessions close here, outside the callback.
    for (auto it = slots.begin(); it != slots.end();) {
      if (!(*it)->done) {
        ++it;
        continue;
      }
      if ((*it)->reply.answered) outcome.replies.push_back(std::move((*it)->reply));
      it = slots.erase(it);
    }
  }
  return outcome;
}

}  // namespace rovant::discovery
