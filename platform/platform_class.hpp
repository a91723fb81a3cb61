// What start-up learns about the system once: whether it is of the NT family
// (wide spooler calls) and whether named kernel objects live in the session's
// own namespace (no "Global\" prefix).
#pragma once

namespace rovant {

struct PlatformClass {
  bool ntFamily = true;
  bool localNamespace = false;
};

// `nt`: the platform id is the NT family; `major`: its major version;
// `wow64`: this 32-bit process runs on 64-bit Windows. Names stay local off
// the NT family, on NT 4, and on 32-bit NT 5; every later system (and NT 5
// under WOW64) runs services in a session of their own, so the names must be
// global for the spooler's language monitor to see them.
constexpr PlatformClass ClassifyPlatform(bool nt, unsigned major, bool wow64) {
  const bool local = !nt || major == 4 || (major == 5 && !wow64);
  return PlatformClass{nt, local};
}

static_assert(ClassifyPlatform(false, 4, false).localNamespace);
static_assert(!ClassifyPlatform(false, 4, false).ntFamily);
static_assert(ClassifyPlatform(true, 5, false).localNamespace);
static_assert(!ClassifyPlatform(true, 5, true).localNamespace);
static_assert(!ClassifyPlatform(true, 6, false).localNamespace);

}  // namespace rovant
