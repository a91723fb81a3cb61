/* SxJcp32.dll, the LAN connection library: the C declarations of its 17
 * entry points, shared by the library itself (lanlib/) and by the program's
 * loader (connection/lan_loader_win32.cpp), which binds them by name.
 *
 * All are __stdcall (WINAPI) and exported undecorated. A port handle of all
 * bits set (INVALID_HANDLE_VALUE) means the port was not opened.
 *
 * Seven are what the program uses:
 *   SxStartup    before anything else; counted, each one ended by SxCleanup
 *   SxCleanup    the last one closes every port still open
 *   SxOpenPort   connects by raw TCP to the printer named by portText (a host
 *                name or address, no port: the printer's print port is used)
 *   SxClosePort  closes the connection
 *   SxReadPort   the printer's reply: waits for its first byte, collects the
 *                rest until the printer is quiet; the count in *received
 *   SxWritePort  sends every byte; the count in *written
 *   SxGetError   the Windows or Winsock code of the port's last failure;
 *                with INVALID_HANDLE_VALUE that of the last failed SxOpenPort
 * The other ten are present for programs that bind every name, and fail with
 * ERROR_NOT_SUPPORTED (FALSE, INVALID_HANDLE_VALUE, counts of 0).
 *
 * SXJCP_ENTRY_POINTS(V) applies V to every name, in the order of the export
 * table; in C++ the pointer types SxNameProc (from the declarations) and the
 * name table kSxJcpEntryPointNames are made from it. */
#ifndef ROVANT_LANLIB_SXJCP_API_H
#define ROVANT_LANLIB_SXJCP_API_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

BOOL WINAPI SxStartup(HINSTANCE instance);
BOOL WINAPI SxCleanup(void);
HANDLE WINAPI SxOpenPort(const char* portText);
BOOL WINAPI SxClosePort(HANDLE port);
BOOL WINAPI SxReadPort(HANDLE port, void* buffer, DWORD size, DWORD* received);
BOOL WINAPI SxWritePort(HANDLE port, const void* bytes, DWORD count, DWORD* written);
DWORD WINAPI SxGetError(HANDLE port);

/* Not supported. */
HANDLE WINAPI SxOpenStatus(const char* portText);
BOOL WINAPI SxCloseStatus(HANDLE status);
BOOL WINAPI SxGetStatus(HANDLE status, void* buffer, DWORD size, DWORD* received);
BOOL WINAPI SxGetDeviceID(HANDLE port, char* buffer, DWORD size, DWORD* length);
HANDLE WINAPI SxOpenSearch(void);
BOOL WINAPI SxCloseSearch(HANDLE search);
BOOL WINAPI SxSendSearch(HANDLE search, void* results, DWORD size, DWORD* found);
BOOL WINAPI SxSetUseICMP(BOOL use);
BOOL WINAPI SxSendCancel(HANDLE port);
BOOL WINAPI SxSendICMP(const char* host, DWORD timeoutMs);

/* clang-format off */
#define SXJCP_ENTRY_POINTS(V) \
  V(SxStartup) \
  V(SxCleanup) \
  V(SxOpenPort) \
  V(SxClosePort) \
  V(SxReadPort) \
  V(SxWritePort) \
  V(SxOpenStatus) \
  V(SxCloseStatus) \
  V(SxGetStatus) \
  V(SxGetDeviceID) \
  V(SxOpenSearch) \
  V(SxCloseSearch) \
  V(SxSendSearch) \
  V(SxGetError) \
  V(SxSetUseICMP) \
  V(SxSendCancel) \
  V(SxSendICMP)
/* clang-format on */

#ifdef __cplusplus
}

#define SXJCP_PROC_TYPE(name) using name##Proc = decltype(&::name);
SXJCP_ENTRY_POINTS(SXJCP_PROC_TYPE)
#undef SXJCP_PROC_TYPE

#define SXJCP_NAME(name) #name,
inline constexpr const char* kSxJcpEntryPointNames[] = {SXJCP_ENTRY_POINTS(SXJCP_NAME)};
#undef SXJCP_NAME
static_assert(sizeof(kSxJcpEntryPointNames) / sizeof(kSxJcpEntryPointNames[0]) == 17);
#endif

#endif /* ROVANT_LANLIB_SXJCP_API_H */
