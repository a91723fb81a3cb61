/* SxJcp32.dll, the LAN connection library: the C declarations of its 17
 * entry points, shared by the library itself (lanlib/) and by the program's
 * loader (connection/win32_lan_loader.cpp), which binds them by name.
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
 * ERROR_NOT_SUPPORTED (FALSE, INVALID_HANDLE_VALUE, counts of 0). */
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

typedef BOOL(WINAPI* SxStartupProc)(HINSTANCE instance);
typedef BOOL(WINAPI* SxCleanupProc)(void);
typedef HANDLE(WINAPI* SxOpenPortProc)(const char* portText);
typedef BOOL(WINAPI* SxClosePortProc)(HANDLE port);
typedef BOOL(WINAPI* SxReadPortProc)(HANDLE port, void* buffer, DWORD size, DWORD* received);
typedef BOOL(WINAPI* SxWritePortProc)(HANDLE port, const void* bytes, DWORD count, DWORD* written);
typedef DWORD(WINAPI* SxGetErrorProc)(HANDLE port);

#ifdef __cplusplus
}
#endif

#endif /* ROVANT_LANLIB_SXJCP_API_H */
